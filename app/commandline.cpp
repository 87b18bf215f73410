// Command words.
#include "app/commandline.h"

#include <wchar.h>

namespace {
bool BeginsWith(const wchar_t* text, const wchar_t* word) {
  return wcsncmp(text, word, wcslen(word)) == 0;
}
}  // namespace

CommandWord CommandLine_GetCommandWord(const wchar_t* commandLine) {
  if (commandLine == nullptr) return COMMAND_WORD_NONE;
  if (BeginsWith(commandLine, L"QuitApplication")) return COMMAND_WORD_QUIT_APPLICATION;
  if (BeginsWith(commandLine, L"DeleteSettingFiles")) return COMMAND_WORD_DELETE_SETTING_FILES;
  return COMMAND_WORD_NONE;
}

bool CommandLine_HasDebugWord(const wchar_t* commandLine) {
  return commandLine != nullptr && wcsstr(commandLine, L"DEBUG") != nullptr;
}
