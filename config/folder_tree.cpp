// Depth-first deletion of a folder tree that never leaves the tree.
//
// Every entry is addressed with a "\\?\" path: the system then takes each name
// as written, so an entry named "x." or "CON" is deleted itself, never a
// sibling "x" or a device, and every entry of the chosen tree goes.
#include <wchar.h>

#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"

namespace {

constexpr size_t kPathCapacity = 780;  // 775 and the "\\?\" prefix

// `path` (a full path) in its verbatim form.  -1 for a relative path, or one
// with a "." or ".." component, which a verbatim path would not resolve.
int ToVerbatim(const wchar_t* path, wchar_t* out, size_t capacity) {
  int written;
  if (wcsncmp(path, L"\\\\?\\", 4) == 0) {
    written = Text_Format(out, capacity, L"%s", path);
  } else if (path[0] != L'\0' && path[1] == L':' && path[2] == L'\\') {
    written = Text_Format(out, capacity, L"\\\\?\\%s", path);
  } else if (path[0] == L'\\' && path[1] == L'\\') {
    written = Text_Format(out, capacity, L"\\\\?\\UNC\\%s", path + 2);
  } else {
    written = -1;
  }
  for (const wchar_t* component = out + 4; written >= 0 && *component != L'\0';) {
    const size_t length = wcscspn(component, L"\\/");
    if ((length == 1 && component[0] == L'.') || (length == 2 && component[0] == L'.' && component[1] == L'.')) written = -1;
    component += length + (component[length] != L'\0' ? 1 : 0);
  }
  if (written < 0) {
    if (capacity > 0) out[0] = L'\0';
    Tracef(TRACE_LEVEL_ERROR, L"完全なパスではありません(PATH=%ls)", path);
    return -1;
  }
  return 0;
}

// True when `path` does not stand where its name says: its final path is not
// the final path of its folder joined with its own name.  Opened with
// FILE_FLAG_OPEN_REPARSE_POINT, a junction or symbolic link on Windows is the
// link itself and stands in place.  Wine ignores that flag and opens what a
// Unix symbolic link points at; it also shows a link to a file as a plain file,
// and DeleteFileW or RemoveDirectoryW on such a link deletes its target.  When
// a final path can't be had the entry counts as in place (a dangling link
// leads nowhere).
__attribute__((noinline)) bool LeadsElsewhere(const wchar_t* path) {
  constexpr DWORD kFinalCapacity = 1100;  // "\\?\" + a folder path + "\\" + a name
  wchar_t parent[kPathCapacity];
  wchar_t parentFinal[kFinalCapacity];
  wchar_t final[kFinalCapacity];
  if (Text_Copy(parent, kPathCapacity, path) != 0) return false;
  wchar_t* cut = wcsrchr(parent, L'\\');
  if (cut == nullptr) return false;
  const wchar_t* name = path + (cut - parent) + 1;
  // The parent of a drive's top folder is the drive's root, with its backslash.
  cut[cut > parent && cut[-1] == L':' ? 1 : 0] = L'\0';
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  FileHandle folder(CreateFileW(parent, 0, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder.Valid()) return false;
  DWORD parentLength = GetFinalPathNameByHandleW(folder.Get(), parentFinal, kFinalCapacity, 0);
  if (parentLength == 0 || parentLength >= kFinalCapacity) return false;
  if (parentFinal[parentLength - 1] == L'\\') --parentLength;
  FileHandle entry(CreateFileW(path, 0, share, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!entry.Valid()) return false;
  DWORD length = GetFinalPathNameByHandleW(entry.Get(), final, kFinalCapacity, 0);
  if (length == 0) return false;
  if (length >= kFinalCapacity) return true;  // longer than any entry of the folder
  const DWORD fullLength = static_cast<DWORD>(wcslen(name));
  // Wine 8 drops the trailing dots and blanks of the last name from a final
  // path ("x." comes back as "x"): the name is compared without them then.
  DWORD nameLength = fullLength;
  if (length != parentLength + 1 + nameLength) {
    while (nameLength > 0 && (name[nameLength - 1] == L'.' || name[nameLength - 1] == L' ')) --nameLength;
  }
  if (nameLength == 0 || length != parentLength + 1 + nameLength || final[parentLength] != L'\\') return true;
  if (CompareStringOrdinal(final, static_cast<int>(parentLength), parentFinal, static_cast<int>(parentLength), TRUE) !=
          CSTR_EQUAL ||
      CompareStringOrdinal(final + parentLength + 1, static_cast<int>(nameLength), name, static_cast<int>(nameLength),
                           TRUE) != CSTR_EQUAL) {
    return true;
  }
  if (nameLength == fullLength) return false;
  // "x." in place, or a link "x." to its sibling "x": the same file as "x" then.
  wchar_t sibling[kFinalCapacity];
  BY_HANDLE_FILE_INFORMATION own, other;
  if (Text_Copy(sibling, kFinalCapacity, path) != 0) return true;
  sibling[wcslen(path) - (fullLength - nameLength)] = L'\0';
  FileHandle trimmed(CreateFileW(sibling, 0, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return trimmed.Valid() && GetFileInformationByHandle(entry.Get(), &own) &&
         GetFileInformationByHandle(trimmed.Get(), &other) && own.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
         own.nFileIndexHigh == other.nFileIndexHigh && own.nFileIndexLow == other.nFileIndexLow;
}

// An entry that leads out of its folder can't be removed without deleting
// what it points at: it stays, and so does its folder, as with a file that
// can't be deleted.
bool KeepIfLeadingElsewhere(const wchar_t* path) {
  if (!LeadsElsewhere(path)) return false;
  Tracef(TRACE_LEVEL_ERROR, L"フォルダの外を指すリンクは削除しません( %ls )", path);
  return true;
}

// A junction or symbolic link is removed itself and never entered, so
// nothing it points at is touched.  Wine reports symbolic links to folders on
// the Unix side as reparse points too (without a tag), so the attribute alone
// decides.
int RemoveLink(const wchar_t* path, DWORD attributes) {
  if (KeepIfLeadingElsewhere(path)) return -1;
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  Tracef(TRACE_LEVEL_TRACE, folder ? L"RemoveDirectory( %ls )" : L"DeleteFile( %ls )", path);
  if (folder ? RemoveDirectoryW(path) : DeleteFileW(path)) return 0;
  Trace_ReportLastError(TRACE_FRAME_EXTERNAL, folder ? L"RemoveDirectory" : L"DeleteFile");
  return -1;
}

int DeleteTree(const wchar_t* folderPath) {
  DWORD attributes = GetFileAttributesW(folderPath);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return RemoveLink(folderPath, attributes);
  }

  wchar_t pattern[kPathCapacity];
  if (Text_JoinPath(pattern, kPathCapacity, folderPath, L"*") != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", folderPath);
    return -1;
  }
  WIN32_FIND_DATAW entry;
  {
    FindHandle search(FindFirstFileW(pattern, &entry));
    if (search.Valid()) {
      do {
        // Skips "." and "..", and every other dot-name with them.
        if (entry.cFileName[0] == L'.') continue;
        wchar_t path[kPathCapacity];
        if (Text_JoinPath(path, kPathCapacity, folderPath, entry.cFileName) != 0) {
          Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", folderPath);
          return -1;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
          if (RemoveLink(path, entry.dwFileAttributes) != 0) return -1;
        } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
          DeleteTree(path);
        } else {
          if (KeepIfLeadingElsewhere(path)) return -1;
          Tracef(TRACE_LEVEL_TRACE, L"DeleteFile( %ls )", path);
          if (!DeleteFileW(path)) {
            Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"DeleteFile");
            return -1;
          }
        }
      } while (FindNextFileW(search.Get(), &entry));
    }
  }
  Tracef(TRACE_LEVEL_TRACE, L"RemoveDirectory( %ls )", folderPath);
  RemoveDirectoryW(folderPath);
  return 0;
}

}  // namespace

int Config_DeleteFolderTree(const wchar_t* folderPath) {
  TRACE_SCOPE();
  wchar_t verbatim[kPathCapacity];
  if (ToVerbatim(folderPath, verbatim, kPathCapacity) != 0) return -1;
  return DeleteTree(verbatim);
}

bool Config_LeadsElsewhere(const wchar_t* path) {
  wchar_t verbatim[kPathCapacity];
  return ToVerbatim(path, verbatim, kPathCapacity) != 0 || LeadsElsewhere(verbatim);
}
