// The launcher menu built from a prepared launcher item root: shape, names,
// paths, the 16-bit ID limit, measuring and drawing, and that repeated
// openings give back every menu, icon and brush they take.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "app/winmain.h"
#include "config/config.h"
#include "mainwindow/traymenu.h"
#include "support/message_box.h"
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

// The tree node's text, read straight from the tree view.
std::wstring NodeName(const MENUITEMINFOW& entry) {
  wchar_t text[256] = L"";
  TVITEMW item = {TVIF_TEXT, Node(entry), 0, 0, text, 256, 0, 0, 0, 0};
  SendMessageW(gHWND_MainWindow_TreeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return text;
}

// A 32-bit bitmap to draw entries into.
struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(300, 60, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  void Draw(const MENUITEMINFOW& entry, bool selected) {
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, entry.wID, 0, selected ? ODS_SELECTED : 0u, nullptr, dc, {0, 0, 300, 60},
                           entry.dwItemData};
    EXPECT_EQ(0, MainWindow_OnDrawItem(&draw, 0));
  }
};

class LauncherMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                              nullptr, GetModuleHandleW(nullptr), nullptr);
    MainWindow_CreateTreeView();
    Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp_.Path() + L"\\").c_str());
    MakeFolder(root_);
    Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
    longSupressDialogBeforeExecute = 0;
  }
  void TearDown() override {
    MainWindow_DestroyTrayIconMenu();
    DestroyWindow(gHWND_MainWindow_Handle);
    gHWND_MainWindow_Handle = nullptr;
    gHWND_MainWindow_TreeView = nullptr;
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

TEST_F(LauncherMenu, FixedEntriesSitBelowTheEmptyRootEntry) {
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  HMENU menu = gHMENU_MainWindow_TrayIconMenu;
  const UINT ids[] = {1000, 1, 40, 30, 20, 10};
  ASSERT_EQ(6, GetMenuItemCount(menu));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ids[i], Entry(menu, i).wID) << i;
  const MENUITEMINFOW root = Entry(menu, 0);
  EXPECT_TRUE(root.fType & MFT_OWNERDRAW);
  ASSERT_NE(nullptr, root.hSubMenu);
  EXPECT_EQ(0, GetMenuItemCount(root.hSubMenu)) << "filled only when highlighted";
  EXPECT_EQ(L"ラウンチャーアイテムルート", NodeName(root));
  EXPECT_TRUE(Entry(menu, 1).fType & MFT_SEPARATOR);
  wchar_t text[64];
  GetMenuStringW(menu, 5, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(L"アプリケーション終了", text);
  GetMenuStringW(menu, 2, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(L"ラウンチャーアイテム管理", text);
}

TEST_F(LauncherMenu, EntriesInReverseSearchOrderOnlyFoldersAndShortcutsOrTheDisabledEmptyEntry) {
  for (const wchar_t* folder : {L"c", L"x.lnk"}) MakeFolder(root_ + L"\\" + folder);  // x.lnk: a folder all the same
  for (const wchar_t* file : {L"a.lnk", L"b.lnk", L".hidden.lnk", L"TOOL.LNK", L"notes.txt", L"c\\readme.txt",
                              L"c\\App.LNK"}) {
    WriteBytes(root_ + L"\\" + file, "");
  }
  WriteBytes(root_ + L"\\order.ini", "b.lnk\r\n");
  WriteBytes(root_ + L"\\c\\order.ini", "App.LNK\r\n");
  HMENU rootMenu = OpenRoot();
  std::vector<std::wstring> expected, names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((root_ + L"\\*").c_str(), &found);
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && name != L"TOOL.LNK" && name != L"notes.txt" && name != L"order.ini") {
      expected.insert(expected.begin(), name);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  const int count = GetMenuItemCount(rootMenu);
  for (int i = 0; i < count; ++i) {
    const MENUITEMINFOW entry = Entry(rootMenu, i);
    names.push_back(NodeName(entry));
    EXPECT_EQ(names.back() == L"c" || names.back() == L"x.lnk", entry.hSubMenu != nullptr) << i;
    EXPECT_TRUE(entry.fType & MFT_OWNERDRAW);
    EXPECT_EQ(1001u + (count - 1 - i), entry.wID) << "IDs are handed out in search order from 1001";
    if (names.back() != L"c") continue;
    // A folder of nothing but non-items.
    ASSERT_EQ(0, MainWindow_CreateLauncherSubMenu(Node(entry), entry.hSubMenu));
    ASSERT_EQ(1, GetMenuItemCount(entry.hSubMenu));
    const MENUITEMINFOW empty = Entry(entry.hSubMenu, 0);
    EXPECT_EQ(100u, empty.wID);
    EXPECT_EQ(0u, empty.dwItemData);
    EXPECT_TRUE(empty.fState & MFS_DISABLED);
  }
  EXPECT_EQ(expected, names);
}

TEST_F(LauncherMenu, PercentNamesStayVerbatimInNodePathAndSelection) {
  MakeFolder(root_ + L"\\A");
  WriteBytes(root_ + L"\\A\\%s%n%d.lnk", "");
  const MENUITEMINFOW a = Entry(OpenRoot(), 0);
  ASSERT_EQ(0, MainWindow_CreateLauncherSubMenu(Node(a), a.hSubMenu));
  const MENUITEMINFOW link = Entry(a.hSubMenu, 0);
  EXPECT_EQ(L"%s%n%d.lnk", NodeName(link));
  wchar_t path[D_SIZE_MAINWINDOW_PATH];
  ASSERT_EQ(0, MainWindow_GetPhysicalPath(Node(link), path));
  EXPECT_EQ(root_ + L"\\A\\%s%n%d.lnk", path);

  // Highlighting it makes it the current selection.
  MainWindow_OnMenuSelect(MAKEWPARAM(link.wID, MF_OWNERDRAW), a.hSubMenu, gHWND_MainWindow_Handle);
  EXPECT_EQ(static_cast<long>(link.wID), glong_MainWindow_CurrentMenuId);
  EXPECT_EQ(root_ + L"\\A\\%s%n%d.lnk", gTCHAR_MainWindow_CurrentPhysicalPath);
  // A folder entry is reported by position and filled on that first highlight.
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  MainWindow_OnMenuSelect(MAKEWPARAM(0, MF_POPUP | MF_OWNERDRAW), gHMENU_MainWindow_TrayIconMenu,
                          gHWND_MainWindow_Handle);
  EXPECT_EQ(1000, glong_MainWindow_CurrentMenuId);
  EXPECT_EQ(root_, gTCHAR_MainWindow_CurrentPhysicalPath);
  EXPECT_EQ(1, GetMenuItemCount(GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0))) << "filled on the highlight";
  // Closing the menu clears it.
  MainWindow_OnMenuSelect(MAKEWPARAM(0, 0xFFFF), nullptr, gHWND_MainWindow_Handle);
  EXPECT_EQ(0, glong_MainWindow_CurrentMenuId);
  EXPECT_STREQ(L"", gTCHAR_MainWindow_CurrentPhysicalPath);
}

TEST_F(LauncherMenu, AnUnreadableFolderStaysEmptyToBeTriedAgain) {
  MakeFolder(root_ + L"\\Gone");
  const MENUITEMINFOW gone = Entry(OpenRoot(), 0);
  RemoveDirectoryW((root_ + L"\\Gone").c_str());
  EXPECT_EQ(-1, MainWindow_CreateLauncherSubMenu(Node(gone), gone.hSubMenu));
  EXPECT_EQ(0, GetMenuItemCount(gone.hSubMenu)) << "no empty entry either";
}

TEST_F(LauncherMenu, IdsNeverPassSixteenBits) {
  for (int i = 0; i < 5; ++i) WriteBytes(root_ + L"\\" + std::to_wstring(i) + L".lnk", "");
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  // As if 64,533 entries had been handed out already in this opening.
  glong_MainWindow_MenuIdCounter = 0xFFFF - 1000 - 1;
  HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
  EXPECT_EQ(-1, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
  ASSERT_EQ(2, GetMenuItemCount(rootMenu)) << "the two IDs left were used, no more";
  for (int i = 0; i < 2; ++i) EXPECT_LE(Entry(rootMenu, i).wID, 0xFFFFu);
  EXPECT_EQ(-1, MainWindow_GetMenuItemPosition(rootMenu, 10)) << "nothing wrapped onto a fixed entry";
}

TEST_F(LauncherMenu, ChoosingTheRootTheEmptyEntryOrTheSeparatorRunsNothing) {
  WriteBytes(root_ + L"\\b.lnk", "");
  for (long id : {1000L, 100L, 1L, 0L}) {
    Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, root_.c_str());
    glong_MainWindow_CurrentMenuId = id;
    EXPECT_EQ(0, MainWindow_OnHookNotify()) << id;
    EXPECT_TRUE(NoMessageBoxFor(300, GetCurrentProcessId())) << id;
  }
  // Anything above 1000 is a launcher entry: it asks first.
  Text_Copy(gTCHAR_MainWindow_CurrentPhysicalPath, D_SIZE_MAINWINDOW_PATH, (root_ + L"\\b.lnk").c_str());
  glong_MainWindow_CurrentMenuId = 1001;
  AsyncMessageBoxAnswer answer(L"ラウンチャーアイテム実行確認", IDCANCEL, 10000);
  EXPECT_EQ(0, MainWindow_OnHookNotify());
  EXPECT_EQ(L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\b.lnk", answer.Wait().text);
}

TEST_F(LauncherMenu, ShortcutsAreMeasuredWithTheirExtensionAndDrawnSelectedOnTheHighlight) {
  WriteBytes(root_ + L"\\b.lnk", "");
  const MENUITEMINFOW b = Entry(OpenRoot(), 0);
  MEASUREITEMSTRUCT measure = {ODT_MENU, 0, b.wID, 0, 0, b.dwItemData};
  ASSERT_EQ(0, MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle));
  HDC dc = GetDC(gHWND_MainWindow_Handle);
  SIZE withExtension = {};
  GetTextExtentPoint32W(dc, L"b.lnk", 5, &withExtension);
  ReleaseDC(gHWND_MainWindow_Handle, dc);
  EXPECT_EQ(static_cast<UINT>(withExtension.cx + 36), measure.itemWidth);
  EXPECT_EQ(static_cast<UINT>(withExtension.cy + 24), measure.itemHeight);
  Canvas canvas;
  canvas.Draw(b, true);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), GetPixel(canvas.dc, 290, 55)) << "the highlight fills the entry";
}

// GetGuiResources answers 0 under Wine, so leaks are also caught by their
// effect: Wine's GDI table holds 16,384 objects, and every leaked icon holds
// two bitmaps, every leaked brush one.  The loop draws 6,000 entries; after it
// there must still be room for 12,000 new objects.
TEST_F(LauncherMenu, TwoHundredOpeningsGiveBackEveryMenuIconAndBrush) {
  for (int i = 0; i < 100; ++i) {  // half folders, half shortcuts: both kinds of icon
    const std::wstring item = root_ + L"\\item" + std::to_wstring(i);
    if (i % 2 == 0) {
      MakeFolder(item);
    } else {
      ASSERT_TRUE(MakeShortcut(item + L".lnk", L"C:\\windows\\notepad.exe"));
    }
  }
  Canvas canvas;
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  HMENU previous = nullptr;
  for (int cycle = 0; cycle < 200; ++cycle) {
    HMENU rootMenu = OpenRoot();
    ASSERT_EQ(100, GetMenuItemCount(rootMenu));
    ASSERT_FALSE(previous != nullptr && IsMenu(previous)) << "each rebuild destroys the last menu";
    previous = rootMenu;
    // A screen shows about thirty of the hundred entries: those get drawn.
    for (int i = 0; i < 30; ++i) canvas.Draw(Entry(rootMenu, (cycle + i) % 100), i % 2 != 0);
  }
  MainWindow_DestroyTrayIconMenu();
  if (gdiBefore != 0) {
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore + 5);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore + 5);
  }
  std::vector<HBRUSH> room;
  for (HBRUSH brush; room.size() < 12000 && (brush = CreateSolidBrush(RGB(room.size() % 256, 0, 0))) != nullptr;) {
    room.push_back(brush);
  }
  EXPECT_EQ(12000u, room.size());
  for (HBRUSH brush : room) DeleteObject(brush);
}

}  // namespace
