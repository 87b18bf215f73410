// The main job with the real Corvanta.exe: the menu opened from the tray icon and walked with the keyboard:
// Enter on a shortcut asks with its path (Cancel runs nothing); then a click on a folder entry, which a
// menu would only open, runs the whole folder in the progress dialog.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

TEST(LauncherMenuRun, EnterOnAShortcutAsksWithItsPathAndAClickOnAFolderRunsTheWholeFolder) {
  PrepareUi();  // COM for the shortcuts
  InstalledProgram program;
  program.Settle();
  MakeFolder(program.Root() + L"\\A");
  for (const std::wstring tag : {L"b", L"c"}) ASSERT_TRUE(MakeShortcut(program.Root() + L"\\A\\" + tag + L".lnk", TestAppPath(), L"--tag " + tag, program.Path(L"")));
  RunningProgram running(program);
  ASSERT_TRUE(running.started);
  const DWORD process = running.process.Id();
  const auto openFolderA = [&] {  // the tray menu, then the root submenu, where folder A is highlighted
    EXPECT_TRUE(OpenTrayMenu(process)) << "the tray menu opens";
    const HWND trayMenu = OpenMenus(process).front();
    PressKeys({VK_DOWN, VK_RIGHT});
    EXPECT_TRUE(WaitForMenuCount(2, kStartTimeoutMs, process)) << "the root submenu opens";
    for (HWND menu : OpenMenus(process)) if (menu != trayMenu) return menu;
    return HWND();
  };
  openFolderA();
  PressKeys({VK_RIGHT});
  EXPECT_TRUE(WaitForMenuCount(3, kStartTimeoutMs, process)) << "folder A opens";
  PressKeys({VK_RETURN});
  std::wstring text = AnswerMessageBox(L"ラウンチャーアイテム実行確認", IDCANCEL, kStartTimeoutMs, process).text;
  const std::wstring asked = L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A\\";
  EXPECT_TRUE(text == asked + L"b.lnk" || text == asked + L"c.lnk") << ToAnsi(text);
  EXPECT_TRUE(WaitForMenuCount(0, kStartTimeoutMs, process));
  RECT rect = {};
  GetWindowRect(openFolderA(), &rect);  // opened after the answer was handled: a run it started would show by now
  EXPECT_FALSE(FindTopLevelWindow(L"#32770", L"Launch Progress", process)) << "Cancel ran the shortcut";
  std::thread click([&] { ClickAt({rect.left + 30, rect.top + 15}); });  // folder A, the root's only entry
  text = AnswerMessageBox(L"ラウンチャーアイテム実行確認", IDOK, kStartTimeoutMs, process).text;
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
