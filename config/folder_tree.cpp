// Depth-first deletion of a folder tree that never leaves the tree.
#include "app/handles.h"
#include "app/text.h"
#include "app/trace.h"
#include "config/config.h"

namespace {

constexpr size_t kPathCapacity = 775;

// A junction or symbolic link is removed itself and never entered, so
// nothing it points at is touched.  Wine reports symbolic links on the Unix
// side as reparse points too (without a tag), so the attribute alone decides.
int RemoveLink(const wchar_t* path, DWORD attributes) {
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  Tracef(TRACE_LEVEL_TRACE, folder ? L"RemoveDirectory( %ls )" : L"DeleteFile( %ls )", path);
  if (folder ? RemoveDirectoryW(path) : DeleteFileW(path)) return 0;
  Trace_ReportLastError(TRACE_FRAME_EXTERNAL, folder ? L"RemoveDirectory" : L"DeleteFile");
  return -1;
}

}  // namespace

int Config_DeleteFolderTree(const wchar_t* folderPath) {
  TRACE_SCOPE();
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
          Config_DeleteFolderTree(path);
        } else {
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
