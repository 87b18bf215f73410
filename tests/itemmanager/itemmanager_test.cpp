// The item operations on real folders, and the real management dialog driven from a second thread as a user would.
// As an administrator it changes exactly the entry the user chose, inside the launcher item root, never through a
// link; order.ini replaced whole or not at all.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <set>

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
using namespace std::string_literals;
using Names = std::vector<std::wstring>;
using Set = std::set<std::wstring>;
constexpr DWORD kWait = 10000;

// A folder's entries as the disk holds them, every name as written.
Set Listing(const std::wstring& folder) {
  Set names;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found));
  for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &found)) names.insert(found.cFileName);
  return names;
}

// A box or dialog of this process in front of the management dialog.
HWND OtherDialog(HWND dialog) {
  HWND other = nullptr;
  while ((other = FindWindowExW(nullptr, other, L"#32770", nullptr)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(other, &process);
    if (other != dialog && process == GetCurrentProcessId() && IsWindowVisible(other)) break;
  }
  return other;
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
// Selects alone the first row showing `name`: its index; none is selected when no row shows it (-1).
int Select(HWND dialog, const std::wstring& name) {
  HWND list = GetDlgItem(dialog, IDC_ITEMMANAGER_LIST);
  LVFINDINFOW find = {LVFI_STRING, name.c_str(), 0, {}, 0};
  const int row = ListView_FindItem(list, -1, &find);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  if (row >= 0) ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  return row;
}
// Opens the label edit of the row showing `name` and types `text` into it: the edit.
HWND EditLabel(HWND dialog, const std::wstring& name, const std::wstring& text) {
  Select(dialog, name);
  Press(dialog, IDC_ITEMMANAGER_RENAME);
  HWND list = GetDlgItem(dialog, IDC_ITEMMANAGER_LIST);
  HWND edit = nullptr;
  WaitUntil([&] { return (edit = ListView_GetEditControl(list)) != nullptr; }, kWait);
  SetWindowTextW(edit, text.c_str());
  return edit;
}
// Drops the files `paths` (each ending in a NUL) on `window`, as Explorer would.
void Drop(HWND window, const std::wstring& paths) {
  const size_t bytes = (paths.size() + 1) * sizeof(wchar_t);
  auto* drop = static_cast<DROPFILES*>(GlobalAlloc(GPTR, sizeof(DROPFILES) + bytes));  // fixed: its own handle
  *drop = {sizeof(DROPFILES), {}, FALSE, TRUE};
  CopyMemory(drop + 1, paths.c_str(), bytes);
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}
// Presses `command` and, in the browse dialog it opens (titled `title` inside), chooses the item reached from the
// top of its tree through the items named `path` (none: the top), then `button`; false when something was not there.
bool BrowseTo(HWND dialog, int command, const wchar_t* title, const Names& path, int button = IDOK) {
  Press(dialog, command);
  HWND browse = nullptr;
  WaitUntil([&] { return (browse = OtherDialog(dialog)) != nullptr; }, kWait);
  HWND tree = FindWindowExW(browse, nullptr, WC_TREEVIEWW, nullptr);  // made before the dialog shows
  if (tree == nullptr || FindWindowExW(browse, nullptr, L"Static", title) == nullptr) return false;
  HTREEITEM item = TreeView_GetRoot(tree);
  for (const std::wstring& name : path) {
    HTREEITEM child = TreeView_GetChild(tree, item);
    for (wchar_t text[MAX_PATH]; child != nullptr; child = TreeView_GetNextSibling(tree, child)) {
      TVITEMW asked = {TVIF_TEXT, child, 0, 0, text, MAX_PATH, 0, 0, 0, 0};
      if (TreeView_GetItem(tree, &asked) && name == text) break;
    }
    if ((item = child) == nullptr) return false;
  }
  TreeView_SelectItem(tree, item);
  Press(browse, button);
  return WaitUntil([browse] { return !IsWindow(browse); }, kWait);
}

class ItemManager : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    MakeFolder(root_);
    wcscpy_s(gTCHAR_Config_LauncherItemRootPath, root_.c_str());
    longAutoCloseProgressWindow = 0;
  }
  void TearDown() override { Config_DeleteFolderTree(root_.c_str()); }  // names the system trims included

  // Opens the dialog; `script` drives it from a second thread, then the close box closes it.
  void Run(const std::function<void(HWND)>& script) {
    DialogDriver driver(L"ラウンチャーアイテム管理", [&](HWND dialog) {
      script(dialog);
      // What a failed check left open is answered, so that the failure shows instead of a hang.
      for (HWND left; (left = OtherDialog(dialog)) && !WaitUntil([left] { return !IsWindow(left); }, 1000);) {
        for (int id : {IDCANCEL, IDNO, IDOK}) Press(left, id);
      }
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, ItemManager_ShowDialog());
    driver.Join();
    EXPECT_TRUE(driver.found);
  }
  // Presses delete, answers its confirmation with OK and waits until the command has run: the box's text.
  std::wstring Delete(HWND dialog) {
    Press(dialog, IDC_ITEMMANAGER_DELETE);
    const std::wstring text = AnswerMessageBox(L"ラウンチャーアイテム削除確認", IDOK, kWait).text;
    barrier_.Pass();
    return text;
  }

  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
  QueueBarrier barrier_;  // on the dialog's thread
};
using Trust = ItemManager;

// A folder, a plain file or a shortcut showing the same name holds a number; the first free one is taken.
TEST_F(ItemManager, NewShortcutsAndFoldersAreNumberedPastEveryNameAnItemShows) {
  MakeFolder(root_ + L"\\editor へのショートカット (2)");
  for (const wchar_t* number : {L"", L" (1)", L" (3)"}) {
    EXPECT_EQ(0, ItemManager_RegisterShortcut(root_.c_str(), L"C:\\Tools\\editor.exe"));
    EXPECT_EQ(L"C:\\Tools\\editor.exe", ShortcutTarget(root_ + L"\\editor へのショートカット" + number + L".lnk"));
  }
  for (const wchar_t* file : {L"\\新しいフォルダ", L"\\新しいフォルダ (1).lnk"}) WriteBytes(root_ + file, "");
  wchar_t name[D_SIZE_ITEMMANAGER_NAME];
  for (const wchar_t* expected : {L"新しいフォルダ (2)", L"新しいフォルダ (3)"}) {
    ASSERT_EQ(0, ItemManager_CreateFolder(root_.c_str(), name, D_SIZE_ITEMMANAGER_NAME));
    EXPECT_STREQ(expected, name);
    EXPECT_TRUE(FolderExists(root_ + L"\\" + expected));
  }
}

TEST_F(ItemManager, ButtonsFollowTheSelectionTheLastPressWritesEveryItemAndTestRunLaunchesNothing) {
  MakeFolder(root_ + L"\\Games");
  for (const wchar_t* file : {L"\\表示.lnk", L"\\Web.lnk", L"\\a.txt", L"\\Games\\c.lnk"}) WriteBytes(root_ + file, "");
  Run([&](HWND dialog) {
    Names rows = Rows(dialog);
    ASSERT_EQ(3u, rows.size());
    // Which item buttons are enabled: "i" delete, rename and move; "u" up and top; "d" down and bottom; else "-".
    const auto buttons = [dialog] {
      std::string enabled;
      for (int id : {IDC_ITEMMANAGER_DELETE, IDC_ITEMMANAGER_RENAME, IDC_ITEMMANAGER_MOVE, IDC_ITEMMANAGER_UP,
                     IDC_ITEMMANAGER_TOP, IDC_ITEMMANAGER_DOWN, IDC_ITEMMANAGER_BOTTOM, IDC_ITEMMANAGER_REGISTER,
                     IDC_ITEMMANAGER_NEW_FOLDER, IDC_ITEMMANAGER_TEST_RUN}) {
        enabled += IsWindowEnabled(GetDlgItem(dialog, id)) ? "iiiuudd+++"[enabled.size()] : '-';
      }
      return enabled;
    };
    for (const auto& selected : std::vector<std::pair<std::wstring, std::string>>{
             {rows[0], "iii--dd+++"}, {rows[1], "iiiuudd+++"}, {L"", "-------+++"}}) {
      Select(dialog, selected.first);
      EXPECT_EQ(selected.second, buttons()) << "selected: " << ToAnsi(selected.first);
    }
    Press(dialog, IDC_ITEMMANAGER_TEST_RUN);
    EXPECT_EQ(L"アイテムが選択されていません。\nアイテムを選択し再度実行してください",
              AnswerMessageBox(L"テスト実行エラー", IDOK, kWait).text);
    Select(dialog, rows[0]);
    SendMessageW(dialog, WM_COMMAND, IDC_ITEMMANAGER_BOTTOM, 0);
    std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    EXPECT_EQ(rows, Rows(dialog));
    EXPECT_EQ("iiiuu--+++", buttons()) << "the moved row stays selected, now the last";
    std::string expected;
    for (const std::wstring& row : rows) expected += ToAnsi(row == L"Games" ? row : row + L".lnk") + "\r\n";
    EXPECT_EQ(expected, ReadBytes(root_ + L"\\order.ini"));

    // A test run of a folder goes through the shortcuts beneath it and launches none.
    Select(dialog, L"Games");
    Press(dialog, IDC_ITEMMANAGER_TEST_RUN);
    HWND progress = WaitForWindow(L"#32770", L"Launch Progress", kWait);
    EXPECT_TRUE(WaitForProgressLog(progress, L"テスト実行を開始します") && WaitForProgressLog(progress, L"\\Games\\c.lnk") &&
                WaitForProgressLog(progress, L"処理件数")) << ToAnsi(ProgressLog(progress));
    PostMessageW(progress, WM_COMMAND, IDC_LAUNCH_PROGRESS_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, kWait));
  });
}

// Two rows named Mail: the shortcut's and the folder's; drops on the folder's node, not selected, land in the root.
TEST_F(ItemManager, DropsRegisterInTheCurrentFolderUntilCancelledEachRowActsOnItsOwnEntryAndOnlyTheCloseBoxCloses) {
  MakeFolder(root_ + L"\\Mail");
  for (const wchar_t* name : {L"\\Mail\\inner.lnk", L"\\Mail.lnk"}) WriteBytes(root_ + name, "");
  WriteBytes(root_ + L"\\order.ini", "Mail.lnk\r\nMail\r\n");
  Run([&](HWND dialog) {
    Drop(GetDlgItem(dialog, IDC_ITEMMANAGER_TREE), L"C:\\one.exe\0C:\\two.exe\0C:\\three.exe\0"s);
    EXPECT_NE(std::wstring::npos, AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDYES, kWait).text.find(L"C:\\one.exe"));
    EXPECT_TRUE(AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDCANCEL, kWait).found);
    EXPECT_TRUE(barrier_.Pass() && !OtherDialog(dialog)) << "the third path is never asked about";
    for (int id : {IDOK, IDCANCEL, IDC_ITEMMANAGER_NEW_FOLDER}) PostMessageW(dialog, WM_COMMAND, id, 0);
    EXPECT_EQ(L"以下のフォルダを作成しました。\n\n新しいフォルダ", AnswerMessageBox(L"フォルダ作成", IDOK, kWait).text);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Esc, handled before that box, leave it open";
    EXPECT_LE(0, Select(dialog, L"one へのショートカット")) << "listed at once";
    Select(dialog, L"Mail");  // the shortcut's, first in the run order
    EXPECT_EQ(L"以下のアイテムを削除します。\nよろしいですか？\n\nMail", Delete(dialog));
    // The folder's row, now the only Mail: Esc keeps its name, Enter renames it.
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
      SendMessageW(EditLabel(dialog, L"Mail", L"Renamed"), WM_KEYDOWN, key, 0);
      ASSERT_TRUE(barrier_.Pass()) << "the rename the key posted has been handled";
      EXPECT_LE(0, Select(dialog, key == VK_ESCAPE ? L"Mail" : L"Renamed"));
    }
  });
  EXPECT_TRUE(FileExists(root_ + L"\\Renamed\\inner.lnk") && !FileExists(root_ + L"\\Renamed\\one へのショートカット.lnk"));
}

// The commands that open a browse dialog, and the label edit, through the real dialog.
TEST_F(ItemManager, BrowseMovesOnlyWithinTheRootRegistersOnlyWhatWasChosenAndTheLabelRefusesBadNames) {
  MakeFolder(root_ + L"\\Sub");
  for (const wchar_t* file : {L"\\Mail.lnk", L"\\Web.lnk"}) WriteBytes(root_ + file, "");
  wchar_t desktop[MAX_PATH] = L"";  // the register browse dialog shows the desktop's folders at its top
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  const std::wstring target = desktop + std::wstring(L"\\CorvantaTarget");  // outside the root
  MakeFolder(target);
  ASSERT_TRUE(Host(L"ln -s", root_ + L"\\Out", target));
  const wchar_t* registerTitle = L"登録するショートカットのリンク先ファイルまたはフォルダを選択してください";
  const std::wstring asked = L"選択されたアイテムを以下のフォルダへ移動します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>";
  // A row moved to a folder chosen below the root ("": the root), the answer to the confirmation (0: none comes)
  // and the refusal that follows ("": none, the move is done when answered OK).
  const struct { const wchar_t* row; Names to; int answer; std::wstring refusal; } moves[] = {
      {L"Web", {}, IDOK, L"既に同じ名称のラウンチャーアイテムが存在します"},
      {L"Web", {L"Sub"}, IDCANCEL, L""},
      {L"Web", {L"Sub"}, IDOK, L""},
      {L"Sub", {L"Sub"}, IDOK, L"フォルダをそのフォルダ自身やその下のフォルダへは移動できません。\n\nSub"},
      {L"Mail", {L"Out"}, 0, L"ラウンチャーアイテムルートかその下のフォルダを移動先に選択してください。\n\n" + root_ + L"\\Out"}};
  Run([&](HWND dialog) {
    for (const auto& move : moves) {
      ASSERT_LE(0, Select(dialog, move.row)) << ToAnsi(move.row);
      ASSERT_TRUE(BrowseTo(dialog, IDC_ITEMMANAGER_MOVE, L"移動先フォルダを選択してください", move.to));
      if (move.answer != 0) {
        const SeenMessageBox box = AnswerMessageBox(L"ラウンチャーアイテム移動確認", move.answer, kWait);
        EXPECT_EQ(asked + (move.to.empty() ? L"" : L"\\" + move.to[0]), box.text);
        EXPECT_EQ(dialog, box.owner);
      }
      if (!move.refusal.empty()) {
        EXPECT_EQ(move.refusal, AnswerMessageBox(L"ラウンチャーアイテム移動エラー", IDOK, kWait).text);
      }
      EXPECT_TRUE(barrier_.Pass() && !OtherDialog(dialog)) << ToAnsi(move.row) << ", answered " << move.answer;
    }
    EXPECT_TRUE(FileExists(root_ + L"\\Sub\\Web.lnk") && Rows(dialog).size() == 3);

    // Registering asks nothing when the choice is cancelled, else with the path; the new shortcut is listed at once.
    ASSERT_TRUE(BrowseTo(dialog, IDC_ITEMMANAGER_REGISTER, registerTitle, {}, IDCANCEL));
    EXPECT_TRUE(barrier_.Pass() && !OtherDialog(dialog)) << "a cancelled choice is asked about";
    ASSERT_TRUE(BrowseTo(dialog, IDC_ITEMMANAGER_REGISTER, registerTitle, {L"CorvantaTarget"}));
    EXPECT_EQ(L"以下のファイル/フォルダへのショートカットを登録します。\nよろしいですか？\n\n" + target,
              AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDYES, kWait).text);
    EXPECT_TRUE(barrier_.Pass() && FileExists(root_ + L"\\CorvantaTarget へのショートカット.lnk") && Rows(dialog).size() == 4);

    // A refused or taken name typed into the label: told in a box of the dialog, the label keeps the old name.
    const std::pair<const wchar_t*, std::wstring> typed[] = {{L"a:b", L"この名前は付けられません。"},
                                                             {L"Sub", L"既に同じ名称の"}};
    for (const auto& name : typed) {
      SendMessageW(EditLabel(dialog, L"Mail", name.first), WM_KEYDOWN, VK_RETURN, 0);
      const SeenMessageBox box = AnswerMessageBox(L"ラウンチャーアイテム名変更エラー", IDOK, kWait);
      EXPECT_TRUE(box.text.find(name.second) == 0 && box.owner == dialog) << ToAnsi(box.text);
      EXPECT_TRUE(barrier_.Pass() && Select(dialog, L"Mail") >= 0) << ToAnsi(name.first);
    }
  });
  EXPECT_TRUE(FileExists(root_ + L"\\Mail.lnk") && !FileExists(target + L"\\Mail.lnk"));
  RemoveTree(target);
}

TEST_F(Trust, NothingIsChangedThroughAFolderLink) {
  const std::wstring outside = temp_ / L"outside";
  const std::wstring link = root_ + L"\\Ext";
  for (const std::wstring& folder : {outside, outside + L"\\Keep"}) MakeFolder(folder);
  WriteBytes(outside + L"\\Keep\\f.txt", "keep");
  ASSERT_TRUE(Host(L"ln -s", link, outside)) << "no link made";
  const Set kept = Listing(outside);
  Run([&](HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_ITEMMANAGER_TREE);
    const HTREEITEM ext = TreeView_GetChild(tree, TreeView_GetRoot(tree));  // the root's only entry
    ASSERT_NE(nullptr, ext);
    EXPECT_EQ(nullptr, TreeView_GetChild(tree, ext)) << "never expanded below a link";
    TreeView_SelectItem(tree, ext);
    EXPECT_EQ(Names{}, Rows(dialog));
    // A new folder and a drop arriving all the same: no box has come once the root, chosen after them, is listed.
    Press(dialog, IDC_ITEMMANAGER_NEW_FOLDER);
    Drop(tree, L"C:\\one.exe\0"s);
    PostMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(TreeView_GetRoot(tree)));
    ASSERT_TRUE(WaitUntil([&] { return Rows(dialog) == Names{L"Ext"}; }, kWait));
    EXPECT_FALSE(OtherDialog(dialog)) << "nothing made, and a drop not even asked about";
    // In its parent the link is an entry: deleting it never reaches what it points at.
    Select(dialog, L"Ext");
    EXPECT_NE(std::wstring::npos, Delete(dialog).find(L"\n\nExt"));
  });
  // Each operation refuses a path through a link (made after the listing) or up out of the root when it acts.
  const std::wstring swap = root_ + L"\\Swap";
  const std::wstring up = root_ + L"\\..";
  MakeFolder(root_ + L"\\Real");
  ASSERT_TRUE(Host(L"ln -s", swap, outside) && Host(L"ln -s", root_ + L"\\f.lnk", outside + L"\\Keep\\f.txt"));
  const ItemEntry keep = {L"Keep", true};
  wchar_t name[D_SIZE_ITEMMANAGER_NAME];
  EXPECT_EQ(std::vector<int>(6, -1), (std::vector<int>{
      ItemManager_DeleteItem(swap.c_str(), keep), ItemManager_RenameItem(nullptr, swap.c_str(), keep, L"Gone"),
      ItemManager_MoveItem(nullptr, swap.c_str(), keep, root_.c_str()),
      ItemManager_RegisterShortcut(swap.c_str(), L"C:\\one.exe"),
      ItemManager_CreateFolder(up.c_str(), name, D_SIZE_ITEMMANAGER_NAME),
      ItemManager_WriteOrderFile(swap.c_str(), {L"Keep"})}));
  // A link itself deleted, renamed or moved: it goes (Windows) or stays (Wine, which would act on its target).
  ItemManager_DeleteItem(root_.c_str(), ItemEntry{L"f.lnk", false});
  ItemManager_RenameItem(nullptr, root_.c_str(), ItemEntry{L"f.lnk", false}, L"g");
  ItemManager_MoveItem(nullptr, root_.c_str(), ItemEntry{L"Swap", true}, (root_ + L"\\Real").c_str());
  EXPECT_EQ(kept, Listing(outside));
  EXPECT_EQ("keep", ReadBytes(outside + L"\\Keep\\f.txt"));
}

// A name the system trims is left out everywhere; a sibling renamed in an edit still open when the deletion
// comes is deleted by its new name, odd names inside included, and the trimmed ones beside it stay.
TEST_F(Trust, NamesTheSystemTrimsAreLeftOutAndAnOpenLabelEditEndsBeforeTheNextCommand) {
  for (const wchar_t* folder : {L"Mail", L"Mail.", L"CON", L"Mail\\sub.", L"Mail\\NUL", L"Sub", L"Sub\\Deep "}) {
    CreateDirectoryW((L"\\\\?\\" + root_ + L"\\" + folder).c_str(), nullptr);  // names as written
  }
  for (const wchar_t* file : {L"Mail\\inner.lnk", L"Mail\\x.", L"Mail\\sub.\\y.lnk", L"Mail.\\a.lnk", L"aux.lnk",
                              L"Tail .lnk", L"Sub\\c.lnk", L"Sub\\Deep \\d.lnk"}) {
    WriteBytes(L"\\\\?\\" + root_ + L"\\" + file, "x");
  }
  WriteBytes(root_ + L"\\order.ini", "Mail.\r\nMail\r\n");  // a listed line "Mail." would run Mail's items
  Launch_CollectItems(root_.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail,
                      &glong_Launch_ItemCount);
  Set collected;
  for (const LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) {
    collected.insert(item->path + root_.size() + 1);
  }
  Launch_FreeItemList(&glong_Launch_ItemCount);
  EXPECT_EQ((Set{L"Mail\\inner.lnk", L"Sub\\c.lnk", L"Tail .lnk"}), collected);

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
    const Names rows = Rows(dialog);
    EXPECT_EQ((Set{L"Mail", L"Sub", L"Tail "}), Set(rows.begin(), rows.end()));
    EXPECT_EQ(3, SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_TREE, TVM_GETCOUNT, 0, 0)) << "the root, Mail and Sub";
    EditLabel(dialog, L"Mail", L"Renamed");
    EXPECT_EQ(L"以下のアイテムを削除します。\nよろしいですか？\n\nRenamed", Delete(dialog));
  });
  EXPECT_EQ((Set{L".", L"..", L"CON", L"Mail.", L"Sub", L"Tail .lnk", L"aux.lnk", L"order.ini"}), Listing(root_))
      << "Mail went whole under its new name, odd names inside too";
  EXPECT_EQ((Set{L".", L"..", L"a.lnk"}), Listing(root_ + L"\\Mail."));
}

TEST_F(Trust, RunOrderIsReplacedWholeOrNotAtAllInTheCodePageItsNamesNeedAndNeverThroughALink) {
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
  EXPECT_EQ((Set{L".", L"..", L"order.ini"}), Listing(root_)) << "nothing left beside it";
  // One name the ANSI code page lacks (even by a near letter) makes it all UTF-8.
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), {L"Müller", L"表示.lnk"}));
  EXPECT_EQ("\xEF\xBB\xBF" + std::string(u8"Müller\r\n表示.lnk\r\n"), ReadBytes(order));
  WriteBytes(temp_ / L"f.txt", "keep");
  ASSERT_TRUE(DeleteFileW(order.c_str()) && Host(L"ln -s", order, temp_ / L"f.txt"));
  EXPECT_EQ(-1, ItemManager_WriteOrderFile(root_.c_str(), {L"a.lnk"}));
  EXPECT_EQ("keep", ReadBytes(temp_ / L"f.txt"));
}

}  // namespace
