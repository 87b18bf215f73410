// The item operations and the run-order file on real folders.
#include <gtest/gtest.h>

#include <locale.h>
#include <objbase.h>

#include "base/text.h"
#include "base/trace.h"
#include "app/winmain.h"
#include "config/config.h"
#include "itemmanager/itemmanager_module.h"
#include "launch/launch.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

using namespace test;

const wchar_t kRenameError[] = L"ラウンチャーアイテム名変更エラー";
const wchar_t kMoveError[] = L"ラウンチャーアイテム移動エラー";

// A host symbolic link at `link` to `target`, made by /bin/ln through Wine.
void MakeHostLink(const std::wstring& target, const std::wstring& link) {
  typedef char*(CDECL * ToUnix)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring command = L"/bin/ln -s";
  for (const std::wstring* path : {&target, &link}) {
    char* unix = toUnix != nullptr ? toUnix(path->c_str()) : nullptr;
    if (unix == nullptr) return;
    wchar_t wide[MAX_PATH * 2] = L"";
    MultiByteToWideChar(CP_UTF8, 0, unix, -1, wide, MAX_PATH * 2);
    HeapFree(GetProcessHeap(), 0, unix);
    command += std::wstring(L" \"") + wide + L"\"";
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 250 && !FolderExists(link + L"\\"); ++i) Sleep(20);
}

class ItemOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    setlocale(LC_ALL, ".ACP");
    CoInitialize(nullptr);
    gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    root_ = temp_ / L"ラウンチャーアイテムルート";
    MakeFolder(root_);
    Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
  }
  void TearDown() override { CoUninitialize(); }

  static ItemEntry Entry(const wchar_t* fileName, bool isFolder) {
    ItemEntry entry = {};
    wcscpy(entry.fileName, fileName);
    entry.isFolder = isFolder;
    return entry;
  }
  // Runs `operation`, which shows one box captioned `caption`; returns its text.
  template <typename F>
  std::wstring Refused(const wchar_t* caption, F operation) {
    AsyncMessageBoxAnswer answer(caption, IDOK, 10000);
    EXPECT_EQ(-1, operation());
    return answer.Wait().text;
  }

  TempFolder temp_;
  std::wstring root_;
};

TEST_F(ItemOperations, RegisteringNumbersShortcutsAndNewFoldersAndReusesFreedNames) {
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

  // A file without extension holds the first name: creation goes on to the next.
  WriteBytes(root_ + L"\\新しいフォルダ", "");
  wchar_t name[D_SIZE_ITEMMANAGER_NAME];
  for (const wchar_t* expected : {L"新しいフォルダ (1)", L"新しいフォルダ (2)", L"新しいフォルダ (3)"}) {
    ASSERT_EQ(0, ItemManager_CreateFolder(root_.c_str(), name, D_SIZE_ITEMMANAGER_NAME));
    EXPECT_STREQ(expected, name);
    EXPECT_TRUE(FolderExists(root_ + L"\\" + expected));
  }
  RemoveDirectoryW((root_ + L"\\新しいフォルダ (2)").c_str());
  ASSERT_EQ(0, ItemManager_CreateFolder(root_.c_str(), name, D_SIZE_ITEMMANAGER_NAME));
  EXPECT_STREQ(L"新しいフォルダ (2)", name);
}

TEST_F(ItemOperations, RenameRefusesTakenAndUnsafeNamesAndKeepsTheOldOne) {
  WriteBytes(root_ + L"\\Foo.lnk", "x");
  MakeFolder(root_ + L"\\Post");
  const ItemEntry foo = Entry(L"Foo.lnk", false);
  EXPECT_EQ(L"既に同じ名称のラウンチャーアイテムが存在します",
            Refused(kRenameError, [&] { return ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"foo"); }));
  EXPECT_FALSE(Refused(kRenameError, [&] { return ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"Post"); })
                   .empty()) << "a folder Post and a shortcut Post.lnk would be one row";
  for (const wchar_t* name : {L"", L"..", L"..\\Up", L"sub\\x", L"a:b", L"NUL", L"Foo."}) {
    const std::wstring text =
        Refused(kRenameError, [&] { return ItemManager_RenameItem(nullptr, root_.c_str(), foo, name); });
    EXPECT_NE(std::wstring::npos, text.find(L"この名前は付けられません")) << name;
  }
  TraceRecorder recorder;
  ScopedTraceFlag trace(1);
  EXPECT_EQ(0, ItemManager_RenameItem(nullptr, root_.c_str(), foo, L"Foo"));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_TRACE, L"MoveFile(")) << "an unchanged name touches nothing";
  EXPECT_TRUE(FileExists(root_ + L"\\Foo.lnk"));
  EXPECT_EQ(0, ItemManager_RenameItem(nullptr, root_.c_str(), Entry(L"Post", true), L"Mail"));
  EXPECT_TRUE(FolderExists(root_ + L"\\Mail"));
}

TEST_F(ItemOperations, MovesStayInsideTheRootAndNeverLoseAFolder) {
  MakeFolder(root_ + L"\\A");
  MakeFolder(root_ + L"\\A\\Sub");
  MakeFolder(root_ + L"\\Tools");
  WriteBytes(root_ + L"\\A\\x.lnk", "x");
  WriteBytes(root_ + L"\\A\\Sub\\y.lnk", "y");
  const ItemEntry a = Entry(L"A", true);
  EXPECT_EQ(L"既に同じ名称のラウンチャーアイテムが存在します",
            Refused(kMoveError, [&] { return ItemManager_MoveItem(nullptr, root_.c_str(), a, root_.c_str()); }));
  for (const std::wstring& inside : {root_ + L"\\A", root_ + L"\\A\\Sub"}) {
    Refused(kMoveError, [&] { return ItemManager_MoveItem(nullptr, root_.c_str(), a, inside.c_str()); });
  }
  EXPECT_TRUE(FileExists(root_ + L"\\A\\x.lnk") && FileExists(root_ + L"\\A\\Sub\\y.lnk"));
  Refused(kMoveError, [&] { return ItemManager_MoveItem(nullptr, root_.c_str(), a, temp_.Path().c_str()); });
  EXPECT_TRUE(FolderExists(root_ + L"\\A"));

  wchar_t below[D_SIZE_ITEMMANAGER_PATH];
  EXPECT_EQ(0, ItemManager_CheckDestination(nullptr, (root_ + L"\\Tools").c_str(), below, D_SIZE_ITEMMANAGER_PATH));
  EXPECT_STREQ(L"\\Tools", below);
  EXPECT_EQ(0, ItemManager_MoveItem(nullptr, root_.c_str(), a, (root_ + L"\\Tools").c_str()));
  EXPECT_TRUE(FileExists(root_ + L"\\Tools\\A\\Sub\\y.lnk"));
}

TEST_F(ItemOperations, DeleteActsOnTheRowsOwnEntryAndNeverThroughALink) {
  MakeFolder(root_ + L"\\Mail");
  WriteBytes(root_ + L"\\Mail\\inner.lnk", "x");
  WriteBytes(root_ + L"\\Mail.lnk", "x");
  EXPECT_EQ(0, ItemManager_DeleteItem(root_.c_str(), Entry(L"Mail.lnk", false)));
  EXPECT_FALSE(FileExists(root_ + L"\\Mail.lnk"));
  EXPECT_TRUE(FileExists(root_ + L"\\Mail\\inner.lnk")) << "the folder of the same name is untouched";

  const std::wstring outside = temp_ / L"outside";
  MakeFolder(outside);
  WriteBytes(outside + L"\\precious.txt", "keep");
  WriteBytes(root_ + L"\\Mail\\.keep", "");
  // Wine cannot make links itself: the host's ln makes a Unix one.
  MakeHostLink(outside, root_ + L"\\Mail\\link");
  ASSERT_TRUE(FolderExists(root_ + L"\\Mail\\link\\")) << "no link made";
  EXPECT_EQ(0, ItemManager_DeleteItem(root_.c_str(), Entry(L"Mail", true)));
  EXPECT_TRUE(FileExists(root_ + L"\\Mail\\.keep"));
  EXPECT_FALSE(FileExists(root_ + L"\\Mail\\inner.lnk"));
  EXPECT_TRUE(FileExists(outside + L"\\precious.txt")) << "nothing is deleted through a link";
}

TEST_F(ItemOperations, OrderFileIsAnsiUnlessANameNeedsUtf8AndEveryNameReadsBack) {
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

  // A file another program holds against writing stays as it was.
  const std::string before = ReadBytes(root_ + L"\\order.ini");
  HANDLE held = CreateFileW((root_ + L"\\order.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  EXPECT_EQ(-1, ItemManager_WriteOrderFile(root_.c_str(), {L"Games"}));
  CloseHandle(held);
  EXPECT_EQ(before, ReadBytes(root_ + L"\\order.ini"));
  // A hidden one is written in place and stays hidden.
  SetFileAttributesW((root_ + L"\\order.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(0, ItemManager_WriteOrderFile(root_.c_str(), {L"Games"}));
  EXPECT_EQ("Games\r\n", ReadBytes(root_ + L"\\order.ini"));
  EXPECT_NE(0u, GetFileAttributesW((root_ + L"\\order.ini").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace
