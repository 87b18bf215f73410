// The run-order file: one order.ini per folder, one item name per line, in
// the ANSI code page, read through the runtime's text-mode wide stream; or,
// when it begins with a byte-order mark, in UTF-8.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include <algorithm>
#include <string>

#include "base/text.h"
#include "base/trace.h"
#include "launch/launch.h"

namespace {

// fgetws stores at most this many characters per call (the last slot holds
// the terminator), so a longer line comes back in several pieces, each of
// which becomes an entry of its own.
constexpr int kReadCapacity = static_cast<int>(D_SIZE_LAUNCH_RUNORDER_NAME);

}  // namespace

namespace {

// Adds one line (already cut at its line end) as the next entry.  False when
// memory ran out: what was read so far is still a usable order.
bool AppendEntry(const wchar_t* folder, const wchar_t* line, RunOrderEntry*** link) {
  wchar_t fullPath[D_SIZE_LAUNCH_RUNORDER_PATH];
  if (Text_JoinPath(fullPath, D_SIZE_LAUNCH_RUNORDER_PATH, folder, line) != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎるため実行順序の行を無視します(%ls)", line);
    return true;
  }
  RunOrderEntry* entry = static_cast<RunOrderEntry*>(calloc(1, sizeof(RunOrderEntry)));
  if (entry == nullptr) {
    Trace(TRACE_LEVEL_ERROR, L"メモリを確保できません(RunOrderEntry)");
    return false;
  }
  wcscpy(entry->name, line);  // both fit: checked by the join above
  wcscpy(entry->fullPath, fullPath);
  **link = entry;
  *link = &entry->next;
  return true;
}

// A file that begins with the UTF-8 byte-order mark holds names the ANSI
// code page could not: it is decoded whole and cut the way the text-mode
// reader cuts, at each line feed and after every 511 characters.
void ReadUtf8(FILE* file, const wchar_t* folder, RunOrderEntry** list) {
  std::string bytes;
  char chunk[4096];
  for (size_t got; (got = fread(chunk, 1, sizeof(chunk), file)) > 0;) bytes.append(chunk, got);
  std::wstring text(bytes.size(), L'\0');
  const int length = bytes.empty() ? 0
                                   : MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                         &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  RunOrderEntry** link = list;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L'\n', start);
    end = end == std::wstring::npos ? text.size() : end + 1;
    end = std::min(end, start + kReadCapacity - 1);
    std::wstring line = text.substr(start, end - start);
    start = end;
    line.resize(wcscspn(line.c_str(), L"\r\n"));
    if (!AppendEntry(folder, line.c_str(), &link)) break;
  }
}

}  // namespace

int RunOrder_Read(const wchar_t* folder, RunOrderEntry** list) {
  TRACE_SCOPE();
  *list = nullptr;
  wchar_t filePath[D_SIZE_LAUNCH_RUNORDER_PATH];
  if (Text_JoinPath(filePath, D_SIZE_LAUNCH_RUNORDER_PATH, folder, D_WSTR_LAUNCH_RUNORDER_FILE_NAME) != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", folder);
    return 0;
  }
  FILE* file = _wfopen(filePath, L"rb");
  if (file == nullptr) {
    Tracef(TRACE_LEVEL_TRACE, L"実行順序ファイルがありません(%ls)", filePath);
    return 0;
  }
  unsigned char mark[3] = {0, 0, 0};
  const bool utf8 = fread(mark, 1, 3, file) == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF;
  if (utf8) {
    ReadUtf8(file, folder, list);
    fclose(file);
    return 0;
  }
  // Text mode: the runtime turns CR LF into LF and converts each line from
  // the code page of the locale set at start-up (the ANSI code page).
  file = _wfreopen(filePath, L"rt", file);
  if (file == nullptr) return 0;
  RunOrderEntry** link = list;
  wchar_t line[kReadCapacity];
  while (fgetws(line, kReadCapacity, file) != nullptr) {
    // Cut at the first CR or LF; blanks at either end belong to the name.
    line[wcscspn(line, L"\r\n")] = L'\0';
    if (!AppendEntry(folder, line, &link)) break;
  }
  fclose(file);
  return 0;
}

int RunOrder_Find(const RunOrderEntry* list, const wchar_t* name) {
  for (const RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) {
    if (wcscmp(entry->name, name) == 0) return 0;
  }
  return -1;
}

void RunOrder_Free(RunOrderEntry* list) {
  while (list != nullptr) {
    RunOrderEntry* next = list->next;
    free(list);
    list = next;
  }
}
