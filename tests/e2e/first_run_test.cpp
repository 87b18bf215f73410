// First run with the real Corvanta.exe: the two boxes, config.ini byte for
// byte and the sample launcher item tree; and where window arrangement is offered.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

TEST(FirstRun, AsksTwiceThenWritesTheDefaultsAndTheSampleTree) {
  CoInitialize(nullptr);
  InstalledProgram program;
  ChildProcess running;
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  SeenMessageBox settings = AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id());
  EXPECT_EQ(L"設定ファイルが見つかりません。\nデフォルト設定ファイルを作成します。", settings.text);
  EXPECT_TRUE(settings.style & WS_EX_TOPMOST);
  SeenMessageBox root = AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id());
  EXPECT_EQ(L"ラウンチャーアイテム管理フォルダが見つかりません。\nサンプルを含むデフォルトフォルダを作成します。", root.text);
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));

  const std::string bytes = ReadBytes(program.SettingFile());
  EXPECT_EQ(SettingFileBytes(DefaultSettingLines()), bytes);
  // Shift-JIS, not UTF-8: "確認" is 8A 6D 94 46 in code page 932.
  EXPECT_NE(std::string::npos, bytes.find("\x8a\x6d\x94\x46"));
  EXPECT_EQ("=1\r\n\r\n", bytes.substr(bytes.size() - 6));

  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring sample = program.Root() + L"\\サンプル";
  const wchar_t* shortcuts[] = {L"notepad - ショートカット.lnk", L"notepad - ショートカット (1).lnk",
                                L"notepad - ショートカット (2).lnk"};
  EXPECT_TRUE(FolderExists(sample));
  for (int count = 1; count <= 3; ++count) {
    const std::wstring folder = sample + L"\\とりあえずメモ帳" + std::to_wstring(count) + L"個";
    EXPECT_TRUE(FolderExists(folder)) << count;
    for (int i = 0; i < 3; ++i) {
      const std::wstring link = folder + L"\\" + shortcuts[i];
      EXPECT_EQ(i < count, FileExists(link)) << count << " " << i;
      if (i < count) {
        EXPECT_EQ(std::wstring(windows) + L"\\notepad.exe", ShortcutTarget(link));
      }
    }
  }
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
  CoUninitialize();
}

// Window arrangement is offered only where the system reports major version 6.
// Wine reports 6.1 by default and pretends to be XP for a program named in
// its AppDefaults.
TEST(WindowArrangement, AvailableOnlyWhereTheSystemReportsVersionSix) {
  const wchar_t* xpName = L"CorvantaXP.exe";
  const std::wstring key = std::wstring(L"Software\\Wine\\AppDefaults\\") + xpName;
  ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, L"winxp",
                                           sizeof(L"winxp")));
  for (const wchar_t* name : {L"Corvanta.exe", xpName}) {
    InstalledProgram program(name);
    program.Settle();
    ChildProcess running;
    ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG")) << name;
    EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
    EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
    const std::wstring expected = std::wstring(L"longWindowArrangementAvailable = ") + (name == xpName ? L"0" : L"1");
    EXPECT_NE(std::wstring::npos, program.TraceLog().find(expected)) << name;
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
