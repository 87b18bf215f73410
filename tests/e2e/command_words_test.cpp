// Command words and the single instance, with the real Corvanta.exe.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

TEST(CommandWords, QuitWithoutARunningInstanceEndsAtOnceAndDebugCountsAnywhere) {
  InstalledProgram program;  // no config.ini, no root: a normal start would ask
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication xxDEBUGxx", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(program.SettingFile()));
  EXPECT_FALSE(FolderExists(program.Root()));
  EXPECT_NE(std::wstring::npos, program.TraceLog().find(L"強制トレースフラグ設定"));
  InstalledProgram quiet;
  EXPECT_EQ(0u, RunProgram(quiet.Exe(), L"QuitApplication debug", kStartTimeoutMs));
  EXPECT_EQ(L"", quiet.TraceLog());
}

TEST(CommandWords, OtherStartsFailOnTheMutexAndTheQuitWordEndsTheRunningInstance) {
  InstalledProgram program;
  program.Settle();
  ChildProcess running;
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG"));

  // Lower case, a leading quote-blank, or DEBUG first: none is the quit word.
  for (const wchar_t* line : {L"quitapplication", L"\" QuitApplication\"", L"DEBUG QuitApplication"}) {
    EXPECT_EQ(kExitMinusOne, RunProgram(program.Exe(), line, kStartTimeoutMs)) << line;
  }
  EXPECT_EQ(kStillRunning, running.Wait(200)) << "the running instance is not contacted";

  // A second copy with no settings at all would ask about a first run if it
  // got as far as the settings: it must stop at the mutex, silently.
  InstalledProgram second;
  ChildProcess secondStart;
  ASSERT_TRUE(secondStart.Start(second.Exe(), L"DEBUG"));
  EXPECT_EQ(kExitMinusOne, secondStart.Wait(kStartTimeoutMs));
  EXPECT_TRUE(NoMessageBoxFor(300, secondStart.Id()));
  EXPECT_FALSE(FileExists(second.SettingFile()));
  const std::wstring secondLog = second.TraceLog();
  EXPECT_NE(std::wstring::npos, secondLog.find(L"[ERROR]     外部処理異常終了( CreateMutex()"));
  EXPECT_NE(std::wstring::npos, secondLog.find(L"アプリケーション初期化処理中に異常が発生しました。"));
  EXPECT_EQ(std::wstring::npos, secondLog.find(L"Config_InitializeSettings() 開始"));

  // Anything after the word is ignored, DEBUG included.
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication and more DEBUG", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
  EXPECT_TRUE(WaitForNoMainWindow(kStartTimeoutMs));
  const std::wstring log = program.TraceLog();
  EXPECT_NE(std::wstring::npos, log.find(L"CALL ( PostMessage WM_CLOSE to ")) << "the quitting process logs too";
  EXPECT_NE(std::wstring::npos, log.find(L"Shell_NotifyIcon(NIM_DELETE) 正常終了")) << "the icon left the tray";
  EXPECT_EQ(std::wstring::npos, log.find(L"アプリケーション終了確認"));
}

TEST(CommandWords, DeleteSettingFilesRemovesSettingsAndTreeButNothingElse) {
  InstalledProgram program;
  program.Settle();
  MakeFolder(program.Root() + L"\\A");
  WriteBytes(program.Root() + L"\\A\\order.ini", "b.lnk\r\n");
  WriteBytes(program.Root() + L"\\A\\b.lnk", "not really a link");
  WriteBytes(program.Path(L"CorvantaHelp.chm"), "help");

  EXPECT_EQ(0u, RunProgram(program.Exe(), L"DeleteSettingFiles and more", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(program.SettingFile()));
  EXPECT_FALSE(FolderExists(program.Root()));
  EXPECT_TRUE(FileExists(program.Path(L"CorvantaHelp.chm")));
  EXPECT_TRUE(FileExists(program.Exe()));
  // Nothing left to delete is no error either.
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"DeleteSettingFiles", kStartTimeoutMs));
}

}  // namespace
