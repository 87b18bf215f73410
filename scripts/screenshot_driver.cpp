// Drives the real Corvanta for scripts/screenshot.sh: a first run in a temp
// folder with a few tools beside the samples, the cascading menu opened over
// them, and the picture taken by ImageMagick's import into argv[1] (a Unix path).
#include <objbase.h>
#include <stdio.h>

#include <algorithm>

#include "e2e/e2e_support.h"

using namespace test;

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: screenshot_driver.exe /unix/path/shot.png\n");
    return 2;
  }
  CoInitialize(nullptr);
  InstalledProgram program;
  ChildProcess running;  // a first run: the root comes with its sample items
  if (!running.Start(program.Exe(), L"") || !AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).found ||
      !AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).found || !WaitForMainWindow(kStartTimeoutMs)) {
    fprintf(stderr, "Corvanta did not start\n");
    return 1;
  }
  // Folders only at the top, so whichever comes first opens with Right.
  const std::wstring tools = program.Root() + L"\\ツール\\";
  MakeFolder(tools);
  MakeShortcut(tools + L"メモ帳.lnk", L"C:\\windows\\notepad.exe");
  MakeShortcut(tools + L"レジストリ エディター.lnk", L"C:\\windows\\regedit.exe");
  MakeShortcut(tools + L"コマンド プロンプト.lnk", L"C:\\windows\\system32\\cmd.exe");
  MakeShortcut(tools + L"Wine 設定.lnk", L"C:\\windows\\system32\\winecfg.exe");
  SetCursorPos(900, 120);  // the menu opens here: scripts/screenshot.sh crops around it
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  bool open = WaitForMenuCount(1, kStartTimeoutMs, running.Id());
  PressKeys({VK_DOWN, VK_RIGHT});
  open = open && WaitForMenuCount(2, kStartTimeoutMs, running.Id());
  PressKeys({VK_RIGHT});
  open = open && WaitForMenuCount(3, kStartTimeoutMs, running.Id());
  PumpMessages(500);  // let the icons finish drawing
  std::string command = std::string("/usr/bin/import -window root ") + argv[1];
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (open && CreateProcessA("Z:\\usr\\bin\\import", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    // A Unix program gives Wine no exit to wait for: wait for its picture.
    std::wstring picture = L"Z:" + FromAnsi(argv[1]);
    std::replace(picture.begin(), picture.end(), L'/', L'\\');
    WaitUntil([&] { return ReadBytes(picture).size() > 1000; }, 10000);
  }
  PressKeys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  running.Wait(kStartTimeoutMs);
  CoUninitialize();
  return open ? 0 : 1;
}
