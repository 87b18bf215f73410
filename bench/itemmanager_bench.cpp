// Times opening the management dialog on a folder of 100 and of 2,000
// shortcuts, until the list is filled and painted.  Icons are looked up only
// for the rows on screen, so the two should differ far less than 20 times.
#include <windows.h>
#include <commctrl.h>
#include <locale.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "base/handles.h"
#include "base/instance.h"
#include "base/text.h"
#include "config/config.h"
#include "itemmanager/itemmanager.h"
#include "resource.h"

namespace {

constexpr int kRounds = 5;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A real shortcut to notepad, then copies of its bytes: the shell resolves
// each one's icon through the target, as it would for a user's shortcuts.
void MakeFolderOfShortcuts(const std::wstring& folder, int count) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring first = folder + L"\\item0.lnk";
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid());
  link->SetPath(L"C:\\windows\\notepad.exe");
  link->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
  file->Save(first.c_str(), TRUE);
  for (int i = 1; i < count; ++i) CopyFileW(first.c_str(), (folder + L"\\item" + std::to_wstring(i) + L".lnk").c_str(), FALSE);
}

// One opening: from the call until the list holds `count` rows and has been painted.
double OpenOnce(int count) {
  double finished = 0;
  std::thread driver([&] {
    HWND dialog = nullptr, list = nullptr;
    while (!IsWindowVisible(dialog = FindWindowW(L"#32770", L"ラウンチャーアイテム管理"))) Sleep(1);
    list = GetDlgItem(dialog, IDC_ITEMMANAGER_LIST);
    while (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) < count) Sleep(1);
    UpdateWindow(list);  // a sent WM_PAINT: returns once the rows are drawn
    finished = Now();
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
  const double start = Now();
  ItemManager_ShowDialog();
  driver.join();
  return finished - start;
}

double Median(int count, const std::wstring& root) {
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root.c_str());
  OpenOnce(count);  // warms the shell's caches
  std::vector<double> times;
  for (int round = 0; round < kRounds; ++round) times.push_back(OpenOnce(count));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// What the dialog would wait for if it asked the shell for every row's icon.
double LookUpEveryIcon(const std::wstring& folder, int count) {
  const double start = Now();
  for (int i = 0; i < count; ++i) {
    SHFILEINFOW info = {};
    const std::wstring path = folder + L"\\item" + std::to_wstring(i) + L".lnk";
    if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) != 0) DestroyIcon(info.hIcon);
  }
  return Now() - start;
}

}  // namespace

int wmain() {
  setlocale(LC_ALL, ".ACP");
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"riched20.dll");
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"corvanta-itemmanager-bench";
  CreateDirectoryW(folder.c_str(), nullptr);
  MakeFolderOfShortcuts(folder + L"\\small", 100);
  MakeFolderOfShortcuts(folder + L"\\large", 2000);

  const double small = Median(100, folder + L"\\small");
  const double large = Median(2000, folder + L"\\large");
  printf("management dialog, list filled and painted (median of %d):\n", kRounds);
  printf("  100 shortcuts:   %8.1f ms\n", small);
  printf("  2,000 shortcuts: %8.1f ms\n", large);
  printf("  ratio:           %8.2f (aim: at most 2)\n", large / small);
  printf("  for comparison, 2,000 shell icon look-ups: %8.1f ms\n", LookUpEveryIcon(folder + L"\\large", 2000));
  CoUninitialize();
  return 0;
}
