// Corvanta.dll against a popup menu of the test's own: this thread runs the
// menu's modal loop while a second thread drives it with real input.
#include <gtest/gtest.h>

#include "hooklib.h"
#include "support/test_support.h"

namespace {

constexpr UINT kChoice = WM_APP + 1, kStale = WM_APP + 2;  // a notification, and one given before a hook was retargeted
enum Gesture { kClick, kKeys, kPressOffRelease, kHeldEnter };
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
  void TearDown() override { DestroyMenu(menu_), DestroyWindow(owner_); }
  // Tracks the menu while a second thread makes `gesture` on its second entry
  // (and cancels a menu left open); what the owner got.
  std::vector<int> Track(Gesture gesture) {
    gSeen = {0, 0, 0, 0, 0};
    SetForegroundWindow(owner_);
    if (gesture == kHeldEnter) {  // Enter goes down before the menu opens: the window's key
      keybd_event(VK_RETURN, 0, 0, 0);
      test::WaitUntil([] { return test::PumpMessages(10), gSeen[3] > 0; }, 5000);
    }
    std::thread driver([gesture, this] {
      RECT entry = {};
      test::MenuEntryRect(test::WaitForOpenMenu(10000), 1, &entry);
      const POINT middle = {(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2};
      if (gesture == kKeys) test::PressKeys({VK_DOWN, VK_RETURN});
      if (gesture == kClick) test::ClickAt(middle);
      if (gesture == kPressOffRelease) {  // released over the owner once the press has highlighted the entry (or chosen)
        test::MouseAt(middle, MOUSEEVENTF_LEFTDOWN);
        test::WaitUntil([this] { return (GetMenuState(menu_, 1, MF_BYPOSITION) & MF_HILITE) || !test::FindOpenMenu(); }, 5000);
        test::MouseAt({620, 620}, MOUSEEVENTF_LEFTUP);
      }
      if (gesture == kHeldEnter) keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
      if (gesture >= kPressOffRelease) test::PressKeys({VK_ESCAPE});  // queued behind the gesture: the menu has seen it when it closes
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
    Gesture gesture, other, nearMiss;
    std::vector<int> nearMissSeen;
  } hooks[] = {{SetHookWH_MOUSE, UnsetHookWH_MOUSE, kClick, kKeys, kPressOffRelease, {0, 0, 0, 0, 0}},
               {SetHookWH_KEYBOARD, UnsetHookWH_KEYBOARD, kKeys, kClick, kHeldEnter, {0, 0, 0, 1, 0}}};
  for (const auto& hook : hooks) {
    SCOPED_TRACE(hook.gesture == kClick ? "mouse" : "keyboard");
    ASSERT_EQ(0, hook.set(owner_, kStale));  // setting again only retargets the one hook
    ASSERT_EQ(0, hook.set(owner_, kChoice));
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0, 1}), Track(hook.gesture)) << "one choice while the menu was open, the gesture swallowed";
    EXPECT_EQ(hook.nearMissSeen, Track(hook.nearMiss)) << "released off the menu, or Enter down before it opened (the window's): no choice";
    EXPECT_EQ((std::vector<int>{0, 0, 1, 0, 0}), Track(hook.other)) << "the other gesture is the menu's";
    ASSERT_EQ(0, hook.unset());
    EXPECT_NE(0, hook.unset()) << "no second hook was stacked";
    EXPECT_EQ((std::vector<int>{0, 0, 1, 0, 0}), Track(hook.gesture));
  }
}

}  // namespace
