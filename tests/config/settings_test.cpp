// config.ini: loading and validating every key through the real profile API,
// and saving without losing the user's lines.
#include <gtest/gtest.h>

#include "config/config.h"
#include "support/test_support.h"

namespace {

using namespace test;
class SettingFile : public ::testing::Test {
 protected:
  void SetUp() override { wcscpy_s(gTCHAR_Config_SettingFilePath, path_.c_str()); }
  int Load(const wchar_t* key, const wchar_t* value) {
    WriteBytes(path_, SettingFileBytes(SettingLinesWith(key, value)));
    return Config_LoadSettingFile();
  }
  TempFolder temp_;
  const std::wstring path_ = temp_ / L"config.ini";
};

// Each numeric key at both bounds and one beyond either, then odd but readable values and damage.
TEST_F(SettingFile, EveryKeyLoadsWithinItsBoundsAndAsFormattedInputReadsItElseTheLoadFailsWithItsRecord) {
  const struct { const wchar_t* key; int index; long maximum; } keys[] = {{L"SUPRESS_DIALOG_BEFORE_EXECUTE", 0, 1}, {L"AUTOCLOSE_PROGRESS_WINDOW", 1, 1}, {L"ADJUST_LAUNCHED_WINDOW_PATTERN", 4, 3},
              {L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM", 5, 1}, {L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION", 6, 1}};
  for (const auto& key : keys) {
    for (long value : {-1L, 0L, key.maximum, key.maximum + 1}) {
      SetSettings(std::vector<long>(7, 99));
      const bool valid = value >= 0 && value <= key.maximum;
      EXPECT_EQ(valid ? 0 : -1, Load(key.key, std::to_wstring(value).c_str())) << key.key << "=" << value;
      EXPECT_EQ(valid ? value : 99, Settings()[key.index]) << key.key << "=" << value;
    }
  }
  const struct {
    const wchar_t *key, *value, *error;  // the level-3 record of a failed load
    std::vector<long> loaded;            // the settings afterwards, from 9s
  } rows[] = {
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"1abc", nullptr, {1, 0, 90, 6, 0, 0, 1}},
      {L"ADJUST_LAUNCHED_WINDOW_PATTERN", L" 2", nullptr, {0, 0, 90, 6, 2, 0, 1}},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"76,3", nullptr, {0, 0, 76, 3, 0, 0, 1}},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90 ,6", nullptr, {0, 0, 90, 9, 0, 0, 1}},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"Ctrl+Z", L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=HOTKEY_OPEN_LAUNCHER_WINDOW)", {0, 0, 9, 9, 9, 9, 9}},
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"", L"外部処理異常終了( Config_LoadSettingFile() )", {9, 9, 9, 9, 9, 9, 9}},
      {L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM", nullptr,
       L"設定が見つかりません(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM)", {0, 0, 90, 6, 0, 9, 9}},
  };
  for (const auto& row : rows) {
    SetSettings({9, 9, 9, 9, 9, 9, 9});
    TraceRecorder recorder;
    SCOPED_TRACE(std::wstring(row.key) + L"=" + (row.value ? row.value : L"(no line)"));
    EXPECT_EQ(row.error ? -1 : 0, Load(row.key, row.value));
    EXPECT_EQ(row.loaded, Settings());
    EXPECT_TRUE(!row.error || recorder.Contains(TRACE_LEVEL_ERROR, row.error)) << (row.error ? row.error : L"");
  }
}

// The user's lines stay around a key saved in its place; a file gone is written anew with only the sections
// and keys.
TEST_F(SettingFile, SaveKeepsEveryCommentAndWritesOnlySectionsAndKeysWhenTheFileIsGone) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  SetSettings({0, 0, 90, 6, 2, 0, 1});
  ASSERT_EQ(0, Config_SaveSettingFile());
  std::string kept;
  for (const std::wstring& line : SettingLinesWith(L"ADJUST_LAUNCHED_WINDOW_PATTERN", L"2")) {
    if (!line.empty()) kept += ToAnsi(line) + "\r\n";  // the profile API drops empty lines
  }
  EXPECT_EQ(kept, ReadBytes(path_));
  ASSERT_TRUE(DeleteFileW(path_.c_str()));
  SetSettings({0, 1, 90, 6, 3, 0, 1});
  ASSERT_EQ(0, Config_SaveSettingFile());
  EXPECT_EQ("[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=0\r\nAUTOCLOSE_PROGRESS_WINDOW=1\r\nHOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n"
            "[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=3\r\nADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\n"
            "ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n", ReadBytes(path_));
}

}  // namespace
