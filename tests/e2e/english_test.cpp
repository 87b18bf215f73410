// The English resource library beside the real Corvanta.exe: a first run asks in English and names the new
// root in English, and the management dialog comes from the library, not from the program's own resources.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

TEST(EnglishLibrary, FirstRunRootNameAndTheManagementDialogSpeakEnglish) {
  InstalledProgram program;
  ASSERT_TRUE(CopyFileW((BinFolder() + L"\\Corvanta_Lang_En.dll").c_str(), program.Path(L"Corvanta_Lang_En.dll").c_str(), FALSE));
  MakeFolder(program.Root());  // the Japanese root of an earlier start stays as it is
  ChildProcess running;
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  // The two first-run boxes (their English is another test's); the root is then made with its English name.
  for (int box = 0; box < 2; ++box) AnswerMessageBox(L"Initial Setup", IDOK, kStartTimeoutMs, running.Id());
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));
  EXPECT_TRUE(FolderExists(program.Path(L"Launcher Items")) && !FolderExists(program.Root() + L"\\サンプル"));
  // Management is the fourth entry from the bottom of the tray menu.
  ASSERT_TRUE(OpenTrayMenu(running.Id()));
  PressKeys({VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN});
  EXPECT_NE(nullptr, WaitForWindow(L"#32770", L"Manage Launcher Items", kStartTimeoutMs, running.Id()));
}

}  // namespace
