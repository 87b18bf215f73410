// The run-order file: one order.ini per folder, one item name per line, in
// the ANSI code page, read through the runtime's text-mode wide stream.
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "base/text.h"
#include "base/trace.h"
#include "launch/launch.h"

namespace {

// fgetws stores at most this many characters per call (the last slot holds
// the terminator), so a longer line comes back in several pieces, each of
// which becomes an entry of its own.
constexpr int kReadCapacity = static_cast<int>(D_SIZE_LAUNCH_RUNORDER_NAME);

}  // namespace

int RunOrder_Read(const wchar_t* folder, RunOrderEntry** list) {
  TRACE_SCOPE();
  *list = nullptr;
  wchar_t filePath[D_SIZE_LAUNCH_RUNORDER_PATH];
  if (Text_JoinPath(filePath, D_SIZE_LAUNCH_RUNORDER_PATH, folder, D_WSTR_LAUNCH_RUNORDER_FILE_NAME) != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", folder);
    return 0;
  }
  // Text mode: the runtime turns CR LF into LF and converts each line from
  // the code page of the locale set at start-up (the ANSI code page).
  FILE* file = _wfopen(filePath, L"rt");
  if (file == nullptr) {
    Tracef(TRACE_LEVEL_TRACE, L"実行順序ファイルがありません(%ls)", filePath);
    return 0;
  }

  RunOrderEntry** link = list;
  wchar_t line[kReadCapacity];
  while (fgetws(line, kReadCapacity, file) != nullptr) {
    // Cut at the first CR or LF; blanks at either end belong to the name.
    line[wcscspn(line, L"\r\n")] = L'\0';
    wchar_t fullPath[D_SIZE_LAUNCH_RUNORDER_PATH];
    if (Text_JoinPath(fullPath, D_SIZE_LAUNCH_RUNORDER_PATH, folder, line) != 0) {
      Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎるため実行順序の行を無視します(%ls)", line);
      continue;
    }
    RunOrderEntry* entry = static_cast<RunOrderEntry*>(calloc(1, sizeof(RunOrderEntry)));
    if (entry == nullptr) {
      // What was read so far is still a usable order.
      Trace(TRACE_LEVEL_ERROR, L"メモリを確保できません(RunOrderEntry)");
      break;
    }
    wcscpy(entry->name, line);  // both fit: checked by the join above
    wcscpy(entry->fullPath, fullPath);
    *link = entry;
    link = &entry->next;
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
