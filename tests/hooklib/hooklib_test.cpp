// Corvanta.dll against a popup menu of the test's own: this thread runs the
// menu's modal loop while a second thread drives it with real input.
#include <gtest/gtest.h>

#include "hooklib.h"
#include "support/test_support.h"

namespace {

constexpr UINT kChoice = WM_APP + 1;    // the notification the hooks are given
constexpr UINT kStale = WM_APP + 2;     // a notification a hook was given before being retargeted
constexpr UINT kSentinel = WM_APP + 3;  // posted after the menu has closed: everything before it has arrived

// What the menu's owner received during one tracking.
struct Seen {
  int choices = 0, staleChoices = 0, commands = 0, enterKeyDowns = 0;
  bool menuOpenAtChoice = false, sentinel = false;
} gSeen;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kChoice:
      ++gSeen.choices;
      gSeen.menuOpenAtChoice = test::FindOpenMenu() != nullptr;
      EndMenu();  // what the program does once it has taken the highlighted entry
      return 0;
    case kStale: ++gSeen.staleChoices; return 0;
    case WM_COMMAND: ++gSeen.commands; return 0;
    case WM_KEYDOWN: gSeen.enterKeyDowns += wParam == VK_RETURN; return 0;
    case kSentinel: gSeen.sentinel = true; return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

enum class Gesture { kClickSecondEntry, kDownThenEnter };

class HookLibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass = {0, OwnerProc, 0, 0, GetModuleHandleW(nullptr)};
    windowClass.lpszClassName = L"CorvantaHookLibTestOwner";
    RegisterClassW(&windowClass);
    // Visible and foreground: key presses go to the foreground window's thread.
    owner_ = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, 600, 600, 40, 40,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (const wchar_t* entry : {L"first", L"second", L"third"}) AppendMenuW(menu_, MF_STRING, 101 + GetMenuItemCount(menu_), entry);
  }
  void TearDown() override {
    UnsetHookWH_MOUSE();
    UnsetHookWH_KEYBOARD();
    DestroyMenu(menu_);
    DestroyWindow(owner_);
  }
  // Tracks the menu while a driver thread makes `gesture` (and cancels a menu
  // still open afterwards, so a missing notification fails instead of hanging);
  // what the owner got, including whatever the menu posted as it closed.
  Seen Track(Gesture gesture) {
    gSeen = Seen();
    SetForegroundWindow(owner_);
    std::thread driver([gesture, this] {
      HWND menuWindow = test::WaitForOpenMenu(10000);
      RECT entry;
      if (gesture == Gesture::kDownThenEnter) {
        test::PressKey(VK_DOWN);
        test::PressKey(VK_RETURN);
      } else if (menuWindow != nullptr && test::MenuEntryRect(menuWindow, 1, &entry)) {
        test::ClickAt({(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
      }
      if (!test::WaitForNoOpenMenu(5000)) PostMessageW(owner_, WM_CANCELMODE, 0, 0);
    });
    TrackPopupMenu(menu_, TPM_LEFTALIGN, 100, 100, 0, owner_, nullptr);
    driver.join();
    PostMessageW(owner_, kSentinel, 0, 0);
    for (MSG message; !gSeen.sentinel && GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
    return gSeen;
  }
  HWND owner_ = nullptr;
  HMENU menu_ = CreatePopupMenu();
};

TEST_F(HookLibTest, EachHookTurnsItsGestureIntoOneNotificationWhileTheMenuIsOpenUntilUnset) {
  const struct {
    int (*set)(HWND, UINT);
    int (*unset)();
    Gesture own, other;
  } hooks[] = {{SetHookWH_MOUSE, UnsetHookWH_MOUSE, Gesture::kClickSecondEntry, Gesture::kDownThenEnter},
               {SetHookWH_KEYBOARD, UnsetHookWH_KEYBOARD, Gesture::kDownThenEnter, Gesture::kClickSecondEntry}};
  for (const auto& hook : hooks) {
    SCOPED_TRACE(hook.own == Gesture::kClickSecondEntry ? "mouse" : "keyboard");
    // Setting again only retargets the one hook: one unset removes it.
    ASSERT_EQ(0, hook.set(owner_, kStale));
    ASSERT_EQ(0, hook.set(owner_, kChoice));
    Seen seen = Track(hook.own);
    EXPECT_EQ((std::vector<int>{1, 0, 0}), (std::vector<int>{seen.choices, seen.staleChoices, seen.commands}))
        << "choices, stale choices, and commands the menu took from a gesture that should have been swallowed";
    EXPECT_TRUE(seen.menuOpenAtChoice);
    seen = Track(hook.other);  // not this hook's gesture: the menu acts on it
    EXPECT_EQ((std::vector<int>{0, 1}), (std::vector<int>{seen.choices, seen.commands}));
    ASSERT_EQ(0, hook.unset());
    EXPECT_NE(0, hook.unset()) << "no second hook was stacked";
    seen = Track(hook.own);
    EXPECT_EQ((std::vector<int>{0, 0, 1}), (std::vector<int>{seen.choices, seen.staleChoices, seen.commands}));
  }
  // Enter without an open menu reaches the window.
  ASSERT_EQ(0, SetHookWH_KEYBOARD(owner_, kChoice));
  gSeen = Seen();
  SetForegroundWindow(owner_);
  SetFocus(owner_);
  test::PressKey(VK_RETURN);
  for (DWORD start = GetTickCount(); gSeen.enterKeyDowns == 0 && GetTickCount() - start < 5000;) test::PumpMessages(20);
  EXPECT_EQ((std::vector<int>{1, 0}), (std::vector<int>{gSeen.enterKeyDowns, gSeen.choices}));
}

}  // namespace
