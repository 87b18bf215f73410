// The item operations on real folders, and the real management dialog opened
// in-process and driven from a second thread by the messages of a user's actions.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <locale.h>
#include <shlobj.h>

#include <algorithm>

#include "app/winmain.h"
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
const wchar_t kRenameError[] = L"ラウンチャーアイテム名変更エラー", kMoveError[] = L"ラウンチャーアイテム移動エラー";

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

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

class ItemManager : public ::testing::Test {
 protected:
  void SetUp() override {
    setlocale(LC_ALL, ".ACP");
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    LoadLibraryW(L"riched20.dll");
    gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    MakeFolder(root_ = temp_ / L"ラウンチャーアイテムルート");
    wcscpy_s(gTCHAR_Config_LauncherItemRootPath, root_.c_str());
    longAutoCloseProgressWindow = 0;
  }
  void TearDown() override { CoUninitialize(); }

  std::wstring Refused(const wchar_t* caption, const std::function<int()>& operation) {  // the text of the one box it shows
    AsyncMessageBoxAnswer answer(caption, IDOK, kWait);
    EXPECT_EQ(-1, operation());
    return answer.Wait().text;
  }
  // Opens the dialog; `script` drives it from a second thread, then the close box closes it.
  void Run(const std::function<void(HWND)>& script) {
    DialogDriver driver(L"ラウンチャーアイテム管理", [&](HWND dialog) { script(dialog), PostMessageW(dialog, WM_CLOSE, 0, 0); });
    EXPECT_EQ(0, ItemManager_ShowDialog());
    driver.Join();
    EXPECT_TRUE(driver.found);
  }

  TempFolder temp_;
  std::wstring root_;
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
  EXPECT_EQ(L"既に同じ名称のラウンチャーアイテムが存在します",
            Refused(kRenameError, [&] { return ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"foo"); }));
  for (const wchar_t* typed : {L"", L"..", L"..\\Up", L"sub\\x", L"a:b", L"NUL", L"Foo."}) {
    EXPECT_NE(std::wstring::npos, Refused(kRenameError, [&] { return ItemManager_RenameItem(nullptr, root_.c_str(), foo, typed); })
                                      .find(L"この名前は付けられません")) << typed;
  }
  TraceRecorder recorder;
  ScopedTraceFlag trace(1);
  EXPECT_EQ(0, ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"Foo"));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_TRACE, L"MoveFile(")) << "an unchanged name touches nothing";

  for (const wchar_t* folder : {L"\\A", L"\\A\\Sub", L"\\Tools"}) MakeFolder(root_ + folder);
  for (const wchar_t* file : {L"\\A\\x.lnk", L"\\A\\Sub\\y.lnk"}) WriteBytes(root_ + file, "x");
  const ItemEntry a = {L"A", true};
  // Into its own folder (told as a taken name), into itself or its subfolder, out of the root: refused.
  for (const std::wstring& to : {root_, root_ + L"\\A", root_ + L"\\A\\Sub", temp_.Path()}) {
    const std::wstring told = Refused(kMoveError, [&] { return ItemManager_MoveItem(nullptr, root_.c_str(), a, to.c_str()); });
    EXPECT_EQ(to == root_ ? std::wstring(L"既に同じ名称のラウンチャーアイテムが存在します") : told, told);
  }
  EXPECT_TRUE(FileExists(root_ + L"\\A\\x.lnk") && FileExists(root_ + L"\\A\\Sub\\y.lnk"));
  EXPECT_EQ(0, ItemManager_MoveItem(nullptr, root_.c_str(), a, (root_ + L"\\Tools").c_str()));
  EXPECT_TRUE(FileExists(root_ + L"\\Tools\\A\\Sub\\y.lnk"));

  MakeFolder(root_ + L"\\Mail");
  for (const wchar_t* file : {L"\\Mail\\inner.lnk", L"\\Mail\\.keep"}) WriteBytes(root_ + file, "x");
  const std::wstring outside = temp_ / L"outside";
  MakeFolder(outside);
  WriteBytes(outside + L"\\precious.txt", "keep");
  ASSERT_TRUE(Host(L"ln -s", root_ + L"\\Mail\\link", outside)) << "no link made";
  EXPECT_EQ(0, ItemManager_DeleteItem(root_.c_str(), ItemEntry{L"Mail", true}));
  EXPECT_TRUE(FileExists(root_ + L"\\Mail\\.keep"));
  EXPECT_FALSE(FileExists(root_ + L"\\Mail\\inner.lnk"));
  EXPECT_TRUE(FileExists(outside + L"\\precious.txt")) << "nothing is deleted through a link";

  // An order file is UTF-8 only when a name needs it, and every name reads back.
  const std::vector<std::wstring> names = {L"한글.lnk", L"表示 %s.lnk", L"Müller", std::wstring(600, L'z')};
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), names));
  EXPECT_EQ(0u, ReadBytes(root_ + L"\\order.ini").find("\xEF\xBB\xBF"));
  RunOrderEntry* list = nullptr;
  RunOrder_Read(root_.c_str(), &list);
  std::vector<std::wstring> read;
  for (RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) read.push_back(entry->name);
  RunOrder_Free(list);
  // A line longer than 511 characters comes back in pieces, as always.
  EXPECT_EQ((std::vector<std::wstring>{names[0], names[1], names[2], std::wstring(511, L'z'), std::wstring(89, L'z')}), read);
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
  wchar_t log[2048] = L"";
  Run([&](HWND dialog) {
    std::vector<std::wstring> rows = Rows(dialog);
    ASSERT_EQ(3u, rows.size());
    EXPECT_FALSE(Enabled(dialog, IDC_ITEMMANAGER_DELETE) || Enabled(dialog, IDC_ITEMMANAGER_BOTTOM));
    EXPECT_TRUE(Enabled(dialog, IDC_ITEMMANAGER_TEST_RUN) && Enabled(dialog, IDC_ITEMMANAGER_REGISTER));
    Press(dialog, IDC_ITEMMANAGER_TEST_RUN);
    EXPECT_EQ(L"アイテムが選択されていません。\nアイテムを選択し再度実行してください", AnswerMessageBox(L"テスト実行エラー", IDOK, kWait).text);
    Select(dialog, 0);
    SendMessageW(dialog, WM_COMMAND, IDC_ITEMMANAGER_BOTTOM, 0);
    std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    EXPECT_EQ(rows, Rows(dialog));
    EXPECT_EQ(2, SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    EXPECT_FALSE(Enabled(dialog, IDC_ITEMMANAGER_DOWN) || Enabled(dialog, IDC_ITEMMANAGER_BOTTOM));
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
    WaitUntil([&] { return GetDlgItemTextW(progress, IDC_LAUNCH_PROGRESS_LOG, log, 2048), wcsstr(log, L"処理件数") != nullptr; }, kWait);
    PostMessageW(progress, WM_COMMAND, IDC_LAUNCH_PROGRESS_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress); }, kWait));
  });
  const std::wstring text = log;
  const size_t b = text.find(L"\\Games\\b.lnk ....."), c = text.find(L"\\Games\\Sub\\c.lnk ....."), a = text.find(L"\\Games\\a.lnk .....");
  EXPECT_TRUE(b < c && c < a && a != std::wstring::npos && text.find(L"テスト実行を開始します") != std::wstring::npos) << text;
}

TEST_F(ItemManager, DropsOnAnUnselectedNodeRegisterInTheCurrentFolderUntilCancelledAndOnlyTheCloseBoxCloses) {
  MakeFolder(root_ + L"\\Sub");
  Run([&](HWND dialog) {
    const struct { DROPFILES header; wchar_t paths[40]; } dropped = {{sizeof(DROPFILES), {}, FALSE, TRUE}, L"C:\\one.exe\0C:\\two.exe\0C:\\three.exe"};
    HGLOBAL drop = GlobalAlloc(GMEM_FIXED, sizeof(dropped));  // a fixed block is its own pointer
    memcpy(drop, &dropped, sizeof(dropped));
    PostMessageW(GetDlgItem(dialog, IDC_ITEMMANAGER_TREE), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_NE(std::wstring::npos, AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDYES, kWait).text.find(L"\n\nC:\\one.exe"));
    EXPECT_TRUE(AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDCANCEL, kWait).found);
    EXPECT_FALSE(WaitUntil([] { return FindWindowW(L"#32770", L"ラウンチャーアイテム登録確認") != nullptr; }, 500))
        << "the third path is never asked about";
    for (int id : {IDOK, IDCANCEL, IDC_ITEMMANAGER_NEW_FOLDER}) PostMessageW(dialog, WM_COMMAND, id, 0);
    EXPECT_EQ(L"以下のフォルダを作成しました。\n\n新しいフォルダ", AnswerMessageBox(L"フォルダ作成", IDOK, kWait).text);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Esc, handled before that box, leave it open";
    const std::vector<std::wstring> rows = Rows(dialog);
    EXPECT_EQ(1, std::count(rows.begin(), rows.end(), L"one へのショートカット"));
  });
  EXPECT_EQ(L"C:\\one.exe", ShortcutTarget(root_ + L"\\one へのショートカット.lnk"));
  EXPECT_FALSE(FileExists(root_ + L"\\Sub\\one へのショートカット.lnk"));
}

TEST_F(ItemManager, EachRowActsOnItsOwnEntryAndEscRenamesNothing) {
  MakeFolder(root_ + L"\\Mail");
  for (const wchar_t* name : {L"\\Mail\\inner.lnk", L"\\Mail.lnk", L"\\..lnk", L"\\...lnk"}) WriteBytes(root_ + name, "");
  WriteBytes(root_ + L"\\order.ini", "Mail.lnk\r\nMail\r\n.\r\n..\r\n");
  ASSERT_TRUE(Host(L"ln -s", root_ + L"\\Mail\\loop", root_));  // the tree shows a link but never enters it
  Run([&](HWND dialog) {
    EXPECT_EQ(3, SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_TREE, TVM_GETCOUNT, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"Mail", L"Mail"}), Rows(dialog)) << "nothing lists as . or ..";
    Select(dialog, 0);
    Press(dialog, IDC_ITEMMANAGER_DELETE);
    EXPECT_EQ(L"以下のアイテムを削除します。\nよろしいですか？\n\nMail",
              AnswerMessageBox(L"ラウンチャーアイテム削除確認", IDOK, kWait).text);
    EXPECT_TRUE(WaitUntil([&] { return Rows(dialog).size() == 1; }, kWait));
    EXPECT_FALSE(FileExists(root_ + L"\\Mail.lnk"));
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
      Select(dialog, 0);
      Press(dialog, IDC_ITEMMANAGER_RENAME);
      HWND edit = nullptr;
      ASSERT_TRUE(WaitUntil([&] { return (edit = ListView_GetEditControl(GetDlgItem(dialog, IDC_ITEMMANAGER_LIST))) != nullptr; }, kWait));
      SetWindowTextW(edit, L"Renamed");
      SendMessageW(edit, WM_KEYDOWN, key, 0);
      EXPECT_TRUE(WaitUntil([&] { return Rows(dialog) == std::vector<std::wstring>{key == VK_ESCAPE ? L"Mail" : L"Renamed"}; }, kWait));
    }
  });
  EXPECT_TRUE(FileExists(root_ + L"\\Renamed\\inner.lnk"));
}

}  // namespace
