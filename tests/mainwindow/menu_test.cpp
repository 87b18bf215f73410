// The launcher menu built from a prepared launcher item root: shape, names, paths, the 16-bit ID limit,
// measuring and drawing, the fixed entries' actions (the help entry's among them: HTML Help's window, or a box
// naming the missing file), icons kept for one opening, and hostile config.ini, order.ini and trees met
// without a crash, hang or wrong value.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <htmlhelp.h>
#include <objbase.h>

#include <algorithm>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "launch/launch.h"
#include "mainwindow/traymenu.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;

HTREEITEM Node(const MENUITEMINFOW& entry) { return reinterpret_cast<HTREEITEM>(entry.dwItemData); }
std::wstring NodeName(const MENUITEMINFOW& entry) {
  wchar_t text[256];
  MainWindow_GetNodeText(Node(entry), text, 256);
  return text;
}

HFONT MenuFont() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  return CreateFontIndirectW(&metrics.lfMenuFont);
}

// A white 32-bit bitmap that entries are drawn into, in the system's menu font.
struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(300, 60, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HGDIOBJ oldFont = SelectObject(dc, MenuFont());
  Canvas() { PatBlt(dc, 0, 0, 300, 60, WHITENESS); }
  ~Canvas() { DeleteObject(SelectObject(dc, oldFont)), DeleteObject(SelectObject(dc, old)), DeleteDC(dc); }
  int Draw(UINT id, ULONG_PTR data, bool selected) {
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, id, 0, selected ? ODS_SELECTED : 0u, nullptr, dc, {0, 0, 300, 60}, data};
    return MainWindow_OnDrawItem(&draw, 0);
  }
  std::vector<COLORREF> Pixels(int left = 0) {  // right of `left`
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 60; ++y) for (int x = left; x < 300; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
  }
  bool Shows(int colour) {  // some pixel in this system colour
    const std::vector<COLORREF> pixels = Pixels();
    return std::count(pixels.begin(), pixels.end(), GetSysColor(colour)) > 0;
  }
};

class LauncherMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                              GetModuleHandleW(nullptr), nullptr);
    MainWindow_CreateTreeView();
    Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp_.Path() + L"\\").c_str());
    MakeFolder(root_);
    Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
    Text_Copy(gTCHAR_Config_SettingFilePath, D_SIZE_CONFIG_SETTING_FILE, (temp_ / L"c.ini").c_str());
    longSupressDialogBeforeExecute = 0;
  }
  void TearDown() override {
    MainWindow_DestroyTrayIconMenu();
    DestroyWindow(gHWND_MainWindow_Handle);
    gHWND_MainWindow_Handle = gHWND_MainWindow_TreeView = nullptr;
  }
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
  // The root entry's submenu, filled as a highlight would fill it.
  HMENU OpenRoot() {
    EXPECT_EQ(0, MainWindow_CreateTrayIconMenu());
    HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
    EXPECT_EQ(0, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
    return rootMenu;
  }
  HMENU menu_ = nullptr;  // the folder Open filled last
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
};

TEST_F(LauncherMenu, FixedEntriesSitBelowTheRootEntryWhichFillsOnlyWhenHighlighted) {
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  HMENU menu = gHMENU_MainWindow_TrayIconMenu;
  std::vector<std::wstring> seen;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = L"";
    GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
    seen.push_back(text);
  }
  EXPECT_EQ((std::vector<std::wstring>{L"", L"", L"ラウンチャーアイテム管理", L"設定", L"ヘルプ", L"アプリケーション終了"}), seen);
  const MENUITEMINFOW root = MenuEntry(menu, 0);
  EXPECT_TRUE((root.fType & MFT_OWNERDRAW) && (MenuEntry(menu, 1).fType & MFT_SEPARATOR));
  ASSERT_NE(nullptr, root.hSubMenu);
  EXPECT_EQ(0, GetMenuItemCount(root.hSubMenu));
  EXPECT_EQ(L"ラウンチャーアイテムルート", NodeName(root));
}

TEST_F(LauncherMenu, EntriesInReverseSearchOrderOnlyFoldersAndShortcutsOrTheDisabledEmptyEntry) {
  for (const wchar_t* folder : {L"c", L"x.lnk"}) MakeFolder(root_ + L"\\" + folder);  // x.lnk: a folder all the same
  for (const wchar_t* file : {L"a.lnk", L"b.lnk", L".hidden.lnk", L"TOOL.LNK", L"notes.txt", L"c\\readme.txt", L"c\\App.LNK", L"order.ini"}) {
    WriteBytes(root_ + L"\\" + file, "");
  }
  HMENU rootMenu = OpenRoot();
  std::vector<std::wstring> expected, names;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((root_ + L"\\*").c_str(), &found));
  for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &found)) {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && name != L"TOOL.LNK" && name != L"notes.txt" && name != L"order.ini") expected.insert(expected.begin(), name);
  }
  const int count = GetMenuItemCount(rootMenu);
  for (int i = 0; i < count; ++i) {
    const MENUITEMINFOW entry = MenuEntry(rootMenu, i);
    names.push_back(NodeName(entry));
    EXPECT_EQ(names.back() == L"c" || names.back() == L"x.lnk", entry.hSubMenu != nullptr) << i;
    EXPECT_TRUE(entry.fType & MFT_OWNERDRAW);
    if (names.back() != L"c") continue;
    ASSERT_EQ(0, MainWindow_CreateLauncherSubMenu(Node(entry), entry.hSubMenu));  // nothing but non-items
    ASSERT_EQ(1, GetMenuItemCount(entry.hSubMenu));
    const MENUITEMINFOW empty = MenuEntry(entry.hSubMenu, 0);
    EXPECT_TRUE(empty.fState == (MFS_DISABLED | MFS_GRAYED) && !empty.hSubMenu && !empty.dwItemData) << "a grey entry leading nowhere";
  }
  EXPECT_EQ(expected, names);
}

TEST_F(LauncherMenu, AHighlightMakesTheSelectionFillsAFolderOnceAndClosingClearsIt) {
  MakeFolder(root_ + L"\\A");
  WriteBytes(root_ + L"\\A\\%s%n%d.lnk", "");
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  const auto select = [](WPARAM wParam, HMENU menu) { MainWindow_OnMenuSelect(wParam, menu, gHWND_MainWindow_Handle); };
  select(MAKEWPARAM(0, MF_POPUP | MF_OWNERDRAW), gHMENU_MainWindow_TrayIconMenu);  // a folder entry comes by position
  const MENUITEMINFOW a = MenuEntry(GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0), 0);
  EXPECT_EQ(1000, glong_MainWindow_CurrentMenuId);
  EXPECT_EQ(root_, gTCHAR_MainWindow_CurrentPhysicalPath);
  select(MAKEWPARAM(0, MF_POPUP | MF_OWNERDRAW), GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0));
  select(MAKEWPARAM(0, MF_POPUP | MF_OWNERDRAW), GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0));
  ASSERT_EQ(1, GetMenuItemCount(a.hSubMenu)) << "filled once, on the first highlight";
  const MENUITEMINFOW link = MenuEntry(a.hSubMenu, 0);
  select(MAKEWPARAM(link.wID, MF_OWNERDRAW), a.hSubMenu);
  EXPECT_EQ(static_cast<long>(link.wID), glong_MainWindow_CurrentMenuId);
  EXPECT_EQ(root_ + L"\\A\\%s%n%d.lnk", gTCHAR_MainWindow_CurrentPhysicalPath) << "a name is never a format";
  select(MAKEWPARAM(0, 0xFFFF), nullptr);  // the menu closed
  EXPECT_EQ(L"0", std::to_wstring(glong_MainWindow_CurrentMenuId) + gTCHAR_MainWindow_CurrentPhysicalPath);
}

TEST_F(LauncherMenu, IdsNeverPassSixteenBits) {
  for (int i = 0; i < 5; ++i) WriteBytes(root_ + L"\\" + std::to_wstring(i) + L".lnk", "");
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  glong_MainWindow_MenuIdCounter = 0xFFFF - 1000 - 1;  // as if 64,533 entries had been handed out already
  HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
  EXPECT_EQ(-1, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
  ASSERT_EQ(2, GetMenuItemCount(rootMenu)) << "the two IDs left were used, no more";
  EXPECT_EQ(0xFFFFu, MenuEntry(rootMenu, 0).wID);
}

// A shortcut is measured with its extension but drawn without it, just as a folder of its name; "< 空 >" is grey.
TEST_F(LauncherMenu, AShortcutIsMeasuredWithItsExtensionAndDrawnAsAFolderOfItsNameTheEmptyEntryGrey) {
  WriteBytes(root_ + L"\\b.lnk", "");
  MakeFolder(root_ + L"\\b");
  HMENU rootMenu = OpenRoot();
  Canvas drawn[2];  // the folder, the shortcut
  long widths[2] = {};
  for (int i = 0; i < 2; ++i) {
    const MENUITEMINFOW entry = MenuEntry(rootMenu, i);
    const int shortcut = NodeName(entry) == L"b.lnk";
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, entry.wID, 0, 0, entry.dwItemData};
    ASSERT_EQ(0, MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle));
    widths[shortcut] = static_cast<long>(measure.itemWidth);
    drawn[shortcut].Draw(entry.wID, entry.dwItemData, true);
  }
  Canvas empty;  // in the menu font, as entries are measured
  SIZE b = {}, bLnk = {};
  GetTextExtentPoint32W(empty.dc, L"b", 1, &b), GetTextExtentPoint32W(empty.dc, L"b.lnk", 5, &bLnk);
  EXPECT_EQ(bLnk.cx - b.cx, widths[1] - widths[0]) << "measured with .lnk";
  EXPECT_TRUE(drawn[0].Pixels(GetSystemMetrics(SM_CXICON)) == drawn[1].Pixels(GetSystemMetrics(SM_CXICON))) << "beside the icon: b";
  EXPECT_TRUE(drawn[1].Shows(COLOR_HIGHLIGHT) && drawn[1].Shows(COLOR_HIGHLIGHTTEXT)) << "highlighted";
  ASSERT_EQ(0, empty.Draw(100, 0, false));
  EXPECT_TRUE(empty.Shows(COLOR_GRAYTEXT) && !empty.Shows(COLOR_HIGHLIGHT)) << "the empty entry is grey";
}

TEST_F(LauncherMenu, OnlyLauncherEntriesAskBeforeRunningOrRunAtOnceWhenAskingIsOff) {
  WriteBytes(root_ + L"\\b.lnk", "");
  for (long id : {1000L, 100L, 1L, 0L}) {  // the root, "< 空 >", the separator, no entry
    Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, root_.c_str());
    glong_MainWindow_CurrentMenuId = id;
    EXPECT_FALSE(AnswerBoxDuring(L"", IDCANCEL, [] { EXPECT_EQ(0, MainWindow_OnHookNotify()); }).found) << id;
  }
  Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, (root_ + L"\\b.lnk").c_str());
  glong_MainWindow_CurrentMenuId = 1001;
  const auto notify = [] { EXPECT_EQ(0, MainWindow_OnHookNotify()); };
  EXPECT_EQ(L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\b.lnk",
            AnswerBoxDuring(L"ラウンチャーアイテム実行確認", IDCANCEL, notify).text);
  longSupressDialogBeforeExecute = 1;  // then it runs at once
  DialogDriver progress(L"Launch Progress", [](HWND dialog) { Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE); });
  EXPECT_FALSE(AnswerBoxDuring(L"ラウンチャーアイテム実行確認", IDCANCEL, notify).found);
  progress.Join();
  EXPECT_TRUE(progress.found);
}

TEST_F(LauncherMenu, HelpShowsTheContentsOfAPresentFileAndNamesAMissingOne) {
  const std::wstring missing = temp_ / L"CorvantaHelp.chm", present = BinFolder() + L"\\CorvantaHelp.chm";
  Text_Copy(gTCHAR_Config_HelpFilePath, D_SIZE_CONFIG_HELP_FILE, missing.c_str());
  const auto help = [] { MainWindow_RunFixedEntryAction(D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP); };
  EXPECT_EQ(L"ヘルプファイルが見つかりません。\nプログラムと同じフォルダに置いてください。\n\n" + missing, AnswerBoxDuring(L"ヘルプ", IDOK, help).text);
  ASSERT_TRUE(FileExists(present)) << "compiled from help/ja by chmcmd";
  Text_Copy(gTCHAR_Config_HelpFilePath, D_SIZE_CONFIG_HELP_FILE, present.c_str());
  EXPECT_FALSE(AnswerBoxDuring(L"ヘルプ", IDOK, help).found);
  HWND window = nullptr;  // found by the help project's title: HTML Help opened our file
  for (DWORD start = GetTickCount(); !window && GetTickCount() - start < 20000; window = FindWindowW(nullptr, L"Corvanta ヘルプ")) {
    PumpMessages(50);
  }
  EXPECT_NE(nullptr, window) << "HTML Help opened no window";
  HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

// The shell is asked once per opening: a shortcut replaced by a folder of the same name (and back, 100 times)
// keeps its icon in redraws until the next opening, which shows the current one and gives the old ones back.
// A new opening's tree nodes may reuse old handles: nothing kept may show.
TEST_F(LauncherMenu, AnEntrysIconIsKeptForTheOpeningAndAskedAgainInTheNext) {
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

TEST_F(LauncherMenu, InputsAreRefusedOrCutWithALevelThreeRecordNeverTakenAsWrongValues) {
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
