// The main window run in-process on the test thread: its life and what closing
// undoes, the tray icon and its callback, the hotkey and its debounce, the
// quit entry; and a start of the real program whose keyboard hook fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "base/trace.h"
#include "app/winmain.h"
#include "config/config.h"
#include "hooklib.h"
#include "mainwindow/mainwindow.h"
#include "support/message_box.h"
#include "support/process.h"
#include "support/test_support.h"

namespace {

using test::TraceRecorder;

class MainWindowTest : public ::testing::Test {
 protected:
  using Step = std::function<void(HWND)>;

  void SetUp() override {
    gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    longHotkeyVirtualKey = 90;  // Ctrl+Shift+Z
    longHotkeyModifiers = 6;
    gbool_MainWindow_HotKeyAccepted = false;
    gTIME_MainWindow_LastHotKeyTime = 0;
    gDWORD_MainWindow_LastTrayDoubleClickTick = 0;
  }

  // The real window and message loop.  `inLoop` runs once on this thread from
  // inside the loop, then `helper` on a second thread; whichever ran last
  // closes the window (WM_CLOSE) if it still exists.
  int Run(Step inLoop, Step helper = nullptr) {
    MSG message;  // a WM_QUIT left in the queue would end the loop at once
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    inLoop_ = std::move(inLoop);
    helper_ = std::move(helper);
    running_ = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, StartSteps);
    const int result = MainWindow_CreateMainWindow(GetModuleHandleW(nullptr), nullptr, exitCode_);
    KillTimer(nullptr, timer);
    if (helperThread_.joinable()) helperThread_.join();
    return result;
  }

  int exitCode_ = -12345;

 private:
  static void CALLBACK StartSteps(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    MainWindowTest* self = running_;
    HWND window = gHWND_MainWindow_Handle;
    if (self->inLoop_) self->inLoop_(window);
    if (self->helper_) {
      self->helperThread_ = std::thread([self, window] {
        self->helper_(window);
        PostMessageW(window, WM_CLOSE, 0, 0);
      });
    } else {
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
  }

  static inline MainWindowTest* running_ = nullptr;
  Step inLoop_, helper_;
  std::thread helperThread_;
};

// Counts popup menus of this process from a second thread and closes each
// (WM_CANCELMODE to the main window), so a handler that opens one returns.
class MenuCloser {
 public:
  MenuCloser() : thread_([this] {
      while (!stop_) {
        if (test::FindOpenMenu() == nullptr) {
          Sleep(20);
          continue;
        }
        ++opened_;
        PostMessageW(FindWindowW(D_WSTR_MAINWINDOW_CLASS_NAME, nullptr), WM_CANCELMODE, 0, 0);
        test::WaitForNoOpenMenu(5000);
      }
    }) {}
  ~MenuCloser() {
    stop_ = true;
    thread_.join();
  }
  int Opened() const { return opened_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> opened_{0};
  std::thread thread_;
};

// Positions of the records that contain `fragment`.
std::vector<int> Positions(const TraceRecorder& recorder, const std::wstring& fragment) {
  std::vector<int> positions;
  for (size_t i = 0; i < recorder.Records().size(); ++i) {
    if (recorder.Records()[i].text.find(fragment) != std::wstring::npos) positions.push_back(static_cast<int>(i));
  }
  return positions;
}

TEST_F(MainWindowTest, CloseEndsWithZeroAndUndoesEverythingAlsoAfterARefusedHotkey) {
  // A window of the test's own holds or probes the hotkey combination.
  HWND other = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const auto takeHotkey = [other] { return RegisterHotKey(other, 1, MOD_CONTROL | MOD_SHIFT, 'Z') != FALSE; };
  for (bool refused : {false, true}) {  // the class is unregistered, so a second run works too
    SCOPED_TRACE(refused);
    TraceRecorder recorder;
    ASSERT_TRUE(!refused || takeHotkey());
    HWND seen = nullptr;
    exitCode_ = -12345;
    ASSERT_EQ(0, Run([&](HWND window) {
      seen = window;
      EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE), gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize);
      EXPECT_TRUE(refused || !takeHotkey()) << "the window does not hold the hotkey";
    }));
    UnregisterHotKey(other, 1);
    EXPECT_EQ(0, exitCode_);
    EXPECT_EQ(refused, recorder.Contains(TRACE_LEVEL_ERROR, L"外部処理異常終了( RegisterHotKey(), FormatMessage="));
    EXPECT_EQ(refused, recorder.Contains(TRACE_LEVEL_ERROR, L""));
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(0u, gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize) << "the icon is left";
    EXPECT_TRUE(takeHotkey()) << "the hotkey is still registered";
    UnregisterHotKey(other, 1);
    EXPECT_NE(0, UnsetHookWH_MOUSE()) << "the mouse hook was left set";
    EXPECT_NE(0, UnsetHookWH_KEYBOARD()) << "the keyboard hook was left set";
  }
  DestroyWindow(other);
}

TEST_F(MainWindowTest, TaskbarCreatedAddsTheIconAgainAndASecondDeleteCallsNoSystem) {
  test::ScopedTraceFlag flag(1);
  TraceRecorder recorder;
  const auto expectIcon = [](const char* when) {
    const NOTIFYICONDATAW& record = gNOTIFYICONDATA_MainWindow_TrayIcon;
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V2_SIZE), record.cbSize) << when;
    EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), record.uFlags) << "balloon flag left " << when;
    EXPECT_EQ(static_cast<UINT>(D_LONG_MAINWINDOW_WM_TASKTRAY), record.uCallbackMessage) << when;
    EXPECT_NE(nullptr, record.hIcon) << when;
    EXPECT_STREQ(L"Corvanta", record.szTip) << when;
  };
  Run([&](HWND window) {
    expectIcon("when first added");
    recorder.Clear();
    SendMessageW(window, gUINT_MainWindow_TaskbarCreated, 0, 0);
    const std::vector<int> deleted = Positions(recorder, L"Shell_NotifyIcon(NIM_DELETE) 正常終了"),
                           added = Positions(recorder, L"MainWindow_AddTaskTrayIcon() 開始");
    ASSERT_EQ(1u, deleted.size());
    ASSERT_EQ(1u, added.size());
    EXPECT_LT(deleted[0], added[0]);
    EXPECT_TRUE(IsWindow(window));
    expectIcon("when added again");
    recorder.Clear();
    EXPECT_EQ(0, MainWindow_DeleteTaskTrayIcon());
    EXPECT_EQ(0u, gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize);
    EXPECT_EQ(0, MainWindow_DeleteTaskTrayIcon());
  });
  EXPECT_EQ(0, exitCode_);
  // A second NIM_DELETE would fail and be reported; the destroy handling,
  // finding no icon either, does not call the system.
  EXPECT_EQ(1u, Positions(recorder, L"Shell_NotifyIcon(NIM_DELETE) 正常終了").size());
  EXPECT_EQ(2u, Positions(recorder, L"タスクトレイアイコンは登録されていません").size());
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_ERROR, L""));
}

TEST_F(MainWindowTest, TrayRightPressOpensTheMenuExceptJustAfterARightDoubleClick) {
  MenuCloser closer;
  Run([&](HWND window) {
    const auto notify = [window](UINT mouse) { SendMessageW(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, mouse); };
    notify(WM_RBUTTONDBLCLK);
    Sleep(100);              // well within the double-click time
    notify(WM_RBUTTONDOWN);  // the second press of the double click
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_MOUSEMOVE}) notify(mouse);
    EXPECT_EQ(0, closer.Opened());
    Sleep(GetDoubleClickTime() + 200);
    notify(WM_RBUTTONDOWN);
    EXPECT_EQ(1, closer.Opened());
  });
  EXPECT_EQ(0, exitCode_);
}

void WaitForNextSecond() {
  for (const time_t now = time(nullptr); time(nullptr) == now;) Sleep(5);
}

TEST_F(MainWindowTest, HotkeyOpensTheMenuOncePerSecondAndSystemIdsNothing) {
  MenuCloser closer;
  Run([&](HWND window) {
    const auto press = [&](int id) {
      const int before = closer.Opened();
      SendMessageW(window, WM_HOTKEY, static_cast<WPARAM>(id), 0);
      return closer.Opened() - before;
    };
    // The second press must come within the second in which the first one's
    // handling ended; start right after a boundary, and retry in the rare
    // case that the pair straddles one anyway.
    bool sameSecond = false;
    for (int attempt = 0; attempt < 3 && !sameSecond; ++attempt) {
      WaitForNextSecond();
      EXPECT_EQ(1, press(D_LONG_MAINWINDOW_HOTKEY_ID));
      const time_t handled = gTIME_MainWindow_LastHotKeyTime;
      const int second = press(D_LONG_MAINWINDOW_HOTKEY_ID);
      sameSecond = time(nullptr) == handled;
      EXPECT_TRUE(!sameSecond || second == 0) << "a press in the same second is dropped";
    }
    EXPECT_TRUE(sameSecond);
    for (int id : {-1, -2}) {
      gbool_MainWindow_HotKeyAccepted = false;  // past the debounce
      EXPECT_EQ(0, press(id)) << id;
    }
    WaitForNextSecond();
    EXPECT_EQ(1, press(D_LONG_MAINWINDOW_HOTKEY_ID)) << "a press in a later second opens the menu again";
  });
  EXPECT_EQ(0, exitCode_);
}

// Opens the tray menu as a right click on the icon would and clicks its quit
// entry with real input, which the hook library turns into a notification.
void ChooseQuitEntry(HWND window) {
  PostMessageW(window, D_LONG_MAINWINDOW_WM_TASKTRAY, 0, WM_RBUTTONDOWN);
  HWND menu = test::WaitForOpenMenu(10000);
  RECT entry;
  const int quit = menu ? test::MenuEntryPosition(menu, D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT) : -1;
  if (quit >= 0 && test::MenuEntryRect(menu, quit, &entry)) {
    test::ClickAt({(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
  }
}

TEST_F(MainWindowTest, QuitEntryAsksAndOnlyOkEndsTheProgram) {
  const std::wstring caption = L"アプリケーション終了確認";
  test::SeenMessageBox cancelled, confirmed;
  bool aliveAfterCancel = false, goneAfterOk = false;
  const int result = Run(nullptr, [&](HWND window) {
    ChooseQuitEntry(window);
    cancelled = test::AnswerMessageBox(caption, IDCANCEL, 10000, GetCurrentProcessId());
    test::WaitForNoOpenMenu(5000);
    Sleep(300);  // let a wrongly quitting window go before looking
    aliveAfterCancel = IsWindow(window) != FALSE;
    if (!aliveAfterCancel) return;
    ChooseQuitEntry(window);
    confirmed = test::AnswerMessageBox(caption, IDOK, 10000, GetCurrentProcessId());
    for (DWORD start = GetTickCount(); IsWindow(window) && GetTickCount() - start < 5000;) Sleep(20);
    goneAfterOk = !IsWindow(window);
  });
  EXPECT_EQ(L"アプリケーションを終了します。\nよろしいですか？", cancelled.text) << "no or another confirmation box";
  EXPECT_TRUE(aliveAfterCancel) << "Cancel ended the program";
  EXPECT_TRUE(confirmed.found) << "the mouse hook was not set again after the first choice";
  EXPECT_TRUE(goneAfterOk);
  EXPECT_EQ(0, result);
  EXPECT_EQ(0, exitCode_);
  EXPECT_EQ(0u, gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize);
}

// The real Corvanta.exe with a hook library whose keyboard hook cannot be set
// (tests/fakes/failing_hook.cpp, built into fakes\failing_keyboard beside bin).
TEST(MainWindowProcess, FailingKeyboardHookEndsWithMinusOneAndRemovesTheIcon) {
  const std::wstring fake = test::BinFolder() + L"\\..\\fakes\\failing_keyboard\\Corvanta.dll";
  ASSERT_TRUE(test::FileExists(fake));
  test::TempFolder folder;
  const std::wstring exe = test::InstallProgram(folder.Path(), fake);
  test::WriteBytes(folder / L"config.ini", test::SettingFileBytes(test::DefaultSettingLines()));
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
