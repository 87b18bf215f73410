// Icons kept for one menu opening; hostile config.ini, order.ini and trees met without a crash, hang or wrong value.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "launch/launch.h"
#include "mainwindow/traymenu.h"
#include "support/test_support.h"

namespace {

using namespace test;

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    MainWindow_CreateTreeView();
    Text_Copy(gTCHAR_Config_SettingFilePath, D_SIZE_CONFIG_SETTING_FILE, (temp_ / L"c.ini").c_str());
    MakeFolder(root_);
  }
  void TearDown() override { MainWindow_DestroyTrayIconMenu(), DestroyWindow(gHWND_MainWindow_Handle); }
  // Opens the launcher item root in `module` and `levels` folders down it (the first entry each time), as
  // highlights would: the last folder's entry count, or -1 when it could not be filled.
  int Open(const std::wstring& module, int levels) {
    Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (module + L"\\").c_str());
    MainWindow_CreateTrayIconMenu();
    MENUITEMINFOW entry = MenuEntry(gHMENU_MainWindow_TrayIconMenu, 0);
    for (int level = 0;; ++level, entry = MenuEntry(menu_, 0)) {
      const HTREEITEM node = reinterpret_cast<HTREEITEM>(entry.dwItemData);
      if (MainWindow_CreateLauncherSubMenu(node, menu_ = entry.hSubMenu) != 0) return -1;
      if (level == levels) return GetMenuItemCount(menu_);
    }
  }
  // Room left in the process's GDI table, about 65,000 objects under Wine, which answers 0 to GetGuiResources:
  // brushes made until the table refuses one.
  static size_t GdiRoom() {
    std::vector<HBRUSH> made;
    for (HBRUSH brush; (brush = CreateSolidBrush(0)) != nullptr;) made.push_back(brush);
    for (HBRUSH brush : made) DeleteObject(brush);
    return made.size();
  }
  // The top entry of `menu` drawn: a hash of its icon's pixels.
  static unsigned DrawnIcon(HMENU menu) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateBitmap(40, 40, 1, 32, nullptr));
    const MENUITEMINFOW item = MenuEntry(menu, 0);
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, item.wID, 0, 0, nullptr, dc, {0, 0, 40, 40}, item.dwItemData};
    MainWindow_OnDrawItem(&draw, 0);
    unsigned hash = 0;  // the icon area, each pixel that is not the background
    for (int i = 0; i < 1024; ++i) hash = hash * 31 + (GetPixel(dc, i % 32, 4 + i / 32) == GetPixel(dc, 39, 39) ? 0 : i);
    return DeleteObject(SelectObject(dc, old)), DeleteDC(dc), hash;
  }
  HMENU menu_ = nullptr;  // the folder Open filled last
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
};

// The shell is asked once per opening: a shortcut replaced by a folder of the same name (and back, 100 times)
// keeps its icon in redraws until the next opening, which shows the current one and gives the old ones back.
// A new opening's tree nodes may reuse old handles: nothing kept may show.
TEST_F(Hostile, AnEntrysIconIsKeptForTheOpeningAndAskedAgainInTheNext) {
  const std::wstring a = root_ + L"\\a.lnk";
  ASSERT_TRUE(MakeShortcut(a, L"C:\\windows\\notepad.exe"));
  ASSERT_EQ(1, Open(temp_.Path(), 0));
  unsigned icons[2] = {DrawnIcon(menu_), 0};  // a.lnk as a shortcut, as a folder
  const size_t room = GdiRoom();
  for (int i = 1; i <= 100; ++i) {
    // The shell lets go of a shortcut it read a moment later under Wine (error 32 meanwhile).
    ASSERT_TRUE(i % 2 ? WaitUntil([&] { return DeleteFileW(a.c_str()) != FALSE; }, 3000) && CreateDirectoryW(a.c_str(), nullptr)
                      : RemoveDirectoryW(a.c_str()) && MakeShortcut(a, L"C:\\windows\\notepad.exe")) << "opening " << i;
    ASSERT_EQ(icons[(i + 1) % 2], DrawnIcon(menu_)) << "a redraw draws the kept icon, opening " << i - 1;
    ASSERT_EQ(1, Open(temp_.Path(), 0));
    if (i == 1) icons[1] = DrawnIcon(menu_);
    ASSERT_EQ(icons[i % 2], DrawnIcon(menu_)) << "opening " << i;
  }
  EXPECT_TRUE(icons[0] != icons[1] && icons[0] * icons[1] != 0) << "a new opening asks the shell again; both icons are drawn";
  EXPECT_GE(GdiRoom() + 40, room) << "each opening gives its icons back (two GDI objects each)";
}

TEST_F(Hostile, InputsAreRefusedOrCutWithALevelThreeRecordNeverTakenAsWrongValues) {
  const auto config = [&](std::string bytes) { return [=] { return WriteBytes(temp_ / L"c.ini", bytes), Config_LoadSettingFile(); }; };
  const auto with = [](const wchar_t* key, const wchar_t* value) { return SettingFileBytes(SettingLinesWith(key, value)); };
  std::string noise(4096, '\0'), utf16 = "\xFF\xFE", same, lines100k;
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
  for (wchar_t c : L"[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=1\r\n") utf16.append(reinterpret_cast<char*>(&c), 2);
  for (int i = 0; i < 100000; ++i) (i < 2000 ? same += "a.lnk\r\n" : same), lines100k += "none\n";
  // The number of shortcuts collected from the root beside a.lnk and this order.ini.
  const auto order = [&](std::string bytes) { return [=] {
    WriteBytes(root_ + L"\\a.lnk", ""), WriteBytes(root_ + L"\\order.ini", bytes);
    Launch_CollectItems(root_.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail, &glong_Launch_ItemCount);
    const int count = glong_Launch_ItemCount;
    return Launch_FreeItemList(&glong_Launch_ItemCount), count; }; };
  // A launcher item root of its own with the folders of `path`, `files` in the last one: its entries.
  int roots = 0;
  const auto tree = [&](const std::wstring& path, std::vector<std::wstring> files) { return [=, &roots] {
    const std::wstring module = temp_ / std::to_wstring(++roots), last = L"\\\\?\\" + module + L"\\ラウンチャーアイテムルート\\" + path;
    for (size_t at = 4; at != std::wstring::npos; at = last.find(L'\\', at + 1)) CreateDirectoryW(last.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(last.c_str(), nullptr);
    for (const std::wstring& file : files) WriteBytes(last + L"\\" + file, "");
    return Open(module, static_cast<int>(std::count(path.begin(), path.end(), L'\\')) + 1); }; };
  std::wstring deep = L"d", longName(200, L'n');
  for (int i = 1; i < 100; ++i) deep += L"\\d";
  std::vector<std::wstring> big(4097);
  for (size_t i = 0; i < big.size(); ++i) big[i] = std::to_wstring(i) + L".lnk";
  const struct { const char* what; std::function<int()> run; int expected; const wchar_t* record; } cases[] = {
      {"config.ini of random bytes", config(noise), -1, L"設定が見つかりません"},
      {"UTF-16 config.ini", config(utf16), -1, L"設定が見つかりません(SECTION=CONTROL_SETTING, KEY=AUTOCLOSE"},
      {"a 100,000-character line", config(std::string(100000, 'x') + "\r\n" + SettingFileBytes(DefaultSettingLines())), 0, nullptr},
      {"a hotkey one past 32 bits", config(with(L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"2147483648, 6")), -1, L"KEY=HOTKEY"},
      {"modifiers one past 32 bits", config(with(L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90, 2147483648")), -1, L"KEY=HOTKEY"},
      {"duplicate keys: the first counts", config(with(L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"1") + SettingFileBytes(DefaultSettingLines())), 0, nullptr},
      {"a value of 30 digits", config(with(L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"100000000000000000000000000000")), -1, L"KEY=SUPRESS"},
      {"order.ini with a 1 MB line", order(std::string(1 << 20, 'x') + "\r\na.lnk\r\n"), 1, nullptr},
      {"order.ini with NUL bytes", order(std::string("\0\0a.lnk\0x\r\n", 11)), 1, nullptr},
      {"100,000 lines naming nothing", order(lines100k), 1, nullptr},
      {"one item named 2,000 times", order(same), 2000, nullptr},
      {"a listed name of 255 characters", [&] { return WriteBytes(L"\\\\?\\" + root_ + L"\\" + std::wstring(251, L'n') + L".lnk", ""),
                                                  order(std::string(251, 'n') + ".lnk\r\n")(); }, 2, nullptr},
      {"100 levels deep", tree(deep, {}), 1, nullptr},
      {"a path beyond the buffers", tree(longName + L"\\" + longName + L"\\" + longName, {}), -1, L"パスが長すぎます"},
      {"4,097 shortcuts in one folder", tree(L"big", big), 4096, L"項目が多すぎるため、先頭の4096件だけを表示します"},
      {"names with % and outside the code page", tree(L"%s%n", {L"%s%n.lnk", L"한국어 😀.lnk"}), 2, nullptr},
  };
  for (const auto& c : cases) {
    TraceRecorder recorder;
    EXPECT_EQ(c.expected, c.run()) << c.what;
    EXPECT_EQ(c.record != nullptr, recorder.Contains(TRACE_LEVEL_ERROR, c.record ? c.record : L"")) << c.what;
  }
  EXPECT_EQ(1, longSupressDialogBeforeExecute) << "the first of two keys counts; a refused value changes nothing";
}

}  // namespace
