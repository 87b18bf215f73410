// First run: the sample launcher item root with its Notepad shortcuts; and the
// deletion of config.ini and the root beside the running program.
#include <gtest/gtest.h>

#include <objbase.h>

#include <set>
#include <string>

#include "config/config.h"
#include "support/test_support.h"

namespace {

// Every entry below `folder`, as paths relative to it.
void Collect(const std::wstring& folder, const std::wstring& relative, std::set<std::wstring>* entries) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + relative + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = relative.empty() ? name : relative.substr(1) + L"\\" + name;
    entries->insert(path);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Collect(folder, relative + L"\\" + name, entries);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

class FirstRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    wcscpy_s(gTCHAR_Config_LauncherItemRootPath, root_.c_str());
  }
  void TearDown() override {
    gTCHAR_Config_LauncherItemRootPath[0] = L'\0';
    CoUninitialize();
  }
  test::TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
};

TEST_F(FirstRun, DefaultRootHoldsTheTenSampleEntriesPointingAtNotepad) {
  ASSERT_EQ(0, Config_CreateDefaultLauncherItemRoot());
  const std::wstring one = L"サンプル\\とりあえずメモ帳1個", two = L"サンプル\\とりあえずメモ帳2個",
                     three = L"サンプル\\とりあえずメモ帳3個";
  const std::wstring shortcut = L"\\notepad - ショートカット.lnk", shortcut1 = L"\\notepad - ショートカット (1).lnk",
                     shortcut2 = L"\\notepad - ショートカット (2).lnk";
  const std::set<std::wstring> folders = {L"サンプル", one, two, three};
  const std::set<std::wstring> shortcuts = {one + shortcut,   two + shortcut,   two + shortcut1,
                                            three + shortcut, three + shortcut1, three + shortcut2};
  std::set<std::wstring> expected = folders;
  expected.insert(shortcuts.begin(), shortcuts.end());

  std::set<std::wstring> found;
  Collect(root_, L"", &found);
  EXPECT_EQ(expected, found);  // exactly these ten: no order.ini or anything else

  wchar_t windows[MAX_PATH];
  ASSERT_NE(0u, GetWindowsDirectoryW(windows, MAX_PATH));
  const std::wstring notepad = std::wstring(windows) + L"\\notepad.exe";
  for (const std::wstring& folder : folders) EXPECT_TRUE(test::FolderExists(root_ + L"\\" + folder)) << folder;
  for (const std::wstring& link : shortcuts) {
    EXPECT_TRUE(test::FileExists(root_ + L"\\" + link)) << link;
    EXPECT_EQ(notepad, test::ShortcutTarget(root_ + L"\\" + link)) << link;
  }
}

TEST_F(FirstRun, ExistingRootIsLeftAsItIs) {
  test::MakeFolder(root_);
  test::WriteBytes(root_ + L"\\mine.lnk", "mine");
  EXPECT_EQ(-1, Config_CreateDefaultLauncherItemRoot());
  std::set<std::wstring> found;
  Collect(root_, L"", &found);
  EXPECT_EQ(std::set<std::wstring>{L"mine.lnk"}, found);
  EXPECT_EQ("mine", test::ReadBytes(root_ + L"\\mine.lnk"));
}

TEST_F(FirstRun, RootUnderAMissingFolderFails) {
  const std::wstring nowhere = temp_ / L"missing\\ラウンチャーアイテムルート";
  wcscpy_s(gTCHAR_Config_LauncherItemRootPath, nowhere.c_str());
  EXPECT_EQ(-1, Config_CreateDefaultLauncherItemRoot());
  EXPECT_FALSE(test::FolderExists(temp_ / L"missing"));
}

// Works beside the test program itself, so it runs only where nothing of the
// kind is there already: it never deletes a file it did not make.
TEST(ConfigDeleteSettingFiles, RemovesConfigAndRootBesideTheProgramOnly) {
  const std::wstring bin = test::BinFolder();
  const std::wstring config = bin + L"\\config.ini", root = bin + L"\\ラウンチャーアイテムルート",
                     help = bin + L"\\CorvantaHelp.chm";
  if (GetFileAttributesW(config.c_str()) != INVALID_FILE_ATTRIBUTES ||
      GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES ||
      GetFileAttributesW(help.c_str()) != INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "config.ini, the root or the help file already exists beside the test program";
  }
  test::WriteBytes(config, "[CONTROL_SETTING]\r\n");
  test::WriteBytes(help, "help");
  test::MakeFolder(root);
  test::MakeFolder(root + L"\\サンプル");
  test::WriteBytes(root + L"\\サンプル\\order.ini", "x");
  test::WriteBytes(root + L"\\サンプル\\a.lnk", "x");

  EXPECT_EQ(0, Config_DeleteSettingFiles());
  EXPECT_FALSE(test::FileExists(config));
  EXPECT_FALSE(test::FolderExists(root));
  EXPECT_EQ("help", test::ReadBytes(help)) << "the help file is not touched";
  // With nothing left to delete it still succeeds.
  EXPECT_EQ(0, Config_DeleteSettingFiles());

  test::RemoveTree(root);
  test::RemoveTree(config);
  DeleteFileW(help.c_str());
}

}  // namespace
