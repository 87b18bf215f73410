// The file-system operations behind the management dialog's buttons.  Each
// acts on one entry of one folder, known by its real file name and kind.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <wchar.h>

#include <string>

#include "base/handles.h"
#include "base/names.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "itemmanager/itemmanager_module.h"
#include "resource.h"

namespace {

// Enough for any number of shortcuts to one target in one folder; the loop
// must end even on a folder that answers "exists" for every name.
constexpr int kMostCandidates = 100000;
const wchar_t kNameTaken[] = L"既に同じ名称のラウンチャーアイテムが存在します(%ls)";

// The path of `name` in `folder`, refused when the file functions could not
// take it whole.
bool ComposePath(const wchar_t* folder, const wchar_t* name, wchar_t* path) {
  if (Text_JoinPath(path, D_SIZE_ITEMMANAGER_PATH, folder, name) == 0 && wcslen(path) < MAX_PATH) return true;
  Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls\\%ls)", folder, name);
  return false;
}

// True when an item called `displayName` (folder or shortcut) is in `folder`:
// a folder Mail and a shortcut Mail.lnk would show as the same row.
bool DisplayNameTaken(const wchar_t* folder, const wchar_t* displayName) {
  wchar_t path[D_SIZE_ITEMMANAGER_PATH];
  wchar_t shortcut[D_SIZE_ITEMMANAGER_NAME];
  if (ItemManager_FileNameOf(displayName, false, shortcut, D_SIZE_ITEMMANAGER_NAME) != 0) return true;
  for (const wchar_t* name : {displayName, static_cast<const wchar_t*>(shortcut)}) {
    if (Text_JoinPath(path, D_SIZE_ITEMMANAGER_PATH, folder, name) != 0 || PathFileExistsW(path)) return true;
  }
  return false;
}

// Commands change nothing below a link or outside the root, whatever their
// paths were built from: checked at the moment of acting, since a folder may
// have been replaced by a link since it was listed.
bool RefusedFolder(const wchar_t* folder) {
  if (ItemManager_FolderIsPlain(folder)) return false;
  Tracef(TRACE_LEVEL_ERROR, L"ラウンチャーアイテムルートの外かリンクの先のため変更しません(%ls)", folder);
  return true;
}

// The entry itself must be what its path names: under Wine a link is always
// opened as what it points at, and a rename, move or deletion by its path
// would act on that.
bool RefusedEntry(const wchar_t* path) {
  if (!Config_LeadsElsewhere(path)) return false;
  Tracef(TRACE_LEVEL_ERROR, L"リンク先に作用するため変更しません(%ls)", path);
  return true;
}

int MoveOrRename(const wchar_t* source, const wchar_t* target) {
  Tracef(TRACE_LEVEL_TRACE, L"MoveFile(%ls, %ls)", source, target);
  if (MoveFileW(source, target)) return 0;
  Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"MoveFile");
  return -1;
}

}  // namespace

bool ItemManager_FolderIsPlain(const wchar_t* folder) {
  wchar_t below[D_SIZE_ITEMMANAGER_PATH], partial[D_SIZE_ITEMMANAGER_PATH];
  if (ItemManager_BelowRoot(gTCHAR_Config_LauncherItemRootPath, folder, below, D_SIZE_ITEMMANAGER_PATH) != 0 ||
      Text_Copy(partial, D_SIZE_ITEMMANAGER_PATH, gTCHAR_Config_LauncherItemRootPath) != 0) {
    return false;
  }
  for (const wchar_t* rest = below; *rest == L'\\';) {
    ++rest;
    const size_t length = wcscspn(rest, L"\\");
    const std::wstring name(rest, length);
    rest += length;
    // "..", "Mail." and "CON" address something else; "/" and ":" are no name.
    if (Names_IsAlteredByPath(name.c_str()) || name.find_first_of(L"/:") != std::wstring::npos ||
        Text_JoinPath(partial, D_SIZE_ITEMMANAGER_PATH, std::wstring(partial).c_str(), name.c_str()) != 0) {
      return false;
    }
    const DWORD attributes = GetFileAttributesW(partial);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return false;
    }
  }
  return true;
}

int ItemManager_RegisterShortcut(const wchar_t* folder, const wchar_t* target) {
  TRACE_SCOPE();
  if (RefusedFolder(folder)) return -1;
  if (target[0] == L'\0' || wcslen(target) >= MAX_PATH) {
    Tracef(TRACE_LEVEL_ERROR, L"ショートカットのリンク先に使えないパスです(%ls)", target);
    return -1;
  }
  wchar_t base[D_SIZE_ITEMMANAGER_NAME], suffix[D_SIZE_RESOURCE], stem[D_SIZE_ITEMMANAGER_NAME];
  ItemManager_TargetBaseName(target, base, D_SIZE_ITEMMANAGER_NAME);
  Text_LoadString(IDS_ITEMMANAGER_SHORTCUT_SUFFIX, suffix, D_SIZE_RESOURCE);
  if (Text_Format(stem, D_SIZE_ITEMMANAGER_NAME, L"%s%s", base, suffix) < 0) return -1;

  wchar_t path[D_SIZE_ITEMMANAGER_PATH] = L"";
  for (int n = 0;; ++n) {
    wchar_t name[D_SIZE_ITEMMANAGER_NAME], fileName[D_SIZE_ITEMMANAGER_NAME];
    if (n == kMostCandidates || ItemManager_NumberedName(stem, n, name, D_SIZE_ITEMMANAGER_NAME) != 0 ||
        ItemManager_FileNameOf(name, false, fileName, D_SIZE_ITEMMANAGER_NAME) != 0 ||
        !ComposePath(folder, fileName, path)) {
      Tracef(TRACE_LEVEL_ERROR, L"ショートカットの名前を決められません(%ls)", stem);
      return -1;
    }
    if (!DisplayNameTaken(folder, name)) break;
  }

  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid());
  // A link whose path could not be set would point somewhere else: no file then.
  if (SUCCEEDED(result)) result = link->SetPath(target);
  if (SUCCEEDED(result)) result = link->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
  if (SUCCEEDED(result)) result = file->Save(path, TRUE);
  if (FAILED(result)) {
    Trace_ReportError(TRACE_FRAME_EXTERNAL, L"IShellLink", static_cast<DWORD>(result));
    return -1;
  }
  Tracef(TRACE_LEVEL_TRACE, L"ショートカット作成 = %ls", path);
  return 0;
}

int ItemManager_CreateFolder(const wchar_t* folder, wchar_t* name, size_t capacity) {
  TRACE_SCOPE();
  if (RefusedFolder(folder)) return -1;
  wchar_t base[D_SIZE_RESOURCE];
  Text_LoadString(IDS_ITEMMANAGER_NEW_FOLDER, base, D_SIZE_RESOURCE);
  for (int n = 0; n < kMostCandidates; ++n) {
    wchar_t path[D_SIZE_ITEMMANAGER_PATH];
    if (ItemManager_NumberedName(base, n, name, capacity) != 0 || !ComposePath(folder, name, path)) return -1;
    if (DisplayNameTaken(folder, name)) continue;
    if (CreateDirectoryW(path, nullptr)) return 0;
    // Something took the name between the look and the creation: try on.
    if (GetLastError() == ERROR_ALREADY_EXISTS) continue;
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"CreateDirectory");
    return -1;
  }
  return -1;
}

int ItemManager_DeleteItem(const wchar_t* folder, const ItemEntry& entry) {
  TRACE_SCOPE();
  wchar_t path[D_SIZE_ITEMMANAGER_PATH];
  if (RefusedFolder(folder) || Names_LeaveOut(folder, entry.fileName) || !ComposePath(folder, entry.fileName, path)) {
    return -1;
  }
  if (entry.isFolder) {
    // Dot-names inside stay; links inside are removed, never entered; a link
    // chosen itself is removed, never what it points at.
    Config_DeleteFolderTree(path);
    return 0;
  }
  if (RefusedEntry(path)) return -1;
  Tracef(TRACE_LEVEL_TRACE, L"DeleteFile( %ls )", path);
  if (DeleteFileW(path)) return 0;
  Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"DeleteFile");
  return -1;
}

int ItemManager_RenameItem(HWND owner, const wchar_t* folder, const ItemEntry& entry, const wchar_t* newName) {
  TRACE_SCOPE();
  wchar_t oldName[D_SIZE_ITEMMANAGER_NAME];
  if (!ItemManager_DisplayNameOf(entry.fileName, entry.isFolder, oldName, D_SIZE_ITEMMANAGER_NAME)) return -1;
  if (wcscmp(oldName, newName) == 0) return 0;
  if (ItemManager_CheckName(newName) != ITEMNAME_OK) {
    Tracef(TRACE_LEVEL_ERROR, L"使えない名前です(%ls)", newName);
    Text_MessageBox(owner, IDS_ITEMMANAGER_NAME_INVALID_TEXT, IDS_ITEMMANAGER_NAME_INVALID_CAPTION, MB_OK | MB_ICONWARNING,
                    newName);
    return -1;
  }
  wchar_t fileName[D_SIZE_ITEMMANAGER_NAME], source[D_SIZE_ITEMMANAGER_PATH], target[D_SIZE_ITEMMANAGER_PATH];
  if (ItemManager_FileNameOf(newName, entry.isFolder, fileName, D_SIZE_ITEMMANAGER_NAME) != 0 ||
      RefusedFolder(folder) || Names_LeaveOut(folder, entry.fileName) || !ComposePath(folder, entry.fileName, source) ||
      !ComposePath(folder, fileName, target) || RefusedEntry(source)) {
    return -1;
  }
  // The file system ignores letter case, so "Foo" to "foo" finds itself here.
  if (DisplayNameTaken(folder, newName)) {
    Text_MessageBox(owner, IDS_ITEMMANAGER_RENAME_EXISTS_TEXT, IDS_ITEMMANAGER_RENAME_EXISTS_CAPTION,
                    MB_OK | MB_ICONWARNING);
    Tracef(TRACE_LEVEL_ERROR, kNameTaken, target);
    return -1;
  }
  return MoveOrRename(source, target);
}

int ItemManager_CheckDestination(HWND owner, const wchar_t* destination, wchar_t* below, size_t capacity) {
  wchar_t full[D_SIZE_ITEMMANAGER_PATH] = L"", root[D_SIZE_ITEMMANAGER_PATH] = L"";
  const DWORD fullLength = GetFullPathNameW(destination, D_SIZE_ITEMMANAGER_PATH, full, nullptr);
  const DWORD rootLength = GetFullPathNameW(gTCHAR_Config_LauncherItemRootPath, D_SIZE_ITEMMANAGER_PATH, root, nullptr);
  bool inside = fullLength > 0 && fullLength < MAX_PATH && rootLength > 0 && rootLength < MAX_PATH &&
                PathIsDirectoryW(full) && ItemManager_BelowRoot(root, full, below, capacity) == 0;
  // A linked folder below the root leads out of it as surely as a path does.
  // The path as chosen, not its full form: that would hide a trimmed name.
  if (inside && ItemManager_FolderIsPlain(destination)) return 0;
  Tracef(TRACE_LEVEL_ERROR, L"移動先がラウンチャーアイテムルートの外です(%ls)", destination);
  Text_MessageBox(owner, IDS_ITEMMANAGER_MOVE_OUTSIDE_TEXT, IDS_ITEMMANAGER_MOVE_EXISTS_CAPTION, MB_OK | MB_ICONWARNING,
                  destination);
  return -1;
}

int ItemManager_MoveItem(HWND owner, const wchar_t* folder, const ItemEntry& entry, const wchar_t* destination) {
  TRACE_SCOPE();
  wchar_t below[D_SIZE_ITEMMANAGER_PATH], source[D_SIZE_ITEMMANAGER_PATH], target[D_SIZE_ITEMMANAGER_PATH];
  wchar_t displayName[D_SIZE_ITEMMANAGER_NAME];
  if (ItemManager_CheckDestination(owner, destination, below, D_SIZE_ITEMMANAGER_PATH) != 0 ||
      !ItemManager_DisplayNameOf(entry.fileName, entry.isFolder, displayName, D_SIZE_ITEMMANAGER_NAME) ||
      RefusedFolder(folder) || Names_LeaveOut(folder, entry.fileName) || !ComposePath(folder, entry.fileName, source) ||
      !ComposePath(destination, entry.fileName, target) || RefusedEntry(source)) {
    return -1;
  }
  if (entry.isFolder && ItemManager_IsSameOrBelow(source, destination)) {
    Tracef(TRACE_LEVEL_ERROR, L"フォルダをそれ自身の下へは移動できません(%ls, %ls)", source, destination);
    Text_MessageBox(owner, IDS_ITEMMANAGER_MOVE_INTO_ITSELF_TEXT, IDS_ITEMMANAGER_MOVE_EXISTS_CAPTION,
                    MB_OK | MB_ICONWARNING, displayName);
    return -1;
  }
  if (DisplayNameTaken(destination, displayName)) {
    Text_MessageBox(owner, IDS_ITEMMANAGER_MOVE_EXISTS_TEXT, IDS_ITEMMANAGER_MOVE_EXISTS_CAPTION, MB_OK | MB_ICONWARNING);
    Tracef(TRACE_LEVEL_ERROR, kNameTaken, target);
    return -1;
  }
  return MoveOrRename(source, target);
}
