// config.ini on disk: saving keeps what the user's file holds, a write failure
// is reported, and the program's paths are refused rather than cut when they
// do not fit.  (Loading and validation are checked end to end.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config.h"
#include "config/config_paths.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

using test::ReadBytes;

void SetSettings(std::initializer_list<long> values) {
  long* settings[] = {&longSupressDialogBeforeExecute, &longAutoCloseProgressWindow, &longHotkeyVirtualKey,
                      &longHotkeyModifiers, &longAdjustLaunchedWindowPattern, &longAdjustLaunchedWindowMoveBottom,
                      &longAdjustLaunchedWindowConfirmAtExecution};
  long** setting = settings;
  for (long value : values) **setting++ = value;
}

class ConfigSettingFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(932u, GetACP()) << "the tests need the Japanese ANSI code page (LANG=ja_JP.UTF-8)";
    wcscpy_s(gTCHAR_Config_SettingFilePath, path_.c_str());
  }
  void TearDown() override { gTCHAR_Config_SettingFilePath[0] = L'\0'; }
  test::TempFolder temp_;
  const std::wstring path_ = temp_ / L"config.ini";
};

TEST_F(ConfigSettingFile, SaveKeepsEveryCommentAndAfterDeletionWritesOnlySectionsAndKeys) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  SetSettings({1, 1, 65, 3, 2, 1, 0});
  ASSERT_EQ(0, Config_SaveSettingFile());
  std::string bytes = ReadBytes(path_);
  size_t position = 0;
  for (const std::wstring& line : test::DefaultSettingLines()) {
    if (line.empty() || line[0] != L';') continue;
    position = bytes.find(test::ToAnsi(line) + "\r\n", position);
    ASSERT_NE(std::string::npos, position) << "comment lost or moved: " << line;
  }
  for (const char* key : {"SUPRESS_DIALOG_BEFORE_EXECUTE=1\r\n", "AUTOCLOSE_PROGRESS_WINDOW=1\r\n",
                          "HOTKEY_OPEN_LAUNCHER_WINDOW=65, 3\r\n", "ADJUST_LAUNCHED_WINDOW_PATTERN=2\r\n",
                          "ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=1\r\n", "ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=0\r\n"}) {
    EXPECT_NE(std::string::npos, bytes.find(key)) << key;
  }

  ASSERT_TRUE(DeleteFileW(path_.c_str()));
  SetSettings({0, 1, 90, 6, 3, 0, 1});
  ASSERT_EQ(0, Config_SaveSettingFile());
  bytes = ReadBytes(path_);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    if (end > start) lines.push_back(bytes.substr(start, end - start));
  }
  const std::vector<std::string> expected = {
      "[CONTROL_SETTING]", "SUPRESS_DIALOG_BEFORE_EXECUTE=0", "AUTOCLOSE_PROGRESS_WINDOW=1",
      "HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6", "[ADVANCED_SETTING]", "ADJUST_LAUNCHED_WINDOW_PATTERN=3",
      "ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0", "ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1"};
  EXPECT_EQ(expected, lines);
}

TEST_F(ConfigSettingFile, SaveToReadOnlyFileShowsMessage157AndWritesNothing) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  const std::string before = ReadBytes(path_);
  ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  // Wine running as root writes to read-only files; there a handle that denies
  // writing by others makes the file just as unwritable for the program.
  HANDLE lock = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (lock != INVALID_HANDLE_VALUE) {
    CloseHandle(lock);
    lock = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  }
  SetSettings({1, 1, 65, 3, 2, 1, 0});
  test::AsyncMessageBoxAnswer answer(L"設定ファイル書き込みエラー", IDOK, 10000);
  EXPECT_EQ(-1, Config_SaveSettingFile());
  EXPECT_EQ(L"設定ファイルの書き込みに失敗しました。", answer.Wait().text);
  if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  EXPECT_EQ(before, ReadBytes(path_));
}

// The directory part "\aaa...\" of `length` characters under drive C:.
std::wstring ExeUnderDirectoryOf(size_t length) { return L"C:\\" + std::wstring(length - 2, L'a') + L"\\Corvanta.exe"; }

TEST(ConfigComposePaths, JoinsTheExecutableFolderAndRefusesAPathThatDoesNotFit) {
  ConfigPaths paths;
  ASSERT_EQ(0, Config_ComposePaths(L"C:\\コルヴァンタ\\Corvanta.exe", &paths));
  EXPECT_STREQ(L"C:\\コルヴァンタ\\", paths.moduleFolder);
  EXPECT_STREQ(L"C:\\コルヴァンタ\\CorvantaHelp.chm", paths.helpFile);
  // "C:" + directory + the 13-character root name must fit in 262 characters.
  ASSERT_EQ(0, Config_ComposePaths(ExeUnderDirectoryOf(247).c_str(), &paths));
  EXPECT_EQ(262u, wcslen(paths.launcherItemRoot));
  for (size_t length : {248u, 256u}) {  // too long for the root; too long for the directory itself
    wcscpy_s(paths.settingFile, L"stale");
    EXPECT_EQ(-1, Config_ComposePaths(ExeUnderDirectoryOf(length).c_str(), &paths)) << length;
    for (const wchar_t* path : {paths.moduleFolder, paths.settingFile, paths.launcherItemRoot, paths.helpFile}) {
      EXPECT_STREQ(L"", path) << length;
    }
  }
  wcscpy_s(gTCHAR_Config_LauncherItemRootPath, L"stale");
  EXPECT_EQ(-1, Config_BuildPaths(ExeUnderDirectoryOf(300).c_str()));
  EXPECT_STREQ(L"", gTCHAR_Config_LauncherItemRootPath);
}

}  // namespace
