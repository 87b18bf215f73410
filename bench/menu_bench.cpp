// Times filling and drawing a 2,000-entry launcher submenu against the least
// any menu of these entries must do: list the folder and ask the shell for one
// icon per entry; prints each phase and the cost of a highlight walk.
//
//   menu_bench.exe [entries] [rounds]     (defaults 2000, 5)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "app/winmain.h"
#include "config/config.h"
#include "mainwindow/traymenu.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

void MakeShortcut(const std::wstring& path, const wchar_t* target) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link));
  link->SetPath(target);
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  file->Save(path.c_str(), TRUE);
  file->Release();
  link->Release();
}

// Seconds spent in each phase of one opening of the submenu.
struct Phases {
  double fill = 0, measure = 0, draw = 0, redraw = 0;
  double Total() const { return fill + measure + draw; }
};

// The entries a screen shows of a long menu.
constexpr size_t kScreenful = 40;

// The menu as the program builds and draws it, then a highlight walk down a
// screenful of entries: each drawn twice more (highlighted, then plain again).
Phases FillAndDraw(HDC dc) {
  Phases phases;
  double start = Now();
  MainWindow_CreateTrayIconMenu();
  HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
  MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu);
  const int count = GetMenuItemCount(rootMenu);
  std::vector<DRAWITEMSTRUCT> entries(static_cast<size_t>(count));
  phases.fill = Now() - start;
  start = Now();
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_DATA;
    GetMenuItemInfoW(rootMenu, static_cast<UINT>(i), TRUE, &item);
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = item.wID;
    measure.itemData = item.dwItemData;
    MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle);
    DRAWITEMSTRUCT& draw = entries[static_cast<size_t>(i)];
    draw.CtlType = ODT_MENU;
    draw.itemID = item.wID;
    draw.itemData = item.dwItemData;
    draw.hDC = dc;
    draw.rcItem = {0, 0, static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
  }
  phases.measure = Now() - start;
  start = Now();
  for (const DRAWITEMSTRUCT& draw : entries) MainWindow_OnDrawItem(&draw, 0);
  phases.draw = Now() - start;
  start = Now();
  for (size_t i = 0; i < entries.size() && i < kScreenful; ++i) {
    DRAWITEMSTRUCT& draw = entries[i];
    draw.itemState = ODS_SELECTED;
    MainWindow_OnDrawItem(&draw, 0);
    draw.itemState = 0;
    MainWindow_OnDrawItem(&draw, 0);
  }
  phases.redraw = Now() - start;
  MainWindow_DestroyTrayIconMenu();
  return phases;
}

// Listing plus one shell icon per entry.
double ListAndLookUpIcons(const std::wstring& folder) {
  const double start = Now();
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  do {
    if (entry.cFileName[0] == L'.') continue;
    SHFILEINFOW info = {};
    if (SHGetFileInfoW((folder + L"\\" + entry.cFileName).c_str(), 0, &info, sizeof(info), SHGFI_ICON) != 0) {
      DestroyIcon(info.hIcon);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return Now() - start;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int entries = argc > 1 ? _wtoi(argv[1]) : 2000;
  const int rounds = argc > 2 ? _wtoi(argv[2]) : 5;
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
  MainWindow_CreateTreeView();

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"corvanta-menu-bench-" + std::to_wstring(entries);
  const std::wstring root = folder + L"\\ラウンチャーアイテムルート";
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW(root.c_str(), nullptr);
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (folder + L"\\").c_str());
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root.c_str());
  for (int i = 0; i < entries; ++i) {
    const std::wstring path = root + L"\\item" + std::to_wstring(i) + L".lnk";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) MakeShortcut(path, L"C:\\windows\\notepad.exe");
  }

  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(400, 60, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  FillAndDraw(dc);  // warm the shell's caches for both
  {
    MainWindow_CreateTrayIconMenu();
    HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
    MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu);
    printf("submenu entries: %d\n", GetMenuItemCount(rootMenu));
    MainWindow_DestroyTrayIconMenu();
  }
  ListAndLookUpIcons(root);
  std::vector<double> menu, baseline, fill, measure, draw, redraw;
  for (int round = 0; round < rounds; ++round) {
    const Phases phases = FillAndDraw(dc);
    menu.push_back(phases.Total());
    fill.push_back(phases.fill);
    measure.push_back(phases.measure);
    draw.push_back(phases.draw);
    redraw.push_back(phases.redraw);
    baseline.push_back(ListAndLookUpIcons(root));
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);

  const double m = Median(menu), b = Median(baseline);
  printf("entries: %d, rounds: %d (median)\n", entries, rounds);
  printf("fill + measure + draw the submenu: %8.1f ms\n", m * 1000);
  printf("  fill (listing, tree nodes, menu insertion): %8.1f ms\n", Median(fill) * 1000);
  printf("  measure every entry:                        %8.1f ms\n", Median(measure) * 1000);
  printf("  draw every entry:                           %8.1f ms\n", Median(draw) * 1000);
  printf("highlight walk, up to 40 entries drawn twice: %8.1f ms\n", Median(redraw) * 1000);
  printf("list + one SHGetFileInfoW per entry: %8.1f ms\n", b * 1000);
  printf("ratio: %.2f (target: at most 1.50)\n", m / b);
  CoUninitialize();
  return 0;
}
