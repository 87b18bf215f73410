// Corvanta.dll against a popup menu of the test's own: this thread runs the
// menu's modal loop while a second thread drives it with real input.
#include <gtest/gtest.h>

#include "hooklib.h"
#include "support/test_support.h"

namespace {

constexpr UINT kChoice = WM_APP + 1, kStale = WM_APP + 2;  // a notification, and one given before a hook was retargeted
std::vector<int> gSeen;  // choices, stale choices, commands the menu took, Enter key-downs; whether the menu was open at the choice

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kChoice) {
    gSeen[4] = test::FindOpenMenu() != nullptr;
    EndMenu();  // what the program does with a choice
  }
  if (message == kChoice || message == kStale || message == WM_COMMAND) ++gSeen[message == kChoice ? 0 : message == kStale ? 1 : 2];
  if (message == WM_KEYDOWN && wParam == VK_RETURN) ++gSeen[3];
  return message == kChoice || message == kStale || message == WM_COMMAND ? 0 : DefWindowProcW(window, message, wParam, lParam);
}

class HookLibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.lpszClassName = L"CorvantaHookLibTestOwner";
    RegisterClassW(&windowClass);
    // Visible and foreground: key presses go to the foreground window's thread.
    owner_ = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, 600, 600, 40, 40, nullptr,
                             nullptr, nullptr, nullptr);
    for (const wchar_t* entry : {L"first", L"second", L"third"}) AppendMenuW(menu_, MF_STRING, 101 + GetMenuItemCount(menu_), entry);
  }
  void TearDown() override {
    DestroyMenu(menu_);
    DestroyWindow(owner_);
  }
  // Tracks the menu while a second thread clicks its second entry or presses
  // Down and Enter (and cancels a menu left open); what the owner got.
  std::vector<int> Track(bool click) {
    gSeen = {0, 0, 0, 0, 0};
    SetForegroundWindow(owner_);
    std::thread driver([click, this] {
      HWND menuWindow = test::WaitForOpenMenu(10000);
      RECT entry = {};
      if (!click) test::PressKeys({VK_DOWN, VK_RETURN});
      if (click && test::MenuEntryRect(menuWindow, 1, &entry)) test::ClickAt({(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
      if (!test::WaitForNoOpenMenu(5000)) PostMessageW(owner_, WM_CANCELMODE, 0, 0);
    });
    TrackPopupMenu(menu_, TPM_LEFTALIGN, 100, 100, 0, owner_, nullptr);
    driver.join();
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);  // what was posted meanwhile
    return gSeen;
  }
  HWND owner_ = nullptr;
  HMENU menu_ = CreatePopupMenu();
};

TEST_F(HookLibTest, EachHookTurnsItsGestureIntoOneNotificationWhileTheMenuIsOpenUntilUnset) {
  const struct {
    int (*set)(HWND, UINT);
    int (*unset)();
    bool click;
  } hooks[] = {{SetHookWH_MOUSE, UnsetHookWH_MOUSE, true}, {SetHookWH_KEYBOARD, UnsetHookWH_KEYBOARD, false}};
  for (const auto& hook : hooks) {
    SCOPED_TRACE(hook.click ? "mouse" : "keyboard");
    ASSERT_EQ(0, hook.set(owner_, kStale));  // setting again only retargets the one hook
    ASSERT_EQ(0, hook.set(owner_, kChoice));
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0, 1}), Track(hook.click)) << "one choice while the menu was open, the gesture swallowed";
    EXPECT_EQ((std::vector<int>{0, 0, 1, 0, 0}), Track(!hook.click)) << "the other gesture is the menu's";
    ASSERT_EQ(0, hook.unset());
    EXPECT_NE(0, hook.unset()) << "no second hook was stacked";
    EXPECT_EQ((std::vector<int>{0, 0, 1, 0, 0}), Track(hook.click));
  }
  ASSERT_EQ(0, SetHookWH_KEYBOARD(owner_, kChoice));  // Enter without an open menu reaches the window
  gSeen = {0, 0, 0, 0, 0};
  SetFocus(owner_);
  test::PressKey(VK_RETURN);
  for (DWORD start = GetTickCount(); gSeen[3] == 0 && GetTickCount() - start < 5000;) test::PumpMessages(20);
  EXPECT_EQ((std::vector<int>{0, 0, 0, 1, 0}), gSeen);
  UnsetHookWH_KEYBOARD();
}

}  // namespace
