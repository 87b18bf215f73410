// Reading order.ini and collecting the launch list from real folders: run
// order first, then the listing order, depth first; walks must not run away.
#include <gtest/gtest.h>
#include <locale.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/handles.h"
#include "base/trace.h"
#include "launch/launch.h"
#include "support/test_support.h"

namespace {

using test::MakeFolder;
using test::WriteBytes;
using Paths = std::vector<std::wstring>;

void Touch(const std::wstring& path) { WriteBytes(path, ""); }

TEST(RunOrder, LinesAreCutAtTheirEndKeptAsTheyAreAndReadIn511CharacterPieces) {
  setlocale(LC_ALL, ".ACP");
  test::TempFolder temp;
  RunOrderEntry* list = reinterpret_cast<RunOrderEntry*>(1);
  EXPECT_EQ(0, RunOrder_Read(temp.Path().c_str(), &list));
  EXPECT_EQ(nullptr, list) << "no order.ini, no entries";
  WriteBytes(temp / L"order.ini", "  padded .lnk \r\n\r\nlf-only\ncr\rmid\r\n" + std::string(600, 'a') + "\r\n" +
                                      std::string(511, 'c') + "\r\nlast-without-end");
  ASSERT_EQ(0, RunOrder_Read(temp.Path().c_str(), &list));
  Paths names;
  for (const RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) names.push_back(entry->name);
  RunOrder_Free(list);
  // A line of exactly 511 characters leaves its line end for a second, empty piece.
  EXPECT_EQ((Paths{L"  padded .lnk ", L"", L"lf-only", L"cr", std::wstring(511, L'a'), std::wstring(89, L'a'),
                   std::wstring(511, L'c'), L"", L"last-without-end"}),
            names);
}

// A folder's entry names in the order the file system lists them, dot-names left out.
Paths ListingOf(const std::wstring& folder) {
  Paths names;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
  while (search.Valid()) {
    if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
    if (!FindNextFileW(search.Get(), &found)) break;
  }
  return names;
}

// Runs a host program in `directory` (Wine makes it the Unix current
// directory); true once `effect` exists (or is gone), within five seconds.
bool RunUnix(const wchar_t* image, std::wstring commandLine, const std::wstring& directory,
             const std::wstring& effect, bool exists) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(image, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  auto done = [&] { return (GetFileAttributesW(effect.c_str()) != INVALID_FILE_ATTRIBUTES) == exists; };
  for (int i = 0; i < 250 && !done(); ++i) Sleep(20);
  return done();
}

class Collect : public ::testing::Test {
 protected:
  void SetUp() override {
    setlocale(LC_ALL, ".ACP");
    MakeFolder(root_);
  }
  void TearDown() override { Launch_FreeItemList(&glong_Launch_ItemCount); }

  // Collects `path` and returns the paths in launch order, checking that the
  // count and the tail agree with the list.
  Paths Run(const std::wstring& path) {
    Launch_FreeItemList(&glong_Launch_ItemCount);
    EXPECT_EQ(0, Launch_CollectItems(path.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail,
                                     &glong_Launch_ItemCount));
    Paths paths;
    const LaunchItem* last = nullptr;
    for (const LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) {
      paths.push_back(item->path);
      last = item;
    }
    EXPECT_EQ(last, gLaunchItem_Launch_ListTail);
    EXPECT_EQ(static_cast<long>(paths.size()), glong_Launch_ItemCount);
    return paths;
  }

  std::wstring In(const std::wstring& name) const { return root_ + L"\\" + name; }

  test::TempFolder temp_;
  const std::wstring root_ = temp_ / L"root";
};

TEST_F(Collect, ListedItemsFirstThenTheListingDepthFirstWhereOnlyAnExactLnkAndNoDotNameCounts) {
  for (const wchar_t* folder : {L"Sub", L"Zed", L".dotdir"}) MakeFolder(In(folder));
  for (const wchar_t* file : {L"b.lnk", L"a.lnk", L"c.lnk", L"Sub\\s1.lnk", L"Sub\\s2.lnk", L"Zed\\z1.lnk",
                              L"Zed\\z2.lnk", L"readme.txt", L"x.lnkold", L"Tool.LNK", L".hidden.lnk",
                              L".dotdir\\in.lnk"}) {
    Touch(In(file));
  }
  WriteBytes(In(L"order.ini"), "b.lnk\r\nSub\r\n");
  Paths expected{In(L"b.lnk")};
  for (const std::wstring& name : ListingOf(In(L"Sub"))) expected.push_back(In(L"Sub\\" + name));
  for (const std::wstring& name : ListingOf(root_)) {
    if (name == L"Zed") {
      for (const std::wstring& inner : ListingOf(In(L"Zed"))) expected.push_back(In(L"Zed\\" + inner));
    } else if (name == L"a.lnk" || name == L"c.lnk") {
      expected.push_back(In(name));
    }
  }
  ASSERT_EQ(7u, expected.size());
  EXPECT_EQ(expected, Run(root_));
}

TEST_F(Collect, ListedNamesFollowTheFileSystem) {
  MakeFolder(In(L".dotdir"));
  for (const wchar_t* file : {L"d.lnk", L"Mail.lnk", L"x.lnkold", L"Tool.LNK", L".hidden.lnk", L".dotdir\\in.lnk"}) {
    Touch(In(file));
  }
  WriteBytes(In(L"order.ini"), "d.lnk\r\nmail.lnk\r\nd.lnk\r\nx.lnkold\r\nTool.LNK\r\n.hidden.lnk\r\n.dotdir\r\n");
  // The line mail.lnk finds Mail.lnk, but the unlisted pass compares exactly
  // and collects Mail.lnk a second time.
  EXPECT_EQ((Paths{In(L"d.lnk"), In(L"mail.lnk"), In(L"d.lnk"), In(L"x.lnkold"), In(L".hidden.lnk"),
                   In(L".dotdir\\in.lnk"), In(L"Mail.lnk")}),
            Run(root_));
}

TEST_F(Collect, NoFolderIsOneItemAsItIsAFolderWithoutShortcutsNothing) {
  Touch(In(L"note.txt"));
  for (const std::wstring& path : {In(L"missing.lnk"), In(L"note.txt"), temp_ / L"no\\such\\place"}) {
    EXPECT_EQ(Paths{path}, Run(path));
  }
  for (const wchar_t* folder : {L"empty", L"nested"}) MakeFolder(In(folder));
  for (const wchar_t* file : {L"x.lnkold", L"Tool.LNK", L"lnk", L"nested\\app.exe"}) Touch(In(file));
  WriteBytes(In(L"order.ini"), "note.txt\r\nempty\r\n");
  EXPECT_TRUE(Run(root_).empty());
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead);
}

TEST_F(Collect, JapaneseOrderFileFindsJapaneseShortcuts) {
  if (GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
  MakeFolder(In(L"ソフト"));
  for (const wchar_t* file : {L"メール.lnk", L"表計算.lnk", L"予定.lnk", L"ソフト\\能力.lnk"}) Touch(In(file));
  const std::string order = test::ToAnsi(L"表計算.lnk\r\nソフト\r\n");
  ASSERT_EQ('\\', order[1]) << "表 (like ソ) ends in the byte of a backslash";
  WriteBytes(In(L"order.ini"), order);
  Paths expected{In(L"表計算.lnk"), In(L"ソフト\\能力.lnk")};
  for (const std::wstring& name : ListingOf(root_)) {
    if (name == L"メール.lnk" || name == L"予定.lnk") expected.push_back(In(name));
  }
  EXPECT_EQ(expected, Run(root_));
}

TEST_F(Collect, LinesLeadingOutOfTheFolderAreRejectedAndReported) {
  MakeFolder(temp_ / L"x");
  MakeFolder(In(L"sub"));
  for (const std::wstring& file : {In(L"a.lnk"), In(L"sub\\s.lnk"), temp_ / L"top.lnk", temp_ / L"x\\x.lnk"}) {
    Touch(file);
  }
  const Paths lines{L".", L"..", L"..\\x", L"../top.lnk", temp_ / L"x", L"...", L" ", L"sub\\s.lnk"};
  std::wstring order;
  for (const std::wstring& line : lines) order += line + L"\r\n";
  WriteBytes(In(L"order.ini"), test::ToAnsi(order));

  test::TraceRecorder recorder;
  Paths expected;
  for (const std::wstring& name : ListingOf(root_)) {
    if (name != L"order.ini") expected.push_back(name == L"sub" ? In(L"sub\\s.lnk") : In(name));
  }
  EXPECT_EQ(expected, Run(root_)) << "nothing outside the folder, nothing twice";
  for (const std::wstring& line : lines) {
    EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"(" + line + L")")) << "no report for: " << test::ToAnsi(line);
  }
}

TEST_F(Collect, FolderLinkLoopEnds) {
  Touch(In(L"a.lnk"));
  WriteBytes(In(L"order.ini"), "self\r\n");
  // loop -> the folder above root (which holds only root), self -> root itself.
  const bool made = RunUnix(L"Z:\\bin\\ln", L"/bin/ln -s .. loop", root_, In(L"loop"), true) &&
                    RunUnix(L"Z:\\bin\\ln", L"/bin/ln -s . self", root_, In(L"self"), true);
  if (!made || (GetFileAttributesW(In(L"loop").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    RunUnix(L"Z:\\bin\\rm", L"/bin/rm -f loop self", root_, In(L"loop"), false);
    GTEST_SKIP() << "no folder link could be made with /bin/ln under this system";
  }
  test::TraceRecorder recorder;
  Paths paths = Run(root_);
  // root\a.lnk, then once more through loop\root; the second visit of loop
  // (and self, both times) would enter a folder already on the walk.
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ((Paths{In(L"a.lnk"), In(L"loop\\root\\a.lnk")}), paths);
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, In(L"self")));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, In(L"loop\\root\\loop")));
  EXPECT_TRUE(RunUnix(L"Z:\\bin\\rm", L"/bin/rm -f loop self", root_, In(L"loop"), false));
}

TEST_F(Collect, FreeItemListEmptiesTheListAndClosesProcessHandles) {
  for (const wchar_t* file : {L"a.lnk", L"b.lnk"}) Touch(In(file));
  ASSERT_EQ(2u, Run(root_).size());
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  gLaunchItem_Launch_ListTail->process = event;
  gLaunchItem_Launch_Cursor = gLaunchItem_Launch_ListHead;
  EXPECT_EQ(0, Launch_FreeItemList(&glong_Launch_ItemCount));
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(event, &flags)) << "the process handle is closed";
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListTail);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_Cursor);
  EXPECT_EQ(0, glong_Launch_ItemCount);
}

}  // namespace
