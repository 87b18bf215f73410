// The main window run in-process on the test thread: what closing undoes, the
// tray icon and its callback, the hotkey and its debounce, the quit entry, one
// action at a time; and a start of the real program whose keyboard hook fails.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "e2e/e2e_support.h"
#include "hooklib.h"
#include "mainwindow/traymenu.h"
#include "resource.h"

namespace {

using namespace test;
using Step = std::function<void(HWND)>;

// Counts popup menus of this process from a second thread and closes each
// (WM_CANCELMODE to the main window), so a handler that opens one returns.
class MenuCloser {
 public:
  MenuCloser() : thread_([this] {
      for (; !stop_; Sleep(10)) {
        if (FindOpenMenu() == nullptr) continue;
        ++opened_;
        PostMessageW(FindWindowW(D_WSTR_MAINWINDOW_CLASS_NAME, nullptr), WM_CANCELMODE, 0, 0);
        WaitForNoOpenMenu(5000);
      }
    }) {}
  ~MenuCloser() { stop_ = true, thread_.join(); }
  int Opened() const { return opened_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> opened_{0};
  std::thread thread_;
};

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
    gbool_MainWindow_HotKeyAccepted = false;
    gTIME_MainWindow_LastHotKeyTime = 0;
    gDWORD_MainWindow_LastTrayDoubleClickTick = 0;
  }
  // The real window and message loop: `inLoop` runs once on this thread from
  // inside the loop, then `helper` on a second thread; then WM_CLOSE.  The
  // loop's result; the exit code goes to exitCode_.
  int Run(Step inLoop, Step helper = nullptr) {
    for (MSG message; PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
    }  // a WM_QUIT left in the queue would end the loop at once
    running_ = this;
    inLoop_ = std::move(inLoop);
    helper_ = std::move(helper);
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
      KillTimer(nullptr, timer);
      HWND window = gHWND_MainWindow_Handle;
      if (running_->inLoop_) running_->inLoop_(window);
      running_->helperThread_ = std::thread([window] {
        if (running_->helper_) running_->helper_(window);
        PostMessageW(window, WM_CLOSE, 0, 0);
      });
    });
    exitCode_ = -12345;
    const int result = MainWindow_CreateMainWindow(GetModuleHandleW(nullptr), nullptr, exitCode_);
    if (helperThread_.joinable()) helperThread_.join();
    return result;
  }
  int exitCode_ = -12345;

 private:
  static inline MainWindowTest* running_ = nullptr;
  Step inLoop_, helper_;
  std::thread helperThread_;
};

TEST_F(MainWindowTest, CloseEndsWithZeroAndUndoesEverythingAlsoAfterARefusedHotkey) {
  // A window of the test's own holds or probes the hotkey combination.
  HWND other = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const auto takeHotkey = [other] { return RegisterHotKey(other, 1, MOD_CONTROL | MOD_SHIFT, 'Z') != FALSE; };
  for (bool refused : {false, true}) {  // the class is unregistered, so a second run works too
    SCOPED_TRACE(refused);
    TraceRecorder recorder;
    ASSERT_TRUE(!refused || takeHotkey());
    HWND seen = nullptr;
    ASSERT_EQ(0, Run([&](HWND window) {
      seen = window;
      EXPECT_TRUE(InTray(window)) << "no icon";
      EXPECT_TRUE(refused || !takeHotkey()) << "the window does not hold the hotkey";
      SendMessageW(window, gUINT_MainWindow_TaskbarCreated, 0, 0);  // Explorer restarted: the icon comes back
      EXPECT_TRUE(InTray(window)) << "no icon after the taskbar came back";
    }));
    UnregisterHotKey(other, 1);
    EXPECT_EQ(0, exitCode_);
    EXPECT_EQ(refused, recorder.Contains(TRACE_LEVEL_ERROR, L"外部処理異常終了( RegisterHotKey(), FormatMessage="));
    EXPECT_EQ(refused, recorder.Contains(TRACE_LEVEL_ERROR, L"")) << "an icon deleted twice, or another failure";
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_FALSE(InTray(seen)) << "the icon is left";
    EXPECT_TRUE(takeHotkey() && UnregisterHotKey(other, 1)) << "the hotkey is still registered";
    EXPECT_EQ((std::vector<bool>{true, true}), (std::vector<bool>{UnsetHookWH_MOUSE() != 0, UnsetHookWH_KEYBOARD() != 0}))
        << "a hook was left set";
  }
  DestroyWindow(other);
}

TEST_F(MainWindowTest, TrayRightPressAndHotkeyOpenTheMenuButNotOnADoubleClickOrTwiceInOneSecond) {
  MenuCloser closer;
  Run([&](HWND window) {
    const auto opened = [&](UINT message, WPARAM wParam, LPARAM lParam) {
      const int before = closer.Opened();
      SendMessageW(window, message, wParam, lParam);
      return closer.Opened() - before;
    };
    EXPECT_EQ(0, opened(D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDBLCLK));
    EXPECT_EQ(0, opened(D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN)) << "the second press of the double click";
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_MOUSEMOVE}) EXPECT_EQ(0, opened(D_LONG_MAINWINDOW_WM_TASKTRAY, 0, mouse)) << mouse;
    gDWORD_MainWindow_LastTrayDoubleClickTick = GetTickCount() - GetDoubleClickTime() - 1;
    EXPECT_EQ(1, opened(D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN));
    for (int id : {-1, -2, 7}) EXPECT_EQ(0, opened(WM_HOTKEY, static_cast<WPARAM>(id), 0)) << id;
    gbool_MainWindow_HotKeyAccepted = false;  // those count as handled presses too
    // A press in the second in which the last one's handling ended is dropped
    // (tried again in the rare case that the second ends in between).
    EXPECT_EQ(1, opened(WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0));
    int dropped = 1;
    for (int attempt = 0; attempt < 3 && dropped != 0; ++attempt) {
      const time_t now = gTIME_MainWindow_LastHotKeyTime = time(nullptr);
      if ((dropped = opened(WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0)) != 0 && time(nullptr) == now) break;
    }
    EXPECT_EQ(0, dropped);
    gTIME_MainWindow_LastHotKeyTime = time(nullptr) - 1;
    EXPECT_EQ(1, opened(WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0));
  });
  EXPECT_EQ(0, exitCode_);
}

// While a chosen entry's confirmation box is up the tray icon, the hotkey, a stray hook notification and a
// quit request all reach the window: none may open a menu, make a second choice or end the program, and OK
// runs the first choice.  The same holds while the settings sheet is up: a second request shows no second
// sheet.  Afterwards the quit entry asks, and only OK ends the program.
TEST_F(MainWindowTest, WhileAChoiceIsCarriedOutNothingElseIsChosenAndTheFirstChoiceRuns) {
  TempFolder temp;
  const std::wstring& root = temp.Path();
  for (const wchar_t* name : {L"\\first.lnk", L"\\second.lnk"}) WriteBytes(root + name, "");
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root.c_str());
  Text_Copy(gTCHAR_Config_SettingFilePath, D_SIZE_CONFIG_SETTING_FILE, (temp / L"config.ini").c_str());
  longSupressDialogBeforeExecute = longAutoCloseProgressWindow = 0;
  const std::wstring caption = L"ラウンチャーアイテム実行確認", quit = L"アプリケーション終了確認";
  const auto choose = [&](HWND window, const wchar_t* name, long id) {
    Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, (root + name).c_str());
    glong_MainWindow_CurrentMenuId = id;
    PostMessageW(window, D_LONG_MAINWINDOW_WM_HOOK, 0, 0);
  };
  const auto count = [](const std::wstring& title) {
    int shown = 0;
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", title.c_str())) != nullptr;) shown += IsWindowVisible(box);
    return shown;
  };
  MenuCloser closer;
  QueueBarrier barrier;
  std::vector<bool> calm;  // for the box and for the sheet: nothing but the first choice came, and the window lives
  std::wstring text, log, quitText;
  bool aliveAfterCancel = false;
  EXPECT_EQ(0, Run(nullptr, [&](HWND window) {
    for (const auto& first : std::vector<std::pair<std::wstring, long>>{{caption, 1001}, {L"設定", D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SETTING}}) {
      choose(window, L"\\first.lnk", first.second);
      HWND shown = WaitForWindow(L"#32770", first.first, 10000, GetCurrentProcessId());
      PostMessageW(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN);
      PostMessageW(window, WM_HOTKEY, D_LONG_MAINWINDOW_HOTKEY_ID, 0);
      choose(window, L"\\second.lnk", first.second == 1001 ? 1002 : first.second);
      PostMessageW(window, WM_CLOSE, 0, 0);
      calm.push_back(shown && barrier.Pass() && count(first.first) == 1 && closer.Opened() == 0 && !FindOpenMenu() && IsWindow(window));
      if (first.second != 1001) {
        PostMessageW(shown, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        break;
      }
      text = AnswerMessageBox(caption, IDOK, 1000, GetCurrentProcessId()).text;
      HWND progress = WaitForWindow(L"#32770", L"Launch Progress", 10000, GetCurrentProcessId());
      WaitForProgressLog(progress, L"処理件数");
      log = ProgressLog(progress);
      Press(progress, IDC_LAUNCH_PROGRESS_CLOSE);
      WaitUntil([progress] { return !IsWindow(progress); }, 5000);
    }
    WaitUntil([&] { return count(L"設定") == 0; }, 5000);
    choose(window, L"", D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT);
    quitText = AnswerMessageBox(quit, IDCANCEL, 10000, GetCurrentProcessId()).text;
    aliveAfterCancel = barrier.Pass() && IsWindow(window);
    choose(window, L"", D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT);
    AnswerMessageBox(quit, IDOK, 10000, GetCurrentProcessId());
    WaitUntil([window] { return !IsWindow(window); }, 5000);
  }));
  EXPECT_EQ((std::vector<bool>{true, true}), calm) << "a menu, a second box or sheet, or the end came while the first choice was carried out";
  EXPECT_EQ(L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\first.lnk", text);
  EXPECT_TRUE(log.find(L"<ラウンチャーアイテムルート>\\first.lnk ..... ") != std::wstring::npos && log.find(L"second") == std::wstring::npos);
  EXPECT_EQ(L"アプリケーションを終了します。\nよろしいですか？", quitText);
  EXPECT_TRUE(aliveAfterCancel) << "Cancel ended the program";
  EXPECT_EQ(0, exitCode_);
}

// The real Corvanta.exe with a hook library whose keyboard hook cannot be set
// (tests/fakes/failing_hook.cpp, built into fakes\failing_keyboard beside bin).
TEST(MainWindowProcess, FailingKeyboardHookEndsWithMinusOneAndRemovesTheIcon) {
  InstalledProgram program(L"Corvanta.exe", BinFolder() + L"\\..\\fakes\\failing_keyboard\\Corvanta.dll");
  program.Settle();
  EXPECT_EQ(kExitMinusOne, RunProgram(program.Exe(), L"DEBUG", 10000));
  const std::wstring log = program.TraceLog();
  const size_t added = log.find(L"MainWindow_AddTaskTrayIcon() 終了"),
               refused = log.find(L"外部処理異常終了( SetHookWH_KEYBOARD() )"),
               deleted = log.find(L"Shell_NotifyIcon(NIM_DELETE) 正常終了");
  ASSERT_NE(std::wstring::npos, added) << "no trace log, or the icon was never added";
  EXPECT_TRUE(refused != std::wstring::npos && added < refused && refused < deleted && deleted != std::wstring::npos)
      << "the icon was left behind";
}

}  // namespace
