// The real Corvanta.exe from start to end: command words, the single instance, first runs, a damaged config.ini,
// the tray menu's main job, window arrangement; and, as it runs elevated, planted libraries and too deep a folder.
#include <gtest/gtest.h>

#include "app/winmain.h"
#include "config/config.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;

// While one instance runs, another start stops at the mutex before the settings: a word counts only at the
// start of the line and in its case, DEBUG anywhere but only in capitals.  The quit word ends the running
// instance, and without one ends at once; DeleteSettingFiles removes the settings and the tree, nothing
// else.  The running copy is told by Wine it is on XP: window arrangement is not offered there.
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
  EXPECT_NE(std::wstring::npos, second.TraceLog().find(L"[ERROR]     外部処理異常終了( CreateMutex()"));
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
  RegDeleteTreeW(HKEY_CURRENT_USER, xp.c_str());
  EXPECT_NE(std::wstring::npos, program.TraceLog().find(L"longWindowArrangementAvailable = 0"));
  EXPECT_EQ(0u, RunProgram(second.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(second.SettingFile()) || FolderExists(second.Root())) << "any start came to the settings";
  MakeFolder(program.Root() + L"\\A");
  WriteBytes(program.Root() + L"\\A\\order.ini", "b.lnk\r\n");
  WriteBytes(program.Path(L"CorvantaHelp.chm"), "help");
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"DeleteSettingFiles", kStartTimeoutMs));
  EXPECT_FALSE(FileExists(program.SettingFile()) || FolderExists(program.Root()));
  EXPECT_TRUE(FileExists(program.Path(L"CorvantaHelp.chm")) && FileExists(program.Exe()));
}

// A first run asks twice, topmost, then writes the default config.ini and the sample tree.  Once that file is
// damaged, a start stops with the load box and -1, the file left as it was.
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
  const std::wstring sample = L"\\サンプル\\とりあえずメモ帳3個\\notepad - ショートカット (2).lnk";
  EXPECT_EQ(L"C:\\windows\\notepad.exe", ShortcutTarget(program.Root() + sample));
  running.Kill();
  WriteBytes(program.SettingFile(), SettingFileBytes(SettingLinesWith(L"ADJUST_LAUNCHED_WINDOW_PATTERN", L"4")));
  const std::string damaged = ReadBytes(program.SettingFile());
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  const std::wstring load = AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).text;
  EXPECT_EQ(0u, load.find(L"設定ファイル読み込み中に異常"));
  EXPECT_EQ(kExitMinusOne, running.Wait(kStartTimeoutMs));
  EXPECT_EQ(damaged, ReadBytes(program.SettingFile()));
}

// With the English library beside the program a first run asks in English and names the new root in English
// (the Japanese one of an earlier start stays as it is), and the management dialog comes from the library.
TEST(EnglishLibrary, FirstRunRootNameAndTheManagementDialogSpeakEnglish) {
  InstalledProgram program;
  const std::wstring english = L"Corvanta_Lang_En.dll";
  ASSERT_TRUE(CopyFileW((BinFolder() + L"\\" + english).c_str(), program.Path(english).c_str(), FALSE));
  MakeFolder(program.Root());
  ChildProcess running;
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  for (int box = 0; box < 2; ++box) AnswerMessageBox(L"Initial Setup", IDOK, kStartTimeoutMs, running.Id());
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));
  EXPECT_TRUE(FolderExists(program.Path(L"Launcher Items")) && !FolderExists(program.Root() + L"\\サンプル"));
  ASSERT_TRUE(OpenTrayMenu(running.Id()));
  PressKeys({VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN});  // management: the fourth entry from the bottom
  EXPECT_NE(nullptr, WaitForWindow(L"#32770", L"Manage Launcher Items", kStartTimeoutMs, running.Id()));
}

// The main job: the tray menu walked with the keyboard to the root submenu, then a click on a folder entry,
// which a menu would only open, asks with the folder's path and runs the whole folder; at the run's end
// window arrangement is offered, as Wine reports major version 6.  (A shortcut's entry: in-process.)
TEST(LauncherMenuRun, AClickOnAFolderEntryAsksWithItsPathAndRunsTheWholeFolder) {
  PrepareUi();  // COM for the shortcuts
  InstalledProgram program;
  program.Settle();
  MakeFolder(program.Root() + L"\\A");
  for (const std::wstring tag : {L"b", L"c"})
    ASSERT_TRUE(MakeShortcut(program.Root() + L"\\A\\" + tag + L".lnk", TestAppPath(), L"--tag " + tag,
                             program.Path(L"")));
  ChildProcess running;
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L""));
  ASSERT_TRUE(OpenTrayMenu(running.Id()));
  PressKeys({VK_DOWN, VK_RIGHT});
  ASSERT_TRUE(WaitForMenuCount(2, kStartTimeoutMs, running.Id())) << "the root submenu opens";
  RECT rect = {};
  GetWindowRect(OpenMenus(running.Id()).front(), &rect);  // the submenu: the last shown is on top
  ClickAt({rect.left + 30, rect.top + 15});  // folder A, the root's only entry
  EXPECT_EQ(L"以下のフォルダ配下を実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A",
            AnswerMessageBox(L"ラウンチャーアイテム実行確認", IDOK, kStartTimeoutMs, running.Id()).text);
  HWND chooser = WaitForWindow(L"#32770", L"起動アプリケーションウィンドウの整列", kStartTimeoutMs, running.Id());
  ASSERT_NE(nullptr, chooser) << "no run, or no window arrangement offered";
  Press(chooser, IDC_LAUNCH_ARRANGE_OK);
  EXPECT_TRUE(FileExists(program.Path(L"started-b.txt")) && FileExists(program.Path(L"started-c.txt")));
  CloseTestApps();
}

// A planted English library beside the program gives its strings and runs nothing.  A copy lacking both its
// libraries never touches those planted in the current folder: it asks in Japanese, then refuses the start
// with a box naming its hook library, and -1.  Once the entry point has restricted the search (here, in this
// process) a library loaded by name comes from the system folder only, not even from the program's own.
TEST(TrustedStart, PlantedLibrariesRunNoCodeAndOnlyTheProgramsFolderIsSearched) {
  InstalledProgram beside, bare;
  TempFolder current;
  const std::wstring copies[] = {beside.Path(L"Corvanta_Lang_En.dll"), current / L"Corvanta_Lang_En.dll",
                                 current / L"Corvanta.dll"};
  const std::wstring planted = BinFolder() + L"\\..\\fakes\\planted\\planted.dll";
  for (const std::wstring& copy : copies) ASSERT_TRUE(CopyFileW(planted.c_str(), copy.c_str(), FALSE));
  ASSERT_TRUE(DeleteFileW(bare.Path(L"Corvanta.dll").c_str()));
  MakeFolder(bare.Root());  // only the settings' box, whose caption the planted library has
  ChildProcess english, japanese;
  ASSERT_TRUE(english.Start(beside.Exe(), L"", current.Path()));
  EXPECT_TRUE(AnswerMessageBox(L"Initial Setup", IDOK, kStartTimeoutMs, english.Id()).found);
  english.Kill();  // it holds the single instance's mutex
  ASSERT_TRUE(japanese.Start(bare.Exe(), L"", current.Path()));
  EXPECT_TRUE(AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, japanese.Id()).found);
  const std::wstring refused = AnswerMessageBox(L"起動エラー", IDOK, kStartTimeoutMs, japanese.Id()).text;
  EXPECT_EQ(bare.Path(L"Corvanta.dll"), refused.substr(refused.rfind(L'\n') + 1));
  EXPECT_EQ(kExitMinusOne, japanese.Wait(kStartTimeoutMs));
  WinMain_RestrictLibrarySearch();
  EXPECT_EQ(nullptr, LoadLibraryW(L"Corvanta.dll"));
  EXPECT_NE(nullptr, LoadLibraryW(L"riched20.dll"));
  for (const std::wstring& copy : copies) EXPECT_FALSE(FileExists(copy + L".loaded")) << ToAnsi(copy);
}

TEST(TrustedStart, AProgramFolderOneCharacterTooLongIsRefusedWithABox) {
  PrepareUi();
  const size_t longest = Config_GetLongestProgramFolder();
  TempFolder temp;
  const std::wstring folder = temp / std::wstring(longest - temp.Path().size(), L'd');
  MakeFolder(folder);
  // A short name: Wine, like Windows, cannot start a program whose path has 260 characters or more.
  ASSERT_TRUE(CopyFileW((BinFolder() + L"\\Corvanta.exe").c_str(), (folder + L"\\C.exe").c_str(), FALSE));
  ChildProcess running;
  ASSERT_TRUE(running.Start(folder + L"\\C.exe", L""));
  EXPECT_EQ(L"プログラムのフォルダのパスが長すぎるため、起動できません。\nパスが " + std::to_wstring(longest) +
                L" 文字以内のフォルダに置いてください。\n\n" + folder,
            AnswerMessageBox(L"起動エラー", IDOK, kStartTimeoutMs, running.Id()).text);
  EXPECT_EQ(kExitMinusOne, running.Wait(kStartTimeoutMs));
}

}  // namespace
