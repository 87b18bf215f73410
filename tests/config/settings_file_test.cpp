// config.ini on disk: the default file byte for byte, loading and validation,
// saving through the profile functions, and the paths of the program's files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config.h"
#include "config/config_paths.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

using test::ReadBytes;
using test::ToAnsi;
using test::WriteBytes;

const std::vector<std::wstring> kDefaultLines = {
    L"; ----------",
    L"; Config.ini",
    L"; ----------",
    L"",
    L"; 確認ダイアログに関する設定",
    L"[CONTROL_SETTING]",
    L"; 実行前の確認画面を抑止する(0:OFF, 1ON)",
    L"SUPRESS_DIALOG_BEFORE_EXECUTE=0",
    L"; 実行後、処理詳細画面を自動で閉じる(0:OFF, 1ON)",
    L"AUTOCLOSE_PROGRESS_WINDOW=0",
    L"; メニューを開くホットキー（デフォルトでは90,6(Ctrl + SHIFT + Z)）",
    L"HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6",
    L"",
    L"",
    L"; 高度なに関する設定",
    L"[ADVANCED_SETTING]",
    L"; 起動アプリケーションウィンドウの整列",
    L"; 0:整列しない(OS依存)、1:縦に並べる、2:横に並べる、3:タイル状に並べる",
    L"ADJUST_LAUNCHED_WINDOW_PATTERN=0",
    L"; アプリケーション起動後のウィンドウ制御(最背面で起動(0:OFF, 1ON))",
    L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0",
    L"; アプリケーション起動後のウィンドウ制御(実行時に確認画面を表示(0:OFF, 1ON))",
    L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1",
    L"",
};

// The file as the lines would give it in the ANSI code page with CR LF.
std::string AnsiFile(const std::vector<std::wstring>& lines) {
  std::string bytes;
  for (const std::wstring& line : lines) bytes += ToAnsi(line) + "\r\n";
  return bytes;
}

// The default lines with line `number` (1-based) replaced, or removed when `text` is null.
std::vector<std::wstring> DefaultWith(size_t number, const wchar_t* text) {
  std::vector<std::wstring> lines = kDefaultLines;
  if (text == nullptr) {
    lines.erase(lines.begin() + (number - 1));
  } else {
    lines[number - 1] = text;
  }
  return lines;
}

std::vector<long*> Settings() {
  return {&longSupressDialogBeforeExecute, &longAutoCloseProgressWindow, &longHotkeyVirtualKey,
          &longHotkeyModifiers, &longAdjustLaunchedWindowPattern, &longAdjustLaunchedWindowMoveBottom,
          &longAdjustLaunchedWindowConfirmAtExecution};
}
std::vector<long> SettingValues() {
  std::vector<long> values;
  for (long* setting : Settings()) values.push_back(*setting);
  return values;
}
void SetSettings(const std::vector<long>& values) {
  for (size_t i = 0; i < values.size(); ++i) *Settings()[i] = values[i];
}

class ConfigSettingFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(932u, GetACP()) << "the tests need the Japanese ANSI code page (LANG=ja_JP.UTF-8)";
    UsePath(L"config.ini");
  }
  void TearDown() override { gTCHAR_Config_SettingFilePath[0] = L'\0'; }
  // A new file name per case: the profile functions never see an older file under it.
  void UsePath(const std::wstring& name) {
    path_ = temp_ / name;
    wcscpy_s(gTCHAR_Config_SettingFilePath, path_.c_str());
  }
  test::TempFolder temp_;
  std::wstring path_;
};

TEST_F(ConfigSettingFile, DefaultFileIsTheTwentyFourLinesInShiftJisWithCrLf) {
  WriteBytes(path_, std::string(4000, 'x'));  // an existing file is emptied first
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  const std::string bytes = ReadBytes(path_);
  EXPECT_EQ(AnsiFile(kDefaultLines), bytes);
  // Known Shift-JIS sequences: "確認", "表示" (trail byte 0x5C) and the full-width "（".
  EXPECT_NE(std::string::npos, bytes.find("\x8A\x6D\x94\x46"));
  EXPECT_NE(std::string::npos, bytes.find("\x95\x5C\x8E\xA6"));
  EXPECT_NE(std::string::npos, bytes.find("\x81\x69"));
  EXPECT_EQ("=1\r\n\r\n", bytes.substr(bytes.size() - 6));
  EXPECT_EQ(std::string::npos, bytes.find("\n\n")) << "a bare line feed";
  EXPECT_NE(0, bytes.compare(0, 3, "\xEF\xBB\xBF")) << "no byte-order mark";
}

TEST_F(ConfigSettingFile, DefaultFileLoadsAsTheDefaultSettings) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  SetSettings({5, 5, 5, 5, 5, 5, 5});
  EXPECT_EQ(0, Config_LoadSettingFile());
  EXPECT_EQ((std::vector<long>{0, 0, 90, 6, 0, 0, 1}), SettingValues());
}

TEST_F(ConfigSettingFile, CreateFailsWhereTheFileCannotBeOpened) {
  test::MakeFolder(path_);  // a folder stands where the file should be
  EXPECT_EQ(-1, Config_CreateDefaultSettingFile());
}

struct LoadCase {
  const char* name;
  std::vector<std::wstring> lines;
  int result;
  const wchar_t* trace;          // level-3 record expected, or null
  std::vector<long> settings;    // after the load; all start at 5
};

TEST_F(ConfigSettingFile, LoadValidatesEachKeyAndLeavesTheFileAsItIs) {
  const wchar_t* kMissingPattern =
      L"設定が見つかりません(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_PATTERN)";
  const wchar_t* kInvalidSupress = L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=SUPRESS_DIALOG_BEFORE_EXECUTE)";
  const wchar_t* kMissingSupress = L"設定が見つかりません(SECTION=CONTROL_SETTING, KEY=SUPRESS_DIALOG_BEFORE_EXECUTE)";
  const wchar_t* kInvalidHotkey = L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=HOTKEY_OPEN_LAUNCHER_WINDOW)";
  const std::vector<std::wstring> noAdvanced(kDefaultLines.begin(), kDefaultLines.begin() + 14);
  const LoadCase cases[] = {
      {"no advanced section", noAdvanced, -1, kMissingPattern, {0, 0, 90, 6, 5, 5, 5}},
      {"supress 2", DefaultWith(8, L"SUPRESS_DIALOG_BEFORE_EXECUTE=2"), -1, kInvalidSupress, {5, 5, 5, 5, 5, 5, 5}},
      {"supress 1abc", DefaultWith(8, L"SUPRESS_DIALOG_BEFORE_EXECUTE=1abc"), 0, nullptr, {1, 0, 90, 6, 0, 0, 1}},
      {"supress empty", DefaultWith(8, L"SUPRESS_DIALOG_BEFORE_EXECUTE="), -1, nullptr, {5, 5, 5, 5, 5, 5, 5}},
      {"supress marker", DefaultWith(8, L"SUPRESS_DIALOG_BEFORE_EXECUTE=_DEFAULT_"), -1, kMissingSupress,
       {5, 5, 5, 5, 5, 5, 5}},
      {"supress line gone", DefaultWith(8, nullptr), -1, kMissingSupress, {5, 5, 5, 5, 5, 5, 5}},
      {"pattern 3", DefaultWith(19, L"ADJUST_LAUNCHED_WINDOW_PATTERN=3"), 0, nullptr, {0, 0, 90, 6, 3, 0, 1}},
      {"pattern 4", DefaultWith(19, L"ADJUST_LAUNCHED_WINDOW_PATTERN=4"), -1,
       L"設定値が不正です(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_PATTERN)", {0, 0, 90, 6, 5, 5, 5}},
      {"hotkey 90,6", DefaultWith(12, L"HOTKEY_OPEN_LAUNCHER_WINDOW=90,6"), 0, nullptr, {0, 0, 90, 6, 0, 0, 1}},
      {"hotkey 90", DefaultWith(12, L"HOTKEY_OPEN_LAUNCHER_WINDOW=90"), 0, nullptr, {0, 0, 90, 5, 0, 0, 1}},
      {"hotkey 90 ,6", DefaultWith(12, L"HOTKEY_OPEN_LAUNCHER_WINDOW=90 ,6"), 0, nullptr, {0, 0, 90, 5, 0, 0, 1}},
      {"hotkey Z", DefaultWith(12, L"HOTKEY_OPEN_LAUNCHER_WINDOW=Z, 6"), -1, kInvalidHotkey, {0, 0, 5, 5, 5, 5, 5}},
  };
  int index = 0;
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    UsePath(L"case" + std::to_wstring(++index) + L".ini");
    const std::string bytes = AnsiFile(c.lines);
    WriteBytes(path_, bytes);
    SetSettings({5, 5, 5, 5, 5, 5, 5});
    test::TraceRecorder recorder;
    EXPECT_EQ(c.result, Config_LoadSettingFile());
    EXPECT_EQ(c.settings, SettingValues());
    if (c.trace != nullptr) {
      EXPECT_TRUE(recorder.Contains(3, c.trace));
    }
    // Only the cases that name a key report one; an empty value is reported without them.
    bool namedAny = recorder.Contains(3, L"設定値が不正です") || recorder.Contains(3, L"設定が見つかりません");
    EXPECT_EQ(c.trace != nullptr, namedAny);
    if (c.result != 0) {
      EXPECT_TRUE(recorder.Contains(3, L"")) << "a failure leaves a level-3 record";
    }
    EXPECT_EQ(bytes, ReadBytes(path_)) << "the file must not change";
  }
}

TEST_F(ConfigSettingFile, HotkeyTextIsTracedBeforeParsing) {
  test::ScopedTraceFlag flag(1);
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  test::TraceRecorder recorder;
  ASSERT_EQ(0, Config_LoadSettingFile());
  EXPECT_TRUE(recorder.Contains(1, L"設定値(SECTION=CONTROL_SETTING, KEY=HOTKEY_OPEN_LAUNCHER_WINDOW, VALUE=90, 6)"));
}

TEST_F(ConfigSettingFile, SaveUpdatesValuesAndKeepsEveryComment) {
  ASSERT_EQ(0, Config_CreateDefaultSettingFile());
  const std::vector<long> saved = {1, 1, 65, 3, 2, 1, 0};
  SetSettings(saved);
  ASSERT_EQ(0, Config_SaveSettingFile());
  const std::string bytes = ReadBytes(path_);
  size_t position = 0;
  for (const std::wstring& line : kDefaultLines) {
    if (line.empty() || line[0] != L';') continue;
    position = bytes.find(ToAnsi(line) + "\r\n", position);
    EXPECT_NE(std::string::npos, position) << "comment lost or moved: " << line;
    if (position == std::string::npos) break;
  }
  for (const char* key : {"SUPRESS_DIALOG_BEFORE_EXECUTE=1\r\n", "AUTOCLOSE_PROGRESS_WINDOW=1\r\n",
                          "HOTKEY_OPEN_LAUNCHER_WINDOW=65, 3\r\n", "ADJUST_LAUNCHED_WINDOW_PATTERN=2\r\n",
                          "ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=1\r\n", "ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=0\r\n"}) {
    EXPECT_NE(std::string::npos, bytes.find(key)) << key;
  }
  SetSettings({5, 5, 5, 5, 5, 5, 5});
  EXPECT_EQ(0, Config_LoadSettingFile());
  EXPECT_EQ(saved, SettingValues());
}

TEST_F(ConfigSettingFile, SaveWithoutAFileWritesOnlySectionsAndKeys) {
  SetSettings({0, 1, 90, 6, 3, 0, 1});
  ASSERT_EQ(0, Config_SaveSettingFile());
  std::string bytes = ReadBytes(path_);
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
  test::TraceRecorder recorder;
  test::AsyncMessageBoxAnswer answer(L"設定ファイル書き込みエラー", IDOK, 10000);
  EXPECT_EQ(-1, Config_SaveSettingFile());
  test::SeenMessageBox box = answer.Wait();
  EXPECT_TRUE(box.found);
  EXPECT_EQ(L"設定ファイルの書き込みに失敗しました。", box.text);
  EXPECT_TRUE(box.style & WS_EX_TOPMOST);
  EXPECT_TRUE(recorder.Contains(3, L"CreateFile"));
  if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  EXPECT_EQ(before, ReadBytes(path_));
}

// ---- Paths of the program's files ----

TEST(ConfigComposePaths, JoinsTheExecutableFolderWithEachName) {
  ConfigPaths paths;
  ASSERT_EQ(0, Config_ComposePaths(L"C:\\Program Files\\コルヴァンタ\\Corvanta.exe", &paths));
  EXPECT_STREQ(L"C:\\Program Files\\コルヴァンタ\\", paths.moduleFolder);
  EXPECT_STREQ(L"C:\\Program Files\\コルヴァンタ\\config.ini", paths.settingFile);
  EXPECT_STREQ(L"C:\\Program Files\\コルヴァンタ\\ラウンチャーアイテムルート", paths.launcherItemRoot);
  EXPECT_STREQ(L"C:\\Program Files\\コルヴァンタ\\CorvantaHelp.chm", paths.helpFile);
}

// The directory part "\aaa...\" of `length` characters under drive C:.
std::wstring ExeUnderDirectoryOf(size_t length) {
  return L"C:\\" + std::wstring(length - 2, L'a') + L"\\Corvanta.exe";
}

TEST(ConfigComposePaths, PathThatDoesNotFitIsRefusedNeverCut) {
  // "C:" + directory + the 13-character root name must fit in 262 characters.
  ConfigPaths paths;
  ASSERT_EQ(0, Config_ComposePaths(ExeUnderDirectoryOf(247).c_str(), &paths));
  EXPECT_EQ(262u, wcslen(paths.launcherItemRoot));

  for (size_t length : {248u, 255u, 256u, 400u}) {
    wcscpy_s(paths.settingFile, L"stale");
    EXPECT_EQ(-1, Config_ComposePaths(ExeUnderDirectoryOf(length).c_str(), &paths)) << length;
    EXPECT_STREQ(L"", paths.moduleFolder) << length;
    EXPECT_STREQ(L"", paths.settingFile) << length;
    EXPECT_STREQ(L"", paths.launcherItemRoot) << length;
    EXPECT_STREQ(L"", paths.helpFile) << length;
  }

  wcscpy_s(gTCHAR_Config_LauncherItemRootPath, L"stale");
  EXPECT_EQ(-1, Config_BuildPaths(ExeUnderDirectoryOf(300).c_str()));
  EXPECT_STREQ(L"", gTCHAR_Config_ModuleFolderPath);
  EXPECT_STREQ(L"", gTCHAR_Config_LauncherItemRootPath);
}

}  // namespace
