// The tray menu's help entry: HTML Help's window for a help file that is
// there, a box naming the path of one that is not.
#include <gtest/gtest.h>
#include <windows.h>
#include <htmlhelp.h>

#include "base/instance.h"
#include "base/text.h"
#include "config/config.h"
#include "mainwindow/traymenu.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(HelpEntry, ShowsTheContentsOfAPresentFileAndNamesAMissingOne) {
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  TempFolder folder;
  const std::wstring missing = folder / L"CorvantaHelp.chm";
  Text_Copy(gTCHAR_Config_HelpFilePath, D_SIZE_CONFIG_HELP_FILE, missing.c_str());
  AsyncMessageBoxAnswer answer(L"ヘルプ", IDOK, 20000);
  MainWindow_RunFixedEntryAction(D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP);
  const SeenMessageBox box = answer.Wait();
  ASSERT_TRUE(box.found);
  EXPECT_EQ(L"ヘルプファイルが見つかりません。\nプログラムと同じフォルダに置いてください。\n\n" + missing, box.text);

  const std::wstring present = BinFolder() + L"\\CorvantaHelp.chm";
  ASSERT_TRUE(FileExists(present)) << "compiled from help/ja by chmcmd";
  Text_Copy(gTCHAR_Config_HelpFilePath, D_SIZE_CONFIG_HELP_FILE, present.c_str());
  MainWindow_RunFixedEntryAction(D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP);
  // Found by the help project's title: HTML Help opened our file.
  HWND help = nullptr;
  for (DWORD start = GetTickCount(); help == nullptr && GetTickCount() - start < 20000;) {
    PumpMessages(50);
    help = FindWindowW(nullptr, L"Corvanta ヘルプ");
  }
  ASSERT_NE(nullptr, help) << "HTML Help opened no window";
  EXPECT_TRUE(NoMessageBoxFor(300, GetCurrentProcessId()));
  HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

}  // namespace
