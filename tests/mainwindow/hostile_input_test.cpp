// Icons kept for one opening of the launcher menu, and hostile config.ini,
// order.ini and launcher item trees met without a crash, a hang or a silent
// wrong value.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <functional>
#include <string>

#include "app/winmain.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "launch/launch.h"
#include "mainwindow/traymenu.h"
#include "support/test_support.h"

namespace {

using namespace test;

MENUITEMINFOW Item(UINT mask) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = mask;
  return item;
}

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    MainWindow_CreateTreeView();
    Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp_.Path() + L"\\").c_str());
    Text_Copy(gTCHAR_Config_SettingFilePath, D_SIZE_CONFIG_SETTING_FILE, (temp_ / L"config.ini").c_str());
    MakeFolder(root_);
  }
  void TearDown() override {
    MainWindow_DestroyTrayIconMenu();
    DestroyWindow(gHWND_MainWindow_Handle);
    CoUninitialize();
  }
  // Opens the root of launcher item folder `module`, then each folder of `path`, as highlights would.
  HMENU Open(const std::wstring& module, const std::wstring& path, int* result) {
    Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (module + L"\\").c_str());
    *result = MainWindow_CreateTrayIconMenu();
    HMENU menu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
    HTREEITEM node = gHTREEITEM_MainWindow_RootTreeNode;
    for (size_t at = 0, end = 0; *result == 0; at = end + 1) {
      if ((*result = MainWindow_CreateLauncherSubMenu(node, menu)) != 0 || at > path.size()) break;
      end = std::min(path.find(L'\\', at), path.size());
      for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOW item = Item(MIIM_DATA | MIIM_SUBMENU);
        GetMenuItemInfoW(menu, i, TRUE, &item);
        wchar_t name[256];
        MainWindow_GetNodeText(reinterpret_cast<HTREEITEM>(item.dwItemData), name, 256);
        if (path.compare(at, end - at, name) == 0) node = reinterpret_cast<HTREEITEM>(item.dwItemData), menu = item.hSubMenu;
      }
    }
    return menu;
  }
  // A hash of the entry drawn at the top of `menu`, icon area only.
  unsigned DrawnIcon(HMENU menu, bool highlighted) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(40, 40, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    MENUITEMINFOW item = Item(MIIM_ID | MIIM_DATA);
    GetMenuItemInfoW(menu, 0, TRUE, &item);
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, item.wID, 0, highlighted ? ODS_SELECTED : 0u, nullptr, dc, {0, 0, 40, 40},
                           item.dwItemData};
    MainWindow_OnDrawItem(&draw, 0);
    unsigned hash = 0;
    for (int y = 4; y < 36; ++y) {
      for (int x = 0; x < 32; ++x) hash = hash * 31 + (GetPixel(dc, x, y) == GetPixel(dc, 39, 39) ? 0 : 1 + x);
    }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return hash;
  }
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
};

// The shell is asked once per opening: a shortcut replaced by a folder of the
// same name while the menu is open keeps its icon until the next opening.
TEST_F(Hostile, AnEntrysIconIsKeptForTheOpeningAndAskedAgainInTheNext) {
  ASSERT_TRUE(MakeShortcut(root_ + L"\\a.lnk", L"C:\\windows\\notepad.exe"));
  int result = 0;
  HMENU menu = Open(temp_.Path(), L"", &result);
  const unsigned shortcut = DrawnIcon(menu, false);
  ASSERT_NE(0u, shortcut) << "an icon is drawn";
  ASSERT_TRUE(DeleteFileW((root_ + L"\\a.lnk").c_str()) && CreateDirectoryW((root_ + L"\\a.lnk").c_str(), nullptr));
  EXPECT_EQ(shortcut, DrawnIcon(menu, false)) << "a redraw draws the kept icon";
  const unsigned folder = DrawnIcon(Open(temp_.Path(), L"", &result), false);
  EXPECT_NE(shortcut, folder) << "a new opening asks the shell again";
  EXPECT_NE(0u, folder);
}

TEST_F(Hostile, InputsAreRefusedOrCutWithALevelThreeRecordNeverTakenAsWrongValues) {
  std::vector<std::wstring> lines = DefaultSettingLines();
  const auto config = [&](std::string bytes) { return [=] { WriteBytes(temp_ / L"config.ini", bytes); return Config_LoadSettingFile(); }; };
  const auto with = [&](int line, const wchar_t* text) { std::vector<std::wstring> l = lines; l[line] = text; return SettingFileBytes(l); };
  std::string noise(4096, '\0'), utf16 = "\xFF\xFE";
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  for (wchar_t c : L"[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=1\r\n") utf16.append(reinterpret_cast<char*>(&c), 2);
  const auto order = [&](std::string bytes) { return [=] {
    WriteBytes(root_ + L"\\a.lnk", ""), WriteBytes(root_ + L"\\order.ini", bytes);
    Launch_CollectItems(root_.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail, &glong_Launch_ItemCount);
    const int count = glong_Launch_ItemCount;
    Launch_FreeItemList(&glong_Launch_ItemCount);
    return count; }; };
  std::string same, lines100k;
  for (int i = 0; i < 2000; ++i) same += "a.lnk\r\n";
  for (int i = 0; i < 100000; ++i) lines100k += "none\n";
  const std::wstring longName(200, L'n'), deep = [] { std::wstring d = L"d"; for (int i = 1; i < 100; ++i) d += L"\\d"; return d; }();
  // A launcher item root of its own holding `path` and `files` in its last folder: the entries of that folder.
  int folders = 0;
  const auto tree = [&](const std::wstring& path, std::vector<std::wstring> files) { return [=, &folders] {
    const std::wstring module = temp_ / std::to_wstring(++folders), last = L"\\\\?\\" + module + L"\\ラウンチャーアイテムルート\\" + path;
    for (size_t at = 4;; at = last.find(L'\\', at + 1)) {  // each folder on the way, the whole path last
      CreateDirectoryW(last.substr(0, at).c_str(), nullptr);
      if (at == std::wstring::npos) break;
    }
    for (const std::wstring& file : files) WriteBytes(last + L"\\" + file, "");
    int result = 0;
    const int count = GetMenuItemCount(Open(module, path, &result));
    return result == 0 ? count : result; }; };
  std::vector<std::wstring> many(4097);
  for (size_t i = 0; i < many.size(); ++i) many[i] = std::to_wstring(i) + L".lnk";
  const struct { const char* what; std::function<int()> run; int expected; const wchar_t* record; } cases[] = {
      {"config.ini of random bytes", config(noise), -1, L"設定が見つかりません"},
      {"UTF-16 config.ini", config(utf16), -1, L"設定が見つかりません(SECTION=CONTROL_SETTING, KEY=AUTOCLOSE"},
      {"a 100,000-character line", config(std::string(100000, 'x') + "\r\n" + SettingFileBytes(lines)), 0, nullptr},
      {"a hotkey past 32 bits", config(with(11, L"HOTKEY_OPEN_LAUNCHER_WINDOW=4294967386, 6")), -1, L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=HOTKEY"},
      {"duplicate sections and keys", config(with(7, L"SUPRESS_DIALOG_BEFORE_EXECUTE=1") + SettingFileBytes(lines)), 0, nullptr},
      {"a value of 30 digits", config(with(7, L"SUPRESS_DIALOG_BEFORE_EXECUTE=100000000000000000000000000000")), -1, L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=SUPRESS"},
      {"order.ini with a 1 MB line", order(std::string(1 << 20, 'x') + "\r\na.lnk\r\n"), 1, nullptr},
      {"order.ini with NUL bytes", order(std::string("\0\0a.lnk\0x\r\n", 11)), 1, nullptr},
      {"100,000 lines naming nothing", order(lines100k), 1, nullptr},
      {"one item named 2,000 times", order(same), 2000, nullptr},
      {"100 levels deep", tree(deep, {}), 1, nullptr},
      {"a path beyond the buffers", tree(longName + L"\\" + longName + L"\\" + longName, {}), -1, L"パスが長すぎます"},
      {"4,097 shortcuts in one folder", tree(L"big", many), 4096, L"項目が多すぎるため、先頭の4096件だけを表示します"},
      {"names with % and outside the code page", tree(L"%s%n", {L"%s%n.lnk", L"한국어 😀.lnk"}), 2, nullptr},
  };
  for (const auto& c : cases) {
    TraceRecorder recorder;
    EXPECT_EQ(c.expected, c.run()) << c.what;
    EXPECT_EQ(c.record != nullptr, recorder.Contains(TRACE_LEVEL_ERROR, c.record ? c.record : L"")) << c.what;
  }
  EXPECT_EQ(1, longSupressDialogBeforeExecute) << "the first of duplicate keys counts; refused values change nothing";
}

}  // namespace
