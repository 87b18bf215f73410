// The real Corvanta.exe from start to end: command words and the single instance, where window arrangement
// is offered, the first run, and a damaged config.ini.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

// While one instance runs, another start stops at the mutex before the settings (a copy without any would
// ask about a first run): a word counts only at the start of the line and in its case, DEBUG anywhere but
// only in capitals.  The quit word ends the running instance, and without one ends at once.  Then
// DeleteSettingFiles removes the settings and the tree, nothing else.  The running copy is one Wine tells
// it is on XP (AppDefaults): window arrangement, offered only at major version 6 (Wine's own 6.1, where
// LauncherMenuRun meets it), is not.
TEST(CommandWords, OtherStartsStopAtTheMutexQuitEndsTheInstanceAndDeleteRemovesOnlySettings) {
  const std::wstring xp = L"Software\\Wine\\AppDefaults\\CorvantaXP.exe";
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetKeyValueW(HKEY_CURRENT_USER, xp.c_str(), L"Version", REG_SZ, L"winxp", sizeof(L"winxp")));
  InstalledProgram program(L"CorvantaXP.exe"), second;
  program.Settle();
  ChildProcess running;
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG"));
  EXPECT_EQ(kExitMinusOne, RunProgram(second.Exe(), L"quitapplication debug", kStartTimeoutMs));
  EXPECT_EQ(L"", second.TraceLog());
  EXPECT_EQ(kExitMinusOne, RunProgram(second.Exe(), L"xxDEBUGxx QuitApplication", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(second.SettingFile()));
  EXPECT_NE(std::wstring::npos, second.TraceLog().find(L"[ERROR]     外部処理異常終了( CreateMutex()"));
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
  RegDeleteTreeW(HKEY_CURRENT_USER, xp.c_str());
  EXPECT_NE(std::wstring::npos, program.TraceLog().find(L"longWindowArrangementAvailable = 0"));
  EXPECT_EQ(0u, RunProgram(second.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(second.SettingFile()) || FolderExists(second.Root())) << "a normal start came";
  MakeFolder(program.Root() + L"\\A");
  WriteBytes(program.Root() + L"\\A\\order.ini", "b.lnk\r\n");
  WriteBytes(program.Path(L"CorvantaHelp.chm"), "help");
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"DeleteSettingFiles", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(program.SettingFile()) || FolderExists(program.Root()));
  EXPECT_TRUE(FileExists(program.Path(L"CorvantaHelp.chm")) && FileExists(program.Exe()));
}

// A first run asks twice, topmost, then writes the default config.ini and the sample tree (N個 holds N
// shortcuts to Notepad).  Once that file is damaged, a start stops with the load box and -1, the file as it was.
TEST(FirstRun, AsksTwiceWritesTheDefaultsAndTheSampleTreeAndOnceDamagedTheFileStopsTheStart) {
  PrepareUi();  // COM for the shortcuts
  InstalledProgram program;
  ChildProcess running;
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  const SeenMessageBox settings = AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id());
  EXPECT_TRUE(settings.text.find(L"設定ファイルが見つかりません") == 0 && (settings.style & WS_EX_TOPMOST));
  const std::wstring root = AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).text;
  EXPECT_EQ(0u, root.find(L"ラウンチャーアイテム管理フォルダが見つかりません"));
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));
  EXPECT_EQ(SettingFileBytes(DefaultSettingLines()), ReadBytes(program.SettingFile()));
  const std::wstring sample = program.Root() + L"\\サンプル\\とりあえずメモ帳";
  for (const wchar_t* last : {L"1個\\notepad - ショートカット", L"2個\\notepad - ショートカット (1)",
                              L"3個\\notepad - ショートカット (2)"})
    EXPECT_EQ(L"C:\\windows\\notepad.exe", ShortcutTarget(sample + last + L".lnk")) << ToAnsi(last);
  EXPECT_FALSE(FileExists(sample + L"1個\\notepad - ショートカット (1).lnk"));
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
  program.WriteSettings(SettingLinesWith(L"ADJUST_LAUNCHED_WINDOW_PATTERN", L"4"));
  const std::string damaged = ReadBytes(program.SettingFile());
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  EXPECT_EQ(0u, AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).text.find(L"設定ファイル読み込み中に異常"));
  EXPECT_EQ(kExitMinusOne, running.Wait(kStartTimeoutMs));
  EXPECT_EQ(damaged, ReadBytes(program.SettingFile()));
}

}  // namespace
