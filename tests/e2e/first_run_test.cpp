// First run with the real Corvanta.exe: the two boxes, config.ini byte for
// byte and the sample launcher item tree.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

const wchar_t kFirstRunCaption[] = L"初期設定";

class FirstRun : public ::testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override {
    if (running_.Wait(0) == kStillRunning) {
      RunProgram(program_.Exe(), L"QuitApplication", kStartTimeoutMs);
      EXPECT_EQ(0u, running_.Wait(kStartTimeoutMs));
    }
    CoUninitialize();
  }
  InstalledProgram program_;
  ChildProcess running_;
};

TEST_F(FirstRun, AsksTwiceThenWritesTheDefaultsAndTheSampleTree) {
  ASSERT_TRUE(running_.Start(program_.Exe(), L""));
  SeenMessageBox settings = AnswerMessageBox(kFirstRunCaption, IDOK, kStartTimeoutMs, running_.Id());
  ASSERT_TRUE(settings.found);
  EXPECT_EQ(L"設定ファイルが見つかりません。\nデフォルト設定ファイルを作成します。", settings.text);
  EXPECT_TRUE(settings.style & WS_EX_TOPMOST);
  SeenMessageBox root = AnswerMessageBox(kFirstRunCaption, IDOK, kStartTimeoutMs, running_.Id());
  ASSERT_TRUE(root.found);
  EXPECT_EQ(L"ラウンチャーアイテム管理フォルダが見つかりません。\nサンプルを含むデフォルトフォルダを作成します。", root.text);
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));

  const std::string bytes = ReadBytes(program_.SettingFile());
  EXPECT_EQ(SettingFileBytes(DefaultSettingLines()), bytes);
  // Shift-JIS, not UTF-8: "確認" is 8A 6D 94 46 in code page 932.
  EXPECT_NE(std::string::npos, bytes.find("\x8a\x6d\x94\x46"));
  EXPECT_EQ("=1\r\n\r\n", bytes.substr(bytes.size() - 6));

  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring notepad = std::wstring(windows) + L"\\notepad.exe";
  const std::wstring sample = program_.Root() + L"\\サンプル";
  const wchar_t* shortcuts[] = {L"notepad - ショートカット.lnk", L"notepad - ショートカット (1).lnk",
                                L"notepad - ショートカット (2).lnk"};
  ASSERT_TRUE(FolderExists(sample));
  for (int count = 1; count <= 3; ++count) {
    const std::wstring folder = sample + L"\\とりあえずメモ帳" + std::to_wstring(count) + L"個";
    ASSERT_TRUE(FolderExists(folder)) << count;
    for (int i = 0; i < 3; ++i) {
      const std::wstring link = folder + L"\\" + shortcuts[i];
      EXPECT_EQ(i < count, FileExists(link)) << count << " " << i;
      if (i < count) {
        EXPECT_EQ(notepad, ShortcutTarget(link));
      }
    }
  }
}

TEST_F(FirstRun, AnExistingConfigOnlyBringsTheTreeBox) {
  program_.WriteSettings(DefaultSettingLines());
  ASSERT_TRUE(running_.Start(program_.Exe(), L""));
  SeenMessageBox root = AnswerMessageBox(kFirstRunCaption, IDOK, kStartTimeoutMs, running_.Id());
  ASSERT_TRUE(root.found);
  EXPECT_EQ(0u, root.text.find(L"ラウンチャーアイテム管理フォルダが見つかりません。"));
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));
  EXPECT_TRUE(NoMessageBoxFor(300, running_.Id()));
  EXPECT_TRUE(FolderExists(program_.Root() + L"\\サンプル\\とりあえずメモ帳3個"));
}

TEST_F(FirstRun, AnExistingRootIsNeverAddedTo) {
  program_.WriteSettings(DefaultSettingLines());
  MakeFolder(program_.Root());
  MakeFolder(program_.Root() + L"\\サンプル");  // as a start that failed half way leaves it
  ASSERT_TRUE(StartAndWaitForMainWindow(running_, program_.Exe(), L""));
  EXPECT_TRUE(NoMessageBoxFor(300, running_.Id()));
  EXPECT_FALSE(FolderExists(program_.Root() + L"\\サンプル\\とりあえずメモ帳1個"));
}

TEST_F(FirstRun, AConfigThatIsAFolderIsNeverReplaced) {
  // Found by name, so no first run; unreadable, so the load box comes and the
  // start stops with -1, leaving everything as it was.
  MakeFolder(program_.SettingFile());
  ASSERT_TRUE(running_.Start(program_.Exe(), L""));
  SeenMessageBox box = AnswerMessageBox(kFirstRunCaption, IDOK, kStartTimeoutMs, running_.Id());
  ASSERT_TRUE(box.found);
  EXPECT_EQ(0u, box.text.find(L"設定ファイル読み込み中に異常が発生しました。"));
  EXPECT_EQ(kExitMinusOne, running_.Wait(kStartTimeoutMs));
  EXPECT_TRUE(FolderExists(program_.SettingFile()));
  EXPECT_FALSE(FolderExists(program_.Root()));
}

}  // namespace

namespace {

using namespace test;

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
    const bool xp = name == xpName;
    EXPECT_NE(std::wstring::npos,
              program.TraceLog().find(xp ? L"longWindowArrangementAvailable = 0" : L"longWindowArrangementAvailable = 1"))
        << name;
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
