// Takes the documentation pictures from the real Corvanta.exe, driven the way
// a user would drive it.  Run by scripts/screenshot.sh under Xvfb:
//   corvanta_pictures.exe menu[-en]|progress[-en]|management[-en]|settings[-2|-3][-en] <unix path of the png>
// Prints "crop WxH+X+Y": the part of the screen the picture is about.
// The program is installed where an administrator would put it, so whatever
// path a picture shows is a plain one, not a test folder.  The pictures take
// the DPI of the Wine prefix they run in.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "support/test_support.h"

namespace {

using namespace test;

constexpr UINT kTrayCallback = WM_USER + 100;

// Corvanta.exe and its hook library (and the English library if asked) in
// C:\Program Files\Corvanta, emptied before and removed after each picture.
class Installed {
 public:
  explicit Installed(bool english) : english_(english) {
    RemoveTree(kFolder);
    CreateDirectoryW(L"C:\\Program Files", nullptr);
    MakeFolder(kFolder);
    for (const wchar_t* file : {L"Corvanta.exe", L"Corvanta.dll", english ? L"Corvanta_Lang_En.dll" : nullptr}) {
      if (file != nullptr) CopyFileW((BinFolder() + L"\\" + file).c_str(), Path(file).c_str(), FALSE);
    }
  }
  ~Installed() { RemoveTree(kFolder); }
  std::wstring Exe() const { return Path(L"Corvanta.exe"); }
  std::wstring Path(const std::wstring& name) const { return std::wstring(kFolder) + L"\\" + name; }
  std::wstring Root() const { return Path(english_ ? L"Launcher Items" : L"ラウンチャーアイテムルート"); }
  void WriteSettings(const std::vector<std::wstring>& lines) const {
    WriteBytes(Path(L"config.ini"), SettingFileBytes(lines));
  }

 private:
  static constexpr const wchar_t* kFolder = L"C:\\Program Files\\Corvanta";
  const bool english_;
};

void Keys(std::initializer_list<WORD> keys) {
  for (WORD key : keys) {
    PressKey(key);
    Sleep(200);
  }
}

// The union of the visible popup menus of `process`, once `count` are open.
bool OpenMenusRect(DWORD process, size_t count, RECT* area) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kStartTimeoutMs; Sleep(50)) {
    size_t found = 0;
    *area = RECT{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr;) {
      DWORD owner = 0;
      GetWindowThreadProcessId(menu, &owner);
      RECT rect;
      if (owner != process || !IsWindowVisible(menu) || !GetWindowRect(menu, &rect)) continue;
      ++found;
      *area = RECT{std::min(area->left, rect.left), std::min(area->top, rect.top),
                   std::max(area->right, rect.right), std::max(area->bottom, rect.bottom)};
    }
    if (found == count) return true;
  }
  return false;
}

bool Shoot(const char* target, RECT area) {
  Sleep(500);
  std::string command = std::string("/usr/bin/import -window root ") + target;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA("Z:\\usr\\bin\\import", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  // A Unix program gives Wine no exit to wait for: wait for its picture.
  std::wstring windowsTarget = L"Z:" + FromAnsi(target);
  std::replace(windowsTarget.begin(), windowsTarget.end(), L'/', L'\\');
  for (int i = 0; i < 100 && ReadBytes(windowsTarget).size() < 1000; ++i) Sleep(100);
  Sleep(500);
  const int margin = 8;
  printf("crop %ldx%ld+%ld+%ld\n", area.right - area.left + 2 * margin, area.bottom - area.top + 2 * margin,
         std::max(0L, area.left - margin), std::max(0L, area.top - margin));
  return true;
}

// Starts a first run and answers its first-run boxes; false when the main
// window never came.
bool StartFirstRun(Installed& program, ChildProcess& running) {
  if (!running.Start(program.Exe(), L"")) return false;
  for (DWORD start = GetTickCount(); WaitForMainWindow(0) == nullptr; AnswerMessageBox(L"", IDOK, 200, running.Id())) {
    if (GetTickCount() - start > kStartTimeoutMs) return false;
  }
  return true;
}

// The launcher menu open over a folder of tools, on a first run.
bool LauncherMenu(const char* target, bool english) {
  Installed program(english);
  ChildProcess running;
  const std::wstring root = program.Root();
  if (!StartFirstRun(program, running) || !FolderExists(root)) return false;
  const std::wstring tools = root + (english ? L"\\Tools\\" : L"\\ツール\\");
  MakeFolder(tools);
  MakeShortcut(tools + (english ? L"Notepad.lnk" : L"メモ帳.lnk"), L"C:\\windows\\notepad.exe");
  MakeShortcut(tools + (english ? L"Registry Editor.lnk" : L"レジストリ エディター.lnk"), L"C:\\windows\\regedit.exe");
  MakeShortcut(tools + (english ? L"Command Prompt.lnk" : L"コマンド プロンプト.lnk"),
               L"C:\\windows\\system32\\cmd.exe");
  SetCursorPos(900, 120);
  PostMessageW(WaitForMainWindow(0), kTrayCallback, 0, WM_RBUTTONDOWN);
  RECT area;
  if (!OpenMenusRect(running.Id(), 1, &area)) return false;
  Keys({VK_DOWN, VK_RIGHT});
  if (!OpenMenusRect(running.Id(), 2, &area)) return false;
  // The submenu opens on its first entry and lists the folders in the
  // reverse of their listing order: the tools are as far down as the number
  // of folders listed after them.
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((root + L"\\*").c_str(), &found));
  int downs = 0;
  for (bool more = search.Valid(), after = false; more; more = FindNextFileW(search.Get(), &found)) {
    if (after && wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) ++downs;
    after = after || tools == root + L"\\" + found.cFileName + L"\\";
  }
  for (int i = 0; i < downs; ++i) Keys({VK_DOWN});
  Keys({VK_RIGHT});
  const bool shot = OpenMenusRect(running.Id(), 3, &area) && Shoot(target, area);
  Keys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  return shot;
}

// The progress dialog after a folder of three items has run.
bool ProgressAfterRun(const char* target, bool english) {
  Installed program(english);
  std::vector<std::wstring> lines = DefaultSettingLines();
  std::replace(lines.begin(), lines.end(), std::wstring(L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1"),
               std::wstring(L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=0"));
  program.WriteSettings(lines);
  const std::wstring folder = program.Root() + (english ? L"\\Morning\\" : L"\\朝の準備\\");
  MakeFolder(program.Root());
  MakeFolder(folder);
  const std::vector<std::wstring> names =
      english ? std::vector<std::wstring>{L"Mail", L"Calendar", L"Browser"} : std::vector<std::wstring>{L"メール", L"予定表", L"ブラウザ"};
  for (const std::wstring& name : names) MakeShortcut(folder + name + L".lnk", TestAppPath());
  ChildProcess running;
  if (!StartAndWaitForMainWindow(running, program.Exe(), L"")) return false;
  PostMessageW(WaitForMainWindow(0), kTrayCallback, 0, WM_RBUTTONDOWN);
  RECT area;
  if (!OpenMenusRect(running.Id(), 1, &area)) return false;
  Keys({VK_DOWN, VK_RIGHT});
  if (!OpenMenusRect(running.Id(), 2, &area)) return false;
  Keys({VK_RETURN});
  if (!AnswerMessageBox(english ? L"Run Launcher Items" : L"ラウンチャーアイテム実行確認", IDOK, kStartTimeoutMs,
                        running.Id()).found) {
    return false;
  }
  HWND dialog = nullptr;
  wchar_t log[4096] = L"";
  const wchar_t* totals = english ? L"items run" : L"処理件数";
  for (DWORD start = GetTickCount(); wcsstr(log, totals) == nullptr && GetTickCount() - start < 30000;) {
    Sleep(100);
    dialog = FindWindowW(L"#32770", L"Launch Progress");
    if (dialog != nullptr) GetDlgItemTextW(dialog, 1010, log, ARRAYSIZE(log));
  }
  if (dialog == nullptr || !GetWindowRect(dialog, &area)) return false;
  SetForegroundWindow(dialog);
  const bool shot = Shoot(target, area);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), 0);
  CloseTestApps();
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  return shot;
}

// A dialog opened from the tray menu's fixed entries, `ups` entries up from
// the bottom (1 quit, 2 help, 3 settings, 4 management), found by its caption.
// For the settings sheet, `page` chooses the page shown (0 the first).
bool TrayDialog(const char* target, bool english, int ups, const wchar_t* caption, int page = 0) {
  Installed program(english);
  ChildProcess running;
  if (!StartFirstRun(program, running)) return false;
  PostMessageW(WaitForMainWindow(0), kTrayCallback, 0, WM_RBUTTONDOWN);
  RECT area;
  if (!OpenMenusRect(running.Id(), 1, &area)) return false;
  for (int i = 0; i < ups; ++i) Keys({VK_UP});
  Keys({VK_RETURN});
  HWND dialog = nullptr;
  for (DWORD start = GetTickCount(); dialog == nullptr && GetTickCount() - start < kStartTimeoutMs; Sleep(100)) {
    dialog = FindWindowW(L"#32770", caption);
  }
  if (dialog == nullptr) return false;
  if (page > 0) PostMessageW(dialog, PSM_SETCURSEL, page, 0);
  // Away from the corner where the "ready" balloon shows, with room for the
  // largest DPI.
  SetWindowPos(dialog, nullptr, 200, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Sleep(1000);  // the management dialog fills its views after it shows
  if (!GetWindowRect(dialog, &area)) return false;
  const bool shot = Shoot(target, area);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // the property sheet
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  return shot;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  CoInitialize(nullptr);
  const std::string which = argv[1];
  bool done = false;
  if (which == "menu") done = LauncherMenu(argv[2], false);
  if (which == "menu-en") done = LauncherMenu(argv[2], true);
  if (which == "progress") done = ProgressAfterRun(argv[2], false);
  if (which == "progress-en") done = ProgressAfterRun(argv[2], true);
  if (which == "management") done = TrayDialog(argv[2], false, 4, L"ラウンチャーアイテム管理");
  if (which == "management-en") done = TrayDialog(argv[2], true, 4, L"Manage Launcher Items");
  if (which == "settings") done = TrayDialog(argv[2], false, 3, L"設定");
  if (which == "settings-en") done = TrayDialog(argv[2], true, 3, L"Settings");
  for (int page = 1; page <= 2; ++page) {
    if (which == "settings-" + std::to_string(page + 1)) done = TrayDialog(argv[2], false, 3, L"設定", page);
    if (which == "settings-" + std::to_string(page + 1) + "-en") done = TrayDialog(argv[2], true, 3, L"Settings", page);
  }
  CoUninitialize();
  return done ? 0 : 1;
}
