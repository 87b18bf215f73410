// Parsing of config.ini values.
#include "config/settings_parse.h"

#include <stdio.h>
#include <wchar.h>

SettingParseResult Settings_ParseNumber(const wchar_t* text, long minimum, long maximum, long* value) {
  if (wcscmp(text, D_WSTR_CONFIG_MISSING_VALUE) == 0) return SETTING_PARSE_MISSING;
  int number = 0;
  if (swscanf(text, L"%d", &number) != 1) return SETTING_PARSE_INVALID;
  if (number < minimum || number > maximum) return SETTING_PARSE_INVALID;
  *value = number;
  return SETTING_PARSE_OK;
}

SettingParseResult Settings_ParseHotkey(const wchar_t* text, long* virtualKey, long* modifiers) {
  if (wcscmp(text, D_WSTR_CONFIG_MISSING_VALUE) == 0) return SETTING_PARSE_MISSING;
  int key = 0;
  int flags = 0;
  int read = swscanf(text, L"%d, %d", &key, &flags);
  if (read < 1) return SETTING_PARSE_INVALID;
  *virtualKey = key;
  if (read == 2) *modifiers = flags;
  return SETTING_PARSE_OK;
}
