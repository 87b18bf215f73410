// An elevated Corvanta loads no code from where a normal user can write, and
// tells the user when its folder lies too deep to start from.
#include <gtest/gtest.h>

#include "app/winmain.h"
#include "config/config.h"
#include "e2e/e2e_support.h"

namespace {

using namespace test;

// A planted English library beside the program gives its strings and runs nothing.  A copy lacking both its
// libraries never touches those planted in the current folder and on PATH: it asks in Japanese, then refuses
// the start with a box naming its hook library, and -1.  Nor, once the entry point has restricted the search
// (here, in this process), does a library loaded by name come from anywhere but the system folder.
TEST(TrustedStart, PlantedLibrariesRunNoCodeAndOnlyTheProgramsFolderIsSearched) {
  InstalledProgram beside, bare;
  TempFolder current, onPath;
  const std::wstring copies[] = {beside.Path(L"Corvanta_Lang_En.dll"), current / L"Corvanta_Lang_En.dll",
                                 onPath / L"Corvanta_Lang_En.dll", current / L"Corvanta.dll", onPath / L"Corvanta.dll"};
  const std::wstring planted = BinFolder() + L"\\..\\fakes\\planted\\planted.dll";
  for (const std::wstring& copy : copies) ASSERT_TRUE(CopyFileW(planted.c_str(), copy.c_str(), FALSE));
  ASSERT_TRUE(DeleteFileW(bare.Path(L"Corvanta.dll").c_str()));
  MakeFolder(bare.Root());  // only the settings' box, whose caption the planted library has
  wchar_t path[32767] = L"";
  GetEnvironmentVariableW(L"PATH", path, 32767);
  SetEnvironmentVariableW(L"PATH", (onPath.Path() + L";" + path).c_str());  // inherited by the starts
  ChildProcess english, japanese;
  ASSERT_TRUE(english.Start(beside.Exe(), L"", current.Path()));
  EXPECT_TRUE(AnswerMessageBox(L"Initial Setup", IDOK, kStartTimeoutMs, english.Id()).found);
  english.Kill();  // it holds the single instance's mutex
  ASSERT_TRUE(japanese.Start(bare.Exe(), L"", current.Path()));
  EXPECT_TRUE(AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, japanese.Id()).found);
  const std::wstring refused = AnswerMessageBox(L"起動エラー", IDOK, kStartTimeoutMs, japanese.Id()).text;
  EXPECT_EQ(bare.Path(L"Corvanta.dll"), refused.substr(refused.rfind(L'\n') + 1));
  EXPECT_EQ(kExitMinusOne, japanese.Wait(kStartTimeoutMs));
  ASSERT_TRUE(SetCurrentDirectoryW(current.Path().c_str()));
  WinMain_RestrictLibrarySearch();
  EXPECT_EQ(nullptr, LoadLibraryW(L"Corvanta.dll")) << "from the current folder, PATH or this program's folder";
  EXPECT_EQ(nullptr, LoadLibraryW(L"Corvanta_Lang_En.dll"));
  EXPECT_NE(nullptr, LoadLibraryW(L"riched20.dll"));
  SetCurrentDirectoryW(BinFolder().c_str());
  SetEnvironmentVariableW(L"PATH", path);
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
