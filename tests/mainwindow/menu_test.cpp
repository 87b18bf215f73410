// The launcher menu built from a prepared launcher item root: entries, paths, a folder's and the IDs' limits,
// drawing at every DPI, the fixed entries' actions (help: HTML Help's window, or a box naming the missing file),
// icons kept for one opening, and values and paths beyond their limits refused.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <htmlhelp.h>

#include <algorithm>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
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

// An entry measured, then drawn (highlighted or not) on a white bitmap of the size it asked for.
struct Drawn {
  explicit Drawn(const MENUITEMINFOW& item, bool selected = false) {
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, item.wID, 0, 0, item.dwItemData};
    MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle);
    width = static_cast<int>(measure.itemWidth);
    height = static_cast<int>(measure.itemHeight);
    bitmap.Reset(CreateBitmap(width, height, 1, 32, nullptr));
    SelectObject(dc.Get(), bitmap.Get());
    PatBlt(dc.Get(), 0, 0, width, height, WHITENESS);
    const UINT state = selected ? ODS_SELECTED : 0u;
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, item.wID, 0, state, nullptr, dc.Get(), {0, 0, width, height}, item.dwItemData};
    MainWindow_OnDrawItem(&draw, 0);
  }
  std::vector<COLORREF> Pixels(int left, int right) const {  // the columns from `left` up to `right`
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y) {
      for (int x = left; x < right; ++x) pixels.push_back(GetPixel(dc.Get(), x, y));
    }
    return pixels;
  }
  bool Shows(int colour, int left = 0) const {  // some pixel in this system colour right of `left`
    const std::vector<COLORREF> pixels = Pixels(left, width);
    return std::count(pixels.begin(), pixels.end(), GetSysColor(colour)) > 0;
  }
  GdiObjectHandle bitmap;  // declared before the DC, which is deleted first and so lets go of it
  MemoryDcHandle dc{CreateCompatibleDC(nullptr)};
  int width = 0;
  int height = 0;
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
    MainWindow_SetMenuDpi(0);
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
      if (MainWindow_CreateLauncherSubMenu(Node(entry), menu_ = entry.hSubMenu) != 0) return -1;
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
  // The icon of the top entry of the folder Open filled last, as drawn.
  std::vector<COLORREF> DrawnIcon() const { return Drawn(MenuEntry(menu_, 0)).Pixels(0, GetSystemMetrics(SM_CXICON)); }
  HMENU menu_ = nullptr;  // the folder Open filled last
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
};

TEST_F(LauncherMenu, EntriesInReverseSearchOrderFillOnTheFirstHighlightWhichMakesTheSelection) {
  for (const wchar_t* folder : {L"c", L"x.lnk"}) MakeFolder(root_ + L"\\" + folder);  // x.lnk: a folder all the same
  for (const wchar_t* file :
       {L"%s%n%d.lnk", L".hidden.lnk", L"TOOL.LNK", L"notes.txt", L"c\\readme.txt", L"c\\App.LNK", L"order.ini"}) {
    WriteBytes(root_ + L"\\" + file, "");
  }
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
  EXPECT_EQ(0, GetMenuItemCount(rootMenu)) << "the root fills when highlighted";
  // Each highlight comes twice, as a folder fills once; a folder entry comes by position, others by ID.  The
  // selection made, as "ID path".
  const auto select = [](HMENU menu, UINT item, UINT flags) {
    for (int twice = 0; twice < 2; ++twice) MainWindow_OnMenuSelect(MAKEWPARAM(item, flags), menu, nullptr);
    return std::to_wstring(glong_MainWindow_CurrentMenuId) + L" " + gTCHAR_MainWindow_CurrentPhysicalPath;
  };
  EXPECT_EQ(L"1000 " + root_, select(gHMENU_MainWindow_TrayIconMenu, 0, MF_POPUP | MF_OWNERDRAW));
  std::vector<std::wstring> expected, names;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((root_ + L"\\*").c_str(), &found));
  for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &found)) {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && name != L"TOOL.LNK" && name != L"notes.txt" && name != L"order.ini") expected.insert(expected.begin(), name);
  }
  for (int i = 0; i < GetMenuItemCount(rootMenu); ++i) {
    const MENUITEMINFOW entry = MenuEntry(rootMenu, i);
    names.push_back(NodeName(entry));
    EXPECT_EQ(names.back() == L"c" || names.back() == L"x.lnk", entry.hSubMenu != nullptr) << i;
    EXPECT_TRUE(entry.fType & MFT_OWNERDRAW);
    if (names.back() == L"c") {
      select(rootMenu, i, MF_POPUP | MF_OWNERDRAW);  // "c" holds no launcher items
      ASSERT_EQ(1, GetMenuItemCount(entry.hSubMenu));
      const MENUITEMINFOW empty = MenuEntry(entry.hSubMenu, 0);
      EXPECT_TRUE(empty.fState == (MFS_DISABLED | MFS_GRAYED) && !empty.hSubMenu && !empty.dwItemData)
          << "a grey entry leading nowhere";
    }
    if (names.back() != L"%s%n%d.lnk") continue;
    EXPECT_EQ(std::to_wstring(entry.wID) + L" " + root_ + L"\\%s%n%d.lnk", select(rootMenu, entry.wID, MF_OWNERDRAW))
        << "a name is never a format";
  }
  EXPECT_EQ(expected, names);
  EXPECT_EQ(L"0 ", select(nullptr, 0, 0xFFFF)) << "the menu closed";
}

// A folder shows its first 4,096 entries and says so in a record; IDs stop at 16 bits, two are left here.
TEST_F(LauncherMenu, AFolderShowsAtMost4096EntriesAndIdsNeverPassSixteenBits) {
  for (int i = 0; i < 4097; ++i) WriteBytes(root_ + L"\\" + std::to_wstring(i) + L".lnk", "");
  TraceRecorder recorder;
  ASSERT_EQ(4096, Open(temp_.Path(), 0));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"項目が多すぎるため、先頭の4096件だけを表示します"));
  glong_MainWindow_MenuIdCounter = 0xFFFF - 1000 - 1;  // as if 64,533 entries had been handed out already
  EXPECT_EQ(-1, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, menu_));
  EXPECT_EQ(4096 + 2, GetMenuItemCount(menu_)) << "the two IDs left were used, no more";
  EXPECT_EQ(0xFFFFu, MenuEntry(menu_, 0).wID);
}

// A shortcut is drawn without its extension, just as a folder of its name, and in the highlight's colours;
// "< 空 >" is grey.  At 150 % and 200 % the size the folder's entry asks for and the box its icon and name are
// drawn in scale.
TEST_F(LauncherMenu, AShortcutIsDrawnAsAFolderOfItsNameAtEveryDpiAndTheEmptyEntryGrey) {
  WriteBytes(root_ + L"\\Corvanta.lnk", "");
  MakeFolder(root_ + L"\\Corvanta");
  ASSERT_EQ(2, Open(temp_.Path(), 0));
  const int shortcutAt = NodeName(MenuEntry(menu_, 0)) == L"Corvanta.lnk" ? 0 : 1;
  const Drawn shortcut(MenuEntry(menu_, shortcutAt), true);
  const Drawn folder(MenuEntry(menu_, 1 - shortcutAt), true);
  const int icon = GetSystemMetrics(SM_CXICON);
  EXPECT_TRUE(folder.Pixels(icon, folder.width) == shortcut.Pixels(icon, folder.width)) << "beside the icon: Corvanta";
  EXPECT_TRUE(shortcut.Shows(COLOR_HIGHLIGHT)) << "highlighted";
  EXPECT_TRUE(shortcut.Shows(COLOR_HIGHLIGHTTEXT, icon)) << "the name in highlight text";
  MENUITEMINFOW emptyEntry = {};
  emptyEntry.wID = D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_EMPTY;
  const Drawn empty(emptyEntry);
  EXPECT_TRUE(empty.Shows(COLOR_GRAYTEXT) && !empty.Shows(COLOR_HIGHLIGHT)) << "the empty entry is grey";
  std::vector<std::vector<int>> seen;  // by DPI: the width and height asked for, then the drawing's
  for (UINT dpi : {96u, 144u, 192u}) {
    MainWindow_SetMenuDpi(dpi);
    ASSERT_EQ(2, Open(temp_.Path(), 0));
    const Drawn drawn(MenuEntry(menu_, 1 - shortcutAt));
    RECT ink = {drawn.width, drawn.height, 0, 0};  // around every pixel that is not white
    for (LONG y = 0; y < drawn.height; ++y) {
      for (LONG x = 0; x < drawn.width; ++x) {
        if (GetPixel(drawn.dc.Get(), x, y) == RGB(255, 255, 255)) continue;
        ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
      }
    }
    seen.push_back({drawn.width, drawn.height, ink.right - ink.left, ink.bottom - ink.top});
  }
  for (size_t i = 1; i < seen.size(); ++i) {
    for (size_t part = 0; part < seen[0].size(); ++part) {
      const double slack = part < 2 ? 2.5 : 4;  // a font's ink grows less evenly than its sizes
      EXPECT_NEAR(seen[0][part] * (i + 2) / 2.0, seen[i][part], slack) << "part " << part << " at x" << (i + 2) / 2.0;
    }
  }
}

TEST_F(LauncherMenu, OnlyLauncherEntriesAskBeforeRunningOrRunAtOnceWhenAskingIsOff) {
  WriteBytes(root_ + L"\\b.lnk", "");
  const auto notify = [] { EXPECT_EQ(0, MainWindow_OnHookNotify()); };
  for (long id : {1000L, 100L, 1L, 0L, 1001L}) {  // the root, "< 空 >", the separator, no entry; b.lnk asks
    const std::wstring path = id > 1000 ? root_ + L"\\b.lnk" : root_;
    Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, path.c_str());
    glong_MainWindow_CurrentMenuId = id;
    EXPECT_EQ(id > 1000, AnswerBoxDuring(L"", IDCANCEL, notify).found) << id;  // its text: MainWindowTest.WhileAChoice…
  }
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
  // Found by the help project's title: HTML Help opened our file.
  const auto opened = [] { return PumpMessages(50), FindWindowW(nullptr, L"Corvanta ヘルプ") != nullptr; };
  EXPECT_TRUE(WaitUntil(opened, 20000)) << "HTML Help opened no window";
  HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

// The shell is asked once per opening: a shortcut replaced by a folder of its name (and back, 100 times) keeps its
// icon in redraws until the next opening, which shows the current one, gives the old ones back, reuses nothing.
TEST_F(LauncherMenu, AnEntrysIconIsKeptForTheOpeningAndAskedAgainInTheNext) {
  const std::wstring a = root_ + L"\\a.lnk";
  ASSERT_TRUE(MakeShortcut(a, L"C:\\windows\\notepad.exe"));
  ASSERT_EQ(1, Open(temp_.Path(), 0));
  std::vector<COLORREF> icons[2] = {DrawnIcon(), {}};  // a.lnk as a shortcut, as a folder
  const size_t room = GdiRoom();
  for (int i = 1; i <= 100; ++i) {
    // The shell lets go of a shortcut it read a moment later under Wine (error 32 meanwhile).
    ASSERT_TRUE(i % 2 ? WaitUntil([&] { return DeleteFileW(a.c_str()) != FALSE; }, 3000) && CreateDirectoryW(a.c_str(), nullptr)
                      : RemoveDirectoryW(a.c_str()) && MakeShortcut(a, L"C:\\windows\\notepad.exe")) << "opening " << i;
    ASSERT_TRUE(icons[(i + 1) % 2] == DrawnIcon()) << "a redraw draws the kept icon, opening " << i - 1;
    ASSERT_EQ(1, Open(temp_.Path(), 0));
    if (i == 1) icons[1] = DrawnIcon();
    ASSERT_TRUE(icons[i % 2] == DrawnIcon()) << "opening " << i;
  }
  EXPECT_TRUE(icons[0] != icons[1]) << "a new opening asks the shell again";
  EXPECT_GE(GdiRoom() + 40, room) << "each opening gives its icons back (two GDI objects each)";
}

// Hotkey values one past 32 bits are refused, and so is a path too long for the buffers: whole, never cut, with
// a level-three record.
TEST_F(LauncherMenu, ValuesAndPathsBeyondTheirLimitsAreRefused) {
  for (const wchar_t* value : {L"2147483648, 6", L"90, 2147483648"}) {  // the key, the modifiers
    WriteBytes(temp_ / L"c.ini", SettingFileBytes(SettingLinesWith(L"HOTKEY_OPEN_LAUNCHER_WINDOW", value)));
    EXPECT_EQ(-1, Config_LoadSettingFile()) << ToAnsi(value);
  }
  const std::wstring name = L"\\" + std::wstring(200, L'n');
  for (const std::wstring& folder : {name, name + name, name + name + name}) {
    MakeFolder(L"\\\\?\\" + root_ + folder);
  }
  TraceRecorder recorder;
  EXPECT_EQ(-1, Open(temp_.Path(), 3));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"パスが長すぎます"));
}

}  // namespace
