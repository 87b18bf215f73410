// config.ini: loading and validating every key through the real profile API,
// saving without losing the user's lines, and paths refused rather than cut.
#include <gtest/gtest.h>

#include "base/trace.h"
#include "config/config.h"
#include "config/config_paths.h"
#include "support/test_support.h"

namespace {

using namespace test;
class SettingFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(932u, GetACP()) << "the tests need the Japanese ANSI code page (LANG=ja_JP.UTF-8)";
    wcscpy_s(gTCHAR_Config_SettingFilePath, path_.c_str());
  }
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
      TraceRecorder recorder;
      const bool valid = value >= 0 && value <= key.maximum;
      const int result = Load(key.key, std::to_wstring(value).c_str());
      EXPECT_EQ((std::vector<long>{valid ? 0 : -1, valid ? value : 99, !valid}),
                (std::vector<long>{result, Settings()[key.index], recorder.Contains(TRACE_LEVEL_ERROR, L"設定値が不正です(SECTION=")}))
          << key.key << "=" << value;
    }
  }
  const struct {
    const wchar_t *key, *value, *error;  // the level-3 record of a failed load
    std::vector<long> loaded;            // the settings afterwards, from 9s
  } rows[] = {
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"1abc", nullptr, {1, 0, 90, 6, 0, 0, 1}},
      {L"ADJUST_LAUNCHED_WINDOW_PATTERN", L" 2", nullptr, {0, 0, 90, 6, 2, 0, 1}},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"76,3", nullptr, {0, 0, 76, 3, 0, 0, 1}},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90", nullptr, {0, 0, 90, 9, 0, 0, 1}},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90 ,6", nullptr, {0, 0, 90, 9, 0, 0, 1}},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"Ctrl+Z", L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=HOTKEY_OPEN_LAUNCHER_WINDOW)", {0, 0, 9, 9, 9, 9, 9}},
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"", L"外部処理異常終了( Config_LoadSettingFile() )", {9, 9, 9, 9, 9, 9, 9}},
      {L"AUTOCLOSE_PROGRESS_WINDOW", L"_DEFAULT_", L"設定が見つかりません(SECTION=CONTROL_SETTING, KEY=AUTOCLOSE_PROGRESS_WINDOW)", {0, 9, 9, 9, 9, 9, 9}},
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

TEST_F(SettingFile, SaveKeepsEveryCommentWritesOnlySectionsAndKeysWhenTheFileIsGoneAndLoadsBack) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  SetSettings({1, 1, 65, 3, 2, 1, 0});
  ASSERT_EQ(0, Config_SaveSettingFile());
  std::vector<std::wstring> expected = DefaultSettingLines();
  for (const wchar_t* line : {L"SUPRESS_DIALOG_BEFORE_EXECUTE=1", L"AUTOCLOSE_PROGRESS_WINDOW=1", L"HOTKEY_OPEN_LAUNCHER_WINDOW=65, 3",
                              L"ADJUST_LAUNCHED_WINDOW_PATTERN=2", L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=1",
                              L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=0"}) {
    for (std::wstring& old : expected) if (old.compare(0, old.find(L'='), line, std::wstring(line).find(L'=')) == 0) old = line;
  }
  std::string saved = ReadBytes(path_), kept;
  for (const std::wstring& line : expected) if (!line.empty()) kept += ToAnsi(line) + "\r\n";  // the profile API drops empty lines
  EXPECT_EQ(kept, saved);
  ASSERT_TRUE(DeleteFileW(path_.c_str()));
  SetSettings({0, 1, 90, 6, 3, 0, 1});
  ASSERT_EQ(0, Config_SaveSettingFile());
  EXPECT_EQ("[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=0\r\nAUTOCLOSE_PROGRESS_WINDOW=1\r\nHOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n"
            "[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=3\r\nADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\n"
            "ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n", ReadBytes(path_));
  SetSettings({9, 9, 9, 9, 9, 9, 9});
  ASSERT_EQ(0, Config_LoadSettingFile());
  EXPECT_EQ((std::vector<long>{0, 1, 90, 6, 3, 0, 1}), Settings());
}

TEST(ConfigPaths, JoinTheExecutableFolderAndRefuseAPathThatDoesNotFit) {
  ConfigPaths paths;
  const auto all = [&] { return std::wstring(paths.moduleFolder) + L"|" + paths.settingFile + L"|" + paths.launcherItemRoot + L"|" + paths.helpFile; };
  ASSERT_EQ(0, Config_ComposePaths(L"C:\\コルヴァンタ\\Corvanta.exe", &paths));
  EXPECT_EQ(L"C:\\コルヴァンタ\\|C:\\コルヴァンタ\\config.ini|C:\\コルヴァンタ\\ラウンチャーアイテムルート|C:\\コルヴァンタ\\CorvantaHelp.chm", all());
  // A folder too long leaves every path empty (the longest accepted: the language test's).
  const std::wstring tooLong = L"C:\\" + std::wstring(300, L'a') + L"\\Corvanta.exe";
  EXPECT_EQ(-1, Config_ComposePaths(tooLong.c_str(), &paths));
  EXPECT_EQ(L"|||", all());
  wcscpy_s(gTCHAR_Config_LauncherItemRootPath, L"stale");
  EXPECT_EQ(-1, Config_BuildPaths(tooLong.c_str()));
  EXPECT_STREQ(L"", gTCHAR_Config_LauncherItemRootPath);
}

}  // namespace
