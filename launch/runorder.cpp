// The run-order file: one order.ini per folder, one item name per line.  The
// program writes it in the ANSI code page; the file a user's editor saves may
// be UTF-8 (with or without a byte-order mark) or UTF-16 with its mark, and is
// read in whichever it is.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include <algorithm>
#include <string>

#include "base/text.h"
#include "base/text_encoding.h"
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

// The file's text, decoded whole, is cut the way the runtime's text-mode
// reader cuts a line: CR LF taken as LF, then at each line feed and after
// every 511 characters.
void ReadLines(FILE* file, const wchar_t* folder, RunOrderEntry** list) {
  std::string bytes;
  char chunk[4096];
  for (size_t got; (got = fread(chunk, 1, sizeof(chunk), file)) > 0;) bytes.append(chunk, got);
  const std::wstring decoded = Text_DecodeFile(bytes);
  std::wstring text;
  text.reserve(decoded.size());
  for (size_t i = 0; i < decoded.size(); ++i) {
    if (decoded[i] != L'\r' || i + 1 == decoded.size() || decoded[i + 1] != L'\n') text += decoded[i];
  }
  RunOrderEntry** link = list;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L'\n', start);
    end = end == std::wstring::npos ? text.size() : end + 1;
    end = std::min(end, start + kReadCapacity - 1);
    std::wstring line = text.substr(start, end - start);
    start = end;
    // Cut at the first CR or LF; blanks at either end belong to the name.
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
  ReadLines(file, folder, list);
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
