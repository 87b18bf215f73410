// The main window in-process: what closing undoes, the tray icon's callback, the hotkey and its debounce, the quit
// entry, one action at a time; and a start of the real program whose keyboard hook fails.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/instance.h"
#include "base/text.h"
#include "config/config.h"
#include "support/test_support.h"
#include "hooklib.h"
#include "mainwindow/traymenu.h"
#include "resource.h"

namespace {

using namespace test;

// Whether the shell holds an icon of `window` (modifying nothing about it succeeds only then).
bool InTray(HWND window) {
  NOTIFYICONDATAW probe = {};
  probe.cbSize = sizeof(probe);
  probe.hWnd = window;
  return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    longHotkeyVirtualKey = 90;  // Ctrl+Shift+Z
    longHotkeyModifiers = 6;
  }
  // The real window and its message loop on this thread, while `helper` runs on a second thread once the loop
  // runs, then closes the window: the exit code.
  int Run(const std::function<void(HWND)>& helper) {
    std::thread second([&] {
      barrier_.Pass();
      HWND window = gHWND_MainWindow_Handle;
      helper(window);
      PostMessageW(window, WM_CLOSE, 0, 0);
    });
    int exitCode = -12345;
    EXPECT_EQ(0, MainWindow_CreateMainWindow(GetModuleHandleW(nullptr), nullptr, exitCode));
    second.join();
    return exitCode;
  }
  // Posts the message: whether a menu is open once the window has handled it and all posted before.  Such a
  // menu is closed, and the end of its handling waited for.
  bool OpensMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, message, wParam, lParam);
    if (!barrier_.Pass() || FindOpenMenu() == nullptr) return false;
    PostMessageW(window, WM_CANCELMODE, 0, 0);
    WaitForNoOpenMenu(5000);
    barrier_.Pass();
    return true;
  }
  QueueBarrier barrier_;
};

TEST_F(MainWindowTest, CloseEndsWithZeroAndUndoesEverythingAlsoAfterARefusedHotkey) {
  // A hotkey of the calling thread holds or probes the combination.
  const auto takeHotkey = [] { return RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, 'Z') != FALSE; };
  for (bool refused : {false, true}) {  // the class is unregistered, so a second run works too
    SCOPED_TRACE(refused);
    TraceRecorder recorder;
    ASSERT_TRUE(!refused || takeHotkey());
    HWND seen = nullptr;
    EXPECT_EQ(0, Run([&](HWND window) {
      seen = window;
      EXPECT_TRUE(InTray(window)) << "no icon";
      EXPECT_TRUE(refused || !takeHotkey()) << "the window does not hold the hotkey";
      SendMessageW(window, gUINT_MainWindow_TaskbarCreated, 0, 0);  // Explorer restarted: the icon comes back
      EXPECT_TRUE(InTray(window)) << "no icon after the taskbar came back";
    }));
    UnregisterHotKey(nullptr, 1);
    EXPECT_EQ(refused, recorder.Contains(TRACE_LEVEL_ERROR, L"外部処理異常終了( RegisterHotKey(), FormatMessage="));
    EXPECT_EQ(refused, recorder.Contains(TRACE_LEVEL_ERROR, L"")) << "an icon deleted twice, or another failure";
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_FALSE(InTray(seen)) << "the icon is left";
    EXPECT_TRUE(takeHotkey() && UnregisterHotKey(nullptr, 1)) << "the hotkey is still registered";
    EXPECT_TRUE(UnsetHookWH_MOUSE() != 0 && UnsetHookWH_KEYBOARD() != 0) << "a hook was left set";
  }
}

TEST_F(MainWindowTest, TrayRightPressAndHotkeyOpenTheMenuButNotOnADoubleClickOrTwiceInOneSecond) {
  Run([&](HWND window) {
    EXPECT_FALSE(OpensMenu(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDBLCLK));
    EXPECT_FALSE(OpensMenu(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN)) << "right after a double click";
    gDWORD_MainWindow_LastTrayDoubleClickTick = GetTickCount() - GetDoubleClickTime() - 1;
    EXPECT_TRUE(OpensMenu(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN));
    EXPECT_TRUE(OpensMenu(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0));
    // A press in the second in which the last one's handling ended is dropped (tried again should it end between).
    bool dropped = false;
    for (int attempt = 0; attempt < 3 && !dropped; ++attempt) {
      const time_t second = gTIME_MainWindow_LastHotKeyTime = time(nullptr);
      dropped = !OpensMenu(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0);
      if (!dropped && time(nullptr) == second) break;
    }
    EXPECT_TRUE(dropped);
    gTIME_MainWindow_LastHotKeyTime = time(nullptr) - 1;
    EXPECT_TRUE(OpensMenu(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0));
  });
}

// While a chosen entry's confirmation box is up the tray icon, the hotkey, a second choice and a quit request
// all reach the window: none may open a menu, show a second box or end the program, and OK runs the first
// choice.  Afterwards the quit entry asks, and only OK ends the program.
TEST_F(MainWindowTest, WhileAChoiceIsCarriedOutNothingElseIsChosenAndTheFirstChoiceRuns) {
  TempFolder temp;
  for (const wchar_t* name : {L"\\first.lnk", L"\\second.lnk"}) WriteBytes(temp.Path() + name, "");
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, temp.Path().c_str());
  longSupressDialogBeforeExecute = longAutoCloseProgressWindow = 0;
  const std::wstring caption = L"ラウンチャーアイテム実行確認", quit = L"アプリケーション終了確認";
  const auto choose = [&](HWND window, const wchar_t* name, long id) {
    Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, (temp.Path() + name).c_str());
    glong_MainWindow_CurrentMenuId = id;
    PostMessageW(window, D_LONG_MAINWINDOW_WM_HOOK, 0, 0);
  };
  EXPECT_EQ(0, Run([&](HWND window) {
    choose(window, L"\\first.lnk", 1001);
    ASSERT_TRUE(WaitForWindow(L"#32770", caption, 10000, GetCurrentProcessId()));
    PostMessageW(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN);
    PostMessageW(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0);
    choose(window, L"\\second.lnk", 1002);
    const bool menu = OpensMenu(window, WM_CLOSE, 0, 0);  // a quit request last
    HWND box = FindWindowW(L"#32770", caption.c_str());
    EXPECT_TRUE(!menu && !FindWindowExW(nullptr, box, L"#32770", caption.c_str()) && IsWindow(window))
        << "a menu, a second box or the end came while the box was up";
    EXPECT_EQ(L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\first.lnk",
              AnswerMessageBox(caption, IDOK, 1000, GetCurrentProcessId()).text);
    HWND progress = WaitForWindow(L"#32770", L"Launch Progress", 10000, GetCurrentProcessId());
    WaitForProgressLog(progress, L"処理件数");
    EXPECT_NE(std::wstring::npos, ProgressLog(progress).find(L"<ラウンチャーアイテムルート>\\first.lnk ..... "));
    Press(progress, IDC_LAUNCH_PROGRESS_CLOSE);
    WaitUntil([progress] { return !IsWindow(progress); }, 5000);
    choose(window, L"", D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT);
    EXPECT_EQ(L"アプリケーションを終了します。\nよろしいですか？", AnswerMessageBox(quit, IDCANCEL, 10000, GetCurrentProcessId()).text);
    EXPECT_TRUE(barrier_.Pass() && IsWindow(window)) << "Cancel ended the program";
    choose(window, L"", D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT);
    AnswerMessageBox(quit, IDOK, 10000, GetCurrentProcessId());
    EXPECT_TRUE(WaitUntil([window] { return !IsWindow(window); }, 5000)) << "OK left the program running";
  }));
}

// The real Corvanta.exe with a hook library whose keyboard hook cannot be set
// (tests/fakes/failing_hook.cpp, built into fakes\failing_keyboard beside bin).
TEST(MainWindowProcess, FailingKeyboardHookEndsWithMinusOneAndRemovesTheIcon) {
  InstalledProgram program(L"Corvanta.exe", BinFolder() + L"\\..\\fakes\\failing_keyboard\\Corvanta.dll");
  program.Settle();
  EXPECT_EQ(kExitMinusOne, RunProgram(program.Exe(), L"DEBUG", 10000));
  const std::wstring log = program.TraceLog();
  const size_t added = log.find(L"MainWindow_AddTaskTrayIcon() 終了");
  const size_t refused = log.find(L"外部処理異常終了( SetHookWH_KEYBOARD() )", added);
  EXPECT_NE(std::wstring::npos, log.find(L"Shell_NotifyIcon(NIM_DELETE) 正常終了", refused)) << "the icon was left";
}

}  // namespace
