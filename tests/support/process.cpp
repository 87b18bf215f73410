#include "support/process.h"

#include "mainwindow/mainwindow.h"
#include "support/test_support.h"

namespace test {

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process_.Reset(info.hProcess);
  id_ = info.dwProcessId;
  return true;
}

DWORD ChildProcess::Wait(DWORD timeoutMs) {
  if (!process_.Valid()) return kStillRunning;
  if (WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return kStillRunning;
  DWORD code = kStillRunning;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void ChildProcess::Kill() {
  if (!process_.Valid()) return;
  if (WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 5000);
  }
  process_.Reset();
}

std::wstring InstallProgram(const std::wstring& folder, const std::wstring& hookLibrary,
                            const std::wstring& exeName) {
  const std::wstring bin = BinFolder();
  const std::wstring exe = folder + L"\\" + exeName;
  CopyFileW((bin + L"\\Corvanta.exe").c_str(), exe.c_str(), FALSE);
  const std::wstring dll = hookLibrary.empty() ? bin + L"\\Corvanta.dll" : hookLibrary;
  CopyFileW(dll.c_str(), (folder + L"\\Corvanta.dll").c_str(), FALSE);
  return exe;
}

DWORD RunProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs) {
  ChildProcess process;
  if (!process.Start(exe, arguments)) return kStillRunning;
  return process.Wait(timeoutMs);
}

HWND WaitForMainWindow(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowW(nullptr, D_WSTR_MAINWINDOW_TITLE);
    if (window != nullptr || GetTickCount() - start > timeoutMs) return window;
    Sleep(20);
  }
}

bool WaitForNoMainWindow(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (FindWindowW(nullptr, D_WSTR_MAINWINDOW_TITLE) != nullptr) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

std::wstring TestAppPath() { return BinFolder() + L"\\corvanta_test_app.exe"; }

namespace {

BOOL CALLBACK CloseIfTestApp(HWND window, LPARAM count) {
  wchar_t name[64];
  if (GetClassNameW(window, name, ARRAYSIZE(name)) > 0 && lstrcmpW(name, L"CorvantaTestApp") == 0) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    ++*reinterpret_cast<int*>(count);
  }
  return TRUE;
}

}  // namespace

void CloseTestApps() {
  for (int round = 0; round < 100; ++round) {
    int count = 0;
    EnumWindows(CloseIfTestApp, reinterpret_cast<LPARAM>(&count));
    if (count == 0) return;
    Sleep(50);
  }
}

}  // namespace test
