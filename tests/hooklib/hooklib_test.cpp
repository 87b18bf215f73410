// Corvanta.dll against a popup menu of the test's own: this thread runs the
// menu's modal loop while a second thread drives it with real input.
#include <gtest/gtest.h>

#include <thread>

#include "hooklib.h"
#include "support/test_support.h"

namespace {

constexpr UINT kChoice = WM_APP + 1;    // the notification the hooks are given
constexpr UINT kStale = WM_APP + 2;     // a notification a hook was given before being retargeted
constexpr UINT kSentinel = WM_APP + 3;  // posted after the menu has closed: everything before it has arrived
constexpr wchar_t kOwnerClass[] = L"CorvantaHookLibTestOwner";

// What the menu's owner received during one tracking.
struct Seen {
  int choices = 0;
  bool menuOpenAtChoice = false;
  int staleChoices = 0;
  int commands = 0;
  UINT command = 0;
  int enterKeyDowns = 0;
  bool sentinel = false;
};
Seen gSeen;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kChoice:
      ++gSeen.choices;
      gSeen.menuOpenAtChoice = test::FindOpenMenu() != nullptr;
      EndMenu();  // what the program does once it has taken the highlighted entry
      return 0;
    case kStale:
      ++gSeen.staleChoices;
      return 0;
    case WM_COMMAND:
      ++gSeen.commands;
      gSeen.command = LOWORD(wParam);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) ++gSeen.enterKeyDowns;
      return 0;
    case kSentinel:
      gSeen.sentinel = true;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

enum class Gesture { kClickSecondEntry, kDownThenEnter };

// The driver thread: waits for the menu and makes the gesture.  A menu still
// open afterwards is cancelled, so a missing notification fails the test
// instead of hanging it.
void Drive(Gesture gesture, HWND owner) {
  HWND menuWindow = test::WaitForOpenMenu(10000);
  if (menuWindow == nullptr) return;
  if (gesture == Gesture::kClickSecondEntry) {
    RECT entry;
    if (test::MenuEntryRect(menuWindow, 1, &entry)) {
      test::ClickAt({(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
    }
  } else {
    test::PressKey(VK_DOWN);
    test::PressKey(VK_RETURN);
  }
  if (!test::WaitForNoOpenMenu(5000)) PostMessageW(owner, WM_CANCELMODE, 0, 0);
}

class HookLibTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassW(&windowClass);
  }

  void SetUp() override {
    owner_ = NewOwner();
    ASSERT_NE(nullptr, owner_);
    menu_ = CreatePopupMenu();
    AppendMenuW(menu_, MF_STRING, 101, L"first");
    AppendMenuW(menu_, MF_STRING, 102, L"second");
    AppendMenuW(menu_, MF_STRING, 103, L"third");
  }

  void TearDown() override {
    UnsetHookWH_MOUSE();
    UnsetHookWH_KEYBOARD();
    DestroyMenu(menu_);
    DestroyWindow(owner_);
  }

  static HWND NewOwner() {
    // Visible and foreground: key presses go to the foreground window's thread.
    return CreateWindowExW(WS_EX_TOPMOST, kOwnerClass, L"owner", WS_POPUP | WS_VISIBLE, 600, 600, 40, 40, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  // Tracks the menu on this thread while the driver makes `gesture`; returns
  // what the owner got, including whatever the menu posted as it closed.
  Seen Track(Gesture gesture) {
    gSeen = Seen();
    SetForegroundWindow(owner_);
    std::thread driver(Drive, gesture, owner_);
    TrackPopupMenu(menu_, TPM_LEFTALIGN, 100, 100, 0, owner_, nullptr);
    driver.join();
    PostMessageW(owner_, kSentinel, 0, 0);
    MSG message;
    while (!gSeen.sentinel && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return gSeen;
  }

  HWND owner_ = nullptr;
  HMENU menu_ = nullptr;
};

TEST_F(HookLibTest, MouseHookTurnsAClickOnAnEntryIntoOneNotificationWhileTheMenuIsOpen) {
  ASSERT_EQ(0, SetHookWH_MOUSE(owner_, kChoice));
  Seen seen = Track(Gesture::kClickSecondEntry);
  EXPECT_EQ(1, seen.choices);
  EXPECT_TRUE(seen.menuOpenAtChoice);
  EXPECT_EQ(0, seen.commands) << "the menu acted on the swallowed click";

  // Enter is not the mouse hook's gesture: the menu acts on it.
  seen = Track(Gesture::kDownThenEnter);
  EXPECT_EQ(0, seen.choices);
  EXPECT_EQ(1, seen.commands);

  ASSERT_EQ(0, UnsetHookWH_MOUSE());
  seen = Track(Gesture::kClickSecondEntry);
  EXPECT_EQ(0, seen.choices);
  EXPECT_EQ(1, seen.commands);
  EXPECT_EQ(102u, seen.command);
}

TEST_F(HookLibTest, KeyboardHookTurnsEnterIntoOneNotificationWhileTheMenuIsOpen) {
  ASSERT_EQ(0, SetHookWH_KEYBOARD(owner_, kChoice));
  Seen seen = Track(Gesture::kDownThenEnter);
  EXPECT_EQ(1, seen.choices);
  EXPECT_TRUE(seen.menuOpenAtChoice);
  EXPECT_EQ(0, seen.commands) << "the menu acted on the swallowed Enter";

  // A click is not the keyboard hook's gesture.
  seen = Track(Gesture::kClickSecondEntry);
  EXPECT_EQ(0, seen.choices);
  EXPECT_EQ(1, seen.commands);
  EXPECT_EQ(102u, seen.command);

  ASSERT_EQ(0, UnsetHookWH_KEYBOARD());
  seen = Track(Gesture::kDownThenEnter);
  EXPECT_EQ(0, seen.choices);
  EXPECT_EQ(1, seen.commands);
}

TEST_F(HookLibTest, EnterWithoutAnOpenMenuReachesTheWindow) {
  ASSERT_EQ(0, SetHookWH_KEYBOARD(owner_, kChoice));
  gSeen = Seen();
  SetForegroundWindow(owner_);
  SetFocus(owner_);
  test::PressKey(VK_RETURN);
  const DWORD start = GetTickCount();
  while (gSeen.enterKeyDowns == 0 && GetTickCount() - start < 5000) test::PumpMessages(20);
  EXPECT_EQ(1, gSeen.enterKeyDowns);
  EXPECT_EQ(0, gSeen.choices);
}

TEST_F(HookLibTest, MouseHookAlternatesManyTimes) {
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(0, SetHookWH_MOUSE(owner_, kChoice));
    Seen seen = Track(Gesture::kClickSecondEntry);
    EXPECT_EQ(1, seen.choices);
    EXPECT_EQ(0, seen.commands);
    ASSERT_EQ(0, UnsetHookWH_MOUSE());
    seen = Track(Gesture::kClickSecondEntry);
    EXPECT_EQ(0, seen.choices);
    EXPECT_EQ(1, seen.commands);
  }
}

TEST_F(HookLibTest, SettingAgainRetargetsTheOneHook) {
  ASSERT_EQ(0, SetHookWH_MOUSE(owner_, kStale));
  ASSERT_EQ(0, SetHookWH_MOUSE(owner_, kChoice));
  Seen seen = Track(Gesture::kClickSecondEntry);
  EXPECT_EQ(1, seen.choices);
  EXPECT_EQ(0, seen.staleChoices);

  // One unset removes it: no second hook was stacked by the second set.
  ASSERT_EQ(0, UnsetHookWH_MOUSE());
  seen = Track(Gesture::kClickSecondEntry);
  EXPECT_EQ(0, seen.choices + seen.staleChoices);
  EXPECT_EQ(1, seen.commands);
}

TEST_F(HookLibTest, SetRefusesMissingWindowsAndUnsetRefusesWithoutSet) {
  EXPECT_NE(0, SetHookWH_MOUSE(nullptr, kChoice));
  EXPECT_NE(0, SetHookWH_KEYBOARD(nullptr, kChoice));
  HWND gone = NewOwner();
  ASSERT_NE(nullptr, gone);
  DestroyWindow(gone);
  EXPECT_NE(0, SetHookWH_MOUSE(gone, kChoice));
  EXPECT_NE(0, SetHookWH_KEYBOARD(gone, kChoice));

  // None of the refused calls left a hook behind.
  EXPECT_NE(0, UnsetHookWH_MOUSE());
  EXPECT_NE(0, UnsetHookWH_KEYBOARD());

  ASSERT_EQ(0, SetHookWH_KEYBOARD(owner_, kChoice));
  EXPECT_EQ(0, UnsetHookWH_KEYBOARD());
  EXPECT_NE(0, UnsetHookWH_KEYBOARD());
}

}  // namespace
