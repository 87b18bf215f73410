// Starting the real Corvanta.exe (or a copy of it) as a child process.
#ifndef CORVANTA_TESTS_SUPPORT_PROCESS_H
#define CORVANTA_TESTS_SUPPORT_PROCESS_H

#include <windows.h>

#include <string>

#include "base/handles.h"

namespace test {

constexpr DWORD kStillRunning = 0xFFFFFFF0;

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `exe` with `arguments` (appended after the quoted program name).
  bool Start(const std::wstring& exe, const std::wstring& arguments);
  // The exit code, or kStillRunning when it has not ended within `timeoutMs`.
  DWORD Wait(DWORD timeoutMs);
  DWORD Id() const { return id_; }
  void Kill();

 private:
  KernelHandle process_;
  DWORD id_ = 0;
};

// Copies Corvanta.exe (as `exeName`) and the hook library (`hookLibrary`, or
// the real one when empty) from the build folder into `folder`; returns the
// exe's path.
std::wstring InstallProgram(const std::wstring& folder, const std::wstring& hookLibrary = std::wstring(),
                            const std::wstring& exeName = L"Corvanta.exe");

// Runs a program to its end (up to `timeoutMs`); returns its exit code.
DWORD RunProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs);

// The main window of a running Corvanta (found by its title), waiting up to `timeoutMs`.
HWND WaitForMainWindow(DWORD timeoutMs);
// Waits until no main window is left; true when it went.
bool WaitForNoMainWindow(DWORD timeoutMs);

// The small GUI program the launch tests start (corvanta_test_app.exe).
std::wstring TestAppPath();
// Posts WM_CLOSE to every window of the test program and waits for them to go.
void CloseTestApps();

}  // namespace test

#endif
