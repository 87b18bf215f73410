// Collecting the shortcuts under a chosen path into the launch list: each
// folder's order.ini items first, then the rest in listing order, depth first.
#include <stdlib.h>
#include <wchar.h>

#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/handles.h"
#include "base/names.h"
#include "base/text.h"
#include "base/trace.h"
#include "launch/launch.h"

LaunchItem* gLaunchItem_Launch_ListHead = nullptr;
LaunchItem* gLaunchItem_Launch_ListTail = nullptr;
LaunchItem* gLaunchItem_Launch_Cursor = nullptr;
long glong_Launch_ItemCount = 0;

namespace {

// Last guard against a walk that never ends (links the identity check cannot
// see through); real trees are nowhere near this deep.
constexpr size_t kMaxDepth = 64;
constexpr size_t kFolderCapacity = D_SIZE_LAUNCH_RUNORDER_PATH;

// A folder on the current walk path.  Its identity is looked up only when a
// folder link is met, so a tree without links costs no extra opens.
struct Frame {
  const wchar_t* path;
  bool looked = false;
  bool known = false;
  DWORD volume = 0, indexHigh = 0, indexLow = 0;
};

struct Walk {
  LaunchItem** head;
  LaunchItem** tail;
  long* count;
  Frame frames[kMaxDepth];
  size_t depth = 0;
};

// A folder's entries as the file system delivers them: names in one pool
// (each terminated), so listing a big folder costs no allocation per entry.
struct Listing {
  bool listed = false;
  std::vector<wchar_t> pool;
  std::vector<std::pair<size_t, DWORD>> entries;  // offset into pool, attributes
  std::unordered_map<std::wstring_view, DWORD> exact;
  std::unordered_map<std::wstring, size_t> folded;  // built on the first case-differing name
  const wchar_t* Name(size_t i) const { return pool.data() + entries[i].first; }
};

bool LookUpIdentity(Frame& frame) {
  if (!frame.looked) {
    frame.looked = true;
    // Backup semantics opens a folder; without FILE_FLAG_OPEN_REPARSE_POINT a
    // link is followed, so the identity is that of the folder it leads to.
    FileHandle folder(CreateFileW(frame.path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (folder.Valid() && GetFileInformationByHandle(folder.Get(), &information)) {
      frame.known = true;
      frame.volume = information.dwVolumeSerialNumber;
      frame.indexHigh = information.nFileIndexHigh;
      frame.indexLow = information.nFileIndexLow;
    }
  }
  return frame.known;
}

// True when the folder link at `path` leads to a folder already on the walk path.
bool LinkClosesCycle(Walk& walk, const wchar_t* path) {
  Frame target{path};
  if (!LookUpIdentity(target)) return true;  // a dangling link has nothing to walk
  for (size_t i = 0; i < walk.depth; ++i) {
    Frame& frame = walk.frames[i];
    if (LookUpIdentity(frame) && frame.volume == target.volume && frame.indexHigh == target.indexHigh &&
        frame.indexLow == target.indexLow) {
      return true;
    }
  }
  return false;
}

// A line that would lead back to the folder or above it, or out of it: "."
// and "..", any path, and names of only dots and blanks, which the system
// trims to nothing at the end of a path (so "..." is the folder itself).
bool LeadsOutOfFolder(const wchar_t* name) {
  if (wcspbrk(name, L"\\/:") != nullptr) return true;
  return name[wcsspn(name, L". ")] == L'\0';
}

bool IsDotName(const wchar_t* name) { return name[0] == L'.'; }

// The extension from the last '.' of the name (dot included), or "".
const wchar_t* Extension(const wchar_t* name) {
  const wchar_t* dot = wcsrchr(name, L'.');
  return dot != nullptr ? dot : L"";
}

std::wstring Fold(std::wstring_view name) {
  std::wstring folded(name);
  LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()), &folded[0],
                static_cast<int>(folded.size()), nullptr, nullptr, 0);
  return folded;
}

void ListFolder(const wchar_t* folder, Listing& listing) {
  wchar_t pattern[kFolderCapacity + 4];
  const size_t length = wcslen(folder);
  const bool separated = length > 0 && folder[length - 1] == L'\\';
  if (Text_Copy(pattern, ARRAYSIZE(pattern), folder) != 0) return;
  wcscat(pattern, separated ? L"*.*" : L"\\*.*");  // room kept by the capacity above
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(pattern, &found));
  if (!search.Valid()) {
    Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了(%ls)：エラーコード=%lu\n", L"FindFirstFile", GetLastError());
    return;
  }
  listing.listed = true;
  listing.pool.reserve(2048);
  listing.entries.reserve(64);
  do {
    const size_t nameLength = wcslen(found.cFileName);
    listing.entries.emplace_back(listing.pool.size(), found.dwFileAttributes);
    listing.pool.insert(listing.pool.end(), found.cFileName, found.cFileName + nameLength + 1);
  } while (FindNextFileW(search.Get(), &found));
}

// Attributes of a listed name as the file system would resolve it, or
// INVALID_FILE_ATTRIBUTES.  The listing answers exact and case-differing
// names; what it cannot answer (short names, names the system trims) goes
// to the file system itself, as does everything when the folder could not be
// listed.
DWORD ResolveListed(Listing& listing, const RunOrderEntry& entry) {
  if (wcspbrk(entry.name, L"*?") != nullptr) return INVALID_FILE_ATTRIBUTES;
  if (listing.listed) {
    if (listing.exact.empty()) {
      listing.exact.reserve(listing.entries.size());
      for (size_t i = 0; i < listing.entries.size(); ++i) listing.exact.emplace(listing.Name(i), listing.entries[i].second);
    }
    auto hit = listing.exact.find(entry.name);
    if (hit != listing.exact.end()) return hit->second;
    if (listing.folded.empty()) {
      for (size_t i = 0; i < listing.entries.size(); ++i) listing.folded.emplace(Fold(listing.Name(i)), i);
    }
    auto similar = listing.folded.find(Fold(entry.name));
    if (similar != listing.folded.end() &&
        CompareStringOrdinal(listing.Name(similar->second), -1, entry.name, -1, TRUE) == CSTR_EQUAL) {
      return listing.entries[similar->second].second;
    }
  }
  return GetFileAttributesW(entry.fullPath);
}

// 0 appended, 1 skipped (path too long), -1 out of memory.
int AppendItem(Walk& walk, const wchar_t* folder, const wchar_t* name) {
  wchar_t path[D_SIZE_LAUNCH_ITEM_PATH];
  if ((folder != nullptr ? Text_JoinPath(path, D_SIZE_LAUNCH_ITEM_PATH, folder, name)
                         : Text_Copy(path, D_SIZE_LAUNCH_ITEM_PATH, name)) != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎるため起動しません(%ls)", name);
    return 1;
  }
  LaunchItem* item = static_cast<LaunchItem*>(calloc(1, sizeof(LaunchItem)));
  if (item == nullptr) {
    Trace(TRACE_LEVEL_ERROR, L"メモリを確保できません(LaunchItem)");
    return -1;
  }
  wcscpy(item->path, path);
  if (*walk.head == nullptr) {
    *walk.head = item;
  } else {
    (*walk.tail)->next = item;
  }
  *walk.tail = item;
  ++*walk.count;
  return 0;
}

int CollectFolder(Walk& walk, const wchar_t* folder);

// Walks a subfolder in place, unless it is a link back onto the walk path or
// the walk is already too deep.  Its result is not examined, as designed: a
// subfolder that ran out of memory does not stop its parent.
void Descend(Walk& walk, const wchar_t* folder, DWORD attributes) {
  if (walk.depth >= kMaxDepth) {
    Tracef(TRACE_LEVEL_ERROR, L"フォルダーの階層が深すぎるため無視します(%ls)", folder);
    return;
  }
  // Wine shows Unix symbolic links as reparse points without a tag, so the
  // attribute alone marks a link.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && LinkClosesCycle(walk, folder)) {
    Tracef(TRACE_LEVEL_ERROR, L"循環するフォルダーのリンクを無視します(%ls)", folder);
    return;
  }
  CollectFolder(walk, folder);
}

struct RunOrderList {
  RunOrderEntry* first = nullptr;
  ~RunOrderList() { RunOrder_Free(first); }
};

int CollectFolder(Walk& walk, const wchar_t* folder) {
  walk.frames[walk.depth++] = Frame{folder};
  struct Pop {
    Walk& walk;
    ~Pop() { --walk.depth; }
  } pop{walk};
  try {
    Listing listing;
    ListFolder(folder, listing);
    // A folder whose listing holds no order.ini has none: skip the open.
    RunOrderList order;
    bool hasOrder = !listing.listed;
    for (size_t i = 0; i < listing.entries.size() && !hasOrder; ++i) {
      hasOrder = CompareStringOrdinal(listing.Name(i), -1, D_WSTR_LAUNCH_RUNORDER_FILE_NAME, -1, TRUE) == CSTR_EQUAL;
    }
    if (hasOrder) RunOrder_Read(folder, &order.first);

    // Listed items first, in file order.
    std::unordered_set<std::wstring_view> listedNames;
    for (const RunOrderEntry* entry = order.first; entry != nullptr; entry = entry->next) {
      listedNames.insert(entry->name);
      if (entry->name[0] == L'\0') continue;
      if (LeadsOutOfFolder(entry->name)) {
        Tracef(TRACE_LEVEL_ERROR, L"実行順序の行を無視します(%ls)", entry->name);
        continue;
      }
      // A line "Mail." would reach the folder Mail: it names nothing to run.
      if (Names_LeaveOut(folder, entry->name)) continue;
      const DWORD attributes = ResolveListed(listing, *entry);
      if (attributes == INVALID_FILE_ATTRIBUTES) continue;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        Descend(walk, entry->fullPath, attributes);
      } else if (wcsncmp(Extension(entry->name), L".lnk", 4) == 0 && AppendItem(walk, nullptr, entry->fullPath) < 0) {
        return -1;
      }
    }

    // Then the unlisted entries, in listing order.
    for (size_t i = 0; i < listing.entries.size(); ++i) {
      const wchar_t* name = listing.Name(i);
      const DWORD attributes = listing.entries[i].second;
      if (IsDotName(name) || listedNames.count(name) != 0) continue;
      const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if ((isFolder || wcscmp(Extension(name), L".lnk") == 0) && Names_LeaveOut(folder, name)) continue;
      if (isFolder) {
        wchar_t path[kFolderCapacity];
        if (LeadsOutOfFolder(name) || Text_JoinPath(path, kFolderCapacity, folder, name) != 0) {
          Tracef(TRACE_LEVEL_ERROR, L"フォルダーを無視します(%ls)", name);
          continue;
        }
        Descend(walk, path, attributes);
      } else if (wcscmp(Extension(name), L".lnk") == 0 && AppendItem(walk, folder, name) < 0) {
        return -1;
      }
    }
  } catch (const std::bad_alloc&) {
    Trace(TRACE_LEVEL_ERROR, L"メモリを確保できません(フォルダーの一覧)");
    return -1;
  }
  return 0;
}

}  // namespace

int Launch_CollectItems(const wchar_t* path, LaunchItem** head, LaunchItem** tail, long* count) {
  TRACE_SCOPE();
  Walk walk{head, tail, count, {}, 0};
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    // One item, taken as it is: nothing checks that it exists or is a shortcut.
    return AppendItem(walk, nullptr, path) < 0 ? -1 : 0;
  }
  return CollectFolder(walk, path);
}

int Launch_FreeItemList(long* count) {
  TRACE_SCOPE();
  LaunchItem* item = gLaunchItem_Launch_ListHead;
  while (item != nullptr) {
    LaunchItem* next = item->next;
    if (item->process != nullptr) CloseHandle(item->process);
    free(item);
    item = next;
  }
  gLaunchItem_Launch_ListHead = nullptr;
  gLaunchItem_Launch_ListTail = nullptr;
  gLaunchItem_Launch_Cursor = nullptr;
  *count = 0;
  return 0;
}
