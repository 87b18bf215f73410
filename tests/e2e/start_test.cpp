// The real Corvanta.exe from start to end: command words, the single instance,
// the first run, a damaged config.ini, and where window arrangement is offered.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

// Without a running instance: the quit word ends at once (no config.ini, no
// root: a normal start would ask), DEBUG counts anywhere but only in capitals,
// and DeleteSettingFiles removes the settings and the tree, nothing else.
TEST(CommandWords, WithoutARunningInstanceQuitEndsAtOnceDebugCountsAnywhereAndDeleteRemovesOnlySettings) {
  InstalledProgram program, quiet;
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication xxDEBUGxx", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(program.SettingFile()) || FolderExists(program.Root()));
  EXPECT_NE(std::wstring::npos, program.TraceLog().find(L"強制トレースフラグ設定"));
  EXPECT_EQ(0u, RunProgram(quiet.Exe(), L"QuitApplication debug", kStartTimeoutMs));
  EXPECT_EQ(L"", quiet.TraceLog());
  program.Settle();
  MakeFolder(program.Root() + L"\\A");
  WriteBytes(program.Root() + L"\\A\\order.ini", "b.lnk\r\n");
  WriteBytes(program.Path(L"CorvantaHelp.chm"), "help");
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"DeleteSettingFiles and more", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(program.SettingFile()) || FolderExists(program.Root()));
  EXPECT_TRUE(FileExists(program.Path(L"CorvantaHelp.chm")) && FileExists(program.Exe()));
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"DeleteSettingFiles", kStartTimeoutMs)) << "nothing left to delete is no error";
}

TEST(CommandWords, OtherStartsFailOnTheMutexAndTheQuitWordEndsTheRunningInstance) {
  InstalledProgram program;
  program.Settle();
  RunningProgram running(program);
  ASSERT_TRUE(running.started);
  for (const wchar_t* line : {L"quitapplication", L"\" QuitApplication\"", L"DEBUG QuitApplication"}) {  // none is the quit word
    EXPECT_EQ(kExitMinusOne, RunProgram(program.Exe(), line, kStartTimeoutMs)) << line;
  }
  EXPECT_TRUE(OpenTrayMenu(running.process.Id())) << "the running instance was contacted";  // handled after any quit
  PostMessageW(WaitForMainWindow(0), WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(WaitForMenuCount(0, kStartTimeoutMs, running.process.Id()));
  // A second copy with no settings at all would ask about a first run if it
  // got as far as the settings: it must stop at the mutex, silently.
  InstalledProgram second;
  ChildProcess secondStart;
  ASSERT_TRUE(secondStart.Start(second.Exe(), L"DEBUG"));
  EXPECT_EQ(kExitMinusOne, secondStart.Wait(kStartTimeoutMs));
  EXPECT_FALSE(FileExists(second.SettingFile()));
  EXPECT_NE(std::wstring::npos, second.TraceLog().find(L"[ERROR]     外部処理異常終了( CreateMutex()"));
  // Anything after the word is ignored, DEBUG included.
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication and more DEBUG", kStartTimeoutMs));
  EXPECT_EQ(0u, running.process.Wait(kStartTimeoutMs));
  EXPECT_TRUE(WaitForNoMainWindow(kStartTimeoutMs));
  const std::wstring log = program.TraceLog();
  EXPECT_NE(std::wstring::npos, log.find(L"Shell_NotifyIcon(NIM_DELETE) 正常終了")) << "the icon left the tray";
  EXPECT_EQ(std::wstring::npos, log.find(L"アプリケーション終了確認"));
}

TEST(FirstRun, AsksTwiceThenWritesTheDefaultsAndTheSampleTree) {
  PrepareUi();  // COM for the shortcuts
  InstalledProgram program;
  ChildProcess running;
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  const SeenMessageBox settings = AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id());
  EXPECT_EQ(L"設定ファイルが見つかりません。\nデフォルト設定ファイルを作成します。", settings.text);
  EXPECT_TRUE(settings.style & WS_EX_TOPMOST);
  EXPECT_EQ(L"ラウンチャーアイテム管理フォルダが見つかりません。\nサンプルを含むデフォルトフォルダを作成します。",
            AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).text);
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));
  const std::string bytes = ReadBytes(program.SettingFile());
  EXPECT_EQ(SettingFileBytes(DefaultSettingLines()), bytes);
  EXPECT_NE(std::string::npos, bytes.find("\x8a\x6d\x94\x46")) << "Shift-JIS, not UTF-8: 確認 is 8A 6D 94 46";
  const wchar_t* shortcuts[] = {L"notepad - ショートカット.lnk", L"notepad - ショートカット (1).lnk", L"notepad - ショートカット (2).lnk"};
  for (int count = 1; count <= 3; ++count) {
    const std::wstring folder = program.Root() + L"\\サンプル\\とりあえずメモ帳" + std::to_wstring(count) + L"個";
    EXPECT_TRUE(FolderExists(folder)) << count;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i < count ? L"C:\\windows\\notepad.exe" : L"", ShortcutTarget(folder + L"\\" + shortcuts[i])) << count << i;
  }
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
}

TEST(Settings, ADamagedFileStopsTheStartWithTheLoadBoxAndIsLeftAsItIs) {
  InstalledProgram program;
  program.WriteSettings(SettingLinesWith(L"ADJUST_LAUNCHED_WINDOW_PATTERN", L"4"));
  MakeFolder(program.Root());
  const std::string before = ReadBytes(program.SettingFile());
  ChildProcess start;
  ASSERT_TRUE(start.Start(program.Exe(), L"DEBUG"));
  EXPECT_EQ(L"設定ファイル読み込み中に異常が発生しました。\r\n再起動しても解決しない場合は、iniファイルを削除して"
            L"アプリケーションを再起動してください。デフォルトの設定ファイルを作成します。\r\n※この場合、現在の設定は失われます。",
            AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, start.Id()).text);
  EXPECT_EQ(kExitMinusOne, start.Wait(kStartTimeoutMs));
  EXPECT_EQ(before, ReadBytes(program.SettingFile()));
}

// Offered only where the system reports major version 6: Wine reports 6.1 by
// default and pretends to be XP for a program named in its AppDefaults.
TEST(WindowArrangement, AvailableOnlyWhereTheSystemReportsVersionSix) {
  const std::wstring key = L"Software\\Wine\\AppDefaults\\CorvantaXP.exe";
  ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, L"winxp", sizeof(L"winxp")));
  for (const wchar_t* name : {L"Corvanta.exe", L"CorvantaXP.exe"}) {
    InstalledProgram program(name);
    program.Settle();
    EXPECT_TRUE(RunningProgram(program).started) << name;
    EXPECT_NE(std::wstring::npos, program.TraceLog().find(name[8] == L'X' ? L"Available = 0" : L"Available = 1")) << name;
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
