// The item operations on real folders, and the real management dialog opened
// in-process and driven from a second thread by the messages of a user's actions.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

#include "base/trace.h"
#include "config/config.h"
#include "itemmanager/itemmanager.h"
#include "itemmanager/itemmanager_module.h"
#include "launch/launch.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;

constexpr DWORD kWait = 10000;
const wchar_t kMoveError[] = L"ラウンチャーアイテム移動エラー";

// Which item buttons are enabled: "i" delete, rename and move; "u" up and top; "d" down and bottom; else "-".
std::string Buttons(HWND dialog) {
  std::string enabled;
  for (int id : {IDC_ITEMMANAGER_DELETE, IDC_ITEMMANAGER_RENAME, IDC_ITEMMANAGER_MOVE, IDC_ITEMMANAGER_UP, IDC_ITEMMANAGER_TOP,
                 IDC_ITEMMANAGER_DOWN, IDC_ITEMMANAGER_BOTTOM, IDC_ITEMMANAGER_REGISTER, IDC_ITEMMANAGER_NEW_FOLDER, IDC_ITEMMANAGER_TEST_RUN}) {
    enabled += IsWindowEnabled(GetDlgItem(dialog, id)) ? "iiiuudd+++"[enabled.size()] : '-';
  }
  return enabled;
}

std::vector<std::wstring> Rows(HWND dialog) {
  std::vector<std::wstring> rows;
  for (int row = 0; row < ListView_GetItemCount(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST)); ++row) {
    wchar_t text[256];
    ListView_GetItemText(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), row, 0, text, 256);
    rows.push_back(text);
  }
  return rows;
}
void Select(HWND dialog, int row) {
  ListView_SetItemState(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
int SelectRow(HWND dialog, const std::wstring& name) {  // its row, or -1
  const std::vector<std::wstring> rows = Rows(dialog);
  const int row = static_cast<int>(std::find(rows.begin(), rows.end(), name) - rows.begin());
  return row < static_cast<int>(rows.size()) ? (Select(dialog, row), row) : -1;
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
// Presses `command` and, in the browse dialog it opens (titled `title` inside), chooses the item reached from the
// top of its tree through the items named `path` (none: the top), then OK; false when something was not there.
bool BrowseTo(HWND dialog, int command, const wchar_t* title, const std::vector<std::wstring>& path) {
  Press(dialog, command);
  HWND browse = nullptr, tree = nullptr;
  WaitUntil([&] { return (browse = OtherDialog(dialog)) && (tree = FindWindowExW(browse, nullptr, WC_TREEVIEWW, nullptr)); }, kWait);
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
  Press(browse, IDOK);
  return WaitUntil([browse] { return !IsWindow(browse); }, kWait);
}

class ItemManager : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    MakeFolder(root_ = temp_ / L"ラウンチャーアイテムルート");
    wcscpy_s(gTCHAR_Config_LauncherItemRootPath, root_.c_str());
    longAutoCloseProgressWindow = 0;
  }
  // Opens the dialog; `script` drives it from a second thread, then the close box closes it.
  void Run(const std::function<void(HWND)>& script) {
    DialogDriver driver(L"ラウンチャーアイテム管理", [&](HWND dialog) {
      script(dialog);
      // What a failed check left open is answered, so that the failure shows instead of a hang.
      for (HWND left; (left = OtherDialog(dialog)) != nullptr && !WaitUntil([left] { return !IsWindow(left); }, 1000);) {
        for (int id : {IDCANCEL, IDNO, IDOK}) Press(left, id);
      }
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, ItemManager_ShowDialog());
    driver.Join();
    EXPECT_TRUE(driver.found);
  }

  TempFolder temp_;
  std::wstring root_;
  QueueBarrier barrier_;  // on the dialog's thread
};

TEST_F(ItemManager, OperationsOnRealFoldersNameSafelyAndNeverLoseWhatTheyShouldKeep) {
  const std::wstring target = L"C:\\Tools\\editor.exe";
  MakeFolder(root_ + L"\\editor へのショートカット (2)");  // it would show as the same row as (2).lnk: skipped
  for (const wchar_t* number : {L"", L" (1)", L" (3)"}) {
    EXPECT_EQ(0, ItemManager_RegisterShortcut(root_.c_str(), target.c_str()));
    EXPECT_EQ(target, ShortcutTarget(root_ + L"\\editor へのショートカット" + number + L".lnk"));
  }
  EXPECT_EQ(0, ItemManager_RegisterShortcut(root_.c_str(), L"C:\\Data\\Projects"));
  EXPECT_EQ(L"C:\\Data\\Projects", ShortcutTarget(root_ + L"\\Projects へのショートカット.lnk"));
  EXPECT_EQ(-1, ItemManager_RegisterShortcut(root_.c_str(), (L"C:\\" + std::wstring(300, L'x')).c_str()));

  // A file without extension, or a shortcut of the same display name, holds a name: creation goes on.
  for (const wchar_t* file : {L"\\新しいフォルダ", L"\\新しいフォルダ (1).lnk"}) WriteBytes(root_ + file, "");
  wchar_t name[D_SIZE_ITEMMANAGER_NAME];
  for (const wchar_t* expected : {L"新しいフォルダ (2)", L"新しいフォルダ (3)", L"新しいフォルダ (4)", L"新しいフォルダ (3)"}) {
    if (FolderExists(root_ + L"\\新しいフォルダ (4)")) RemoveDirectoryW((root_ + L"\\新しいフォルダ (3)").c_str());
    ASSERT_EQ(0, ItemManager_CreateFolder(root_.c_str(), name, D_SIZE_ITEMMANAGER_NAME));
    EXPECT_STREQ(expected, name);
    EXPECT_TRUE(FolderExists(root_ + L"\\" + expected));
  }

  WriteBytes(root_ + L"\\Foo.lnk", "x");
  const ItemEntry foo = {L"Foo.lnk", false};
  TraceRecorder recorder;
  ScopedTraceFlag trace(1);
  EXPECT_EQ(0, ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"Foo"));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_TRACE, L"MoveFile(")) << "an unchanged name touches nothing";

  for (const wchar_t* folder : {L"\\A", L"\\A\\Sub", L"\\Tools"}) MakeFolder(root_ + folder);
  for (const wchar_t* file : {L"\\A\\x.lnk", L"\\A\\Sub\\y.lnk"}) WriteBytes(root_ + file, "x");
  const ItemEntry a = {L"A", true};
  // Into its own folder (told as a taken name), into itself or its subfolder, out of the root: refused.
  const std::wstring itself = L"フォルダをそのフォルダ自身やその下のフォルダへは移動できません。\n\nA";
  const std::pair<std::wstring, std::wstring> moves[] = {
      {root_, L"既に同じ名称のラウンチャーアイテムが存在します"}, {root_ + L"\\A", itself}, {root_ + L"\\A\\Sub", itself},
      {temp_.Path(), L"ラウンチャーアイテムルートかその下のフォルダを移動先に選択してください。\n\n" + temp_.Path()}};
  for (const auto& move : moves) {
    const SeenMessageBox box = AnswerBoxDuring(kMoveError, IDOK, [&] {
      EXPECT_EQ(-1, ItemManager_MoveItem(nullptr, root_.c_str(), a, move.first.c_str()));
    });
    EXPECT_EQ(move.second, box.text);
  }
  EXPECT_EQ(0, ItemManager_MoveItem(nullptr, root_.c_str(), a, (root_ + L"\\Tools").c_str()));
  EXPECT_TRUE(FileExists(root_ + L"\\Tools\\A\\x.lnk") && FileExists(root_ + L"\\Tools\\A\\Sub\\y.lnk")) << "whole";

  // An order file is UTF-8 only when a name needs it (reading every encoding: the launch tests).
  const std::vector<std::wstring> names = {L"한글.lnk", L"表示 %s.lnk", L"Müller"};
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), names));
  EXPECT_EQ(0u, ReadBytes(root_ + L"\\order.ini").find("\xEF\xBB\xBF"));
  RunOrderEntry* list = nullptr;
  RunOrder_Read(root_.c_str(), &list);
  std::vector<std::wstring> read;
  for (RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) read.push_back(entry->name);
  RunOrder_Free(list);
  EXPECT_EQ(names, read);
  // A hidden one is written in place and stays hidden.
  SetFileAttributesW((root_ + L"\\order.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), {L"Games"}));
  EXPECT_EQ("Games\r\n", ReadBytes(root_ + L"\\order.ini"));
  EXPECT_NE(0u, GetFileAttributesW((root_ + L"\\order.ini").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(ItemManager, ButtonsFollowTheSelectionTheLastPressWritesEveryItemAndTestRunLaunchesNothing) {
  for (const wchar_t* folder : {L"\\Games", L"\\Games\\Sub"}) MakeFolder(root_ + folder);
  for (const wchar_t* file : {L"\\表示.lnk", L"\\Web.lnk", L"\\readme.txt"}) WriteBytes(root_ + file, "");
  for (const wchar_t* file : {L"\\a.lnk", L"\\b.lnk", L"\\Sub\\c.lnk"}) WriteBytes(root_ + L"\\Games" + file, "");
  WriteBytes(root_ + L"\\Games\\order.ini", "b.lnk\r\nSub\r\n");
  std::wstring log;
  Run([&](HWND dialog) {
    std::vector<std::wstring> rows = Rows(dialog);
    ASSERT_EQ(3u, rows.size());
    for (const auto& selected : std::vector<std::pair<int, std::string>>{{-1, "-------+++"}, {0, "iii--dd+++"}, {1, "iiiuudd+++"}}) {
      ListView_SetItemState(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), -1, 0, LVIS_SELECTED);
      if (selected.first >= 0) Select(dialog, selected.first);
      EXPECT_EQ(selected.second, Buttons(dialog)) << "row " << selected.first << " selected";
    }
    ListView_SetItemState(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST), -1, 0, LVIS_SELECTED);
    Press(dialog, IDC_ITEMMANAGER_TEST_RUN);
    EXPECT_EQ(L"アイテムが選択されていません。\nアイテムを選択し再度実行してください", AnswerMessageBox(L"テスト実行エラー", IDOK, kWait).text);
    Select(dialog, 0);
    SendMessageW(dialog, WM_COMMAND, IDC_ITEMMANAGER_BOTTOM, 0);
    std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    EXPECT_EQ(rows, Rows(dialog));
    EXPECT_EQ(2, SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    EXPECT_EQ("iiiuu--+++", Buttons(dialog)) << "the moved row stays selected, now the last";
    std::string expected;
    for (const std::wstring& row : rows) expected += ToAnsi(row == L"Games" ? row : row + L".lnk") + "\r\n";
    EXPECT_EQ(expected, ReadBytes(root_ + L"\\order.ini"));

    // A file held against writing: told, unchanged, and the list shows the disk again.
    HANDLE held = CreateFileW((root_ + L"\\order.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    Select(dialog, 0);
    Press(dialog, IDC_ITEMMANAGER_DOWN);
    EXPECT_TRUE(AnswerMessageBox(L"実行順変更エラー", IDOK, kWait).found);
    CloseHandle(held);
    EXPECT_TRUE(WaitUntil([&] { return Rows(dialog) == rows; }, kWait));
    EXPECT_EQ(expected, ReadBytes(root_ + L"\\order.ini"));

    // A test run of a folder lists every shortcut beneath it in run order.
    Select(dialog, static_cast<int>(std::find(rows.begin(), rows.end(), L"Games") - rows.begin()));
    Press(dialog, IDC_ITEMMANAGER_TEST_RUN);
    HWND progress = WaitForWindow(L"#32770", L"Launch Progress", kWait);
    WaitForProgressLog(progress, L"処理件数");
    log = ProgressLog(progress);
    PostMessageW(progress, WM_COMMAND, IDC_LAUNCH_PROGRESS_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, kWait));
  });
  const std::wstring& text = log;
  const size_t b = text.find(L"\\Games\\b.lnk ....."), c = text.find(L"\\Games\\Sub\\c.lnk ....."), a = text.find(L"\\Games\\a.lnk .....");
  EXPECT_TRUE(b < c && c < a && a != std::wstring::npos && text.find(L"テスト実行を開始します") != std::wstring::npos) << text;
}

// Two rows named Mail: the shortcut's and the folder's; drops on the folder's node, not selected, land in the root.
TEST_F(ItemManager, DropsRegisterInTheCurrentFolderUntilCancelledEachRowActsOnItsOwnEntryAndOnlyTheCloseBoxCloses) {
  MakeFolder(root_ + L"\\Mail");
  for (const wchar_t* name : {L"\\Mail\\inner.lnk", L"\\Mail.lnk"}) WriteBytes(root_ + name, "");
  WriteBytes(root_ + L"\\order.ini", "Mail.lnk\r\nMail\r\n");
  Run([&](HWND dialog) {
    const struct { DROPFILES header; wchar_t paths[40]; } dropped = {{sizeof(DROPFILES), {}, FALSE, TRUE},
                                                                     L"C:\\one.exe\0C:\\two.exe\0C:\\three.exe"};
    HGLOBAL drop = GlobalAlloc(GMEM_FIXED, sizeof(dropped));  // a fixed block is its own pointer
    memcpy(drop, &dropped, sizeof(dropped));
    PostMessageW(GetDlgItem(dialog, IDC_ITEMMANAGER_TREE), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_NE(std::wstring::npos, AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDYES, kWait).text.find(L"\n\nC:\\one.exe"));
    EXPECT_TRUE(AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDCANCEL, kWait).found);
    EXPECT_TRUE(barrier_.Pass() && !FindWindowW(L"#32770", L"ラウンチャーアイテム登録確認")) << "the third path is never asked about";
    for (int id : {IDOK, IDCANCEL, IDC_ITEMMANAGER_NEW_FOLDER}) PostMessageW(dialog, WM_COMMAND, id, 0);
    EXPECT_EQ(L"以下のフォルダを作成しました。\n\n新しいフォルダ", AnswerMessageBox(L"フォルダ作成", IDOK, kWait).text);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Esc, handled before that box, leave it open";
    std::vector<std::wstring> rows = Rows(dialog);
    EXPECT_EQ(1, std::count(rows.begin(), rows.end(), L"one へのショートカット"));
    Select(dialog, 0);
    Press(dialog, IDC_ITEMMANAGER_DELETE);
    EXPECT_EQ(L"以下のアイテムを削除します。\nよろしいですか？\n\nMail",
              AnswerMessageBox(L"ラウンチャーアイテム削除確認", IDOK, kWait).text);
    EXPECT_TRUE(WaitUntil([&] { return Rows(dialog).size() == rows.size() - 1; }, kWait));
    EXPECT_FALSE(FileExists(root_ + L"\\Mail.lnk"));
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {  // the folder's row, now the first
      Select(dialog, 0);
      Press(dialog, IDC_ITEMMANAGER_RENAME);
      HWND edit = nullptr;
      ASSERT_TRUE(WaitUntil([&] { return (edit = ListView_GetEditControl(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST))) != nullptr; }, kWait));
      SetWindowTextW(edit, L"Renamed");
      SendMessageW(edit, WM_KEYDOWN, key, 0);
      ASSERT_TRUE(barrier_.Pass()) << "the rename the key posted has been handled";
      rows = Rows(dialog);
      EXPECT_EQ(1, std::count(rows.begin(), rows.end(), key == VK_ESCAPE ? L"Mail" : L"Renamed"));
    }
  });
  EXPECT_EQ(L"C:\\one.exe", ShortcutTarget(root_ + L"\\one へのショートカット.lnk"));
  EXPECT_TRUE(FileExists(root_ + L"\\Renamed\\inner.lnk") && !FileExists(root_ + L"\\Renamed\\one へのショートカット.lnk"));
}

// The commands that open a browse dialog, the label edit and the double-click, through the real dialog.
TEST_F(ItemManager, BrowseMovesOnlyWithinTheRootRegistersOnlyFilesTheLabelRefusesBadNamesAndDoubleClickOpensOnlyFolders) {
  MakeFolder(root_ + L"\\Sub");
  for (const wchar_t* file : {L"\\Mail.lnk", L"\\Web.lnk"}) WriteBytes(root_ + file, "");
  wchar_t desktop[MAX_PATH] = L"";  // the register browse dialog shows the desktop's folders at its top
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  const std::wstring outside = temp_ / L"outside", target = desktop + std::wstring(L"\\CorvantaTarget");
  const wchar_t *moveTitle = L"移動先フォルダを選択してください", *registerTitle = L"登録するショートカットのリンク先ファイルまたはフォルダを選択してください";
  MakeFolder(outside), MakeFolder(target);
  ASSERT_TRUE(Host(L"ln -s", root_ + L"\\Out", outside));
  LPITEMIDLIST computer = nullptr;  // a folder of the shell without a path
  SHFILEINFOW virtualFolder = {};
  SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
  SHGetFileInfoW(reinterpret_cast<const wchar_t*>(computer), 0, &virtualFolder, sizeof(virtualFolder), SHGFI_PIDL | SHGFI_DISPLAYNAME);
  CoTaskMemFree(computer);
  const std::wstring asked = L"選択されたアイテムを以下のフォルダへ移動します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>";
  Run([&](HWND dialog) {
    // The root itself is asked about with nothing after the bracket (Cancel moves nothing), Sub with \Sub.
    for (const auto& move : std::vector<std::pair<std::wstring, int>>{{L"", IDCANCEL}, {L"Sub", IDOK}}) {
      SelectRow(dialog, L"Web");
      ASSERT_TRUE(BrowseTo(dialog, IDC_ITEMMANAGER_MOVE, moveTitle, move.first.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{move.first}));
      const SeenMessageBox box = AnswerMessageBox(L"ラウンチャーアイテム移動確認", move.second, kWait);
      EXPECT_EQ(asked + (move.first.empty() ? L"" : L"\\" + move.first), box.text);
      EXPECT_EQ(dialog, box.owner);
    }
    EXPECT_TRUE(WaitUntil([&] { return FileExists(root_ + L"\\Sub\\Web.lnk") && Rows(dialog).size() == 3; }, kWait));
    SelectRow(dialog, L"Mail");  // a linked folder below the root leads out of it
    ASSERT_TRUE(BrowseTo(dialog, IDC_ITEMMANAGER_MOVE, moveTitle, {L"Out"}));
    const SeenMessageBox refused = AnswerMessageBox(kMoveError, IDOK, kWait);
    ASSERT_EQ(L"ラウンチャーアイテムルートかその下のフォルダを移動先に選択してください。\n\n" + root_ + L"\\Out", refused.text);

    // Registering asks with the path: No registers nothing, Yes a shortcut in the current folder; a virtual folder nothing.
    for (int answer : {IDNO, IDYES}) {
      ASSERT_TRUE(BrowseTo(dialog, IDC_ITEMMANAGER_REGISTER, registerTitle, {L"CorvantaTarget"}));
      EXPECT_EQ(L"以下のファイル/フォルダへのショートカットを登録します。\nよろしいですか？\n\n" + target,
                AnswerMessageBox(L"ラウンチャーアイテム登録確認", answer, kWait).text);
      EXPECT_TRUE(barrier_.Pass());
      EXPECT_EQ(answer == IDYES, FileExists(root_ + L"\\CorvantaTarget へのショートカット.lnk"));
    }
    EXPECT_EQ(4u, Rows(dialog).size()) << "the new shortcut is listed";
    ASSERT_TRUE(BrowseTo(dialog, IDC_ITEMMANAGER_REGISTER, registerTitle, {std::wstring(virtualFolder.szDisplayName)}));
    EXPECT_TRUE(barrier_.Pass() && !FindWindowW(L"#32770", L"ラウンチャーアイテム登録確認")) << "a path-less choice is asked about";

    // A refused or taken name typed into the label: told in a box of the dialog, the label keeps the old name.
    const std::pair<const wchar_t*, std::wstring> typed[] = {{L"a:b", L"この名前は付けられません。"}, {L"Sub", L"既に同じ名称の"}};
    for (const auto& name : typed) {
      SelectRow(dialog, L"Mail");
      Press(dialog, IDC_ITEMMANAGER_RENAME);
      HWND edit = nullptr;
      ASSERT_TRUE(WaitUntil([&] { return (edit = ListView_GetEditControl(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST))) != nullptr; }, kWait));
      SetWindowTextW(edit, name.first);
      SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
      const SeenMessageBox box = AnswerMessageBox(L"ラウンチャーアイテム名変更エラー", IDOK, kWait);
      EXPECT_TRUE(box.text.find(name.second) == 0 && box.owner == dialog) << ToAnsi(box.text);
      EXPECT_TRUE(barrier_.Pass() && SelectRow(dialog, L"Mail") >= 0 && FileExists(root_ + L"\\Mail.lnk")) << ToAnsi(name.first);
    }

    // A double-click on a shortcut row changes nothing; on a folder row it lists that folder.
    const std::vector<std::wstring> rows = Rows(dialog);
    for (const wchar_t* name : {L"Mail", L"Sub"}) {
      RECT label = {LVIR_LABEL, 0, 0, 0};
      HWND list = GetDlgItem(dialog, IDC_ITEMMANAGER_LIST);
      SendMessageW(list, LVM_GETITEMRECT, SelectRow(dialog, name), reinterpret_cast<LPARAM>(&label));
      SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(label.left + 2, (label.top + label.bottom) / 2));
      EXPECT_TRUE(barrier_.Pass());
      EXPECT_EQ(name[0] == L'S' ? std::vector<std::wstring>{L"Web"} : rows, Rows(dialog)) << ToAnsi(name);
      const LRESULT caret = SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_TREE, TVM_GETNEXTITEM, TVGN_CARET, 0);
      EXPECT_TRUE(caret && (caret == SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_TREE, TVM_GETNEXTITEM, TVGN_ROOT, 0)) == (name[0] == L'M'))
          << "the tree shows the wrong folder selected, or none";
    }
    EXPECT_FALSE(FindWindowW(L"#32770", L"Launch Progress"));
  });
  RemoveTree(target);
  EXPECT_TRUE(FileExists(root_ + L"\\Mail.lnk") && !FileExists(outside + L"\\Mail.lnk"));
}

}  // namespace
