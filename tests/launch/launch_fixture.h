// Shared set-up for the progress dialog and arrangement tests: a launcher
// item root in a temp folder, shortcuts to the test program, and a driver
// that works the dialogs from a second thread like a user would.
#ifndef CORVANTA_TESTS_LAUNCH_LAUNCH_FIXTURE_H
#define CORVANTA_TESTS_LAUNCH_LAUNCH_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "support/process.h"
#include "support/test_support.h"

namespace test {

constexpr DWORD kDialogTimeoutMs = 15000;

// A visible top-level window of this class and title, waiting up to `timeoutMs`.
HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& title, DWORD timeoutMs);
inline HWND WaitForTestApp(const std::wstring& tag) {
  return WaitForWindow(L"CorvantaTestApp", L"CorvantaTestApp " + tag, 5000);
}
// The progress log's text with every line break as "\n".
std::wstring LogText(HWND dialog);
// Waits until the log holds `fragment`; false on time-out.
bool WaitForLog(HWND dialog, const std::wstring& fragment);
// Presses a button the way its click arrives: a posted WM_COMMAND.
void Press(HWND dialog, int id);
bool IsShown(HWND dialog, int id);

// Runs `script` on a second thread against the dialog titled `caption` once
// it appears; the test thread meanwhile runs the modal dialog.
class DialogDriver {
 public:
  DialogDriver(const wchar_t* caption, std::function<void(HWND)> script);
  ~DialogDriver() { Join(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }
  bool found = false;

 private:
  std::thread thread_;
};

// What the progress dialog showed when the run was over, before Close.
struct RunEnd {
  std::wstring log;
  bool closeShown = false;
  LRESULT position = -1, upper = -1;
};

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A shortcut `name` in `folder` to the test program, tagged `tag`, with
  // shell link data flags `linkFlags` (SLDF_...) added.
  std::wstring MakeAppShortcut(const std::wstring& folder, const std::wstring& name, const std::wstring& tag,
                               const std::wstring& extraArguments = L"", const std::wstring& workingFolder = L"",
                               DWORD linkFlags = 0);
  std::wstring Folder(const std::wstring& relative);  // made under the root
  // Runs `path` in the progress dialog; a second thread waits for `fragment`
  // in the log, calls `script` (when given), notes the end and presses Close.
  RunEnd RunAndClose(const std::wstring& path, long runMode, const std::wstring& fragment,
                     std::function<void(HWND)> script = nullptr);

  TempFolder temp_;
  std::wstring root_;
};

}  // namespace test

#endif
