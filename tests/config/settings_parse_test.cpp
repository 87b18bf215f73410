// Parsing of config.ini values: the "%d" and "%d, %d" reading rules, ranges,
// and the text that stands for a missing key.
#include <gtest/gtest.h>

#include "config/settings_parse.h"

namespace {

struct NumberCase {
  const wchar_t* text;
  long minimum, maximum;
  SettingParseResult result;
  long value;  // expected value when accepted
};

TEST(SettingsParseNumber, ReadsLikeScanfAndChecksTheRange) {
  const NumberCase cases[] = {
      {L"0", 0, 1, SETTING_PARSE_OK, 0},
      {L"1", 0, 1, SETTING_PARSE_OK, 1},
      {L"2", 0, 1, SETTING_PARSE_INVALID, 0},
      {L"-1", 0, 1, SETTING_PARSE_INVALID, 0},
      {L"3", 0, 3, SETTING_PARSE_OK, 3},
      {L"4", 0, 3, SETTING_PARSE_INVALID, 0},
      {L"1abc", 0, 1, SETTING_PARSE_OK, 1},     // reading stops at the first non-digit
      {L"  \t1", 0, 1, SETTING_PARSE_OK, 1},    // leading blanks are skipped
      {L"+1", 0, 1, SETTING_PARSE_OK, 1},
      {L"-0", 0, 1, SETTING_PARSE_OK, 0},
      {L"", 0, 1, SETTING_PARSE_INVALID, 0},
      {L"abc", 0, 1, SETTING_PARSE_INVALID, 0},
      {L"a1", 0, 1, SETTING_PARSE_INVALID, 0},
      {L"+", 0, 1, SETTING_PARSE_INVALID, 0},
      {L"_DEFAULT_", 0, 1, SETTING_PARSE_MISSING, 0},
      {L"_default_", 0, 1, SETTING_PARSE_INVALID, 0},  // the marker is case-sensitive
      {L" _DEFAULT_", 0, 1, SETTING_PARSE_INVALID, 0},
      {L"_DEFAULT_1", 0, 1, SETTING_PARSE_INVALID, 0},
  };
  for (const NumberCase& c : cases) {
    long value = 77;
    EXPECT_EQ(c.result, Settings_ParseNumber(c.text, c.minimum, c.maximum, &value)) << "\"" << c.text << "\"";
    if (c.result == SETTING_PARSE_OK) {
      EXPECT_EQ(c.value, value) << "\"" << c.text << "\"";
    }
  }
}

struct HotkeyCase {
  const wchar_t* text;
  SettingParseResult result;
  long key, modifiers;  // expected after the call; both start at 77
};

TEST(SettingsParseHotkey, CommaMustFollowTheFirstNumberAndModifiersMayStay) {
  const HotkeyCase cases[] = {
      {L"90, 6", SETTING_PARSE_OK, 90, 6},
      {L"90,6", SETTING_PARSE_OK, 90, 6},           // the blank in the format matches none
      {L"90,  \t6", SETTING_PARSE_OK, 90, 6},       // ... or any amount of white space
      {L"  90, 6", SETTING_PARSE_OK, 90, 6},
      {L"-5, +3", SETTING_PARSE_OK, -5, 3},         // neither number has a range
      {L"90", SETTING_PARSE_OK, 90, 77},            // modifiers keep what they had
      {L"90 ,6", SETTING_PARSE_OK, 90, 77},         // a blank before the comma ends the match
      {L"90,x", SETTING_PARSE_OK, 90, 77},
      {L"90;6", SETTING_PARSE_OK, 90, 77},
      {L"x", SETTING_PARSE_INVALID, 77, 77},
      {L", 6", SETTING_PARSE_INVALID, 77, 77},
      {L"", SETTING_PARSE_INVALID, 77, 77},
      {L"_DEFAULT_", SETTING_PARSE_MISSING, 77, 77},
      {L"_Default_", SETTING_PARSE_INVALID, 77, 77},
  };
  for (const HotkeyCase& c : cases) {
    long key = 77, modifiers = 77;
    EXPECT_EQ(c.result, Settings_ParseHotkey(c.text, &key, &modifiers)) << "\"" << c.text << "\"";
    EXPECT_EQ(c.key, key) << "\"" << c.text << "\"";
    EXPECT_EQ(c.modifiers, modifiers) << "\"" << c.text << "\"";
  }
}

}  // namespace
