// A private copy of Corvanta.exe in a temp folder with what the end-to-end
// tests need around it (settings, the launcher item root, its trace log), and
// a scoped holder that starts it and ends it again.
#ifndef CORVANTA_TESTS_E2E_E2E_SUPPORT_H
#define CORVANTA_TESTS_E2E_E2E_SUPPORT_H

#include "support/test_support.h"

namespace test {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitMinusOne = 0xFFFFFFFF;

class InstalledProgram {
 public:
  explicit InstalledProgram(const std::wstring& exeName = L"Corvanta.exe", const std::wstring& hookLibrary = L"");
  const std::wstring& Exe() const { return exe_; }
  std::wstring Path(const std::wstring& name) const { return folder_ / name; }
  std::wstring SettingFile() const { return Path(L"config.ini"); }
  std::wstring Root() const { return Path(L"ラウンチャーアイテムルート"); }
  void Settle();  // a valid config.ini and an empty launcher item root: a start without boxes
  void WriteSettings(const std::vector<std::wstring>& lines) const;
  std::wstring TraceLog() const;  // the DEBUG trace log beside the exe, decoded; empty when none

 private:
  TempFolder folder_;
  std::wstring exe_, logName_;
};

bool StartAndWaitForMainWindow(ChildProcess& process, const std::wstring& exe, const std::wstring& arguments);
// A right press on the running program's tray icon (its callback message posted to its main window): whether
// its tray menu opened, the only open menu of `processId`.  The press is handled after every message posted before.
bool OpenTrayMenu(DWORD processId);

// The program started with DEBUG until its main window is up; at the end of
// the scope asked to quit (QuitApplication) and, failing that, killed.
struct RunningProgram {
  explicit RunningProgram(const InstalledProgram& program)
      : exe(program.Exe()), started(StartAndWaitForMainWindow(process, exe, L"DEBUG")) {}
  ~RunningProgram() {
    if (process.Wait(0) == kStillRunning) RunProgram(exe, L"QuitApplication", kStartTimeoutMs);
    process.Wait(kStartTimeoutMs);
  }
  const std::wstring exe;
  ChildProcess process;
  const bool started;
};

}  // namespace test

#endif
