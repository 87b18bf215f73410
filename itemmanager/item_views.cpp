// The two views of the management dialog: the folder tree of the launcher
// item root and the item list of the current folder, in run order.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <wchar.h>

#include "base/dpi.h"
#include "base/handles.h"
#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "itemmanager/itemmanager_module.h"
#include "launch/launch.h"
#include "resource.h"

namespace {

constexpr int kColumnWidth = 500;
// A tree deeper than this is not a launcher tree any more (and its paths
// would not fit the file functions anyway).
constexpr int kDeepestFolder = 64;

// The entries of the listed items; a list item's data is its index here.
std::vector<ItemEntry> gEntries;
// Each entry's place in the image list, -1 until the row is first shown.
std::vector<int> gIconIndex;

std::wstring NodeText(HWND tree, HTREEITEM node) {
  wchar_t text[D_SIZE_ITEMMANAGER_NAME] = L"";
  TVITEMW item = {};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = node;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(D_SIZE_ITEMMANAGER_NAME);
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return text;
}

HTREEITEM InsertNode(HWND tree, HTREEITEM parent, const wchar_t* label) {
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<wchar_t*>(label);
  Tracef(TRACE_LEVEL_TRACE, L"項目追加 = %ls", label);
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

int AddSubfolders(HWND tree, HTREEITEM node, const wchar_t* folder, int depth) {
  wchar_t pattern[D_SIZE_ITEMMANAGER_PATH];
  if (Text_JoinPath(pattern, D_SIZE_ITEMMANAGER_PATH, folder, L"*") != 0) return -1;
  Tracef(TRACE_LEVEL_TRACE, L"検索対象パス = %ls", pattern);
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(pattern, &found));
  if (!search.Valid()) {
    Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了(%ls)：エラーコード=%lu\n", L"FindFirstFile", GetLastError());
    return -1;
  }
  bool added = false;
  do {
    wchar_t name[D_SIZE_ITEMMANAGER_NAME];
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        !ItemManager_DisplayNameOf(found.cFileName, true, name, D_SIZE_ITEMMANAGER_NAME)) {
      continue;
    }
    HTREEITEM child = InsertNode(tree, node, found.cFileName);
    added = true;
    // A link (junction, symbolic link) is shown but never entered: one that
    // points at an ancestor or a drive would build the tree without end.
    wchar_t path[D_SIZE_ITEMMANAGER_PATH];
    if (child != nullptr && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && depth < kDeepestFolder &&
        Text_JoinPath(path, D_SIZE_ITEMMANAGER_PATH, folder, found.cFileName) == 0 && wcslen(path) < MAX_PATH) {
      AddSubfolders(tree, child, path, depth + 1);
    }
  } while (FindNextFileW(search.Get(), &found));
  if (added) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
  return 0;
}

// A run-order line may name an item of this folder only: never "." or "..",
// a separator or a wildcard that FindFirstFileW would expand.
bool IsPlainName(const wchar_t* name) {
  const ItemNameCheck check = ItemManager_CheckName(name);
  return check != ITEMNAME_EMPTY && check != ITEMNAME_RESERVED_CHARACTER && check != ITEMNAME_DOTS_OR_BLANKS_ONLY;
}

bool AlreadyListed(const wchar_t* fileName) {
  for (const ItemEntry& entry : gEntries) {
    if (wcscmp(entry.fileName, fileName) == 0) return true;
  }
  return false;
}

void AddItem(HWND list, const wchar_t* fileName, bool isFolder) {
  wchar_t display[D_SIZE_ITEMMANAGER_NAME];
  if (AlreadyListed(fileName) || !ItemManager_DisplayNameOf(fileName, isFolder, display, D_SIZE_ITEMMANAGER_NAME)) {
    return;
  }
  ItemEntry entry = {};
  if (Text_Copy(entry.fileName, D_SIZE_ITEMMANAGER_NAME, fileName) != 0) return;
  entry.isFolder = isFolder;
  gEntries.push_back(entry);
  gIconIndex.push_back(-1);
  Tracef(TRACE_LEVEL_TRACE, L"項目追加 = %ls", display);
  // The icon is asked for when the row is first shown: a folder of thousands
  // of shortcuts must not wait for thousands of shell look-ups.
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = display;
  item.iImage = I_IMAGECALLBACK;
  item.lParam = static_cast<LPARAM>(gEntries.size() - 1);
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int ItemManager_BuildFolderTree(HWND tree, HTREEITEM node) {
  TRACE_SCOPE();
  if (node == nullptr) {
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    wchar_t label[D_SIZE_RESOURCE];
    Text_LoadString(IDS_CONFIG_LAUNCHER_ITEM_ROOT, label, D_SIZE_RESOURCE);
    node = InsertNode(tree, TVI_ROOT, label);
    if (node == nullptr) return -1;
  }
  wchar_t path[D_SIZE_ITEMMANAGER_PATH];
  ItemManager_GetNodePath(tree, node, path, D_SIZE_ITEMMANAGER_PATH);
  return AddSubfolders(tree, node, path, 0);
}

// The root node stands for gTCHAR_Config_LauncherItemRootPath; every other
// node adds its label, so a path never depends on the root's label.
int ItemManager_GetNodePath(HWND tree, HTREEITEM node, wchar_t* path, size_t capacity) {
  std::wstring below;
  for (HTREEITEM parent; node != nullptr &&
                         (parent = reinterpret_cast<HTREEITEM>(SendMessageW(
                              tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(node)))) != nullptr;
       node = parent) {
    below = L"\\" + NodeText(tree, node) + below;
  }
  const std::wstring full = gTCHAR_Config_LauncherItemRootPath + below;
  Tracef(TRACE_LEVEL_TRACE, L"パス = %ls", full.c_str());
  return Text_Copy(path, capacity, full.c_str());
}

int ItemManager_FindNodeByPath(HWND tree, const wchar_t* path, HTREEITEM* node) {
  *node = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  wchar_t below[D_SIZE_ITEMMANAGER_PATH];
  if (ItemManager_BelowRoot(gTCHAR_Config_LauncherItemRootPath, path, below, D_SIZE_ITEMMANAGER_PATH) != 0) return 0;
  const wchar_t* rest = below;
  while (*rest == L'\\') {
    ++rest;
    const size_t length = wcscspn(rest, L"\\");
    const std::wstring component(rest, length);
    rest += length;
    HTREEITEM child = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(*node)));
    while (child != nullptr && NodeText(tree, child) != component) {
      child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
    // The deepest node that matched: the later components cannot belong to
    // some unrelated folder further down.
    if (child == nullptr) break;
    *node = child;
  }
  return 0;
}

int ItemManager_FillItemList(HWND list, const wchar_t* folder) {
  TRACE_SCOPE();
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  gEntries.clear();
  gIconIndex.clear();
  // The list view destroys a small image list it does not share when it is
  // destroyed itself: the old list is swapped out first, then destroyed.
  // Icons at the list's small icon size for the DPI of its monitor; the
  // shell's icons are scaled into it when their size differs.
  const UINT dpi = Dpi_ForWindow(list);
  const int iconSize = Dpi_SystemMetric(SM_CXSMICON, dpi);
  HIMAGELIST icons = ImageList_Create(iconSize, iconSize, ILC_COLOR32, 4, 0);
  HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons)));
  if (old != nullptr) ImageList_Destroy(old);
  gHIMAGELIST_ItemManager_ItemIcons = icons;

  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) <= 0) {
    wchar_t title[D_SIZE_RESOURCE];
    Text_LoadString(IDS_ITEMMANAGER_COLUMN_NAME, title, D_SIZE_RESOURCE);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = Dpi_Scale(kColumnWidth, dpi);
    column.pszText = title;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  }

  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  RunOrderEntry* order = nullptr;
  RunOrder_Read(folder, &order);
  for (const RunOrderEntry* line = order; line != nullptr; line = line->next) {
    if (!IsPlainName(line->name)) continue;
    WIN32_FIND_DATAW found;
    FindHandle lookup(FindFirstFileW(line->fullPath, &found));
    if (!lookup.Valid()) continue;
    // The name as the disk spells it: that is the entry the row acts on.
    AddItem(list, found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  }

  int result = 0;
  wchar_t pattern[D_SIZE_ITEMMANAGER_PATH];
  if (Text_JoinPath(pattern, D_SIZE_ITEMMANAGER_PATH, folder, L"*") == 0) {
    Tracef(TRACE_LEVEL_TRACE, L"検索対象パス = %ls", pattern);
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW(pattern, &found));
    if (search.Valid()) {
      do {
        if (RunOrder_Find(order, found.cFileName) == 0) continue;
        AddItem(list, found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
      } while (FindNextFileW(search.Get(), &found));
    } else {
      Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了(%ls)：エラーコード=%lu\n", L"FindFirstFile", GetLastError());
      result = -1;
    }
  }
  RunOrder_Free(order);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  return result;
}

void ItemManager_OnGetDispInfo(NMLVDISPINFOW* info, const wchar_t* folder) {
  if ((info->item.mask & LVIF_IMAGE) == 0) return;
  const size_t index = static_cast<size_t>(info->item.lParam);
  if (index >= gEntries.size()) return;
  if (gIconIndex[index] < 0) {
    wchar_t path[D_SIZE_ITEMMANAGER_PATH];
    SHFILEINFOW shell = {};
    if (Text_JoinPath(path, D_SIZE_ITEMMANAGER_PATH, folder, gEntries[index].fileName) == 0 &&
        SHGetFileInfoW(path, 0, &shell, sizeof(shell), SHGFI_ICON | SHGFI_SMALLICON) != 0) {
      IconHandle icon(shell.hIcon);
      gIconIndex[index] = ImageList_ReplaceIcon(gHIMAGELIST_ItemManager_ItemIcons, -1, icon.Get());
    }
  }
  info->item.iImage = gIconIndex[index];
  info->item.mask |= LVIF_DI_SETITEM;
}

const ItemEntry* ItemManager_EntryOfItem(HWND list, int index) {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (index < 0 || !SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  const size_t entry = static_cast<size_t>(item.lParam);
  return entry < gEntries.size() ? &gEntries[entry] : nullptr;
}

int ItemManager_SelectedItem(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ItemManager_DestroyItemIcons(HWND list) {
  HIMAGELIST attached = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0));
  if (attached != nullptr) ImageList_Destroy(attached);
  gHIMAGELIST_ItemManager_ItemIcons = nullptr;
  gEntries.clear();
  gIconIndex.clear();
}
