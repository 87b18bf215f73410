// The real management dialog, opened in-process and driven from a second
// thread by the messages a user's actions produce.
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
#include "app/winmain.h"
#include "config/config.h"
#include "itemmanager/itemmanager.h"
#include "resource.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

using namespace test;

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(10)) {
    if (GetTickCount() - start > timeoutMs) return false;
  }
  return true;
}

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(Item(dialog, id)) != FALSE; }
void Press(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::vector<std::wstring> Rows(HWND dialog) {
  std::vector<std::wstring> rows;
  const int count = static_cast<int>(SendDlgItemMessageW(dialog, IDC_ITEMMANAGER_LIST, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    wchar_t text[256] = L"";
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = 256;
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

class ItemManagerDialog : public ::testing::Test {
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

TEST_F(ItemManagerDialog, ButtonsFollowTheSelectionAndTheLastPressWritesEveryItem) {
  MakeFolder(root_ + L"\\Games");
  WriteBytes(root_ + L"\\表示.lnk", "");
  WriteBytes(root_ + L"\\Web.lnk", "");
  WriteBytes(root_ + L"\\readme.txt", "");
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
    for (int key : {IDOK, IDCANCEL}) SendMessageW(dialog, WM_COMMAND, key, 0);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Enter and Esc leave the dialog open";
    SendMessageW(dialog, WM_COMMAND, IDC_ITEMMANAGER_BOTTOM, 0);
    rows.push_back(rows.front());
    rows.erase(rows.begin());
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

// Three paths dropped on a tree node that is not selected; Yes, then Cancel.
TEST_F(ItemManagerDialog, DropsRegisterInTheCurrentFolderUntilCancelled) {
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
    PostMessageW(Item(dialog, IDC_ITEMMANAGER_TREE), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    const SeenMessageBox first = AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDYES, 10000);
    EXPECT_NE(std::wstring::npos, first.text.find(L"\n\nC:\\one.exe"));
    EXPECT_TRUE(AnswerMessageBox(L"ラウンチャーアイテム登録確認", IDCANCEL, 10000).found);
    EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"#32770", L"ラウンチャーアイテム登録確認") == nullptr; }));
    EXPECT_FALSE(WaitUntil([] { return FindWindowW(L"#32770", L"ラウンチャーアイテム登録確認") != nullptr; }, 500))
        << "the third path is never asked about";
    const std::vector<std::wstring> rows = Rows(dialog);
    EXPECT_EQ(1, std::count(rows.begin(), rows.end(), L"one へのショートカット"));
  });
  EXPECT_EQ(L"C:\\one.exe", ShortcutTarget(root_ + L"\\one へのショートカット.lnk"));
  EXPECT_FALSE(FileExists(root_ + L"\\two へのショートカット.lnk"));
  EXPECT_FALSE(FileExists(root_ + L"\\Sub\\one へのショートカット.lnk"));
}

TEST_F(ItemManagerDialog, EachRowActsOnItsOwnEntryAndEscRenamesNothing) {
  MakeFolder(root_ + L"\\Mail");
  for (const wchar_t* name : {L"\\Mail\\inner.lnk", L"\\Mail.lnk", L"\\..lnk", L"\\...lnk"}) WriteBytes(root_ + name, "");
  WriteBytes(root_ + L"\\order.ini", "Mail.lnk\r\nMail\r\n.\r\n..\r\n");
  Run([&](HWND dialog) {
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

TEST_F(ItemManagerDialog, TestRunListsEveryShortcutBeneathAFolderInRunOrder) {
  MakeFolder(root_ + L"\\Run");
  MakeFolder(root_ + L"\\Run\\Sub");
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
