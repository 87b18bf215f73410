// Rules of the management dialog that need no window: which names a user may
// give an item, how new names are chosen, which buttons apply, and how paths
// below the launcher item root are composed and checked.
#ifndef CORVANTA_ITEMMANAGER_ITEM_NAMES_H
#define CORVANTA_ITEMMANAGER_ITEM_NAMES_H

#include <windows.h>
#include <stddef.h>

// Path buffers of the module.  Anything the file functions are asked to touch
// must also stay below MAX_PATH; the larger buffers only hold composed text.
constexpr size_t D_SIZE_ITEMMANAGER_PATH = 776;
constexpr size_t D_SIZE_ITEMMANAGER_NAME = 256;   // display and file names

// One listed item: its real file name on disk and its kind.  Every path of an
// operation is built from these, never from the text the list shows.
struct ItemEntry {
  wchar_t fileName[D_SIZE_ITEMMANAGER_NAME];
  bool isFolder;
};

// Why a typed name is refused.
enum ItemNameCheck {
  ITEMNAME_OK = 0,
  ITEMNAME_EMPTY,
  ITEMNAME_DOTS_OR_BLANKS_ONLY,
  ITEMNAME_TRAILING_DOT_OR_BLANK,
  ITEMNAME_RESERVED_CHARACTER,   // \ / : * ? " < > | or a control character
  ITEMNAME_DEVICE_NAME,          // CON, PRN, AUX, NUL, COM1-9, LPT1-9 (any extension)
  ITEMNAME_TOO_LONG,
};
ItemNameCheck ItemManager_CheckName(const wchar_t* name);

// The display name of a directory entry: a folder's whole name, a shortcut's
// name less ".lnk" (exact, case-sensitive).  False for entries that are not
// listed: other files, and names that would resolve to "." or "..".
bool ItemManager_DisplayNameOf(const wchar_t* fileName, bool isFolder, wchar_t* out, size_t capacity);

// The file name of an item called `displayName`: as it is for a folder, with
// ".lnk" for a shortcut.  -1 when it does not fit.
int ItemManager_FileNameOf(const wchar_t* displayName, bool isFolder, wchar_t* out, size_t capacity);

// The base name of a shortcut's target: its last component less its extension
// ("C:\Tools\editor.exe" gives "editor", "C:\Data\Projects" gives "Projects").
void ItemManager_TargetBaseName(const wchar_t* target, wchar_t* out, size_t capacity);

// Candidate number n of a new name: `base` for 0, "base (n)" after.  -1 when it does not fit.
int ItemManager_NumberedName(const wchar_t* base, int n, wchar_t* out, size_t capacity);

// The run-order buttons' state for the selected place (-1: none) in a list of `count` items.
struct ItemButtonStates {
  bool itemCommands;   // delete, rename, move
  bool upAndTop;
  bool downAndBottom;
};
ItemButtonStates ItemManager_ButtonRule(int count, int selected);

// True when `path` is `folder` itself or lies beneath it (whole components,
// letter case ignored as the file system does).
bool ItemManager_IsSameOrBelow(const wchar_t* folder, const wchar_t* path);

// The part of `path` below `root` ("" for the root itself, else starting with
// a backslash).  -1 when `path` is not the root or beneath it.
int ItemManager_BelowRoot(const wchar_t* root, const wchar_t* path, wchar_t* out, size_t capacity);

// True when the ANSI code page holds `text` exactly (no replacement on the way
// out, the same text on the way back).
bool ItemManager_FitsAnsiCodePage(const wchar_t* text);

#endif
