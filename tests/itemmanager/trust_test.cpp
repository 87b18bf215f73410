// What the program may change as an administrator: exactly the entry the user chose, inside the launcher item
// root, never through a link; order.ini replaced whole or not at all.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "base/text.h"
#include "config/config.h"
#include "itemmanager/itemmanager.h"
#include "itemmanager/itemmanager_module.h"
#include "launch/launch.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/traymenu.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;
using Names = std::vector<std::wstring>;
constexpr DWORD kWait = 10000;

std::wstring Verbatim(const std::wstring& path) { return L"\\\\?\\" + path; }
Names Sorted(Names names) { return std::sort(names.begin(), names.end()), names; }
// A folder's entries as the disk holds them, every name as written.
Names Listing(const std::wstring& folder) {
  Names names;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(Verbatim(folder + L"\\*").c_str(), &found));
  for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &found)) names.push_back(found.cFileName);
  return Sorted(names);
}
Names Rows(HWND dialog) {
  Names rows;
  for (int row = 0; row < ListView_GetItemCount(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST)); ++row) {
    wchar_t text[256];
    ListView_GetItemText(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), row, 0, text, 256);
    rows.push_back(text);
  }
  return rows;
}
void Select(HWND dialog, const std::wstring& row) {
  LVFINDINFOW find = {LVFI_STRING, row.c_str(), 0, {}, 0};
  const int index = ListView_FindItem(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), -1, &find);
  ListView_SetItemState(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), index, LVIS_SELECTED | LVIS_FOCUSED, 0x3);
}
// Presses delete, answers its confirmation with OK and waits until the command has run; the box's text.
std::wstring Delete(HWND dialog) {
  Press(dialog, IDC_ITEMMANAGER_DELETE);
  const std::wstring text = AnswerMessageBox(L"ラウンチャーアイテム削除確認", IDOK, kWait).text;
  SendMessageW(dialog, WM_NULL, 0, 0);  // taken only once the dialog's thread waits for messages again
  return text;
}

class Trust : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    for (const std::wstring& folder : {root_, outside_, outside_ + L"\\Keep"}) MakeFolder(folder);
    WriteBytes(outside_ + L"\\Keep\\f.txt", "keep");
    wcscpy_s(gTCHAR_Config_LauncherItemRootPath, root_.c_str());
  }
  void TearDown() override { Config_DeleteFolderTree(root_.c_str()); }  // odd names included
  // Opens the dialog; `script` drives it from a second thread, then the close box closes it.
  void Run(const std::function<void(HWND)>& script) {
    DialogDriver driver(L"ラウンチャーアイテム管理", [&](HWND dialog) {
      script(dialog), PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, ItemManager_ShowDialog());
    driver.Join();
    EXPECT_TRUE(driver.found);
  }
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート", outside_ = temp_ / L"outside";
};

TEST_F(Trust, NothingIsChangedThroughAFolderLink) {
  ASSERT_TRUE(Host(L"ln -s", root_ + L"\\Ext", outside_)) << "no link made";
  const Names outside = Listing(outside_), temp = Listing(temp_.Path());
  Run([&](HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_ITEMMANAGER_TREE);
    const HTREEITEM ext = TreeView_GetChild(tree, TreeView_GetRoot(tree));  // the root's only entry
    ASSERT_NE(nullptr, ext);
    EXPECT_EQ(nullptr, TreeView_GetChild(tree, ext)) << "never expanded below a link";
    TreeView_SelectItem(tree, ext);
    EXPECT_EQ(Names{}, Rows(dialog));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ITEMMANAGER_REGISTER)) ||
                 IsWindowEnabled(GetDlgItem(dialog, IDC_ITEMMANAGER_NEW_FOLDER)));
    // A new folder and a drop arriving all the same: no box has come once the root, chosen after them, is listed.
    Press(dialog, IDC_ITEMMANAGER_NEW_FOLDER);
    const struct { DROPFILES header; wchar_t paths[12]; } dropped = {
        {sizeof(DROPFILES), {}, FALSE, TRUE}, L"C:\\one.exe"};
    HGLOBAL drop = GlobalAlloc(GMEM_FIXED, sizeof(dropped));
    memcpy(drop, &dropped, sizeof(dropped));
    PostMessageW(tree, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    PostMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(TreeView_GetRoot(tree)));
    ASSERT_TRUE(WaitUntil([&] { return Rows(dialog) == Names{L"Ext"}; }, kWait));
    EXPECT_FALSE(AnswerMessageBox(L"フォルダ作成", IDOK, 0).found) << "nothing made";
    EXPECT_FALSE(AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDNO, 0).found) << "a drop is not even asked about";
    // In its parent the link is an entry: deleting it never reaches what it points at.
    Select(dialog, L"Ext");
    EXPECT_NE(std::wstring::npos, Delete(dialog).find(L"\n\nExt"));
  });
  // Paths built for a command: through the link, through a folder replaced by a link after it was
  // listed, up out of the root.  Refused, whatever the caller was given.
  for (const wchar_t* folder : {L"\\Swap", L"\\Real"}) MakeFolder(root_ + folder);
  const std::wstring ext = root_ + L"\\Ext", swap = root_ + L"\\Swap", up = root_ + L"\\..";
  ASSERT_TRUE(RemoveDirectoryW(swap.c_str()) && Host(L"ln -s", swap, outside_));
  const ItemEntry keep = {L"Keep", true};
  wchar_t name[D_SIZE_ITEMMANAGER_NAME];
  EXPECT_EQ(std::vector<int>(6, -1), (std::vector<int>{
      ItemManager_DeleteItem(swap.c_str(), keep), ItemManager_RenameItem(nullptr, swap.c_str(), keep, L"Gone"),
      ItemManager_MoveItem(nullptr, swap.c_str(), keep, root_.c_str()),
      ItemManager_RegisterShortcut(ext.c_str(), L"C:\\one.exe"),
      ItemManager_CreateFolder(up.c_str(), name, D_SIZE_ITEMMANAGER_NAME),
      ItemManager_WriteOrderFile(swap.c_str(), {L"Keep"})}));
  EXPECT_TRUE(AnswerBoxDuring(L"ラウンチャーアイテム移動エラー", IDOK, [&] {
    EXPECT_EQ(-1, ItemManager_MoveItem(nullptr, root_.c_str(), ItemEntry{L"Real", true}, swap.c_str()));
  }).found) << "nothing moved into a link";
  // The link itself deleted, renamed or moved: the link goes (Windows) or nothing happens (Wine, which would act
  // on its target).
  ASSERT_TRUE(Host(L"ln -s", root_ + L"\\f.lnk", outside_ + L"\\Keep\\f.txt"));
  ItemManager_DeleteItem(root_.c_str(), ItemEntry{L"f.lnk", false});
  ItemManager_RenameItem(nullptr, root_.c_str(), ItemEntry{L"Ext", true}, L"Ext2");
  ItemManager_MoveItem(nullptr, root_.c_str(), ItemEntry{L"Swap", true}, (root_ + L"\\Real").c_str());
  EXPECT_EQ(outside, Listing(outside_));
  EXPECT_EQ("keep", ReadBytes(outside_ + L"\\Keep\\f.txt"));
  EXPECT_EQ(temp, Listing(temp_.Path()));
  for (const wchar_t* link : {L"Ext", L"Ext2", L"Swap", L"Real\\Swap", L"f.lnk"}) Host(L"rm -f", root_ + L"\\" + link);
}

// A name the system trims is left out everywhere; a sibling renamed in an edit still open when the deletion
// comes is deleted by its new name, odd names inside included, and the trimmed ones beside it stay.
TEST_F(Trust, NamesTheSystemTrimsAreLeftOutAndAnOpenLabelEditEndsBeforeTheNextCommand) {
  for (const wchar_t* folder : {L"Mail", L"Mail.", L"CON", L"Mail\\sub.", L"Mail\\NUL", L"Sub", L"Sub\\Deep "}) {
    CreateDirectoryW(Verbatim(root_ + L"\\" + folder).c_str(), nullptr);
  }
  for (const wchar_t* file : {L"Mail\\inner.lnk", L"Mail\\x.", L"Mail\\sub.\\y.lnk", L"Mail.\\a.lnk", L"aux.lnk",
                              L"Tail .lnk", L"Sub\\c.lnk", L"Sub\\Deep \\d.lnk"}) {
    WriteBytes(Verbatim(root_ + L"\\" + file), "x");
  }
  WriteBytes(root_ + L"\\order.ini", "Mail.\r\nMail\r\n");  // a listed line "Mail." would run Mail's items
  Launch_CollectItems(root_.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail,
                      &glong_Launch_ItemCount);
  Names collected;
  for (const LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) {
    collected.push_back(item->path + root_.size() + 1);
  }
  Launch_FreeItemList(&glong_Launch_ItemCount);
  EXPECT_EQ((Names{L"Mail\\inner.lnk", L"Sub\\c.lnk", L"Tail .lnk"}), Sorted(collected));

  gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  MainWindow_CreateTreeView();
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp_.Path() + L"\\").c_str());
  ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
  HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
  EXPECT_EQ(0, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
  EXPECT_EQ(3, GetMenuItemCount(rootMenu)) << "Mail, Sub and Tail";
  MainWindow_DestroyTrayIconMenu();
  DestroyWindow(gHWND_MainWindow_Handle);
  gHWND_MainWindow_Handle = gHWND_MainWindow_TreeView = nullptr;

  Run([&](HWND dialog) {
    EXPECT_EQ((Names{L"Mail", L"Sub", L"Tail "}), Sorted(Rows(dialog)));
    EXPECT_EQ(3, SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_TREE, TVM_GETCOUNT, 0, 0)) << "the root, Mail and Sub";
    Select(dialog, L"Mail");
    Press(dialog, IDC_ITEMMANAGER_RENAME);
    HWND edit = nullptr;
    HWND list = GetDlgItem(dialog, IDC_ITEMMANAGER_LIST);
    ASSERT_TRUE(WaitUntil([&] { return (edit = ListView_GetEditControl(list)) != nullptr; }, kWait));
    SetWindowTextW(edit, L"Renamed");
    EXPECT_EQ(L"以下のアイテムを削除します。\nよろしいですか？\n\nRenamed", Delete(dialog));
  });
  EXPECT_EQ((Names{L".", L"..", L"CON", L"Mail.", L"Sub", L"Tail .lnk", L"aux.lnk", L"order.ini"}), Listing(root_))
      << "Mail went whole under its new name, odd names inside too";
  EXPECT_EQ((Names{L".", L"..", L"a.lnk"}), Listing(root_ + L"\\Mail."));
}

TEST_F(Trust, RunOrderIsReplacedWholeOrNotAtAllAndNeverWrittenThroughALink) {
  for (const wchar_t* file : {L"\\a.lnk", L"\\b.lnk"}) WriteBytes(root_ + file, "");
  const std::wstring order = root_ + L"\\order.ini";
  const std::string old = "b.lnk\r\na.lnk\r\n" + std::string(40, '#') + ".lnk\r\n";
  WriteBytes(order, old);
  {
    // Mapped by another program: the old file can be written but neither cut short nor replaced.
    FileHandle held(CreateFileW(order.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr));
    KernelHandle mapping(CreateFileMappingW(held.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    const void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(-1, ItemManager_WriteOrderFile(root_.c_str(), {L"a.lnk", L"b.lnk"}));
    UnmapViewOfFile(view);
  }
  EXPECT_EQ(old, ReadBytes(order));
  EXPECT_EQ((Names{L".", L"..", L"a.lnk", L"b.lnk", L"order.ini"}), Listing(root_)) << "nothing left beside it";
  ASSERT_TRUE(DeleteFileW(order.c_str()) && Host(L"ln -s", order, outside_ + L"\\Keep\\f.txt"));
  EXPECT_EQ(-1, ItemManager_WriteOrderFile(root_.c_str(), {L"a.lnk"}));
  EXPECT_EQ("keep", ReadBytes(outside_ + L"\\Keep\\f.txt"));
  Host(L"rm -f", order);
}

}  // namespace
