// The system's message texts, with their inserts filled.
#include "base/system_message.h"

#include <wchar.h>

#include "base/handles.h"
#include "base/text.h"

namespace {

// The highest insert number a message text can hold.
constexpr size_t kInsertCount = 99;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\r' || c == L'\n' || c == L'\t'; }

// Removes the blanks an empty insert leaves behind: at the start, at the end,
// and the second of two in a row ("ファイル  が" becomes "ファイル が").
void TidyBlanks(wchar_t* text) {
  size_t out = 0;
  for (size_t in = 0; text[in] != L'\0'; ++in) {
    if (text[in] == L' ' && (out == 0 || text[out - 1] == L' ')) continue;
    text[out++] = text[in];
  }
  text[out] = L'\0';
}

}  // namespace

size_t Text_SystemMessage(DWORD error, const wchar_t* insert, wchar_t* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = L'\0';
  // One argument per insert number, all the same string: FormatMessageW reads
  // an insert's argument by its number (and %1!s! forms the same way), so a
  // text using %2 or %3 never reads past the array.
  DWORD_PTR arguments[kInsertCount];
  const wchar_t* value = insert != nullptr ? insert : L"";
  for (DWORD_PTR& argument : arguments) argument = reinterpret_cast<DWORD_PTR>(value);
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0,
      reinterpret_cast<va_list*>(arguments));
  LocalMemoryHandle owner(text);
  if (length == 0 || text == nullptr) return 0;
  Text_Format(buffer, capacity, L"%ls", text);
  if (insert == nullptr) TidyBlanks(buffer);
  // One line: the text's own trailing line break (and blanks) go.
  size_t end = wcslen(buffer);
  while (end > 0 && IsBlank(buffer[end - 1])) buffer[--end] = L'\0';
  return end;
}
