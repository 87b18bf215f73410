// A damaged config.ini stops the start with the load box and is left as it
// is; odd but readable values load as the formatted-input rules read them.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

// The default lines with `key`'s line replaced by `replacement` (or removed
// when empty), or with the section from `section` on cut off.
std::vector<std::wstring> SettingsWith(const std::wstring& key, const std::wstring& replacement) {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : DefaultSettingLines()) {
    if (line.compare(0, key.size() + 1, key + L"=") == 0) {
      if (!replacement.empty()) lines.push_back(replacement);
    } else {
      lines.push_back(line);
    }
  }
  return lines;
}

std::vector<std::wstring> SettingsWithout(const std::wstring& section) {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : DefaultSettingLines()) {
    if (line == section) break;
    lines.push_back(line);
  }
  return lines;
}

struct DamagedCase {
  const char* name;
  std::vector<std::wstring> lines;
  const wchar_t* report;  // the level-3 record naming the key
};

void PrintTo(const DamagedCase& value, std::ostream* out) { *out << value.name; }

class DamagedSettings : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedSettings, ShowTheLoadBoxExitMinusOneAndStayUnchanged) {
  InstalledProgram program;
  program.WriteSettings(GetParam().lines);
  MakeFolder(program.Root());
  const std::string before = ReadBytes(program.SettingFile());

  ChildProcess start;
  ASSERT_TRUE(start.Start(program.Exe(), L"DEBUG"));
  SeenMessageBox box = AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, start.Id());
  ASSERT_TRUE(box.found);
  EXPECT_EQ(L"設定ファイル読み込み中に異常が発生しました。\r\n再起動しても解決しない場合は、iniファイルを削除して"
            L"アプリケーションを再起動してください。デフォルトの設定ファイルを作成します。\r\n"
            L"※この場合、現在の設定は失われます。",
            box.text);
  EXPECT_EQ(kExitMinusOne, start.Wait(kStartTimeoutMs));
  EXPECT_EQ(before, ReadBytes(program.SettingFile()));
  EXPECT_EQ(nullptr, FindWindowW(nullptr, L"Corvanta - MainWindow(デバッグ時のみ表示)"));
  EXPECT_NE(std::wstring::npos, program.TraceLog().find(GetParam().report)) << program.TraceLog();
}

INSTANTIATE_TEST_SUITE_P(
    E2E, DamagedSettings,
    ::testing::Values(
        DamagedCase{"NoAdvancedSection", SettingsWithout(L"[ADVANCED_SETTING]"),
                    L"設定が見つかりません(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_PATTERN)"},
        DamagedCase{"ValueTwo", SettingsWith(L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"SUPRESS_DIALOG_BEFORE_EXECUTE=2"),
                    L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=SUPRESS_DIALOG_BEFORE_EXECUTE)"},
        DamagedCase{"PatternFour", SettingsWith(L"ADJUST_LAUNCHED_WINDOW_PATTERN", L"ADJUST_LAUNCHED_WINDOW_PATTERN=4"),
                    L"設定値が不正です(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_PATTERN)"},
        DamagedCase{"EmptyValue", SettingsWith(L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"SUPRESS_DIALOG_BEFORE_EXECUTE="),
                    L"外部処理異常終了( Config_LoadSettingFile() )"},
        DamagedCase{"DefaultMarker",
                    SettingsWith(L"AUTOCLOSE_PROGRESS_WINDOW", L"AUTOCLOSE_PROGRESS_WINDOW=_DEFAULT_"),
                    L"設定が見つかりません(SECTION=CONTROL_SETTING, KEY=AUTOCLOSE_PROGRESS_WINDOW)"},
        DamagedCase{"HotkeyWithoutNumber",
                    SettingsWith(L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"HOTKEY_OPEN_LAUNCHER_WINDOW=Ctrl+Z"),
                    L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=HOTKEY_OPEN_LAUNCHER_WINDOW)"},
        DamagedCase{"MissingKey", SettingsWith(L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM", L""),
                    L"設定が見つかりません(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM)"}),
    [](const ::testing::TestParamInfo<DamagedCase>& param) { return std::string(param.param.name); });

struct ReadableCase {
  const char* name;
  std::vector<std::wstring> lines;
  const wchar_t* registered;  // the hotkey registration the start reports
};

void PrintTo(const ReadableCase& value, std::ostream* out) { *out << value.name; }

class ReadableSettings : public ::testing::TestWithParam<ReadableCase> {};

TEST_P(ReadableSettings, StartNormallyWithTheValuesAsRead) {
  InstalledProgram program;
  program.WriteSettings(GetParam().lines);
  MakeFolder(program.Root());
  ChildProcess running;
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG"));
  EXPECT_TRUE(NoMessageBoxFor(200, running.Id()));
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
  EXPECT_NE(std::wstring::npos, program.TraceLog().find(GetParam().registered)) << program.TraceLog();
}

INSTANTIATE_TEST_SUITE_P(
    E2E, ReadableSettings,
    ::testing::Values(
        ReadableCase{"TrailingLetters",
                     SettingsWith(L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"SUPRESS_DIALOG_BEFORE_EXECUTE=1abc"),
                     L"RegisterHotKey(id = 100, fsModifiers = 6, vk = 90)"},
        ReadableCase{"HotkeyWithoutBlank",
                     SettingsWith(L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"HOTKEY_OPEN_LAUNCHER_WINDOW=76,3"),
                     L"RegisterHotKey(id = 100, fsModifiers = 3, vk = 76)"},
        ReadableCase{"HotkeyKeyOnly", SettingsWith(L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"HOTKEY_OPEN_LAUNCHER_WINDOW=90"),
                     L"RegisterHotKey(id = 100, fsModifiers = 0, vk = 90)"},
        ReadableCase{"HotkeyBlankBeforeComma",
                     SettingsWith(L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"HOTKEY_OPEN_LAUNCHER_WINDOW=90 ,6"),
                     L"RegisterHotKey(id = 100, fsModifiers = 0, vk = 90)"}),
    [](const ::testing::TestParamInfo<ReadableCase>& param) { return std::string(param.param.name); });

}  // namespace
