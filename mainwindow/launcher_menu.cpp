// Building the tray icon menu and, folder by folder as the user highlights
// them, the launcher entries beneath the launcher item root.
//
// Every launcher entry is owner-drawn and carries a node of the hidden tree
// view as its item data; the node holds the file or folder name, and the
// entry's path is found by walking up the tree.
#include <windows.h>
#include <commctrl.h>

#include "base/handles.h"
#include "base/names.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/traymenu.h"
#include "resource.h"

HMENU gHMENU_MainWindow_TrayIconMenu = nullptr;
HTREEITEM gHTREEITEM_MainWindow_RootTreeNode = nullptr;
long glong_MainWindow_MenuIdCounter = 0;

namespace {

// The fixed entries in insertion order; each goes in at the top, so the menu
// shows them in reverse.
struct FixedEntry {
  long id;
  UINT textId;  // 0 for the separator
};
const FixedEntry kFixedEntries[] = {
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT, IDS_MAINWINDOW_MENU_QUIT},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP, IDS_MAINWINDOW_MENU_HELP},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SETTING, IDS_MAINWINDOW_MENU_SETTING},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_MANAGEMENT, IDS_MAINWINDOW_MENU_MANAGEMENT},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SEPARATOR, 0},
};

// Menu notifications carry IDs in 16 bits: an ID past this would wrap onto
// the fixed entries and make a choice run the wrong thing.
constexpr long kLastMenuId = 0xFFFF;

// The most entries one folder's submenu shows.  Every entry is measured when
// the submenu appears, and the menu's item array is copied whole on each
// insertion, so a folder of tens of thousands of shortcuts would hold the
// program (and the user's keyboard) for minutes; a screen shows a few dozen.
constexpr int kMostEntriesPerFolder = 4096;

HTREEITEM InsertNode(HTREEITEM parent, const wchar_t* text) {
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<wchar_t*>(text);
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(gHWND_MainWindow_TreeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Inserts an owner-drawn launcher entry at the top of `menu`.
bool InsertLauncherEntry(HMENU menu, long id, HTREEITEM node, HMENU submenu) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
  item.fType = MFT_OWNERDRAW;
  item.fState = MFS_ENABLED;
  item.wID = static_cast<UINT>(id);
  item.hSubMenu = submenu;
  item.dwItemData = reinterpret_cast<ULONG_PTR>(node);
  return InsertMenuItemW(menu, 0, TRUE, &item) != FALSE;
}

bool InsertEmptyEntry(HMENU menu) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA;
  item.fType = MFT_OWNERDRAW;
  item.fState = MFS_DISABLED | MFS_GRAYED;
  item.wID = D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_EMPTY;
  item.dwItemData = 0;
  return InsertMenuItemW(menu, 0, TRUE, &item) != FALSE;
}

// The next menu ID of this opening, or 0 when the 16-bit range is used up.
long NextMenuId() {
  const long id = D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SHORTCUTITEM + glong_MainWindow_MenuIdCounter;
  if (id > kLastMenuId) return 0;
  ++glong_MainWindow_MenuIdCounter;
  return id;
}

bool IsLauncherItem(const WIN32_FIND_DATAW& entry) {
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
  const wchar_t* dot = wcsrchr(entry.cFileName, L'.');
  return dot != nullptr && wcscmp(dot, L".lnk") == 0;
}

}  // namespace

void MainWindow_DestroyTrayIconMenu() {
  if (gHMENU_MainWindow_TrayIconMenu == nullptr) return;
  DestroyMenu(gHMENU_MainWindow_TrayIconMenu);
  MainWindow_ReleaseMenuDrawing();
  gHMENU_MainWindow_TrayIconMenu = nullptr;
  glong_MainWindow_MenuIdCounter = 0;
  gHTREEITEM_MainWindow_RootTreeNode = nullptr;
  SendMessageW(gHWND_MainWindow_TreeView, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

int MainWindow_CreateTrayIconMenu() {
  TRACE_SCOPE();
  MainWindow_DestroyTrayIconMenu();
  glong_MainWindow_MenuIdCounter = 0;
  MenuHandle menu(CreatePopupMenu());
  if (!menu.Valid()) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"CreatePopupMenu()");
    return -1;
  }
  for (const FixedEntry& entry : kFixedEntries) {
    wchar_t text[D_SIZE_MESSAGE] = L"";
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    item.wID = static_cast<UINT>(entry.id);
    item.fState = MFS_ENABLED;
    if (entry.textId == 0) {
      item.fType = MFT_SEPARATOR;
    } else {
      Text_LoadString(entry.textId, text, D_SIZE_MESSAGE);
      item.fMask |= MIIM_STRING;
      item.fType = MFT_STRING;
      item.dwTypeData = text;
    }
    if (!InsertMenuItemW(menu.Get(), 0, TRUE, &item)) {
      Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"InsertMenuItem()");
      return -1;
    }
  }

  wchar_t rootName[D_SIZE_RESOURCE];
  Text_LoadString(IDS_CONFIG_LAUNCHER_ITEM_ROOT, rootName, D_SIZE_RESOURCE);
  gHTREEITEM_MainWindow_RootTreeNode = InsertNode(TVI_ROOT, rootName);
  Tracef(TRACE_LEVEL_TRACE, L"ツリービュー項目追加( Root = %IX )",
         reinterpret_cast<UINT_PTR>(gHTREEITEM_MainWindow_RootTreeNode));
  MenuHandle rootMenu(CreatePopupMenu());
  if (!rootMenu.Valid() || !InsertLauncherEntry(menu.Get(), NextMenuId(), gHTREEITEM_MainWindow_RootTreeNode,
                                                rootMenu.Get())) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"InsertMenuItem()");
    return -1;
  }
  rootMenu.Release();  // owned by the tray icon menu now
  gHMENU_MainWindow_TrayIconMenu = menu.Release();
  return 0;
}

int MainWindow_CreateLauncherSubMenu(HTREEITEM folderNode, HMENU submenu) {
  TRACE_SCOPE();
  wchar_t folder[D_SIZE_MAINWINDOW_PATH];
  wchar_t pattern[D_SIZE_MAINWINDOW_PATH];
  if (MainWindow_GetPhysicalPath(folderNode, folder) != 0 ||
      Text_JoinPath(pattern, D_SIZE_MAINWINDOW_PATH, folder, L"*") != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了(%ls)：エラーコード=%d\n", L"FindFirstFile", ERROR_FILENAME_EXCED_RANGE);
    return -1;
  }
  Tracef(TRACE_LEVEL_TRACE, L"検索対象パス = %ls", pattern);
  WIN32_FIND_DATAW entry;
  FindHandle search(FindFirstFileW(pattern, &entry));
  if (!search.Valid()) {
    Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了(%ls)：エラーコード=%d\n", L"FindFirstFile",
           static_cast<int>(GetLastError()));
    return -1;
  }
  int added = 0;
  do {
    Tracef(TRACE_LEVEL_TRACE, L"検索結果 = %ls", entry.cFileName);
    if (wcscmp(entry.cFileName, L".") == 0 || wcscmp(entry.cFileName, L"..") == 0) continue;
    if (!IsLauncherItem(entry)) {
      Trace(TRACE_LEVEL_TRACE, L"ラウンチャーアイテムではありません");
      continue;
    }
    // "Mail." would be run as "Mail": such entries are not shown at all.
    if (Names_LeaveOut(folder, entry.cFileName)) continue;
    if (added == kMostEntriesPerFolder) {
      Tracef(TRACE_LEVEL_ERROR, L"項目が多すぎるため、先頭の%d件だけを表示します(%ls)", kMostEntriesPerFolder, folder);
      break;
    }
    const long id = NextMenuId();
    if (id == 0) {
      Trace(TRACE_LEVEL_ERROR, L"メニューIDが上限に達したため、以降の項目は表示しません");
      return -1;
    }
    HTREEITEM node = InsertNode(folderNode, entry.cFileName);
    Trace(TRACE_LEVEL_TRACE, L"ツリービュー項目追加");
    const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    MenuHandle child(isFolder ? CreatePopupMenu() : nullptr);
    if (!InsertLauncherEntry(submenu, id, node, child.Get())) {
      Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"InsertMenuItem()");
      return -1;
    }
    child.Release();  // owned by its folder's submenu now
    Trace(TRACE_LEVEL_TRACE, L"メニュー項目追加");
    ++added;
  } while (FindNextFileW(search.Get(), &entry));

  if (added == 0 && !InsertEmptyEntry(submenu)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"InsertMenuItem()");
    return -1;
  }
  return 0;
}

void MainWindow_GetNodeText(HTREEITEM node, wchar_t* text, size_t capacity) {
  text[0] = L'\0';
  if (node == nullptr) return;
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = node;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(capacity);
  SendMessageW(gHWND_MainWindow_TreeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int MainWindow_GetPhysicalPath(HTREEITEM node, wchar_t* path) {
  // Built from the back: the node's name, then each ancestor's in front.
  wchar_t relative[D_SIZE_MAINWINDOW_PATH] = L"";
  bool fits = true;
  for (HTREEITEM current = node; current != nullptr && fits;
       current = reinterpret_cast<HTREEITEM>(SendMessageW(gHWND_MainWindow_TreeView, TVM_GETNEXTITEM, TVGN_PARENT,
                                                          reinterpret_cast<LPARAM>(current)))) {
    wchar_t name[D_SIZE_RESOURCE];
    MainWindow_GetNodeText(current, name, D_SIZE_RESOURCE);
    wchar_t joined[D_SIZE_MAINWINDOW_PATH];
    fits = relative[0] == L'\0' ? Text_Copy(joined, D_SIZE_MAINWINDOW_PATH, name) == 0
                                : Text_JoinPath(joined, D_SIZE_MAINWINDOW_PATH, name, relative) == 0;
    if (fits) Text_Copy(relative, D_SIZE_MAINWINDOW_PATH, joined);
  }
  // A path too long for the buffer is refused whole, never cut into another path.
  if (!fits || Text_Format(path, D_SIZE_MAINWINDOW_PATH, L"%ls%ls", gTCHAR_Config_ModuleFolderPath, relative) < 0) {
    path[0] = L'\0';
    Trace(TRACE_LEVEL_ERROR, L"パスが長すぎます");
    return -1;
  }
  Tracef(TRACE_LEVEL_TRACE, L"RETURN SUCCEED( path = %ls )", path);
  return 0;
}

int MainWindow_GetMenuItemPosition(HMENU menu, long id) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    // GetMenuItemID answers -1 for an entry with a submenu: ask for the ID itself.
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item) && static_cast<long>(item.wID) == id) {
      Tracef(TRACE_LEVEL_TRACE, L"RETURN SUCCEED (intPosition = %d)", position);
      return position;
    }
  }
  Tracef(TRACE_LEVEL_ERROR, L"メニュー項目が見つかりません(ID = %ld)", id);
  return -1;
}
