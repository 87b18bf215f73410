// The main job with the real Corvanta.exe: open the menu from the tray icon
// or the hotkey, walk it with the keyboard and the mouse, confirm, and watch
// the progress dialog start the chosen programs.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

const wchar_t kRunCaption[] = L"ラウンチャーアイテム実行確認";

class LauncherMenuRun : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    program_.Settle();
    MakeFolder(program_.Root() + L"\\A");
    MakeAppShortcut(L"A\\b.lnk", L"b");
  }
  void TearDown() override {
    running_.reset();
    CloseTestApps();
    CoUninitialize();
  }
  // A shortcut to the test program, which takes its tag from the arguments.
  void MakeAppShortcut(const std::wstring& relative, const std::wstring& tag) {
    ASSERT_TRUE(MakeShortcut(program_.Root() + L"\\" + relative, TestAppPath(), L"--tag " + tag, program_.Path(L"")));
  }
  DWORD Start() {
    running_.reset(new RunningProgram(program_));
    EXPECT_TRUE(running_->started);
    return running_->process.Id();
  }
  // Opens the menu from the tray icon, then the root entry's submenu, where
  // folder A is highlighted; the submenu's window.
  HWND OpenFolderA(DWORD process) {
    PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
    EXPECT_TRUE(WaitForMenuCount(1, kStartTimeoutMs, process)) << "the tray menu opens";
    const HWND trayMenu = OpenMenus(process).front();
    PressKeys({VK_DOWN, VK_RIGHT});
    EXPECT_TRUE(WaitForMenuCount(2, kStartTimeoutMs, process)) << "the root submenu opens";
    for (HWND menu : OpenMenus(process)) {
      if (menu != trayMenu) return menu;
    }
    return nullptr;
  }
  // Waits for the run's totals (taking the arrangement chooser's preset when
  // it comes); the log, after pressing Close.
  std::wstring FinishRun(DWORD process) {
    HWND dialog = WaitForWindow(L"#32770", L"Launch Progress", kStartTimeoutMs, process);
    wchar_t log[4096] = L"";
    WaitUntil([&] {
      if (HWND chooser = FindWindowW(L"#32770", L"起動アプリケーションウィンドウの整列")) Press(chooser, IDC_LAUNCH_ARRANGE_OK);
      return GetDlgItemTextW(dialog, IDC_LAUNCH_PROGRESS_LOG, log, 4096) && wcsstr(log, L"処理件数") != nullptr;
    }, kStartTimeoutMs);
    Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
    return log;
  }
  bool Started(const std::wstring& tag) { return FileExists(program_.Path(L"started-" + tag + L".txt")); }

  InstalledProgram program_;
  std::unique_ptr<RunningProgram> running_;
};

TEST_F(LauncherMenuRun, EnterOnAShortcutConfirmsWithItsPathCancelRunsNothingOkRunsIt) {
  const DWORD process = Start();
  for (int answer : {IDCANCEL, IDOK}) {
    OpenFolderA(process);
    PressKeys({VK_RIGHT});
    EXPECT_TRUE(WaitForMenuCount(3, kStartTimeoutMs, process)) << "folder A opens";
    PressKeys({VK_RETURN});
    const SeenMessageBox box = AnswerMessageBox(kRunCaption, answer, kStartTimeoutMs, process);
    EXPECT_EQ(L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A\\b.lnk", box.text);
    EXPECT_TRUE(OpenMenus(process).empty()) << "the menu closed before the box";
    if (answer == IDCANCEL) EXPECT_EQ(nullptr, WaitForWindow(L"#32770", L"Launch Progress", 500, process));
  }
  EXPECT_NE(std::wstring::npos, FinishRun(process).find(L"<ラウンチャーアイテムルート>\\A\\b.lnk ..... [OK]"));
  EXPECT_TRUE(Started(L"b"));
}

TEST_F(LauncherMenuRun, AClickOnAFolderEntryRunsTheWholeFolder) {
  MakeAppShortcut(L"A\\c.lnk", L"c");
  const DWORD process = Start();
  HWND rootMenu = OpenFolderA(process);
  ASSERT_NE(nullptr, rootMenu);
  SeenMessageBox box;
  std::thread answer([&] { box = AnswerMessageBox(kRunCaption, IDOK, kStartTimeoutMs, process); });
  RECT rect = {};
  GetWindowRect(rootMenu, &rect);
  ClickAt({rect.left + 30, rect.top + 15});  // folder A, its only entry
  answer.join();
  EXPECT_EQ(L"以下のフォルダ配下を実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A", box.text);
  EXPECT_NE(std::wstring::npos, FinishRun(process).find(L"合計=2件"));
  EXPECT_TRUE(Started(L"b") && Started(L"c"));
}

TEST_F(LauncherMenuRun, WithTheConfirmationSuppressedAChoiceRunsAtOnceAndTheHotkeyOpensTheMenu) {
  program_.WriteSettings(SettingLinesWith(L"SUPRESS_DIALOG_BEFORE_EXECUTE", L"1"));
  const DWORD process = Start();
  OpenFolderA(process);
  PressKeys({VK_RETURN});  // folder A
  EXPECT_NE(std::wstring::npos, FinishRun(process).find(L"[OK]"));
  EXPECT_TRUE(Started(L"b"));
  // Synthetic input now and then goes astray under Wine while no window has
  // the X focus yet: press again, a few times at most.
  bool opened = false;
  for (int attempt = 0; attempt < 4 && !opened; ++attempt) {
    INPUT inputs[6] = {};
    const WORD keys[3] = {VK_CONTROL, VK_SHIFT, 'Z'};
    for (int i = 0; i < 3; ++i) {
      inputs[i].type = inputs[5 - i].type = INPUT_KEYBOARD;
      inputs[i].ki.wVk = inputs[5 - i].ki.wVk = keys[i];
      inputs[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, inputs, sizeof(INPUT));
    opened = WaitForMenuCount(1, 3000, process);
  }
  EXPECT_TRUE(opened) << "Ctrl+Shift+Z opens the menu";
  PressKeys({VK_ESCAPE});
  EXPECT_TRUE(WaitForMenuCount(0, kStartTimeoutMs, process));
}

}  // namespace
