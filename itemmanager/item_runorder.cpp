// The run-order buttons of the management dialog and its test run.
#include <windows.h>
#include <commctrl.h>

#include <wchar.h>

#include <string>

#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "itemmanager/itemmanager_module.h"
#include "launch/launch.h"
#include "resource.h"

namespace {

std::string Encode(UINT codePage, const std::wstring& text) {
  if (text.empty()) return std::string();
  const int bytes = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
  std::string encoded(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) {
    WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &encoded[0], bytes, nullptr, nullptr);
  }
  return encoded;
}

// The new bytes go to a file of their own beside order.ini, which then takes
// the old file's place in one step: a failure half way (disk full, device
// removed) leaves the old file as it was, never a cut one.  ReplaceFileW is
// not used: Wine 8's drops the old file's attributes and leaves a backup file
// of its own behind when it fails.
int ReplaceOrderFile(const wchar_t* folder, const wchar_t* path, const std::string& bytes) {
  // Never written through a link: neither in a linked folder nor into the
  // file a linked order.ini points at.
  if (!ItemManager_FolderIsPlain(folder) ||
      (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && Config_LeadsElsewhere(path))) {
    Tracef(TRACE_LEVEL_ERROR, L"リンクを通しては書き込みません(%ls)", path);
    return -1;
  }
  const DWORD old = GetFileAttributesW(path);
  const DWORD kept = old == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL
                                                   : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  wchar_t temporary[D_SIZE_ITEMMANAGER_PATH];
  FileHandle file;
  // A name of its own: CREATE_NEW never opens something already there (a link
  // planted under the name included).
  for (unsigned n = 0; n < 100 && !file.Valid(); ++n) {
    if (Text_Format(temporary, D_SIZE_ITEMMANAGER_PATH, L"%s.%lu-%u.tmp", path, GetCurrentProcessId(), n) < 0) break;
    file.Reset(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, kept, nullptr));
    if (!file.Valid() && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!file.Valid()) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"CreateFile");
    return -1;
  }
  DWORD written = 0;
  bool done = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file.Get());
  if (!done) Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"WriteFile");
  file.Reset();
  if (done && !MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"MoveFileEx");
    done = false;
  }
  if (!done) DeleteFileW(temporary);
  return done ? 0 : -1;
}

}  // namespace

int ItemManager_MoveListItem(HWND list, int direction) {
  TRACE_SCOPE();
  const int selected = ItemManager_SelectedItem(list);
  if (selected < 0) return -1;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  int target;
  switch (direction) {
    case ITEMMOVE_UP: target = selected - 1; break;
    case ITEMMOVE_DOWN: target = selected + 1; break;
    case ITEMMOVE_TOP: target = 0; break;
    case ITEMMOVE_BOTTOM: target = count - 1; break;
    default: return 0;
  }
  if (target < 0 || target >= count || target == selected) return 0;

  wchar_t text[D_SIZE_ITEMMANAGER_NAME] = L"";
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = selected;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(D_SIZE_ITEMMANAGER_NAME);
  if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(selected), 0);
  // The row keeps its entry; its icon comes back from the cache on display.
  item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
  item.iItem = target;
  item.iImage = I_IMAGECALLBACK;
  const int inserted = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  LVITEMW state = {};
  state.stateMask = state.state = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(inserted), reinterpret_cast<LPARAM>(&state));
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(inserted), FALSE);
  return 0;
}

int ItemManager_WriteRunOrder(HWND list, const wchar_t* folder) {
  TRACE_SCOPE();
  std::vector<std::wstring> fileNames;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    const ItemEntry* entry = ItemManager_EntryOfItem(list, index);
    if (entry != nullptr) fileNames.push_back(entry->fileName);
  }
  return ItemManager_WriteOrderFile(folder, fileNames);
}

int ItemManager_WriteOrderFile(const wchar_t* folder, const std::vector<std::wstring>& fileNames) {
  TRACE_SCOPE();
  wchar_t path[D_SIZE_ITEMMANAGER_PATH];
  if (Text_JoinPath(path, D_SIZE_ITEMMANAGER_PATH, folder, D_WSTR_LAUNCH_RUNORDER_FILE_NAME) != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", folder);
    return -1;
  }
  // The ANSI code page as always, unless a name would lose characters in
  // it: then the whole file is UTF-8 behind a byte-order mark, which the
  // reader recognises.  Every line ends in CR LF either way.
  bool ansi = true;
  std::wstring text;
  for (const std::wstring& name : fileNames) {
    if (name.find_first_of(L"\r\n") != std::wstring::npos) continue;  // would split into two lines
    ansi = ansi && ItemManager_FitsAnsiCodePage(name.c_str());
    text += name + L"\r\n";
  }
  const std::string bytes = ansi ? Encode(CP_ACP, text) : "\xEF\xBB\xBF" + Encode(CP_UTF8, text);

  return ReplaceOrderFile(folder, path, bytes);
}

int ItemManager_TestRun(HWND dialog, HWND list, const wchar_t* folder) {
  TRACE_SCOPE();
  const ItemEntry* entry = ItemManager_EntryOfItem(list, ItemManager_SelectedItem(list));
  if (entry == nullptr) {
    Text_MessageBox(dialog, IDS_ITEMMANAGER_TEST_NONE_TEXT, IDS_ITEMMANAGER_TEST_NONE_CAPTION, MB_OK | MB_ICONERROR);
    return 0;
  }
  // The entry's own file: a shortcut Mail.lnk beside a folder Mail runs the
  // shortcut, not the folder.
  wchar_t path[D_SIZE_ITEMMANAGER_PATH];
  if (Text_JoinPath(path, D_SIZE_ITEMMANAGER_PATH, folder, entry->fileName) != 0) return -1;
  return Launch_RunWithProgress(dialog, path, D_LONG_LAUNCH_RUNMODE_TEST);
}
