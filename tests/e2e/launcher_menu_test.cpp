// The main job with the real Corvanta.exe: the menu opened from the tray icon and walked with the keyboard
// to the root submenu, then a click on a folder entry, which a menu would only open, asks with the folder's
// path and runs the whole folder; at the run's end window arrangement is offered, as the system reports
// major version 6 (Wine's own 6.1).  (What a shortcut's entry asks is proven in-process.)
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

TEST(LauncherMenuRun, AClickOnAFolderEntryAsksWithItsPathAndRunsTheWholeFolder) {
  PrepareUi();  // COM for the shortcuts
  InstalledProgram program;
  program.Settle();
  MakeFolder(program.Root() + L"\\A");
  for (const std::wstring tag : {L"b", L"c"})
    ASSERT_TRUE(MakeShortcut(program.Root() + L"\\A\\" + tag + L".lnk", TestAppPath(), L"--tag " + tag, program.Path(L"")));
  ChildProcess running;
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L""));
  ASSERT_TRUE(OpenTrayMenu(running.Id()));
  const HWND trayMenu = OpenMenus(running.Id()).front();
  PressKeys({VK_DOWN, VK_RIGHT});
  ASSERT_TRUE(WaitForMenuCount(2, kStartTimeoutMs, running.Id())) << "the root submenu opens";
  RECT rect = {};
  for (HWND menu : OpenMenus(running.Id())) if (menu != trayMenu) GetWindowRect(menu, &rect);
  ClickAt({rect.left + 30, rect.top + 15});  // folder A, the root's only entry
  EXPECT_EQ(L"以下のフォルダ配下を実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A",
            AnswerMessageBox(L"ラウンチャーアイテム実行確認", IDOK, kStartTimeoutMs, running.Id()).text);
  HWND chooser = WaitForWindow(L"#32770", L"起動アプリケーションウィンドウの整列", kStartTimeoutMs, running.Id());
  ASSERT_NE(nullptr, chooser) << "no run, or no window arrangement offered";
  Press(chooser, IDC_LAUNCH_ARRANGE_OK);
  EXPECT_TRUE(WaitUntil([&] {
    return FileExists(program.Path(L"started-b.txt")) && FileExists(program.Path(L"started-c.txt"));
  }, kStartTimeoutMs));
  CloseTestApps();
}

}  // namespace
