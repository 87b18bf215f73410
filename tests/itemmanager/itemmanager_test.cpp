// The item operations on real folders, and the real management dialog opened
// in-process and driven from a second thread by the messages of a user's actions.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <locale.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "base/text.h"
#include "base/trace.h"
#include "app/winmain.h"
#include "config/config.h"
#include "itemmanager/itemmanager.h"
#include "itemmanager/itemmanager_module.h"
#include "launch/launch.h"
#include "resource.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

using namespace test;

const wchar_t kRenameError[] = L"ラウンチャーアイテム名変更エラー";
const wchar_t kMoveError[] = L"ラウンチャーアイテム移動エラー";

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(10)) {
    if (GetTickCount() - start > timeoutMs) return false;
  }
  return true;
}

// A host symbolic link at `link` to `target`: Wine cannot make one itself.
void MakeHostLink(const std::wstring& target, const std::wstring& link) {
  typedef char*(CDECL * ToUnix)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring command = L"/bin/ln -s";
  for (const std::wstring* path : {&target, &link}) {
    char* unix = toUnix != nullptr ? toUnix(path->c_str()) : nullptr;
    wchar_t wide[MAX_PATH * 2] = L"";
    if (unix != nullptr) MultiByteToWideChar(CP_UTF8, 0, unix, -1, wide, MAX_PATH * 2);
    command += std::wstring(L" \"") + wide + L"\"";
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    WaitUntil([&] { return FolderExists(link + L"\\"); });  // a host program gives Wine no exit to wait for
  }
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
void Press(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::vector<std::wstring> Rows(HWND dialog) {
  std::vector<std::wstring> rows;
  wchar_t text[256];
  LVITEMW item = {};
  item.pszText = text;
  item.cchTextMax = 256;
  for (int row = 0; row < SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_GETITEMCOUNT, 0, 0); ++row) {
    SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    rows.push_back(text);
  }
  return rows;
}

void Select(HWND dialog, int row) {
  LVITEMW item = {};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
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
    root_ = temp_ / L"ラウンチャーアイテムルート";
    MakeFolder(root_);
    Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
    longAutoCloseProgressWindow = 0;
  }
  void TearDown() override { CoUninitialize(); }

  // Runs `operation`, which shows one box captioned `caption`; returns its text.
  std::wstring Refused(const wchar_t* caption, const std::function<int()>& operation) {
    AsyncMessageBoxAnswer answer(caption, IDOK, 10000);
    EXPECT_EQ(-1, operation());
    return answer.Wait().text;
  }
  // Opens the dialog; `script` drives it from a second thread, then the close box closes it.
  void Run(const std::function<void(HWND)>& script) {
    bool found = false;
    std::thread driver([&] {
      HWND dialog = nullptr;
      found = WaitUntil([&] { return IsWindowVisible(dialog = FindWindowW(L"#32770", L"ラウンチャーアイテム管理")); });
      if (found) script(dialog);
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, ItemManager_ShowDialog());
    driver.join();
    EXPECT_TRUE(found);
  }

  TempFolder temp_;
  std::wstring root_;
};

TEST_F(ItemManager, RegisteringNumbersShortcutsAndNewFoldersAndReusesFreedNames) {
  const std::wstring target = L"C:\\Tools\\editor.exe";
  for (int i = 0; i < 2; ++i) EXPECT_EQ(0, ItemManager_RegisterShortcut(root_.c_str(), target.c_str()));
  EXPECT_EQ(target, ShortcutTarget(root_ + L"\\editor へのショートカット.lnk"));
  EXPECT_EQ(target, ShortcutTarget(root_ + L"\\editor へのショートカット (1).lnk"));
  // A folder of the next name would show as the same row: that name is skipped.
  MakeFolder(root_ + L"\\editor へのショートカット (2)");
  EXPECT_EQ(0, ItemManager_RegisterShortcut(root_.c_str(), target.c_str()));
  EXPECT_TRUE(FileExists(root_ + L"\\editor へのショートカット (3).lnk"));
  EXPECT_EQ(0, ItemManager_RegisterShortcut(root_.c_str(), L"C:\\Data\\Projects"));
  EXPECT_EQ(L"C:\\Data\\Projects", ShortcutTarget(root_ + L"\\Projects へのショートカット.lnk"));
  EXPECT_EQ(-1, ItemManager_RegisterShortcut(root_.c_str(), (L"C:\\" + std::wstring(300, L'x')).c_str()));

  // A file without extension, or a shortcut of the same display name, holds a name: creation goes on.
  for (const wchar_t* file : {L"\\新しいフォルダ", L"\\新しいフォルダ (1).lnk"}) WriteBytes(root_ + file, "");
  wchar_t name[D_SIZE_ITEMMANAGER_NAME];
  for (const wchar_t* expected : {L"新しいフォルダ (2)", L"新しいフォルダ (3)", L"新しいフォルダ (4)"}) {
    ASSERT_EQ(0, ItemManager_CreateFolder(root_.c_str(), name, D_SIZE_ITEMMANAGER_NAME));
    EXPECT_STREQ(expected, name);
    EXPECT_TRUE(FolderExists(root_ + L"\\" + expected));
  }
  RemoveDirectoryW((root_ + L"\\新しいフォルダ (3)").c_str());
  ASSERT_EQ(0, ItemManager_CreateFolder(root_.c_str(), name, D_SIZE_ITEMMANAGER_NAME));
  EXPECT_STREQ(L"新しいフォルダ (3)", name);
}

TEST_F(ItemManager, RenameRefusesTakenAndUnsafeNamesAndKeepsTheOldOne) {
  WriteBytes(root_ + L"\\Foo.lnk", "x");
  const ItemEntry foo = {L"Foo.lnk", false};
  EXPECT_EQ(L"既に同じ名称のラウンチャーアイテムが存在します",
            Refused(kRenameError, [&] { return ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"foo"); }));
  for (const wchar_t* name : {L"", L"..", L"..\\Up", L"sub\\x", L"a:b", L"NUL", L"Foo."}) {
    const std::wstring text =
        Refused(kRenameError, [&] { return ItemManager_RenameItem(nullptr, root_.c_str(), foo, name); });
    EXPECT_NE(std::wstring::npos, text.find(L"この名前は付けられません")) << name;
  }
  TraceRecorder recorder;
  ScopedTraceFlag trace(1);
  EXPECT_EQ(0, ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"Foo"));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_TRACE, L"MoveFile(")) << "an unchanged name touches nothing";
}

TEST_F(ItemManager, MovesStayInsideTheRootAndNeverLoseAFolder) {
  for (const wchar_t* folder : {L"\\A", L"\\A\\Sub", L"\\Tools"}) MakeFolder(root_ + folder);
  for (const wchar_t* file : {L"\\A\\x.lnk", L"\\A\\Sub\\y.lnk"}) WriteBytes(root_ + file, "x");
  const ItemEntry a = {L"A", true};
  EXPECT_EQ(L"既に同じ名称のラウンチャーアイテムが存在します",
            Refused(kMoveError, [&] { return ItemManager_MoveItem(nullptr, root_.c_str(), a, root_.c_str()); }));
  for (const std::wstring& inside : {root_ + L"\\A", root_ + L"\\A\\Sub"}) {
    Refused(kMoveError, [&] { return ItemManager_MoveItem(nullptr, root_.c_str(), a, inside.c_str()); });
  }
  EXPECT_TRUE(FileExists(root_ + L"\\A\\x.lnk") && FileExists(root_ + L"\\A\\Sub\\y.lnk"));
  Refused(kMoveError, [&] { return ItemManager_MoveItem(nullptr, root_.c_str(), a, temp_.Path().c_str()); });
  EXPECT_TRUE(FolderExists(root_ + L"\\A"));

  EXPECT_EQ(0, ItemManager_MoveItem(nullptr, root_.c_str(), a, (root_ + L"\\Tools").c_str()));
  EXPECT_TRUE(FileExists(root_ + L"\\Tools\\A\\Sub\\y.lnk"));
}

TEST_F(ItemManager, DeletingAFolderKeepsDotNamesAndNeverDeletesThroughALink) {
  MakeFolder(root_ + L"\\Mail");
  for (const wchar_t* file : {L"\\Mail\\inner.lnk", L"\\Mail\\.keep"}) WriteBytes(root_ + file, "x");
  const std::wstring outside = temp_ / L"outside";
  MakeFolder(outside);
  WriteBytes(outside + L"\\precious.txt", "keep");
  MakeHostLink(outside, root_ + L"\\Mail\\link");
  ASSERT_TRUE(FolderExists(root_ + L"\\Mail\\link\\")) << "no link made";
  EXPECT_EQ(0, ItemManager_DeleteItem(root_.c_str(), ItemEntry{L"Mail", true}));
  EXPECT_TRUE(FileExists(root_ + L"\\Mail\\.keep"));
  EXPECT_FALSE(FileExists(root_ + L"\\Mail\\inner.lnk"));
  EXPECT_TRUE(FileExists(outside + L"\\precious.txt")) << "nothing is deleted through a link";
}

TEST_F(ItemManager, OrderFileIsAnsiUnlessANameNeedsUtf8AndEveryNameReadsBack) {
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), {L"Games", L"表示.lnk", L"Mail.lnk"}));
  EXPECT_EQ("Games\r\n" + ToAnsi(L"表示.lnk") + "\r\nMail.lnk\r\n", ReadBytes(root_ + L"\\order.ini"));

  const std::vector<std::wstring> names = {L"한글.lnk", L"表示 %s.lnk", L"Müller", std::wstring(600, L'z')};
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), names));
  EXPECT_EQ(0u, ReadBytes(root_ + L"\\order.ini").find("\xEF\xBB\xBF"));
  RunOrderEntry* list = nullptr;
  RunOrder_Read(root_.c_str(), &list);
  std::vector<std::wstring> read;
  for (RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) read.push_back(entry->name);
  RunOrder_Free(list);
  // A line longer than 511 characters comes back in pieces, as always.
  EXPECT_EQ((std::vector<std::wstring>{names[0], names[1], names[2], std::wstring(511, L'z'), std::wstring(89, L'z')}),
            read);

  // A hidden one is written in place and stays hidden.
  SetFileAttributesW((root_ + L"\\order.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), {L"Games"}));
  EXPECT_EQ("Games\r\n", ReadBytes(root_ + L"\\order.ini"));
  EXPECT_NE(0u, GetFileAttributesW((root_ + L"\\order.ini").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(ItemManager, ButtonsFollowTheSelectionAndTheLastPressWritesEveryItem) {
  MakeFolder(root_ + L"\\Games");
  for (const wchar_t* file : {L"\\表示.lnk", L"\\Web.lnk", L"\\readme.txt"}) WriteBytes(root_ + file, "");
  Run([&](HWND dialog) {
    std::vector<std::wstring> rows = Rows(dialog);
    ASSERT_EQ(3u, rows.size());
    EXPECT_FALSE(Enabled(dialog, IDC_ITEMMANAGER_DELETE) || Enabled(dialog, IDC_ITEMMANAGER_BOTTOM));
    EXPECT_TRUE(Enabled(dialog, IDC_ITEMMANAGER_TEST_RUN) && Enabled(dialog, IDC_ITEMMANAGER_REGISTER));
    AsyncMessageBoxAnswer none(L"テスト実行エラー", IDOK, 10000);
    Press(dialog, IDC_ITEMMANAGER_TEST_RUN);
    EXPECT_EQ(L"アイテムが選択されていません。\nアイテムを選択し再度実行してください", none.Wait().text);
    Select(dialog, 0);
    EXPECT_TRUE(Enabled(dialog, IDC_ITEMMANAGER_BOTTOM) && !Enabled(dialog, IDC_ITEMMANAGER_TOP));
    SendMessageW(dialog, WM_COMMAND, IDC_ITEMMANAGER_BOTTOM, 0);
    std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    EXPECT_EQ(rows, Rows(dialog));
    EXPECT_EQ(2, SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    EXPECT_FALSE(Enabled(dialog, IDC_ITEMMANAGER_DOWN) || Enabled(dialog, IDC_ITEMMANAGER_BOTTOM));
    std::string expected;
    for (const std::wstring& row : rows) expected += ToAnsi(row == L"Games" ? row : row + L".lnk") + "\r\n";
    EXPECT_EQ(expected, ReadBytes(root_ + L"\\order.ini"));

    // A file held against writing: told, unchanged, and the list shows the disk again.
    HANDLE held = CreateFileW((root_ + L"\\order.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    Select(dialog, 0);
    Press(dialog, IDC_ITEMMANAGER_DOWN);
    EXPECT_TRUE(AnswerMessageBox(L"実行順変更エラー", IDOK, 10000).found);
    CloseHandle(held);
    EXPECT_TRUE(WaitUntil([&] { return Rows(dialog) == rows; }));
    EXPECT_EQ(expected, ReadBytes(root_ + L"\\order.ini"));
  });
}

TEST_F(ItemManager, DropsOnAnUnselectedNodeRegisterInTheCurrentFolderUntilCancelled) {
  MakeFolder(root_ + L"\\Sub");
  const std::wstring paths = L"C:\\one.exe|C:\\two.exe|C:\\three.exe|";
  Run([&](HWND dialog) {
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (paths.size() + 1) * sizeof(wchar_t));
    DROPFILES* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    wchar_t* list = reinterpret_cast<wchar_t*>(files + 1);
    for (size_t i = 0; i < paths.size(); ++i) list[i] = paths[i] == L'|' ? L'\0' : paths[i];
    GlobalUnlock(drop);
    PostMessageW(GetDlgItem(dialog, IDC_ITEMMANAGER_TREE), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_NE(std::wstring::npos,
              AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDYES, 10000).text.find(L"\n\nC:\\one.exe"));
    EXPECT_TRUE(AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDCANCEL, 10000).found);
    EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"#32770", L"ラウンチャーアイテム登録確認") == nullptr; }));
    EXPECT_FALSE(WaitUntil([] { return FindWindowW(L"#32770", L"ラウンチャーアイテム登録確認") != nullptr; }, 500))
        << "the third path is never asked about";
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
  MakeHostLink(root_, root_ + L"\\Mail\\loop");  // the tree shows a link but never enters it
  Run([&](HWND dialog) {
    EXPECT_EQ(3, SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_TREE, TVM_GETCOUNT, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"Mail", L"Mail"}), Rows(dialog)) << "nothing lists as . or ..";
    Select(dialog, 0);
    Press(dialog, IDC_ITEMMANAGER_DELETE);
    EXPECT_EQ(L"以下のアイテムを削除します。\nよろしいですか？\n\nMail",
              AnswerMessageBox(L"ラウンチャーアイテム削除確認", IDOK, 10000).text);
    EXPECT_TRUE(WaitUntil([&] { return Rows(dialog).size() == 1; }));
    EXPECT_FALSE(FileExists(root_ + L"\\Mail.lnk"));
    EXPECT_TRUE(FileExists(root_ + L"\\Mail\\inner.lnk"));

    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
      Select(dialog, 0);
      Press(dialog, IDC_ITEMMANAGER_RENAME);
      HWND edit = nullptr;
      ASSERT_TRUE(WaitUntil([&] {
        return (edit = reinterpret_cast<HWND>(SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_GETEDITCONTROL, 0, 0))) != nullptr;
      }));
      SetWindowTextW(edit, L"Renamed");
      SendMessageW(edit, WM_KEYDOWN, key, 0);
      EXPECT_TRUE(WaitUntil([&] { return Rows(dialog) == std::vector<std::wstring>{key == VK_ESCAPE ? L"Mail" : L"Renamed"}; }));
    }
  });
  EXPECT_TRUE(FileExists(root_ + L"\\Renamed\\inner.lnk"));
}

TEST_F(ItemManager, TestRunListsEveryShortcutBeneathAFolderInRunOrder) {
  for (const wchar_t* folder : {L"\\Run", L"\\Run\\Sub"}) MakeFolder(root_ + folder);
  for (const wchar_t* name : {L"\\Run\\a.lnk", L"\\Run\\b.lnk", L"\\Run\\Sub\\c.lnk"}) WriteBytes(root_ + name, "");
  WriteBytes(root_ + L"\\Run\\order.ini", "b.lnk\r\nSub\r\n");
  std::wstring log;
  Run([&](HWND dialog) {
    Select(dialog, 0);
    Press(dialog, IDC_ITEMMANAGER_TEST_RUN);
    HWND progress = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(progress = FindWindowW(L"#32770", L"Launch Progress")); }));
    WaitUntil([&] {
      wchar_t text[2048] = L"";
      GetDlgItemTextW(progress, IDC_LAUNCH_PROGRESS_LOG, text, 2048);
      log = text;
      return log.find(L"処理件数") != std::wstring::npos;
    });
    PostMessageW(progress, WM_COMMAND, IDC_LAUNCH_PROGRESS_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(progress); }));
  });
  const size_t b = log.find(L"\\Run\\b.lnk ....."), c = log.find(L"\\Run\\Sub\\c.lnk ....."),
               a = log.find(L"\\Run\\a.lnk .....");
  EXPECT_TRUE(b < c && c < a && a != std::wstring::npos) << log;
  EXPECT_NE(std::wstring::npos, log.find(L"テスト実行を開始します")) << log;
}

}  // namespace
