// Times Corvanta's start: from CreateProcess until the program waits for
// input in its message loop, which it reaches only after the main window, the
// tray icon, the hotkey and the hooks are in place.  Each round starts a copy
// of the program in a prepared folder (valid config.ini, empty launcher item
// root: no boxes) and ends it as a second instance's quit word would.
//
//   startup_bench.exe [program folder] [rounds]   (default: this program's folder, 9)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_common.h"

namespace {

using bench::Now;
using bench::kSettings;

// One start; the time until the program waits for input, or -1.
double StartOnce(const std::wstring& exe) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  std::wstring command = L"\"" + exe + L"\"";
  const double start = Now();
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  const bool idle = WaitForInputIdle(process.hProcess, 20000) == 0;
  const double elapsed = Now() - start;
  // The main window exists by then; closing it ends the program.
  HWND window = nullptr;
  for (DWORD begin = GetTickCount(); window == nullptr && GetTickCount() - begin < 10000; Sleep(5)) {
    window = FindWindowW(L"Corvanta - MainWindow", nullptr);
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return idle && window != nullptr ? elapsed : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring from = self;
  from = argc > 1 ? argv[1] : from.substr(0, from.find_last_of(L'\\'));
  const int rounds = argc > 2 ? _wtoi(argv[2]) : 9;

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"corvanta-startup-bench";
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"\\ラウンチャーアイテムルート").c_str(), nullptr);
  for (const wchar_t* name : {L"Corvanta.exe", L"Corvanta.dll"}) {
    CopyFileW((from + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE);
  }
  HANDLE file = CreateFileW((folder + L"\\config.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, kSettings, sizeof(kSettings) - 1, &written, nullptr);
  CloseHandle(file);

  const std::wstring exe = folder + L"\\Corvanta.exe";
  StartOnce(exe);  // warms the file cache and the prefix
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    const double t = StartOnce(exe);
    if (t < 0) {
      printf("round %d: the program did not come up\n", round);
      return 1;
    }
    times.push_back(t);
  }
  std::sort(times.begin(), times.end());
  printf("start to waiting for input (tray icon added), %d rounds: median %.1f ms, min %.1f, max %.1f\n", rounds,
         times[times.size() / 2], times.front(), times.back());
  return 0;
}
