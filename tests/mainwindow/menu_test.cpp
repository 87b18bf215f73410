// The launcher menu built from a prepared launcher item root: shape, names,
// paths, the 16-bit ID limit, measuring and drawing, and the fixed entries'
// actions, the help entry's among them (HTML Help's window, or a box naming the missing file).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <htmlhelp.h>
#include <objbase.h>

#include "base/instance.h"
#include "base/text.h"
#include "config/config.h"
#include "mainwindow/traymenu.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;

MENUITEMINFOW Entry(HMENU menu, int position) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
  return item;
}
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
};

class LauncherMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                                              GetModuleHandleW(nullptr), nullptr);
    MainWindow_CreateTreeView();
    Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp_.Path() + L"\\").c_str());
    MakeFolder(root_);
    Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
    longSupressDialogBeforeExecute = 0;
  }
  void TearDown() override {
    MainWindow_DestroyTrayIconMenu();
    DestroyWindow(gHWND_MainWindow_Handle);
    gHWND_MainWindow_Handle = gHWND_MainWindow_TreeView = nullptr;
    CoUninitialize();
  }
  // The root entry's submenu, filled as a highlight would fill it.
  HMENU OpenRoot() {
    EXPECT_EQ(0, MainWindow_CreateTrayIconMenu());
    HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
    EXPECT_EQ(0, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
    return rootMenu;
  }
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
    seen.push_back(std::to_wstring(Entry(menu, i).wID) + L" " + text);
  }
  EXPECT_EQ((std::vector<std::wstring>{L"1000 ", L"1 ", L"40 ラウンチャーアイテム管理", L"30 設定", L"20 ヘルプ", L"10 アプリケーション終了"}), seen);
  const MENUITEMINFOW root = Entry(menu, 0);
  EXPECT_TRUE((root.fType & MFT_OWNERDRAW) && (Entry(menu, 1).fType & MFT_SEPARATOR));
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
    const MENUITEMINFOW entry = Entry(rootMenu, i);
    names.push_back(NodeName(entry));
    EXPECT_EQ(names.back() == L"c" || names.back() == L"x.lnk", entry.hSubMenu != nullptr) << i;
    EXPECT_TRUE(entry.fType & MFT_OWNERDRAW);
    EXPECT_EQ(1001u + (count - 1 - i), entry.wID) << "IDs are handed out in search order from 1001";
    if (names.back() != L"c") continue;
    ASSERT_EQ(0, MainWindow_CreateLauncherSubMenu(Node(entry), entry.hSubMenu));  // nothing but non-items
    ASSERT_EQ(1, GetMenuItemCount(entry.hSubMenu));
    const MENUITEMINFOW empty = Entry(entry.hSubMenu, 0);
    EXPECT_EQ((std::vector<ULONG_PTR>{100, 0, MFS_DISABLED | MFS_GRAYED, 0}),
              (std::vector<ULONG_PTR>{empty.wID, empty.dwItemData, empty.fState, reinterpret_cast<ULONG_PTR>(empty.hSubMenu)}));
  }
  EXPECT_EQ(expected, names);
}

TEST_F(LauncherMenu, AHighlightMakesTheSelectionFillsAFolderOnceAndClosingClearsIt) {
  MakeFolder(root_ + L"\\A");
  WriteBytes(root_ + L"\\A\\%s%n%d.lnk", "");
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  const auto select = [](WPARAM wParam, HMENU menu) { MainWindow_OnMenuSelect(wParam, menu, gHWND_MainWindow_Handle); };
  select(MAKEWPARAM(0, MF_POPUP | MF_OWNERDRAW), gHMENU_MainWindow_TrayIconMenu);  // a folder entry comes by position
  const MENUITEMINFOW a = Entry(GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0), 0);
  EXPECT_EQ(1000, glong_MainWindow_CurrentMenuId);
  EXPECT_EQ(root_, gTCHAR_MainWindow_CurrentPhysicalPath);
  select(MAKEWPARAM(0, MF_POPUP | MF_OWNERDRAW), GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0));
  select(MAKEWPARAM(0, MF_POPUP | MF_OWNERDRAW), GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0));
  ASSERT_EQ(1, GetMenuItemCount(a.hSubMenu)) << "filled once, on the first highlight";
  const MENUITEMINFOW link = Entry(a.hSubMenu, 0);
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
  EXPECT_EQ(0xFFFFu, Entry(rootMenu, 0).wID);
}

TEST_F(LauncherMenu, ShortcutsAreMeasuredWithTheirExtensionAndDrawnWithoutItTheEmptyEntryGrey) {
  WriteBytes(root_ + L"\\b.lnk", "");
  const MENUITEMINFOW b = Entry(OpenRoot(), 0);
  MEASUREITEMSTRUCT measure = {ODT_MENU, 0, b.wID, 0, 0, b.dwItemData};
  ASSERT_EQ(0, MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle));
  Canvas selected, empty, expected, named;
  SIZE withExtension = {};
  GetTextExtentPoint32W(named.dc, L"b.lnk", 5, &withExtension);
  const int arrow = GetSystemMetrics(SM_CXMENUCHECK), top = (60 - withExtension.cy) / 2;  // a submenu arrow's room; the name centred
  EXPECT_EQ((std::vector<UINT>{static_cast<UINT>(withExtension.cx + 36 + arrow), static_cast<UINT>(withExtension.cy + 24)}),
            (std::vector<UINT>{measure.itemWidth, measure.itemHeight}));
  selected.Draw(b.wID, b.dwItemData, true);
  // Beside the icon: "b" without its extension, in the highlight's colours over the whole entry.
  const RECT whole = {0, 0, 300, 60};
  SetBkColor(named.dc, GetSysColor(COLOR_HIGHLIGHT));
  ExtTextOutW(named.dc, 0, 0, ETO_OPAQUE, &whole, L"", 0, nullptr);
  SetTextColor(named.dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  TextOutW(named.dc, 36, top, L"b", 1);
  EXPECT_TRUE(named.Pixels(36) == selected.Pixels(36)) << "a highlighted shortcut is not drawn as its name";
  // "< 空 >" in the grey text colour, where the names go.
  ASSERT_EQ(0, empty.Draw(100, 0, false));
  SetTextColor(expected.dc, GetSysColor(COLOR_GRAYTEXT));
  TextOutW(expected.dc, 36, top, L"< 空 >", 5);
  EXPECT_TRUE(expected.Pixels() == empty.Pixels()) << "the empty entry is not drawn as its grey text";
}

TEST_F(LauncherMenu, OnlyLauncherEntriesAskBeforeRunningOrRunAtOnceWhenAskingIsOff) {
  WriteBytes(root_ + L"\\b.lnk", "");
  for (long id : {1000L, 100L, 1L, 0L}) {  // the root, "< 空 >", the separator, no entry
    Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, root_.c_str());
    glong_MainWindow_CurrentMenuId = id;
    EXPECT_EQ(0, MainWindow_OnHookNotify()) << id;
    EXPECT_TRUE(NoMessageBoxFor(300, GetCurrentProcessId())) << id;
  }
  Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, (root_ + L"\\b.lnk").c_str());
  glong_MainWindow_CurrentMenuId = 1001;
  AsyncMessageBoxAnswer answer(L"ラウンチャーアイテム実行確認", IDCANCEL, 10000);
  EXPECT_EQ(0, MainWindow_OnHookNotify());
  EXPECT_EQ(L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\b.lnk", answer.Wait().text);
  longSupressDialogBeforeExecute = 1;  // then it runs at once
  LoadLibraryW(L"riched20.dll");
  DialogDriver progress(L"Launch Progress", [](HWND dialog) { Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE); });
  EXPECT_EQ(0, MainWindow_OnHookNotify());
  progress.Join();
  EXPECT_TRUE(progress.found && NoMessageBoxFor(0, GetCurrentProcessId()));
}

TEST_F(LauncherMenu, HelpShowsTheContentsOfAPresentFileAndNamesAMissingOne) {
  const std::wstring missing = temp_ / L"CorvantaHelp.chm", present = BinFolder() + L"\\CorvantaHelp.chm";
  Text_Copy(gTCHAR_Config_HelpFilePath, D_SIZE_CONFIG_HELP_FILE, missing.c_str());
  AsyncMessageBoxAnswer answer(L"ヘルプ", IDOK, 20000);
  MainWindow_RunFixedEntryAction(D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP);
  EXPECT_EQ(L"ヘルプファイルが見つかりません。\nプログラムと同じフォルダに置いてください。\n\n" + missing, answer.Wait().text);
  ASSERT_TRUE(FileExists(present)) << "compiled from help/ja by chmcmd";
  Text_Copy(gTCHAR_Config_HelpFilePath, D_SIZE_CONFIG_HELP_FILE, present.c_str());
  MainWindow_RunFixedEntryAction(D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP);
  HWND help = nullptr;  // found by the help project's title: HTML Help opened our file
  for (DWORD start = GetTickCount(); help == nullptr && GetTickCount() - start < 20000; help = FindWindowW(nullptr, L"Corvanta ヘルプ")) {
    PumpMessages(50);
  }
  ASSERT_NE(nullptr, help) << "HTML Help opened no window";
  EXPECT_TRUE(NoMessageBoxFor(300, GetCurrentProcessId()));
  HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

}  // namespace
