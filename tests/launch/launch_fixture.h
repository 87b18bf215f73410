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

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A shortcut `name` in `folder` to the test program, tagged `tag`.
  std::wstring MakeAppShortcut(const std::wstring& folder, const std::wstring& name, const std::wstring& tag,
                               const std::wstring& extraArguments = L"", const std::wstring& workingFolder = L"");
  const std::wstring& Root() const { return root_; }
  std::wstring Folder(const std::wstring& relative);  // made under the root

  TempFolder temp_;
  std::wstring root_;
};

// The top-level window of the test program tagged `tag`, waiting up to `timeoutMs`.
HWND WaitForTestApp(const std::wstring& tag, DWORD timeoutMs);

// Finds a dialog of this process by caption, waiting up to `timeoutMs`.
HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs);
// The progress log's text with every line break as "\n".
std::wstring LogText(HWND dialog);
// Waits until the log holds `fragment`; false on time-out.
bool WaitForLog(HWND dialog, const std::wstring& fragment, DWORD timeoutMs);
// Presses a button the way its click arrives: a posted WM_COMMAND.
void Press(HWND dialog, int id);
bool IsShown(HWND dialog, int id);

// Runs `script` on a second thread against the first dialog titled `caption`
// that appears; the test thread meanwhile runs the modal dialog.
class DialogDriver {
 public:
  DialogDriver(const wchar_t* caption, std::function<void(HWND)> script);
  ~DialogDriver();
  void Join();
  bool Found() const { return found_; }

 private:
  bool found_ = false;
  std::thread thread_;
};

}  // namespace test

#endif
