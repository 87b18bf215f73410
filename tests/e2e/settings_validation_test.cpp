// A damaged config.ini stops the start with the load box and is left as it
// is; odd but readable values load as the formatted-input rules read them.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

// The default lines with `key`'s value replaced (the line removed when `value`
// is null); a section name as `key` ends the file before that section.
std::vector<std::wstring> SettingsWith(const std::wstring& key, const wchar_t* value) {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : DefaultSettingLines()) {
    if (line == key) break;
    if (line.compare(0, key.size() + 1, key + L"=") != 0) {
      lines.push_back(line);
    } else if (value != nullptr) {
      lines.push_back(key + L"=" + value);
    }
  }
  return lines;
}

struct Edit {
  const wchar_t* key;
  const wchar_t* value;
  const wchar_t* expected;  // in the trace log
};

TEST(SettingsValidation, EachDamageShowsTheLoadBoxEndsWithMinusOneAndLeavesTheFile) {
  const Edit edits[] = {
      {L"[ADVANCED_SETTING]", nullptr,
       L"設定が見つかりません(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_PATTERN)"},
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"2",
       L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=SUPRESS_DIALOG_BEFORE_EXECUTE)"},
      {L"ADJUST_LAUNCHED_WINDOW_PATTERN", L"4",
       L"設定値が不正です(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_PATTERN)"},
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"", L"外部処理異常終了( Config_LoadSettingFile() )"},
      {L"AUTOCLOSE_PROGRESS_WINDOW", L"_DEFAULT_",
       L"設定が見つかりません(SECTION=CONTROL_SETTING, KEY=AUTOCLOSE_PROGRESS_WINDOW)"},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"Ctrl+Z",
       L"設定値が不正です(SECTION=CONTROL_SETTING, KEY=HOTKEY_OPEN_LAUNCHER_WINDOW)"},
      {L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM", nullptr,
       L"設定が見つかりません(SECTION=ADVANCED_SETTING, KEY=ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM)"}};
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.expected);
    InstalledProgram program;
    program.WriteSettings(SettingsWith(edit.key, edit.value));
    MakeFolder(program.Root());
    const std::string before = ReadBytes(program.SettingFile());
    ChildProcess start;
    ASSERT_TRUE(start.Start(program.Exe(), L"DEBUG"));
    EXPECT_EQ(L"設定ファイル読み込み中に異常が発生しました。\r\n再起動しても解決しない場合は、iniファイルを削除して"
              L"アプリケーションを再起動してください。デフォルトの設定ファイルを作成します。\r\n"
              L"※この場合、現在の設定は失われます。",
              AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, start.Id()).text);
    EXPECT_EQ(kExitMinusOne, start.Wait(kStartTimeoutMs));
    EXPECT_EQ(before, ReadBytes(program.SettingFile()));
    EXPECT_NE(std::wstring::npos, program.TraceLog().find(edit.expected)) << program.TraceLog();
  }
}

TEST(SettingsValidation, ReadableOddValuesStartNormallyWithTheValuesAsRead) {
  const Edit edits[] = {
      {L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"1abc", L"RegisterHotKey(id = 100, fsModifiers = 6, vk = 90)"},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"76,3", L"RegisterHotKey(id = 100, fsModifiers = 3, vk = 76)"},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90", L"RegisterHotKey(id = 100, fsModifiers = 0, vk = 90)"},
      {L"HOTKEY_OPEN_LAUNCHER_WINDOW", L"90 ,6", L"RegisterHotKey(id = 100, fsModifiers = 0, vk = 90)"}};
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.value);
    InstalledProgram program;
    program.WriteSettings(SettingsWith(edit.key, edit.value));
    MakeFolder(program.Root());
    ChildProcess running;
    ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG"));
    EXPECT_TRUE(NoMessageBoxFor(200, running.Id()));
    EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
    EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
    EXPECT_NE(std::wstring::npos, program.TraceLog().find(edit.expected)) << program.TraceLog();
  }
}

}  // namespace
