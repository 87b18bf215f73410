// Parsing of config.ini values.
#include "config/settings_parse.h"

#include <wctype.h>
#include <wchar.h>

namespace {

enum NumberRead { NUMBER_NONE, NUMBER_READ, NUMBER_TOO_LARGE };

// Reads a number as "%d" would (leading blanks, a sign, digits up to the first
// other character) and moves *text past it.  Unlike swscanf, a number that
// does not fit in 32 bits is refused instead of wrapped: a value of thirty
// digits must not turn into 0 or 1.
NumberRead ReadNumber(const wchar_t** text, int* number) {
  const wchar_t* start = *text;
  while (iswspace(*start)) ++start;
  const bool negative = *start == L'-';
  const wchar_t* end = start + (negative || *start == L'+' ? 1 : 0);
  if (!iswdigit(*end)) return NUMBER_NONE;
  long long value = 0;
  for (; iswdigit(*end); ++end) {
    value = value * 10 + (*end - L'0');
    if (value > 2147483648LL) return NUMBER_TOO_LARGE;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return NUMBER_TOO_LARGE;
  *number = static_cast<int>(value);
  *text = end;
  return NUMBER_READ;
}

}  // namespace

SettingParseResult Settings_ParseNumber(const wchar_t* text, long minimum, long maximum, long* value) {
  if (wcscmp(text, D_WSTR_CONFIG_MISSING_VALUE) == 0) return SETTING_PARSE_MISSING;
  int number = 0;
  if (ReadNumber(&text, &number) != NUMBER_READ) return SETTING_PARSE_INVALID;
  if (number < minimum || number > maximum) return SETTING_PARSE_INVALID;
  *value = number;
  return SETTING_PARSE_OK;
}

SettingParseResult Settings_ParseHotkey(const wchar_t* text, long* virtualKey, long* modifiers) {
  if (wcscmp(text, D_WSTR_CONFIG_MISSING_VALUE) == 0) return SETTING_PARSE_MISSING;
  int key = 0;
  int flags = 0;
  if (ReadNumber(&text, &key) != NUMBER_READ) return SETTING_PARSE_INVALID;
  // "%d, %d": the comma right after the first number, then any blanks.
  NumberRead second = NUMBER_NONE;
  if (*text == L',') {
    ++text;
    second = ReadNumber(&text, &flags);
  }
  if (second == NUMBER_TOO_LARGE) return SETTING_PARSE_INVALID;
  *virtualKey = key;
  if (second == NUMBER_READ) *modifiers = flags;
  return SETTING_PARSE_OK;
}
