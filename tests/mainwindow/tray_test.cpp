// The tray icon: its record, its re-creation on "TaskbarCreated", deletion,
// the mouse callback, and the quit entry of the tray menu.
#include <gtest/gtest.h>

#include "hooklib.h"
#include "mainwindow/main_window_fixture.h"
#include "support/message_box.h"

namespace {

using TrayTest = test::MainWindowTest;
using test::MenuCloser;

TEST_F(TrayTest, TaskbarCreatedDeletesAndAddsTheIconAgain) {
  test::ScopedTraceFlag flag(1);
  test::TraceRecorder recorder;
  NOTIFYICONDATAW before = {}, after = {};
  size_t reAddStart = 0, reAddEnd = 0;
  bool alive = false;
  Run([&](HWND window) {
    before = gNOTIFYICONDATA_MainWindow_TrayIcon;
    reAddStart = recorder.Records().size();
    SendMessageW(window, gUINT_MainWindow_TaskbarCreated, 0, 0);
    reAddEnd = recorder.Records().size();
    after = gNOTIFYICONDATA_MainWindow_TrayIcon;
    alive = IsWindow(window) != FALSE;
  });
  EXPECT_EQ(0, exitCode_);
  EXPECT_TRUE(alive);
  for (const NOTIFYICONDATAW* record : {&before, &after}) {
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE), record->cbSize);
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), record->uFlags) << "balloon flag left set";
    EXPECT_EQ(static_cast<UINT>(D_LONG_MAINWINDOW_WM_TASKTRAY), record->uCallbackMessage);
    EXPECT_NE(nullptr, record->hIcon);
    EXPECT_STREQ(L"Corvanta", record->szTip);
    EXPECT_STREQ(L"準備完了", record->szInfo);
  }
  const int deleted = test::RecordIndex(recorder, L"Shell_NotifyIcon(NIM_DELETE) 正常終了", reAddStart);
  const int added = test::RecordIndex(recorder, L"MainWindow_AddTaskTrayIcon() 開始", reAddStart);
  ASSERT_GE(deleted, 0);
  ASSERT_GE(added, 0);
  EXPECT_LT(deleted, added);
  EXPECT_LT(added, static_cast<int>(reAddEnd));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_ERROR, L""));
}

TEST_F(TrayTest, DeletingTheIconTwiceCallsTheSystemOnce) {
  test::ScopedTraceFlag flag(1);
  test::TraceRecorder recorder;
  int first = -5, second = -5;
  DWORD sizeBetween = 1;
  Run([&](HWND) {
    first = MainWindow_DeleteTaskTrayIcon();
    sizeBetween = gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize;
    second = MainWindow_DeleteTaskTrayIcon();
  });
  EXPECT_EQ(0, first);
  EXPECT_EQ(0u, sizeBetween);
  EXPECT_EQ(0, second);
  // A second NIM_DELETE would fail and be reported; the destroy handling,
  // finding no icon either, does not call the system.
  EXPECT_EQ(1, test::CountRecords(recorder, L"Shell_NotifyIcon(NIM_DELETE) 正常終了"));
  EXPECT_EQ(2, test::CountRecords(recorder, L"タスクトレイアイコンは登録されていません"));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_ERROR, L""));
  EXPECT_EQ(0, exitCode_);
}

TEST_F(TrayTest, RightPressOpensTheMenuExceptJustAfterARightDoubleClick) {
  test::ScopedTraceFlag flag(1);
  test::TraceRecorder recorder;
  MenuCloser closer;
  struct {
    int afterDoubleClick = -1, afterOtherButtons = -1, afterWaiting = -1;
    bool ignoredRecorded = false;
  } seen;
  Run([&](HWND window) {
    const auto notify = [window](UINT mouseMessage) {
      SendMessageW(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, mouseMessage);
    };
    notify(WM_RBUTTONDBLCLK);
    Sleep(100);  // well within the double-click time
    notify(WM_RBUTTONDOWN);  // the second press of the double click
    seen.afterDoubleClick = closer.Opened();
    seen.ignoredRecorded = recorder.Contains(TRACE_LEVEL_TRACE, L"ダブルクリック直後のため無視します");
    for (UINT mouseMessage : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_MOUSEMOVE}) {
      notify(mouseMessage);
    }
    seen.afterOtherButtons = closer.Opened();
    Sleep(GetDoubleClickTime() + 200);
    notify(WM_RBUTTONDOWN);
    seen.afterWaiting = closer.Opened();
  });
  EXPECT_EQ(0, seen.afterDoubleClick);
  EXPECT_TRUE(seen.ignoredRecorded);
  EXPECT_EQ(0, seen.afterOtherButtons);
  EXPECT_EQ(1, seen.afterWaiting);
  EXPECT_TRUE(closer.AllHadQuitEntry());
  EXPECT_EQ(0, exitCode_);
}

// Opens the tray menu as a right click on the icon would and clicks its quit
// entry with real input, which the hook library turns into message 1134.
bool ChooseQuitEntry(HWND window) {
  PostMessageW(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN);
  HWND menu = test::WaitForOpenMenu(10000);
  RECT entry;
  if (menu == nullptr ||
      !test::MenuEntryRect(menu, test::MenuEntryPosition(menu, D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT),
                           &entry)) {
    return false;
  }
  test::ClickAt({(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
  return true;
}

TEST_F(TrayTest, QuitEntryAsksAndOnlyOkEndsTheProgram) {
  const std::wstring caption = L"アプリケーション終了確認";
  struct {
    bool chosen[2] = {false, false};
    test::SeenMessageBox cancelled, confirmed;
    bool menuClosed = false, aliveAfterCancel = false, goneAfterOk = false;
  } seen;
  const int result = Run(nullptr, [&](HWND window) {
    seen.chosen[0] = ChooseQuitEntry(window);
    seen.cancelled = test::AnswerMessageBox(caption, IDCANCEL, 10000, GetCurrentProcessId());
    seen.menuClosed = test::WaitForNoOpenMenu(5000);
    Sleep(300);  // let a wrongly quitting window go before looking
    seen.aliveAfterCancel = IsWindow(window) != FALSE;
    if (!seen.aliveAfterCancel) return;
    seen.chosen[1] = ChooseQuitEntry(window);
    seen.confirmed = test::AnswerMessageBox(caption, IDOK, 10000, GetCurrentProcessId());
    for (DWORD start = GetTickCount(); IsWindow(window) && GetTickCount() - start < 5000;) Sleep(20);
    seen.goneAfterOk = !IsWindow(window);
  });
  EXPECT_TRUE(seen.chosen[0]);
  ASSERT_TRUE(seen.cancelled.found) << "no confirmation box";
  EXPECT_EQ(L"アプリケーションを終了します。\nよろしいですか？", seen.cancelled.text);
  EXPECT_TRUE(seen.menuClosed);
  EXPECT_TRUE(seen.aliveAfterCancel) << "Cancel ended the program";
  EXPECT_TRUE(seen.chosen[1]);
  EXPECT_TRUE(seen.confirmed.found) << "the mouse hook was not set again after the first choice";
  EXPECT_TRUE(seen.goneAfterOk);
  EXPECT_EQ(0, result);
  EXPECT_EQ(0, exitCode_);
  EXPECT_EQ(0u, gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize);
  EXPECT_NE(0, UnsetHookWH_MOUSE());
  EXPECT_NE(0, UnsetHookWH_KEYBOARD());
}

}  // namespace
