// What the files of the management dialog share: its state while it is open,
// the views, the item operations and the run order.
#ifndef CORVANTA_ITEMMANAGER_ITEMMANAGER_MODULE_H
#define CORVANTA_ITEMMANAGER_ITEMMANAGER_MODULE_H

#include <windows.h>
#include <commctrl.h>
#include <shtypes.h>

#include <string>
#include <vector>

#include "itemmanager/item_names.h"

// State of the open dialog (meaningful only while it exists).
extern HWND gHWND_ItemManager_Dialog;
extern HWND gHWND_ItemManager_LabelEdit;
extern wchar_t gTCHAR_ItemManager_NameBeforeEdit[D_SIZE_ITEMMANAGER_NAME];
extern HIMAGELIST gHIMAGELIST_ItemManager_ItemIcons;

// Dialog helpers (itemmanager_dialog.cpp).
LPITEMIDLIST ItemManager_GetIdListFromPath(const wchar_t* path);
int CALLBACK ItemManager_BrowseCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);

// Views (item_views.cpp).  The tree's root node is the launcher item root;
// every list item carries the index of its ItemEntry as item data.
int ItemManager_BuildFolderTree(HWND tree, HTREEITEM node);
int ItemManager_GetNodePath(HWND tree, HTREEITEM node, wchar_t* path, size_t capacity);
int ItemManager_FindNodeByPath(HWND tree, const wchar_t* path, HTREEITEM* node);
int ItemManager_FillItemList(HWND list, const wchar_t* folder);
// Looks up the icon of a row the list is about to show (LVN_GETDISPINFOW).
void ItemManager_OnGetDispInfo(NMLVDISPINFOW* info, const wchar_t* folder);
// The entry of list item `index`, or nullptr.
const ItemEntry* ItemManager_EntryOfItem(HWND list, int index);
int ItemManager_SelectedItem(HWND list);
// Selects the row of the entry called `fileName`, if the list shows one.
void ItemManager_SelectEntry(HWND list, const wchar_t* fileName);
// Detaches the item icons from the list and destroys them.
void ItemManager_DestroyItemIcons(HWND list);

// Item operations (item_operations.cpp), each in `folder`.
// True when `folder` is the launcher item root or lies below it through plain
// folders only, as the disk is now: every component an ordinary name that a
// path addresses as written, an existing folder, and no link.
bool ItemManager_FolderIsPlain(const wchar_t* folder);
int ItemManager_RegisterShortcut(const wchar_t* folder, const wchar_t* target);
int ItemManager_CreateFolder(const wchar_t* folder, wchar_t* name, size_t capacity);
int ItemManager_DeleteItem(const wchar_t* folder, const ItemEntry& entry);
// The boxes of a refused name or a taken one are owned by `owner`.
int ItemManager_RenameItem(HWND owner, const wchar_t* folder, const ItemEntry& entry, const wchar_t* newName);
int ItemManager_MoveItem(HWND owner, const wchar_t* folder, const ItemEntry& entry, const wchar_t* destination);
// Refuses (with a box) a destination that is not the root or beneath it;
// else writes the destination's part below the root.  0 or -1.
int ItemManager_CheckDestination(HWND owner, const wchar_t* destination, wchar_t* below, size_t capacity);

// Run order (item_runorder.cpp).
enum ItemMoveDirection { ITEMMOVE_UP = 1, ITEMMOVE_DOWN = 2, ITEMMOVE_TOP = 3, ITEMMOVE_BOTTOM = 4 };
int ItemManager_MoveListItem(HWND list, int direction);
int ItemManager_WriteRunOrder(HWND list, const wchar_t* folder);
// Writes `fileNames` as `folder`\order.ini: in the ANSI code page, or as UTF-8
// with a byte-order mark when some name does not fit that code page.
int ItemManager_WriteOrderFile(const wchar_t* folder, const std::vector<std::wstring>& fileNames);
int ItemManager_TestRun(HWND dialog, HWND list, const wchar_t* folder);

#endif
