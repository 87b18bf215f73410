// The management dialog in the real Corvanta.exe, opened from the tray menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

template <typename F>
bool WaitFor(F condition) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(20)) {
    if (GetTickCount() - start > kStartTimeoutMs) return false;
  }
  return true;
}

TEST(ItemManagerRun, TrayEntryOpensTheDialogOnlyItsCloseBoxClosesItAndTheProgramRunsOn) {
  InstalledProgram program;
  program.Settle();
  MakeFolder(program.Root() + L"\\Tools");
  ChildProcess running;
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG"));
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  ASSERT_TRUE(WaitFor([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); })) << "the tray menu opens";
  for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) PressKey(key), Sleep(150);  // root, separator, then entry 40
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dialog = FindWindowW(L"#32770", L"ラウンチャーアイテム管理")); }))
      << program.TraceLog();
  EXPECT_EQ(1, SendMessageW(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), LVM_GETITEMCOUNT, 0, 0));

  for (int id : {IDOK, IDCANCEL, IDC_ITEMMANAGER_NEW_FOLDER}) PostMessageW(dialog, WM_COMMAND, id, 0);
  EXPECT_EQ(L"以下のフォルダを作成しました。\n\n新しいフォルダ",
            AnswerMessageBox(L"フォルダ作成", IDOK, kStartTimeoutMs, running.Id()).text);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Esc, handled before, leave it open";

  PostMessageW(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(kStillRunning, running.Wait(500)) << "closing the dialog leaves the program running";
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
}

}  // namespace
