// Entries that an ordinary path addresses as something else ("Mail." as
// "Mail", "CON.lnk" as the device) are neither shown in the launcher menu nor
// collected for a run, whether listed in order.ini or not; a level-3 record
// names each.
#include <gtest/gtest.h>
#include <locale.h>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "launch/launch.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/traymenu.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(OddNames, AreLeftOutOfTheLauncherMenuAndTheRun) {
  setlocale(LC_ALL, ".ACP");
  CoInitialize(nullptr);
  TempFolder temp;
  const std::wstring root = temp / L"ラウンチャーアイテムルート";
  for (const wchar_t* folder : {L"", L"\\Mail", L"\\Mail.", L"\\Sub", L"\\Sub\\Deep "}) CreateDirectoryW((L"\\\\?\\" + root + folder).c_str(), nullptr);
  for (const wchar_t* file : {L"\\Mail\\a.lnk", L"\\Mail.\\b.lnk", L"\\CON.lnk", L"\\lpt1.lnk", L"\\Sub\\c.lnk", L"\\Sub\\Deep \\d.lnk"})
    WriteBytes(L"\\\\?\\" + root + file, "x");
  WriteBytes(root + L"\\order.ini", "Mail.\r\nMail\r\n");
  TraceRecorder recorder;
  Launch_CollectItems(root.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail, &glong_Launch_ItemCount);
  std::vector<std::wstring> collected;
  for (const LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) collected.push_back(item->path);
  Launch_FreeItemList(&glong_Launch_ItemCount);
  EXPECT_EQ((std::vector<std::wstring>{root + L"\\Mail\\a.lnk", root + L"\\Sub\\c.lnk"}), collected);

  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  MainWindow_CreateTreeView();
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp.Path() + L"\\").c_str());
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
  EXPECT_EQ(0, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
  EXPECT_EQ(2, GetMenuItemCount(rootMenu)) << "Mail and Sub";
  for (const wchar_t* name : {L"Mail.", L"CON.lnk", L"lpt1.lnk", L"Deep "}) EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, name)) << name;
  MainWindow_DestroyTrayIconMenu();
  DestroyWindow(gHWND_MainWindow_Handle);
  gHWND_MainWindow_Handle = gHWND_MainWindow_TreeView = nullptr;
  Config_DeleteFolderTree(root.c_str());
  CoUninitialize();
}

}  // namespace
