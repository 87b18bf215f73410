// Runs the real main window and its message loop on the test thread.
#ifndef CORVANTA_TESTS_MAINWINDOW_MAIN_WINDOW_FIXTURE_H
#define CORVANTA_TESTS_MAINWINDOW_MAIN_WINDOW_FIXTURE_H

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "app/trace.h"
#include "app/winmain.h"
#include "config/config.h"
#include "mainwindow/mainwindow.h"
#include "support/test_support.h"

namespace test {

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
    DrainQuit();
  }
  void TearDown() override { DrainQuit(); }

  // A WM_QUIT left in the thread's queue would end the next loop at once.
  static void DrainQuit() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // MainWindow_CreateMainWindow with the test's module.  `inLoop` runs once on
  // this thread from inside the message loop; then `helper` runs on a second
  // thread.  Whichever ran last closes the window (WM_CLOSE) if it still exists.
  int Run(Step inLoop, Step helper = nullptr) {
    inLoop_ = std::move(inLoop);
    helper_ = std::move(helper);
    running_ = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, StartSteps);
    const int result = MainWindow_CreateMainWindow(GetModuleHandleW(nullptr), nullptr, exitCode_);
    KillTimer(nullptr, timer);
    if (helperThread_.joinable()) helperThread_.join();
    running_ = nullptr;
    return result;
  }

  int exitCode_ = -12345;

 private:
  static void CALLBACK StartSteps(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    MainWindowTest* self = running_;
    if (self == nullptr) return;
    HWND window = gHWND_MainWindow_Handle;
    if (self->inLoop_) self->inLoop_(window);
    if (self->helper_) {
      self->helperThread_ = std::thread([self, window] {
        self->helper_(window);
        if (IsWindow(window)) PostMessageW(window, WM_CLOSE, 0, 0);
      });
    } else if (IsWindow(window)) {
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
  }

  static inline MainWindowTest* running_ = nullptr;
  Step inLoop_;
  Step helper_;
  std::thread helperThread_;
};

// Watches from a second thread for popup menus of this process, counts them
// and closes each one (WM_CANCELMODE to the main window), so a handler that
// opens a menu returns instead of waiting for a user.
class MenuCloser {
 public:
  MenuCloser() : thread_([this] { Watch(); }) {}
  ~MenuCloser() {
    stop_ = true;
    thread_.join();
  }
  int Opened() const { return opened_; }
  // Whether every menu seen had the quit entry.
  bool AllHadQuitEntry() const { return opened_ > 0 && !missingQuitEntry_; }

 private:
  void Watch() {
    while (!stop_) {
      HWND menu = FindOpenMenu();
      if (menu == nullptr) {
        Sleep(20);
        continue;
      }
      if (MenuEntryPosition(menu, D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT) < 0) missingQuitEntry_ = true;
      ++opened_;
      PostMessageW(FindWindowW(D_WSTR_MAINWINDOW_CLASS_NAME, nullptr), WM_CANCELMODE, 0, 0);
      WaitForNoOpenMenu(5000);
    }
  }

  std::atomic<bool> stop_{false};
  std::atomic<int> opened_{0};
  std::atomic<bool> missingQuitEntry_{false};
  std::thread thread_;
};

// Position of the first record at or after `from` that contains `fragment`, or -1.
inline int RecordIndex(const TraceRecorder& recorder, const std::wstring& fragment, size_t from = 0) {
  const auto& records = recorder.Records();
  for (size_t i = from; i < records.size(); ++i) {
    if (records[i].text.find(fragment) != std::wstring::npos) return static_cast<int>(i);
  }
  return -1;
}

inline int CountRecords(const TraceRecorder& recorder, const std::wstring& fragment) {
  int count = 0;
  for (const auto& record : recorder.Records()) count += record.text.find(fragment) != std::wstring::npos;
  return count;
}

}  // namespace test

#endif
