// An elevated Corvanta loads no code from where a normal user can write, and
// tells the user when its folder lies too deep to start from.
#include <gtest/gtest.h>

#include "app/winmain.h"
#include "config/config.h"
#include "e2e/e2e_support.h"

namespace {

using namespace test;

std::wstring Planted() { return BinFolder() + L"\\..\\fakes\\planted\\planted.dll"; }

// Puts `folder` first on PATH (inherited by the processes started meanwhile); the old PATH back at the end.
struct FirstOnPath {
  explicit FirstOnPath(const std::wstring& folder) {
    GetEnvironmentVariableW(L"PATH", old, 32767);
    SetEnvironmentVariableW(L"PATH", (folder + L";" + old).c_str());
  }
  ~FirstOnPath() { SetEnvironmentVariableW(L"PATH", old); }
  wchar_t old[32767] = L"";
};

// A planted English library beside the program gives its strings and runs nothing; copies in the
// current folder and on PATH are never touched, nor is a hook library planted there when the
// program's own is missing: that start is refused with a box naming it, and -1.
TEST(TrustedStart, PlantedLibrariesRunNoCodeAndOnlyTheProgramsFolderIsSearched) {
  const struct { const wchar_t* library; bool beside; const wchar_t* caption; } cases[] = {
      {L"Corvanta_Lang_En.dll", true, L"Initial Setup"}, {L"Corvanta_Lang_En.dll", false, L"初期設定"},
      {L"Corvanta.dll", false, L"起動エラー"}};
  for (const auto& c : cases) {
    InstalledProgram program;
    TempFolder current, onPath;
    std::vector<std::wstring> copies = {current / c.library, onPath / c.library};
    if (c.beside) copies = {program.Path(c.library)};
    for (const auto& copy : copies) ASSERT_TRUE(CopyFileW(Planted().c_str(), copy.c_str(), FALSE));
    const bool hook = wcscmp(c.library, L"Corvanta.dll") == 0;
    if (hook) program.Settle(), DeleteFileW(program.Path(c.library).c_str());
    std::wstring commandLine = L"\"" + program.Exe() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    FirstOnPath path(onPath.Path());
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, current.Path().c_str(),
                               &startup, &info));
    KernelHandle process(info.hProcess), thread(info.hThread);
    const SeenMessageBox box = AnswerMessageBox(c.caption, IDOK, kStartTimeoutMs, info.dwProcessId);
    EXPECT_TRUE(box.found) << c.caption;
    DWORD code = 0;
    if (hook) {
      EXPECT_EQ(program.Path(c.library), box.text.substr(box.text.rfind(L'\n') + 1));
      WaitForSingleObject(process.Get(), kStartTimeoutMs), GetExitCodeProcess(process.Get(), &code);
      EXPECT_EQ(kExitMinusOne, code);
    }
    TerminateProcess(process.Get(), 99);
    WaitForSingleObject(process.Get(), kStartTimeoutMs);
    for (const auto& copy : copies) EXPECT_FALSE(FileExists(copy + L".loaded")) << copy;
  }
}

// What the entry point does first, here in this process: a library loaded by name then comes from
// the system folder only, never from the current folder or PATH.
TEST(TrustedStart, AfterTheRestrictionLibrariesByNameComeOnlyFromTheSystemFolder) {
  TempFolder current, onPath;
  const std::wstring copies[] = {current / L"planted_current.dll", onPath / L"planted_path.dll"};
  for (const auto& copy : copies) ASSERT_TRUE(CopyFileW(Planted().c_str(), copy.c_str(), FALSE));
  ASSERT_TRUE(SetCurrentDirectoryW(current.Path().c_str()));
  FirstOnPath path(onPath.Path());
  WinMain_RestrictLibrarySearch();
  EXPECT_EQ(nullptr, LoadLibraryW(L"planted_current.dll"));
  EXPECT_EQ(nullptr, LoadLibraryW(L"planted_path.dll"));
  EXPECT_NE(nullptr, LoadLibraryW(L"riched20.dll"));
  for (const auto& copy : copies) EXPECT_FALSE(FileExists(copy + L".loaded")) << copy;
  SetCurrentDirectoryW(BinFolder().c_str());
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
