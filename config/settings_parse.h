// Parsing of config.ini values (pure logic, no Win32 calls).
#ifndef CORVANTA_CONFIG_SETTINGS_PARSE_H
#define CORVANTA_CONFIG_SETTINGS_PARSE_H

enum SettingParseResult {
  SETTING_PARSE_OK,
  SETTING_PARSE_MISSING,   // the text was the "not found" default
  SETTING_PARSE_INVALID,   // no number, or out of range
};

// The text GetPrivateProfileStringW is given as default: its return means "no such key".
constexpr const wchar_t* D_WSTR_CONFIG_MISSING_VALUE = L"_DEFAULT_";

// A single number "%d" as swscanf reads it (leading blanks, sign, stops at the
// first non-digit), accepted when within [minimum, maximum].
SettingParseResult Settings_ParseNumber(const wchar_t* text, long minimum, long maximum, long* value);

// The hotkey "%d, %d": the comma must follow the first number directly; the
// blank after it matches any white space.  When only the first number is read,
// *modifiers is left as it was.
SettingParseResult Settings_ParseHotkey(const wchar_t* text, long* virtualKey, long* modifiers);

#endif
