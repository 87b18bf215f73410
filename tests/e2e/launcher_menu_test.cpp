// The main job with the real Corvanta.exe: the menu opened from the tray icon and walked with the keyboard
// to the root submenu, then a click on a folder entry, which a menu would only open, asks with the folder's
// path and runs the whole folder in the progress dialog.  (What a shortcut's entry asks is proven in-process.)
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
  RunningProgram running(program);
  ASSERT_TRUE(running.started);
  const DWORD process = running.process.Id();
  ASSERT_TRUE(OpenTrayMenu(process));
  const HWND trayMenu = OpenMenus(process).front();
  PressKeys({VK_DOWN, VK_RIGHT});
  ASSERT_TRUE(WaitForMenuCount(2, kStartTimeoutMs, process)) << "the root submenu opens";
  RECT rect = {};
  for (HWND menu : OpenMenus(process)) if (menu != trayMenu) GetWindowRect(menu, &rect);
  std::thread click([&] { ClickAt({rect.left + 30, rect.top + 15}); });  // folder A, the root's only entry
  const std::wstring text = AnswerMessageBox(L"ラウンチャーアイテム実行確認", IDOK, kStartTimeoutMs, process).text;
  click.join();
  EXPECT_EQ(L"以下のフォルダ配下を実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A", text);
  HWND dialog = WaitForWindow(L"#32770", L"Launch Progress", kStartTimeoutMs, process);
  EXPECT_TRUE(WaitUntil([&] {
    if (HWND chooser = FindWindowW(L"#32770", L"起動アプリケーションウィンドウの整列")) Press(chooser, IDC_LAUNCH_ARRANGE_OK);
    return ProgressLog(dialog).find(L"処理件数") != std::wstring::npos;
  }, kStartTimeoutMs));
  EXPECT_NE(std::wstring::npos, ProgressLog(dialog).find(L"正常処理しました。\n (処理件数 合計=2件)")) << ToAnsi(ProgressLog(dialog));
  EXPECT_TRUE(FileExists(program.Path(L"started-b.txt")) && FileExists(program.Path(L"started-c.txt")));
  Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
  CloseTestApps();
}

}  // namespace
