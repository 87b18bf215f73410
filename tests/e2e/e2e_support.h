// A private copy of Corvanta.exe in a temp folder, started until its main window is up, and its tray menu.
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
  void Settle() {  // a valid config.ini and an empty launcher item root: a start without boxes
    WriteSettings(DefaultSettingLines());
    MakeFolder(Root());
  }
  void WriteSettings(const std::vector<std::wstring>& lines) const { WriteBytes(SettingFile(), SettingFileBytes(lines)); }
  std::wstring TraceLog() const { return FromUtf8(ReadBytes(Path(logName_))); }  // the DEBUG log, or empty

 private:
  TempFolder folder_;
  std::wstring exe_, logName_;
};

// Posts a right press on the tray icon to the main window: whether the tray menu opened, the only open menu of
// `processId`.  The press is handled after every message posted before.
inline bool OpenTrayMenu(DWORD processId) {
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  return WaitForMenuCount(1, kStartTimeoutMs, processId);
}

inline bool StartAndWaitForMainWindow(ChildProcess& process, const std::wstring& exe, const std::wstring& arguments) {
  return process.Start(exe, arguments) && WaitForMainWindow(kStartTimeoutMs);
}

}  // namespace test

#endif
