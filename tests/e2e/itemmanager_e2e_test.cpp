// The management dialog in the real Corvanta.exe, opened from the tray menu.
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

TEST(ItemManagerRun, TrayEntryOpensTheDialogOnlyItsCloseBoxClosesItAndTheProgramRunsOn) {
  InstalledProgram program;
  program.Settle();
  RunningProgram running(program);
  ASSERT_TRUE(running.started);
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  ASSERT_TRUE(WaitForMenuCount(1, kStartTimeoutMs, running.process.Id())) << "the tray menu opens";
  for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) PressKey(key), Sleep(150);  // root, separator, then entry 40
  HWND dialog = WaitForWindow(L"#32770", L"ラウンチャーアイテム管理", kStartTimeoutMs);
  ASSERT_NE(nullptr, dialog) << program.TraceLog();

  for (int id : {IDOK, IDCANCEL, IDC_ITEMMANAGER_NEW_FOLDER}) PostMessageW(dialog, WM_COMMAND, id, 0);
  EXPECT_EQ(L"以下のフォルダを作成しました。\n\n新しいフォルダ",
            AnswerMessageBox(L"フォルダ作成", IDOK, kStartTimeoutMs, running.process.Id()).text);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Esc, handled before that box, leave it open";
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kStartTimeoutMs));
  EXPECT_EQ(kStillRunning, running.process.Wait(500)) << "closing the dialog leaves the program running";
}

}  // namespace
