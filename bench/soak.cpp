// Stamina run, by hand through scripts/soak.sh (never part of ctest): opens
// the launcher menu, the progress dialog (a test run of a folder of five),
// the management dialog and the settings sheet many times over and compares
// the process's resources after a warm-up with those at the end; then feeds
// the heavy hostile inputs (a folder of 70,000 shortcuts, a 10 MB config.ini)
// and times them.
//
//   soak.exe [menu openings] [kinds]
//
// Openings default to 1000, the dialogs get a tenth each; kinds picks the
// workloads by letter (m menu, r test run, d management dialog, s settings
// sheet; default all), to find which one a growth comes from.
#include <windows.h>
#include <commctrl.h>
#include <locale.h>
#include <objbase.h>
#include <shlobj.h>
#include <winternl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/winmain.h"
#include "bench/bench_common.h"
#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "settings/setting_sheet.h"
#include "itemmanager/itemmanager.h"
#include "launch/launch.h"
#include "mainwindow/traymenu.h"
#include "resource.h"

namespace {

// Seconds, for the soak's long runs.
double Now() { return bench::Now() / 1000; }

// Waits up to two minutes for `done` (a busy machine slows the dialogs'
// timers down); false when it never came.
bool WaitFor(const std::function<bool()>& done) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 120000; Sleep(2)) {
    if (done()) return true;
  }
  return false;
}

HWND WaitForDialog(const wchar_t* caption) {
  HWND dialog = nullptr;
  WaitFor([&] { return IsWindowVisible(dialog = FindWindowW(L"#32770", caption)) != FALSE; });
  return dialog;
}

// Runs `show` on this thread while `script` answers its window from another.
int failures = 0;
void Drive(const std::function<void()>& show, const std::function<bool()>& script) {
  bool ok = false;
  std::thread driver([&] { ok = script(); });
  show();
  driver.join();
  if (!ok) ++failures;
}

// ---- the resources --------------------------------------------------------

// GetGuiResources answers 0 under Wine: there the room left in the GDI and
// USER handle tables is measured instead, by creating objects until the
// system refuses (a leak shows as less room).
int GdiRoom() {
  std::vector<HBRUSH> made;
  for (HBRUSH brush; made.size() < 20000 && (brush = CreateSolidBrush(RGB(made.size() % 256, 1, 2))) != nullptr;) {
    made.push_back(brush);
  }
  for (HBRUSH brush : made) DeleteObject(brush);
  return static_cast<int>(made.size());
}

int UserRoom() {
  std::vector<HMENU> made;
  for (HMENU menu; made.size() < 70000 && (menu = CreatePopupMenu()) != nullptr;) made.push_back(menu);
  for (HMENU menu : made) DestroyMenu(menu);
  return static_cast<int>(made.size());
}

// Under Wine GetProcessHandleCount answers 0 and PrivateUsage stays 0: the
// handles are counted in the system's handle list instead, and the private
// bytes summed over the committed private regions of the address space.
struct HandleEntry {
  USHORT process, creatorBackTrace;
  UCHAR type, attributes;
  USHORT handle;
  PVOID object;
  ULONG access;
};
long long KernelHandles() {
  std::vector<char> buffer(1 << 20);
  ULONG needed = 0;
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(16), buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed)) ==
         static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const HandleEntry* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
  long long mine = 0;
  for (ULONG i = 0; i < count; ++i) mine += entries[i].process == static_cast<USHORT>(GetCurrentProcessId());
  return mine;
}

long long PrivateKilobytes() {
  long long total = 0;
  MEMORY_BASIC_INFORMATION region = {};
  for (char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
       at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += static_cast<long long>(region.RegionSize);
  }
  return total / 1024;
}

struct Snapshot {
  long long values[7];
};
const char* const kNames[7] = {"GDI objects (GetGuiResources)", "USER objects (GetGuiResources)",
                               "GDI room (objects until refused)", "USER room (menus until refused)",
                               "kernel handles (GetProcessHandleCount)", "kernel handles (system handle list)",
                               "private KB (committed private regions)"};

Snapshot Take() {
  Snapshot s = {};
  s.values[0] = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  s.values[1] = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  s.values[2] = GdiRoom();
  s.values[3] = UserRoom();
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  s.values[4] = handles;
  s.values[5] = KernelHandles();
  s.values[6] = PrivateKilobytes();
  return s;
}

// ---- the workloads --------------------------------------------------------

// Measures an entry of `menu` at `position` as the menu does before showing it.
MEASUREITEMSTRUCT MeasureEntry(HMENU menu, int position) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_ID | MIIM_DATA;
  GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
  MEASUREITEMSTRUCT measure = {ODT_MENU, 0, item.wID, 0, 0, item.dwItemData};
  MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle);
  return measure;
}

// Draws an entry of `menu` at `position`, plain or highlighted.
void DrawEntry(HDC dc, HMENU menu, int position, bool highlighted) {
  const MEASUREITEMSTRUCT measure = MeasureEntry(menu, position);
  DRAWITEMSTRUCT draw = {ODT_MENU, 0, measure.itemID, 0, highlighted ? ODS_SELECTED : 0u, nullptr, dc,
                         {0, 0, static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)},
                         measure.itemData};
  MainWindow_OnDrawItem(&draw, 0);
}

// One opening as the menu loop drives it: the root highlighted (and filled),
// every entry measured and drawn, then the highlight walked down the entries,
// each folder's submenu filled and drawn on the way; the menu closes.
void OpenMenuOnce(HDC dc) {
  MainWindow_CreateTrayIconMenu();
  HMENU tray = gHMENU_MainWindow_TrayIconMenu;
  MainWindow_OnMenuSelect(MAKEWPARAM(0, MF_POPUP | MF_HILITE), tray, nullptr);
  HMENU root = GetSubMenu(tray, 0);
  const int count = GetMenuItemCount(root);
  for (int i = 0; i < count; ++i) DrawEntry(dc, root, i, false);
  for (int i = 0; i < count; ++i) {
    HMENU sub = GetSubMenu(root, i);
    MainWindow_OnMenuSelect(MAKEWPARAM(sub != nullptr ? i : static_cast<int>(GetMenuItemID(root, i)),
                                       (sub != nullptr ? MF_POPUP : 0) | MF_HILITE),
                            root, nullptr);
    DrawEntry(dc, root, i, true);
    if (i > 0) DrawEntry(dc, root, i - 1, false);
    for (int j = 0; sub != nullptr && j < GetMenuItemCount(sub); ++j) DrawEntry(dc, sub, j, false);
  }
  MainWindow_OnMenuSelect(MAKEWPARAM(0, 0xFFFF), nullptr, nullptr);
}

void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A test run of `folder` (one item per timer tick); a run that does not end
// in time is aborted, so the dialog is always closed and the soak goes on.
void TestRunOnce(const std::wstring& folder) {
  Drive([&] { Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_TEST); },
        [] {
          HWND dialog = WaitForDialog(L"Launch Progress");
          HWND close = GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
          const auto closeShown = [&] { return (GetWindowLongW(close, GWL_STYLE) & WS_VISIBLE) != 0; };
          const bool ended = WaitFor(closeShown);
          if (!ended) {
            Press(dialog, IDC_LAUNCH_PROGRESS_ABORT);
            WaitFor(closeShown);
          }
          Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
          return ended;
        });
}

void ManagementOnce(int rows) {
  Drive([] { ItemManager_ShowDialog(); },
        [rows] {
          HWND dialog = WaitForDialog(L"ラウンチャーアイテム管理");
          HWND list = GetDlgItem(dialog, IDC_ITEMMANAGER_LIST);
          const bool filled = WaitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) >= rows; });
          UpdateWindow(list);
          PostMessageW(dialog, WM_CLOSE, 0, 0);
          return filled;
        });
}

void SettingsOnce() {
  Drive([] { Config_ShowSettingSheet(); },
        [] {
          HWND sheet = WaitForDialog(L"設定");
          PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
          return sheet != nullptr;
        });
}

// ---- the heavy hostile inputs ---------------------------------------------

int errorRecords = 0;
std::wstring lastError;

// The record as UTF-8: the table is read in a Linux terminal, not in the
// ANSI code page.
std::string LastErrorUtf8() {
  std::string bytes(lastError.size() * 4 + 1, '\0');
  const int length = WideCharToMultiByte(CP_UTF8, 0, lastError.c_str(), static_cast<int>(lastError.size()), &bytes[0],
                                         static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<size_t>(length > 0 ? length : 0));
  return bytes;
}
void CountErrors(int level, const wchar_t*, const wchar_t* text, void*) {
  if (level != TRACE_LEVEL_ERROR) return;
  ++errorRecords;
  lastError = text;
}

// 70,000 shortcuts in one folder (copies of one: the shell resolves each).
void HugeFolder(const std::wstring& base, HDC dc) {
  const std::wstring module = base + L"\\huge";
  const std::wstring root = module + L"\\ラウンチャーアイテムルート";
  CreateDirectoryW(module.c_str(), nullptr);
  bench::MakeFolderOf(root, 70000);
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root.c_str());
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (module + L"\\").c_str());
  errorRecords = 0;
  const double start = Now();
  MainWindow_CreateTrayIconMenu();
  HMENU menu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
  MainWindow_OnMenuSelect(MAKEWPARAM(0, MF_POPUP | MF_HILITE), gHMENU_MainWindow_TrayIconMenu, nullptr);
  const int shown = GetMenuItemCount(menu);
  for (int i = 0; i < shown; ++i) {  // the menu measures every entry; a screen draws about 40
    MeasureEntry(menu, i);
    if (i < 40) DrawEntry(dc, menu, i, false);
  }
  const double seconds = Now() - start;
  MainWindow_DestroyTrayIconMenu();
  printf("| folder of 70,000 shortcuts | %d entries shown, %d level-3 record(s): %s | %.2f s |\n", shown,
         errorRecords, LastErrorUtf8().c_str(), seconds);
}

// A 10 MB config.ini of noise around the real keys: loading must neither
// hang nor change the file.
void HugeConfig(const std::wstring& base) {
  const std::wstring path = base + L"\\config.ini";
  Text_Copy(gTCHAR_Config_SettingFilePath, D_SIZE_CONFIG_SETTING_FILE, path.c_str());
  std::string bytes;
  unsigned seed = 12345;
  while (bytes.size() < 10u * 1024 * 1024) {
    seed = seed * 1103515245u + 12345u;
    const char c = static_cast<char>((seed >> 16) & 0xFF);
    bytes += (seed & 0x3F) == 0 ? '\n' : (c == 0 ? 'x' : c);
  }
  bytes += "\r\n[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=1\r\n";
  {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  errorRecords = 0;
  const double start = Now();
  const int result = Config_LoadSettingFile();
  const double seconds = Now() - start;
  WIN32_FILE_ATTRIBUTE_DATA after = {};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &after);
  printf("| 10 MB config.ini of noise | result %d, %d level-3 record(s): %s; file %s | %.2f s |\n", result,
         errorRecords, LastErrorUtf8().c_str(), after.nFileSizeLow == bytes.size() ? "unchanged in size" : "CHANGED",
         seconds);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int openings = argc > 1 ? _wtoi(argv[1]) : 1000;
  const int dialogs = openings / 10;
  const std::wstring kinds = argc > 2 ? argv[2] : L"mrds";
  const auto has = [&](wchar_t kind) { return kinds.find(kind) != std::wstring::npos; };
  setlocale(LC_ALL, ".ACP");
  setvbuf(stdout, nullptr, _IONBF, 0);  // each line as it comes: the heavy part takes minutes
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"riched20.dll");
  gHINSTANCE_WinMain_Instance = gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
  MainWindow_CreateTreeView();

  // A launcher item root of 30 shortcuts and 10 folders of 5 shortcuts each.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring base = std::wstring(temp) + L"corvanta-soak";
  const std::wstring root = base + L"\\ラウンチャーアイテムルート";
  CreateDirectoryW(base.c_str(), nullptr);
  CreateDirectoryW(root.c_str(), nullptr);
  for (int i = 0; i < 30; ++i) bench::MakeShortcut(root + L"\\item" + std::to_wstring(i) + L".lnk");
  for (int f = 0; f < 10; ++f) {
    const std::wstring folder = root + L"\\folder" + std::to_wstring(f);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < 5; ++i) bench::MakeShortcut(folder + L"\\item" + std::to_wstring(i) + L".lnk");
  }
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (base + L"\\").c_str());
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root.c_str());
  Text_Copy(gTCHAR_Config_SettingFilePath, D_SIZE_CONFIG_SETTING_FILE, (base + L"\\config.ini").c_str());
  Config_CreateDefaultSettingFile();
  Config_LoadSettingFile();

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(400, 60, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  // The test runs take one of the folders: the dialog lists one item per
  // 100 ms tick, and what could grow is per run, not per item.
  const std::wstring runFolder = root + L"\\folder0";
  auto round = [&](int menus, int each) {
    const double start = Now();
    for (int i = 0; i < menus && has(L'm'); ++i) OpenMenuOnce(dc);
    const double menuTime = Now() - start;
    printf("  %d menu openings done (%.0f s)\n", has(L'm') ? menus : 0, menuTime);
    for (int i = 0; i < each && has(L'r'); ++i) TestRunOnce(runFolder);
    for (int i = 0; i < each && has(L'd'); ++i) ManagementOnce(40);
    for (int i = 0; i < each && has(L's'); ++i) SettingsOnce();
    printf("  %d of each chosen dialog done (%.0f s)\n", each, Now() - start);
    return menuTime;
  };
  round(20, 3);  // warm-up: the shell's and the controls' one-time allocations
  MainWindow_DestroyTrayIconMenu();
  const Snapshot before = Take();
  const double menuTime = round(openings, dialogs);
  MainWindow_DestroyTrayIconMenu();
  const Snapshot after = Take();

  printf("soak: %d menu openings (%.1f ms each), %d test runs, %d management dialogs, %d settings sheets; "
         "%d driver failure(s)\n",
         has(L'm') ? openings : 0, has(L'm') ? menuTime * 1000 / openings : 0.0, has(L'r') ? dialogs : 0,
         has(L'd') ? dialogs : 0, has(L's') ? dialogs : 0, failures);
  printf("| measure | before | after | change |\n|---|---|---|---|\n");
  for (int i = 0; i < 7; ++i) {
    printf("| %s | %lld | %lld | %+lld |\n", kNames[i], before.values[i], after.values[i],
           after.values[i] - before.values[i]);
  }

  Trace_SetSink(CountErrors, nullptr);
  printf("\n| heavy hostile input | outcome | time |\n|---|---|---|\n");
  HugeConfig(base);
  HugeFolder(base, dc);
  Trace_SetSink(nullptr, nullptr);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  CoUninitialize();
  return failures == 0 ? 0 : 1;
}
