// The main window's life (creation, WM_CLOSE, what destruction undoes), the
// hotkey and its debounce, and a start that fails because the keyboard hook
// cannot be set.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "hooklib.h"
#include "mainwindow/main_window_fixture.h"
#include "support/process.h"

namespace {

using test::MainWindowTest;
using test::MenuCloser;

// A window of the test's own, to hold or probe the hotkey combination.
class OtherWindow {
 public:
  OtherWindow() : window_(CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~OtherWindow() { DestroyWindow(window_); }
  bool TakeHotkey() { return RegisterHotKey(window_, 1, MOD_CONTROL | MOD_SHIFT, 'Z') != FALSE; }
  void ReleaseHotkey() { UnregisterHotKey(window_, 1); }

 private:
  HWND window_;
};

void WaitForNextSecond() {
  const time_t now = time(nullptr);
  while (time(nullptr) == now) Sleep(5);
}

TEST_F(MainWindowTest, CloseEndsTheLoopWithZeroAndUndoesEverything) {
  test::TraceRecorder recorder;
  OtherWindow other;
  struct {
    HWND window = nullptr;
    bool hidden = false;
    bool hiddenTreeViewChild = false;
    bool hotkeyHeld = false;
    DWORD traySize = 0;
  } during;
  for (int run = 0; run < 2; ++run) {  // the class is unregistered, so a second run works too
    SCOPED_TRACE(run);
    exitCode_ = -12345;
    ASSERT_EQ(0, Run([&](HWND window) {
      during.window = window;
      during.hidden = !IsWindowVisible(window);
      wchar_t name[32] = L"";
      GetClassNameW(gHWND_MainWindow_TreeView, name, ARRAYSIZE(name));
      during.hiddenTreeViewChild = GetParent(gHWND_MainWindow_TreeView) == window &&
                                   lstrcmpW(name, WC_TREEVIEWW) == 0 && !IsWindowVisible(gHWND_MainWindow_TreeView);
      during.hotkeyHeld = !other.TakeHotkey();
      if (!during.hotkeyHeld) other.ReleaseHotkey();
      during.traySize = gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize;
    }));
    EXPECT_EQ(0, exitCode_);
    EXPECT_TRUE(during.hidden);
    EXPECT_TRUE(during.hiddenTreeViewChild);
    EXPECT_TRUE(during.hotkeyHeld);
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE), during.traySize);

    EXPECT_FALSE(IsWindow(during.window));
    EXPECT_EQ(0u, gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize);
    EXPECT_TRUE(other.TakeHotkey()) << "the hotkey is still registered";
    other.ReleaseHotkey();
    EXPECT_NE(0, UnsetHookWH_MOUSE()) << "the mouse hook was left set";
    EXPECT_NE(0, UnsetHookWH_KEYBOARD()) << "the keyboard hook was left set";
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), D_WSTR_MAINWINDOW_CLASS_NAME, &windowClass));
  }
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_ERROR, L"")) << "a failure was reported";
}

TEST_F(MainWindowTest, RefusedHotkeyIsReportedAndTheWindowRunsOnWithItsIcon) {
  test::TraceRecorder recorder;
  OtherWindow other;
  ASSERT_TRUE(other.TakeHotkey());
  DWORD traySize = 0;
  EXPECT_EQ(0, Run([&](HWND) { traySize = gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize; }));
  other.ReleaseHotkey();
  EXPECT_EQ(0, exitCode_);
  EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE), traySize);
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"外部処理異常終了( RegisterHotKey(), FormatMessage="));
}

TEST_F(MainWindowTest, HotkeyInTheSecondItsLastHandlingEndedIsDropped) {
  test::ScopedTraceFlag flag(1);
  test::TraceRecorder recorder;
  MenuCloser closer;
  struct {
    int firstOpened = 0, secondOpened = 0, laterOpened = 0;
    bool sameSecond = false, dropRecorded = false;
  } seen;
  Run([&](HWND window) {
    // The second press must come within the second in which the first one's
    // handling ended; start right after a second boundary, and retry in the
    // rare case that the pair straddles one anyway.
    for (int attempt = 0; attempt < 3 && !seen.sameSecond; ++attempt) {
      WaitForNextSecond();
      int before = closer.Opened();
      SendMessageW(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0);
      seen.firstOpened = closer.Opened() - before;
      const time_t handled = gTIME_MainWindow_LastHotKeyTime;
      recorder.Clear();
      before = closer.Opened();
      SendMessageW(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0);
      seen.secondOpened = closer.Opened() - before;
      seen.sameSecond = time(nullptr) == handled;
      seen.dropRecorded = recorder.Contains(TRACE_LEVEL_TRACE, L"ホットキー連続押下のため破棄します");
    }
    WaitForNextSecond();
    const int before = closer.Opened();
    SendMessageW(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0);
    seen.laterOpened = closer.Opened() - before;
  });
  EXPECT_EQ(0, exitCode_);
  ASSERT_TRUE(seen.sameSecond);
  EXPECT_EQ(1, seen.firstOpened);
  EXPECT_EQ(0, seen.secondOpened);
  EXPECT_TRUE(seen.dropRecorded);
  EXPECT_EQ(1, seen.laterOpened) << "a press in a later second opens the menu again";
  EXPECT_TRUE(closer.AllHadQuitEntry());
}

TEST_F(MainWindowTest, SystemAndUnknownHotkeyIdsOpenNothing) {
  test::ScopedTraceFlag flag(1);
  test::TraceRecorder recorder;
  MenuCloser closer;
  Run([&](HWND window) {
    for (int id : {-1, -2, 7}) {
      gbool_MainWindow_HotKeyAccepted = false;  // each gets past the debounce
      SendMessageW(window, WM_HOTKEY, static_cast<WPARAM>(id), 0);
    }
  });
  EXPECT_EQ(0, closer.Opened());
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_TRACE, L"(int)wparam = -1"));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_TRACE, L"(int)wparam = -2"));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_TRACE, L"(int)wparam = 7"));
  EXPECT_EQ(1, test::CountRecords(recorder, L"未登録のホットキーのため無視します"));
  EXPECT_EQ(-1, test::RecordIndex(recorder, L"MainWindow_ShowTrayIconMenu() 開始"));
}

// The real Corvanta.exe with a hook library whose keyboard hook cannot be set
// (tests/fakes/failing_hook.cpp, built into fakes\failing_keyboard beside bin).
TEST(MainWindowProcess, FailingKeyboardHookEndsWithMinusOneAndRemovesTheIcon) {
  const std::wstring fake = test::BinFolder() + L"\\..\\fakes\\failing_keyboard\\Corvanta.dll";
  ASSERT_TRUE(test::FileExists(fake));
  test::TempFolder folder;
  const std::wstring exe = test::InstallProgram(folder.Path(), fake);
  test::WriteBytes(folder / L"config.ini",
                   "[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=0\r\nAUTOCLOSE_PROGRESS_WINDOW=0\r\n"
                   "HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=0\r\n"
                   "ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\nADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n");
  test::MakeFolder(folder / L"ラウンチャーアイテムルート");

  test::ChildProcess program;
  ASSERT_TRUE(program.Start(exe, L"DEBUG"));
  EXPECT_EQ(0xFFFFFFFFu, program.Wait(10000));
  EXPECT_TRUE(test::WaitForNoMainWindow(5000));

  const std::string bytes = test::ReadBytes(folder / L"Corvanta.trace.log");
  std::wstring log(bytes.size(), L'\0');
  log.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &log[0],
                                 static_cast<int>(log.size())));
  const size_t added = log.find(L"MainWindow_AddTaskTrayIcon() 終了");
  const size_t refused = log.find(L"外部処理異常終了( SetHookWH_KEYBOARD() )");
  const size_t deleted = log.find(L"Shell_NotifyIcon(NIM_DELETE) 正常終了");
  ASSERT_NE(std::wstring::npos, added) << "no trace log, or the icon was never added";
  ASSERT_NE(std::wstring::npos, refused);
  ASSERT_NE(std::wstring::npos, deleted) << "the icon was left behind";
  EXPECT_LT(added, refused);
  EXPECT_LT(refused, deleted);
  EXPECT_EQ(std::wstring::npos, log.find(L"Shell_NotifyIcon(NIM_ADD)")) << "adding the icon failed";
}

}  // namespace
