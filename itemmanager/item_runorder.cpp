// The run-order buttons of the management dialog and its test run.
#include <windows.h>
#include <commctrl.h>

#include <wchar.h>

#include <string>

#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
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

  // Opened, not recreated: a hidden or system order.ini keeps its attributes
  // (CREATE_ALWAYS refuses such a file) and is cut to the new length below.
  FileHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"CreateFile");
    return -1;
  }
  DWORD written = 0;
  if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size() || !SetEndOfFile(file.Get())) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"WriteFile");
    return -1;
  }
  return 0;
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
