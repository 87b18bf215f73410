// The English resource library beside the real Corvanta.exe.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace {

using namespace test;

TEST(EnglishLibrary, FirstRunRootNameHelpEntryAndDialogsSpeakEnglish) {
  PrepareUi();  // COM for the shortcuts
  InstalledProgram program;
  ASSERT_TRUE(CopyFileW((BinFolder() + L"\\Corvanta_Lang_En.dll").c_str(), program.Path(L"Corvanta_Lang_En.dll").c_str(), FALSE));
  MakeFolder(program.Root());  // the Japanese root of an earlier start stays as it is
  ChildProcess running;
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  EXPECT_EQ(L"The settings file was not found.\nA default settings file will be created.",
            AnswerMessageBox(L"Initial Setup", IDOK, kStartTimeoutMs, running.Id()).text);
  EXPECT_EQ(L"The launcher item folder was not found.\nA default folder with samples will be created.",
            AnswerMessageBox(L"Initial Setup", IDOK, kStartTimeoutMs, running.Id()).text);
  ASSERT_NE(nullptr, WaitForMainWindow(kStartTimeoutMs));
  EXPECT_TRUE(FolderExists(program.Path(L"Launcher Items")));
  EXPECT_FALSE(FolderExists(program.Root() + L"\\サンプル"));

  // The help entry is the second from the bottom of the tray menu; no help
  // file lies beside the program, and the English one is the one missed.
  ASSERT_TRUE(OpenTrayMenu(running.Id()));
  PressKeys({VK_UP, VK_UP, VK_RETURN});
  EXPECT_EQ(L"The help file was not found.\nPlace it in the program's folder.\n\n" + program.Path(L"CorvantaHelp_En.chm"),
            AnswerMessageBox(L"Help", IDOK, kStartTimeoutMs, running.Id()).text);
  // Above help: settings (30), then management (40). Each comes up in English and
  // closes as its user would close it (the sheet by Cancel, the dialog only by WM_CLOSE).
  const struct { WORD ups; const wchar_t* caption; UINT close; WPARAM id; } dialogs[] = {
      {3, L"Settings", WM_COMMAND, IDCANCEL}, {4, L"Manage Launcher Items", WM_CLOSE, 0}};
  for (const auto& d : dialogs) {
    ASSERT_TRUE(OpenTrayMenu(running.Id()));
    for (WORD up = 0; up < d.ups; ++up) PressKeys({VK_UP});
    PressKeys({VK_RETURN});
    HWND dialog = WaitForWindow(L"#32770", d.caption, kStartTimeoutMs, running.Id());
    ASSERT_NE(nullptr, dialog) << d.caption;
    PostMessageW(dialog, d.close, d.id, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kStartTimeoutMs)) << d.caption;
  }
  EXPECT_EQ(0u, RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs));
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
}

}  // namespace
