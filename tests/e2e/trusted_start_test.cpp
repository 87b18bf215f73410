// An elevated Corvanta loads no code from where a normal user can write, and
// tells the user when its folder lies too deep to start from.
#include <gtest/gtest.h>

#include "app/winmain.h"
#include "base/instance.h"
#include "config/config.h"
#include "e2e/e2e_support.h"

namespace {

using namespace test;

std::wstring Planted(const std::wstring& name) { return BinFolder() + L"\\..\\fakes\\planted\\" + name; }

// Starts `exe` with `folder` as its current folder and `pathFolder` first on PATH.
struct StartedElsewhere {
  StartedElsewhere(const std::wstring& exe, const std::wstring& folder, const std::wstring& pathFolder) {
    wchar_t path[32767] = L"";
    GetEnvironmentVariableW(L"PATH", path, 32767);
    SetEnvironmentVariableW(L"PATH", (pathFolder + L";" + path).c_str());
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info)) {
      CloseHandle(info.hThread);
      process.Reset(info.hProcess);
      id = info.dwProcessId;
    }
    SetEnvironmentVariableW(L"PATH", path);
  }
  ~StartedElsewhere() {
    TerminateProcess(process.Get(), 99);
    WaitForSingleObject(process.Get(), kStartTimeoutMs);
  }
  KernelHandle process;
  DWORD id = 0;
};

// A planted English library beside the program gives its strings and runs nothing; one in the
// current folder and one on PATH are never touched, nor is a hook library planted there when
// the program's own is missing: that start is refused with a box.
TEST(TrustedStart, PlantedLibrariesRunNoCodeAndOnlyTheProgramsFolderIsSearched) {
  const struct { const wchar_t* library; bool beside; const wchar_t* caption; } cases[] = {
      {L"Corvanta_Lang_En.dll", true, L"Initial Setup"}, {L"Corvanta_Lang_En.dll", false, L"初期設定"},
      {L"Corvanta.dll", false, L"起動エラー"}};
  for (const auto& c : cases) {
    InstalledProgram program;
    TempFolder current, onPath;
    std::vector<std::wstring> copies = {current / c.library, onPath / c.library};
    if (c.beside) copies = {program.Path(c.library)};
    for (const auto& copy : copies) ASSERT_TRUE(CopyFileW(Planted(c.library).c_str(), copy.c_str(), FALSE));
    if (wcscmp(c.library, L"Corvanta.dll") == 0) {
      program.Settle();
      ASSERT_TRUE(DeleteFileW(program.Path(c.library).c_str()));
    }
    StartedElsewhere running(program.Exe(), current.Path(), onPath.Path());
    const SeenMessageBox box = AnswerMessageBox(c.caption, IDOK, kStartTimeoutMs, running.id);
    EXPECT_TRUE(box.found) << c.caption;
    if (!c.beside && wcscmp(c.library, L"Corvanta.dll") == 0) {
      EXPECT_EQ(L"フックライブラリを読み込めないため、起動できません。\nプログラムと同じフォルダに置いてください。\n\n" + program.Path(c.library), box.text);
      EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(running.process.Get(), kStartTimeoutMs));
      DWORD code = 0;
      EXPECT_TRUE(GetExitCodeProcess(running.process.Get(), &code) && code == kExitMinusOne) << code;
    }
    for (const auto& copy : copies) EXPECT_FALSE(FileExists(copy + L".loaded")) << copy;
  }
}

// What the entry point does first, in this process: libraries loaded by name come from the
// system folder only, no longer from the current folder or PATH.
TEST(TrustedStart, AfterTheRestrictionLibrariesByNameComeOnlyFromTheSystemFolder) {
  TempFolder current, onPath;
  const std::wstring copies[] = {current / L"planted_current.dll", onPath / L"planted_path.dll"};
  for (const auto& copy : copies) ASSERT_TRUE(CopyFileW(Planted(L"Corvanta_Lang_En.dll").c_str(), copy.c_str(), FALSE));
  ASSERT_TRUE(SetCurrentDirectoryW(current.Path().c_str()));
  wchar_t path[32767] = L"";
  GetEnvironmentVariableW(L"PATH", path, 32767);
  SetEnvironmentVariableW(L"PATH", (onPath.Path() + L";" + path).c_str());
  WinMain_RestrictLibrarySearch();
  EXPECT_EQ(nullptr, LoadLibraryW(L"planted_current.dll"));
  EXPECT_EQ(nullptr, LoadLibraryW(L"planted_path.dll"));
  EXPECT_NE(nullptr, LoadLibraryW(L"riched20.dll"));
  for (const auto& copy : copies) EXPECT_FALSE(FileExists(copy + L".loaded")) << copy;
  SetCurrentDirectoryW(BinFolder().c_str());
}

TEST(TrustedStart, AProgramFolderOneCharacterTooLongIsRefusedWithABox) {
  gHINSTANCE_WinMain_Instance = gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  const size_t longest = Config_GetLongestProgramFolder();
  TempFolder temp;
  ASSERT_LT(temp.Path().size() + 2, longest);
  const std::wstring folder = temp / std::wstring(longest - temp.Path().size(), L'd');
  ASSERT_EQ(longest + 1, folder.size());
  MakeFolder(folder);
  // A short name: a path to the program of more than 259 characters is one Wine (and Windows) cannot start.
  ASSERT_TRUE(CopyFileW((BinFolder() + L"\\Corvanta.exe").c_str(), (folder + L"\\C.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((BinFolder() + L"\\Corvanta.dll").c_str(), (folder + L"\\Corvanta.dll").c_str(), FALSE));
  ChildProcess running;
  ASSERT_TRUE(running.Start(folder + L"\\C.exe", L""));
  EXPECT_EQ(L"プログラムのフォルダのパスが長すぎるため、起動できません。\nパスが " + std::to_wstring(longest) +
                L" 文字以内のフォルダに置いてください。\n\n" + folder,
            AnswerMessageBox(L"起動エラー", IDOK, kStartTimeoutMs, running.Id()).text);
  EXPECT_EQ(kExitMinusOne, running.Wait(kStartTimeoutMs));
  EXPECT_FALSE(FileExists(folder + L"\\config.ini"));
}

}  // namespace
