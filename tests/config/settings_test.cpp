// config.ini: loading and validating every key against the real profile API,
// saving without losing the user's lines, and paths refused rather than cut.
#include <gtest/gtest.h>

#include "base/trace.h"
#include "config/config.h"
#include "config/config_paths.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

using test::ReadBytes;
using test::SettingLinesWith;

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(932u, GetACP()) << "the tests need the Japanese ANSI code page (LANG=ja_JP.UTF-8)";
    wcscpy_s(gTCHAR_Config_SettingFilePath, path_.c_str());
  }
  void TearDown() override { gTCHAR_Config_SettingFilePath[0] = L'\0'; }
  int Load(const std::vector<std::wstring>& lines) {
    test::WriteBytes(path_, test::SettingFileBytes(lines));
    return Config_LoadSettingFile();
  }
  test::TempFolder temp_;
  const std::wstring path_ = temp_ / L"config.ini";
};

TEST_F(Settings, EveryNumericKeyTakesBothBoundsAndRefusesOneBeyondEither) {
  const struct {
    const wchar_t *section, *key;
    long* value;
    long maximum;
  } keys[] = {{L"CONTROL_SETTING", L"SUPRESS_DIALOG_BEFORE_EXECUTE", &longSupressDialogBeforeExecute, 1},
              {L"CONTROL_SETTING", L"AUTOCLOSE_PROGRESS_WINDOW", &longAutoCloseProgressWindow, 1},
              {L"ADVANCED_SETTING", L"ADJUST_LAUNCHED_WINDOW_PATTERN", &longAdjustLaunchedWindowPattern, 3},
              {L"ADVANCED_SETTING", L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM", &longAdjustLaunchedWindowMoveBottom, 1},
              {L"ADVANCED_SETTING", L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION",
               &longAdjustLaunchedWindowConfirmAtExecution, 1}};
  for (const auto& key : keys) {
    for (long value : {-1L, 0L, key.maximum, key.maximum + 1}) {
      SCOPED_TRACE(std::wstring(key.key) + L"=" + std::to_wstring(value));
      *key.value = 99;
      test::TraceRecorder recorder;
      const bool valid = value >= 0 && value <= key.maximum;
      EXPECT_EQ(valid ? 0 : -1, Load(SettingLinesWith(key.key, std::to_wstring(value).c_str())));
      EXPECT_EQ(valid ? value : 99, *key.value);
      EXPECT_EQ(!valid, recorder.Contains(TRACE_LEVEL_ERROR, std::wstring(L"設定値が不正です(SECTION=") + key.section +
                                                                 L", KEY=" + key.key + L")"));
    }
  }
}

TEST_F(Settings, ValuesAreReadAsFormattedInputReadsThemAndDamageIsReported) {
  const long kUnchanged = -7;
  const struct {
    const wchar_t *key, *value;
    int result;
    const wchar_t* error;  // the level-3 record, when the load fails
    long* setting;
    long expected, modifiers;
  } rows[] = {
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"1abc", 0, nullptr, &longSupressDialogBeforeExecute, 1, 6},
      {L"ADJUST_LAUNCHED_WINDOW_PATTERN", L" 2", 0, nullptr, &longAdjustLaunchedWindowPattern, 2, 6},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"76,3", 0, nullptr, &longHotkeyVirtualKey, 76, 3},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90", 0, nullptr, &longHotkeyVirtualKey, 90, kUnchanged},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90 ,6", 0, nullptr, &longHotkeyVirtualKey, 90, kUnchanged},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"Ctrl+Z", -1, L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=HOTKEY_OPEN",
       &longHotkeyVirtualKey, kUnchanged, kUnchanged},
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"", -1, L"外部処理異常終了( Config_LoadSettingFile() )",
       &longSupressDialogBeforeExecute, kUnchanged, kUnchanged},
      {L"AUTOCLOSE_PROGRESS_WINDOW", L"_DEFAULT_", -1,
       L"設定が見つかりません(SECTION=CONTROL_SETTING, KEY=AUTOCLOSE_PROGRESS_WINDOW)", &longAutoCloseProgressWindow,
       kUnchanged, kUnchanged},
      {L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM", nullptr, -1,
       L"設定が見つかりません(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM)",
       &longAdjustLaunchedWindowMoveBottom, kUnchanged, 6},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::wstring(row.key) + L"=" + (row.value ? row.value : L"(no line)"));
    *row.setting = longHotkeyModifiers = kUnchanged;
    test::TraceRecorder recorder;
    EXPECT_EQ(row.result, Load(SettingLinesWith(row.key, row.value)));
    EXPECT_EQ(row.expected, *row.setting);
    EXPECT_EQ(row.modifiers, longHotkeyModifiers);
    if (row.error != nullptr) EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, row.error));
  }
}

void SetSettings(std::initializer_list<long> values) {
  long* settings[] = {&longSupressDialogBeforeExecute, &longAutoCloseProgressWindow, &longHotkeyVirtualKey,
                      &longHotkeyModifiers, &longAdjustLaunchedWindowPattern, &longAdjustLaunchedWindowMoveBottom,
                      &longAdjustLaunchedWindowConfirmAtExecution};
  long** setting = settings;
  for (long value : values) **setting++ = value;
}

TEST_F(Settings, SaveKeepsEveryCommentAndAfterDeletionWritesOnlySectionsAndKeys) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  SetSettings({1, 1, 65, 3, 2, 1, 0});
  ASSERT_EQ(0, Config_SaveSettingFile());
  std::string bytes = ReadBytes(path_);
  size_t position = 0;
  for (const std::wstring& line : test::DefaultSettingLines()) {
    if (line.empty() || line[0] != L';') continue;
    position = bytes.find(test::ToAnsi(line) + "\r\n", position);
    ASSERT_NE(std::string::npos, position) << "comment lost or moved: " << test::ToAnsi(line);
  }
  ASSERT_TRUE(DeleteFileW(path_.c_str()));
  SetSettings({0, 1, 90, 6, 3, 0, 1});
  ASSERT_EQ(0, Config_SaveSettingFile());
  EXPECT_EQ("[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=0\r\nAUTOCLOSE_PROGRESS_WINDOW=1\r\n"
            "HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=3\r\n"
            "ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\nADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n",
            ReadBytes(path_));
  // What was saved loads back as it was.
  SetSettings({9, 9, 9, 9, 9, 9, 9});
  ASSERT_EQ(0, Config_LoadSettingFile());
  EXPECT_EQ((std::vector<long>{0, 1, 90, 6, 3, 0, 1}),
            (std::vector<long>{longSupressDialogBeforeExecute, longAutoCloseProgressWindow, longHotkeyVirtualKey,
                               longHotkeyModifiers, longAdjustLaunchedWindowPattern,
                               longAdjustLaunchedWindowMoveBottom, longAdjustLaunchedWindowConfirmAtExecution}));
}

TEST_F(Settings, SaveToAnUnwritableFileShowsMessage157ReportsTheOpenErrorAndWritesNothing) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  const std::string before = ReadBytes(path_);
  // Wine running as root writes to read-only files: a handle that denies
  // writing to others makes the file just as unwritable for the program.
  HANDLE lock = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  SetSettings({1, 1, 65, 3, 2, 1, 0});
  test::TraceRecorder recorder;
  test::AsyncMessageBoxAnswer answer(L"設定ファイル書き込みエラー", IDOK, 10000);
  EXPECT_EQ(-1, Config_SaveSettingFile());
  EXPECT_EQ(L"設定ファイルの書き込みに失敗しました。", answer.Wait().text);
  CloseHandle(lock);
  EXPECT_EQ(before, ReadBytes(path_));
  // The code of the failed open, not whatever showing the box left behind.
  wchar_t reason[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_SHARING_VIOLATION, 0,
                 reason, 512, nullptr);
  reason[wcscspn(reason, L"\r\n")] = L'\0';
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"( CreateFile, FormatMessage=" + std::wstring(reason) + L" )"))
      << (recorder.Records().empty() ? "no record" : test::ToAnsi(recorder.Records().back().text));
}

// The directory part "\aaa...\" of `length` characters under drive C:.
std::wstring ExeUnderDirectoryOf(size_t length) { return L"C:\\" + std::wstring(length - 2, L'a') + L"\\Corvanta.exe"; }

TEST(ConfigPaths, JoinTheExecutableFolderAndRefuseAPathThatDoesNotFit) {
  ConfigPaths paths;
  ASSERT_EQ(0, Config_ComposePaths(L"C:\\コルヴァンタ\\Corvanta.exe", &paths));
  EXPECT_EQ((std::vector<std::wstring>{L"C:\\コルヴァンタ\\", L"C:\\コルヴァンタ\\config.ini",
                                       L"C:\\コルヴァンタ\\ラウンチャーアイテムルート", L"C:\\コルヴァンタ\\CorvantaHelp.chm"}),
            (std::vector<std::wstring>{paths.moduleFolder, paths.settingFile, paths.launcherItemRoot, paths.helpFile}));
  // "C:" + directory + the 13-character root name must fit in 262 characters.
  ASSERT_EQ(0, Config_ComposePaths(ExeUnderDirectoryOf(247).c_str(), &paths));
  EXPECT_EQ(262u, wcslen(paths.launcherItemRoot));
  for (size_t length : {248u, 256u}) {  // too long for the root; too long for the directory itself
    EXPECT_EQ(-1, Config_ComposePaths(ExeUnderDirectoryOf(length).c_str(), &paths)) << length;
    EXPECT_EQ(L"", std::wstring(paths.moduleFolder) + paths.settingFile + paths.launcherItemRoot + paths.helpFile);
  }
  wcscpy_s(gTCHAR_Config_LauncherItemRootPath, L"stale");
  EXPECT_EQ(-1, Config_BuildPaths(ExeUnderDirectoryOf(300).c_str()));
  EXPECT_STREQ(L"", gTCHAR_Config_LauncherItemRootPath);
}

}  // namespace
