// Times the real program's menu window as a user meets it: Corvanta.exe is
// started beside a launcher item tree, its menu is opened through the tray
// icon's callback message and walked with keys; for each folder the time is
// taken from the Right key until the folder's submenu window is on screen and
// painted (the program answers again only after the menu has drawn it), and,
// separately, from the Down key that highlights the folder until the program
// answers again (the folder is listed from the disk on that highlight).
//
//   menu_window_bench.exe [program folder] [rounds] [70000]
//
// It also times Wine's own menu on the same counts of owner-drawn entries
// whose measuring and drawing do nothing: the floor under any program.
//
// The program folder holds the Corvanta.exe and Corvanta.dll to time (default:
// this program's folder); both are copied into the bench's own folder, so two
// builds can be timed on the same tree one after the other.  Rounds default to
// 7, after one warm-up round.  With 70000 the tree is one folder of 70,000
// shortcuts instead of the folders of 20 and 2,000, timed once.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench_common.h"

namespace {

using bench::Now;
using bench::kSettings;
using bench::MakeFolderOf;
using bench::MakeShortcut;

const wchar_t kRootName[] = L"ラウンチャーアイテムルート";
const UINT kTrayCallback = WM_USER + 100;

// The machine's load average, read through Wine's Z: drive ("?" elsewhere).
std::string LoadAverage() {
  HANDLE file = CreateFileW(L"Z:\\proc\\loadavg", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  char text[64] = "?";
  DWORD read = 0;
  if (file != INVALID_HANDLE_VALUE && ReadFile(file, text, sizeof(text) - 1, &read, nullptr) && read > 0) {
    text[read] = '\0';
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  std::string shown = text;
  // The first three fields: 1, 5 and 15 minutes.
  size_t cut = 0;
  for (int field = 0; field < 3 && cut != std::string::npos; ++field) cut = shown.find(' ', cut + 1);
  return cut == std::string::npos ? shown : shown.substr(0, cut);
}

bool WaitFor(DWORD timeoutMs, bool (*done)(void*), void* context) {
  for (const DWORD start = GetTickCount(); !done(context); Sleep(1)) {
    if (GetTickCount() - start > timeoutMs) return done(context);
  }
  return true;
}

// ---- the program and its menu windows -------------------------------------

DWORD gProcessId = 0;

std::vector<HWND> OpenMenus() {
  std::vector<HWND> menus;
  for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(menu, &owner);
    if (owner == gProcessId && IsWindowVisible(menu)) menus.push_back(menu);
  }
  return menus;
}

size_t gWantedMenus = 0;
bool MenuCountReached(void*) { return OpenMenus().size() == gWantedMenus; }
bool WaitForMenus(size_t count, DWORD timeoutMs) {
  gWantedMenus = count;
  return WaitFor(timeoutMs, MenuCountReached, nullptr);
}

// True once the window's thread has taken a sent message, that is, has
// finished what it was doing (the menu loop shows and paints a submenu
// before it looks at its messages again).
bool Answers(HWND window, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

void PressKey(WORD key) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

// Wine drops keys that reach a menu before it has acted on the previous one;
// where the effect of a key cannot be seen from here, the next waits a little.
void Pace() { Sleep(120); }

// Esc until no menu of the program is open.
bool CloseAllMenus() {
  for (int tries = 0; tries < 20 && !OpenMenus().empty(); ++tries) {
    const size_t open = OpenMenus().size();
    PressKey(VK_ESCAPE);
    WaitForMenus(open - 1, 3000);
  }
  return OpenMenus().empty();
}

HWND NewMenu(const std::vector<HWND>& known) {
  for (HWND menu : OpenMenus()) {
    if (std::find(known.begin(), known.end(), menu) == known.end()) return menu;
  }
  return nullptr;
}

struct TimedFolder {
  std::wstring name;
  int entries;
  int position;  // in the root's submenu
  std::vector<double> highlight, open;
  int height;  // of its submenu window, a check that the right folder opened
};

// One opening: the tray menu, the root's submenu, then each folder in turn
// highlighted with Down, opened with Right and closed with Esc.  False when a
// key went astray; the caller retries.
bool Round(HWND mainWindow, std::vector<TimedFolder>& folders, bool keep, DWORD openTimeoutMs) {
  PostMessageW(mainWindow, kTrayCallback, 0, WM_RBUTTONDOWN);
  if (!WaitForMenus(1, 20000)) return false;
  Pace();
  PressKey(VK_DOWN);  // the root entry, at the top of the tray menu
  Pace();
  PressKey(VK_RIGHT);
  if (!WaitForMenus(2, openTimeoutMs)) return false;
  const std::vector<HWND> twoMenus = OpenMenus();
  int current = 0;  // a submenu opened with a key highlights its first entry
  for (TimedFolder& folder : folders) {
    Pace();
    double highlight = -1;
    while (current < folder.position) {
      const double start = Now();
      PressKey(VK_DOWN);
      ++current;
      // Twice: the first may be taken before the key itself.
      Answers(twoMenus.front(), openTimeoutMs);
      Answers(twoMenus.front(), openTimeoutMs);
      highlight = Now() - start;
      Pace();
    }
    const double start = Now();
    PressKey(VK_RIGHT);
    if (!WaitForMenus(3, openTimeoutMs)) return false;
    HWND submenu = NewMenu(twoMenus);
    if (submenu == nullptr || !Answers(submenu, openTimeoutMs)) return false;
    const double open = Now() - start;
    RECT rect = {};
    GetWindowRect(submenu, &rect);
    Pace();
    PressKey(VK_ESCAPE);
    if (!WaitForMenus(2, 5000)) return false;
    if (keep) {
      if (highlight >= 0) folder.highlight.push_back(highlight);
      folder.open.push_back(open);
      folder.height = rect.bottom - rect.top;
    }
  }
  return CloseAllMenus();
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void PrintTimes(const char* what, const std::vector<double>& times) {
  if (times.empty()) {
    printf(" %s -", what);
    return;
  }
  printf(" %s %.1f ms (%.1f-%.1f)", what, Median(times), *std::min_element(times.begin(), times.end()),
         *std::max_element(times.begin(), times.end()));
}

// ---- the floor: Wine's menu with entries that cost nothing ----------------

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    measure->itemWidth = 100;
    measure->itemHeight = 40;  // as tall as the program's entries
    return TRUE;
  }
  if (message == WM_DRAWITEM) return TRUE;
  return DefWindowProcW(window, message, wParam, lParam);
}

bool OwnMenuShown(void*) { return !OpenMenus().empty(); }

// From TrackPopupMenu until the menu of `count` entries is painted, or -1.
double FloorOnce(HWND owner, int count) {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_ID;
    item.fType = MFT_OWNERDRAW;
    item.wID = static_cast<UINT>(1000 + i);
    InsertMenuItemW(menu, 0, TRUE, &item);
  }
  const DWORD thread = GetCurrentThreadId();
  const double start = Now();
  double shown = -1;
  std::thread closer([&] {
    if (WaitFor(20000, OwnMenuShown, nullptr) && Answers(OpenMenus().front(), 20000)) shown = Now() - start;
    PostMessageW(owner, WM_CANCELMODE, 0, 0);
    PostThreadMessageW(thread, WM_KEYDOWN, VK_ESCAPE, 0);
    EndMenu();
  });
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, 0, 10, 10, 0, owner, nullptr);
  closer.join();
  DestroyMenu(menu);
  return shown;
}

void PrintFloor(int rounds) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = FloorWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"CorvantaMenuFloor";
  RegisterClassW(&windowClass);
  HWND owner = CreateWindowW(L"CorvantaMenuFloor", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
  gProcessId = GetCurrentProcessId();
  std::vector<double> medians;
  for (int count : {20, 2000}) {
    std::vector<double> times;
    FloorOnce(owner, count);  // warm-up
    for (int i = 0; i < rounds; ++i) {
      const double t = FloorOnce(owner, count);
      if (t >= 0) times.push_back(t);
    }
    printf("Wine's menu alone, %4d empty owner-drawn entries:", count);
    PrintTimes("shown and painted", times);
    printf("\n");
    medians.push_back(Median(times));
  }
  printf("floor, 2,000 minus 20 entries: %.1f ms\n", medians[1] - medians[0]);
  DestroyWindow(owner);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring from = self;
  from = argc > 1 && argv[1][0] != L'\0' ? argv[1] : from.substr(0, from.find_last_of(L'\\'));
  const int rounds = argc > 2 ? _wtoi(argv[2]) : 7;
  const bool huge = argc > 3 && _wtoi(argv[3]) == 70000;
  setvbuf(stdout, nullptr, _IONBF, 0);
  CoInitialize(nullptr);

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + (huge ? L"corvanta-menuwindow-huge" : L"corvanta-menuwindow-bench");
  const std::wstring root = folder + L"\\" + kRootName;
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW(root.c_str(), nullptr);
  std::vector<TimedFolder> folders;
  if (huge) {
    folders.push_back({L"f70000", 70000, 0, {}, {}, 0});
  } else {
    folders.push_back({L"f20", 20, 0, {}, {}, 0});
    folders.push_back({L"f2000", 2000, 0, {}, {}, 0});
  }
  const double making = Now();
  for (const TimedFolder& f : folders) MakeFolderOf(root + L"\\" + f.name, f.entries);
  // A plain shortcut beside them, so that (where the listing puts it on top)
  // every folder is reached by a Down key.
  if (GetFileAttributesW((root + L"\\zz.lnk").c_str()) == INVALID_FILE_ATTRIBUTES) MakeShortcut(root + L"\\zz.lnk");
  printf("tree ready in %.1f s\n", (Now() - making) / 1000);

  // The menu shows the root's entries in the reverse of the listing order.
  std::vector<std::wstring> listed;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((root + L"\\*").c_str(), &entry);
  for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
    if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0) listed.push_back(entry.cFileName);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  for (TimedFolder& f : folders) {
    f.position = static_cast<int>(listed.size() - 1 - (std::find(listed.begin(), listed.end(), f.name) - listed.begin()));
  }
  std::sort(folders.begin(), folders.end(), [](const TimedFolder& a, const TimedFolder& b) { return a.position < b.position; });

  for (const wchar_t* name : {L"Corvanta.exe", L"Corvanta.dll"}) {
    if (!CopyFileW((from + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE)) {
      printf("cannot copy %ls from %ls\n", name, from.c_str());
      return 1;
    }
  }
  HANDLE file = CreateFileW((folder + L"\\config.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, kSettings, sizeof(kSettings) - 1, &written, nullptr);
  CloseHandle(file);

  const std::wstring exe = folder + L"\\Corvanta.exe";
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    printf("cannot start %ls\n", exe.c_str());
    return 1;
  }
  gProcessId = process.dwProcessId;
  WaitForInputIdle(process.hProcess, 20000);
  HWND mainWindow = nullptr;
  for (DWORD begin = GetTickCount(); mainWindow == nullptr && GetTickCount() - begin < 20000; Sleep(5)) {
    mainWindow = FindWindowW(L"Corvanta - MainWindow", nullptr);
  }

  const std::string loadBefore = LoadAverage();
  const DWORD openTimeoutMs = huge ? 900000 : 60000;
  int failures = 0;
  const int wanted = huge ? 1 : rounds;
  int kept = 0;
  bool warm = huge;  // the huge folder is timed once, cold
  while (mainWindow != nullptr && kept < wanted && failures < 5) {
    if (Round(mainWindow, folders, warm, openTimeoutMs)) {
      kept += warm ? 1 : 0;
      warm = true;
    } else {
      ++failures;
      CloseAllMenus();
    }
  }
  const std::string loadAfter = LoadAverage();

  PostMessageW(mainWindow, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  printf("program from %ls: %d round(s) kept, %d lost to stray keys; load average %s before, %s after\n",
         from.c_str(), kept, failures, loadBefore.c_str(), loadAfter.c_str());
  for (const TimedFolder& f : folders) {
    printf("%6d entries (menu position %d, submenu %d px high):", f.entries, f.position, f.height);
    PrintTimes("Right to submenu painted", f.open);
    PrintTimes("; Down onto it", f.highlight);
    printf("\n");
  }
  if (folders.size() == 2 && !folders[0].open.empty() && !folders[1].open.empty()) {
    const TimedFolder& few = folders[0].entries == 20 ? folders[0] : folders[1];
    const TimedFolder& many = folders[0].entries == 20 ? folders[1] : folders[0];
    printf("ratio 2,000/20, Right to submenu painted: %.2f\n", Median(many.open) / Median(few.open));
    PrintFloor(rounds);
  }
  CoUninitialize();
  return kept == wanted ? 0 : 1;
}
