// Collecting the launch list from real folders: run order first, then the
// listing order, depth first; the naming rules of both passes; and walks that
// must not run away (lines leading out, folder links forming a loop, paths
// too long for a record).
#include <gtest/gtest.h>
#include <locale.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/handles.h"
#include "app/trace.h"
#include "launch/launch.h"
#include "support/test_support.h"

namespace {

using test::MakeFolder;
using test::WriteBytes;
using Paths = std::vector<std::wstring>;

void Touch(const std::wstring& path) { WriteBytes(path, ""); }

// A folder's entry names in the order the file system lists them, dot-names left out.
Paths ListingOf(const std::wstring& folder) {
  Paths names;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
  if (!search.Valid()) return names;
  do {
    if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
  } while (FindNextFileW(search.Get(), &found));
  return names;
}

// Starts a host program with `directory` as its working folder (Wine makes it
// the Unix current directory) and waits up to five seconds for `effect` to exist.
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
  for (int i = 0; i < 250; ++i) {
    if ((GetFileAttributesW(effect.c_str()) != INVALID_FILE_ATTRIBUTES) == exists) return true;
    Sleep(20);
  }
  return false;
}

class Collect : public ::testing::Test {
 protected:
  void SetUp() override {
    setlocale(LC_ALL, ".ACP");
    MakeFolder(root_);
  }
  void TearDown() override { Launch_FreeItemList(&glong_Launch_ItemCount); }

  // Collects `path` into the launch list and returns the paths in launch order,
  // checking that the count and the tail agree with the list.
  Paths Run(const std::wstring& path, int expectedResult = 0) {
    Launch_FreeItemList(&glong_Launch_ItemCount);
    EXPECT_EQ(expectedResult, Launch_CollectItems(path.c_str(), &gLaunchItem_Launch_ListHead,
                                                  &gLaunchItem_Launch_ListTail, &glong_Launch_ItemCount));
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

TEST_F(Collect, ListedItemsFirstThenTheListingDepthFirst) {
  for (const wchar_t* folder : {L"Sub", L"Zed"}) MakeFolder(In(folder));
  for (const wchar_t* file : {L"b.lnk", L"a.lnk", L"c.lnk", L"Sub\\s1.lnk", L"Sub\\s2.lnk", L"Zed\\z1.lnk",
                              L"Zed\\z2.lnk", L"readme.txt"}) {
    Touch(In(file));
  }
  WriteBytes(In(L"order.ini"), "b.lnk\r\nSub\r\n");

  Paths expected{In(L"b.lnk")};
  for (const std::wstring& name : ListingOf(In(L"Sub"))) expected.push_back(In(L"Sub\\" + name));
  for (const std::wstring& name : ListingOf(root_)) {
    if (name == L"Zed") {
      for (const std::wstring& inner : ListingOf(In(L"Zed"))) expected.push_back(In(L"Zed\\" + inner));
    } else if (name != L"b.lnk" && name != L"Sub" && name != L"order.ini" && name != L"readme.txt") {
      expected.push_back(In(name));
    }
  }
  ASSERT_EQ(7u, expected.size());
  EXPECT_EQ(expected, Run(root_));
}

TEST_F(Collect, OrderFileThatNamesNothingIsLikeNoOrderFile) {
  MakeFolder(In(L"Sub"));
  for (const wchar_t* file : {L"a.lnk", L"b.lnk", L"Sub\\s.lnk"}) Touch(In(file));
  Paths expected;
  for (const std::wstring& name : ListingOf(root_)) {
    expected.push_back(name == L"Sub" ? In(L"Sub\\s.lnk") : In(name));
  }
  EXPECT_EQ(expected, Run(root_)) << "no order.ini";
  for (const char* order : {"", "\r\n\r\n", "gone.lnk\r\nNoFolder\r\n\r\nwild*.lnk\r\nb?lnk\r\n"}) {
    WriteBytes(In(L"order.ini"), order);
    EXPECT_EQ(expected, Run(root_)) << "order.ini: " << order;
  }
}

TEST_F(Collect, ListedNamesFollowTheFileSystemUnlistedNamesTheExactRules) {
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

  // Unlisted, only an exact ".lnk" counts and dot-names are passed over.
  DeleteFileW(In(L"order.ini").c_str());
  Paths expected;
  for (const std::wstring& name : ListingOf(root_)) {
    if (name == L"d.lnk" || name == L"Mail.lnk") expected.push_back(In(name));
  }
  EXPECT_EQ(expected, Run(root_));
}

TEST_F(Collect, PathThatIsNoFolderIsOneItemAsItIs) {
  for (const std::wstring& path : {In(L"missing.lnk"), In(L"note.txt"), temp_ / L"no\\such\\place"}) {
    if (path == In(L"note.txt")) Touch(path);
    EXPECT_EQ(Paths{path}, Run(path));
  }
}

TEST_F(Collect, FolderWithoutShortcutsGivesNothing) {
  for (const wchar_t* folder : {L"empty", L"nested", L"nested\\deeper"}) MakeFolder(In(folder));
  for (const wchar_t* file : {L"note.txt", L"x.lnkold", L"Tool.LNK", L"lnk", L"nested\\app.exe"}) Touch(In(file));
  WriteBytes(In(L"order.ini"), "note.txt\r\nempty\r\n");
  EXPECT_TRUE(Run(root_).empty());
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead);
}

TEST_F(Collect, JapaneseOrderFileFindsJapaneseShortcuts) {
  if (GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
  MakeFolder(In(L"ソフト"));
  for (const wchar_t* file : {L"メール.lnk", L"表計算.lnk", L"予定.lnk", L"ソフト\\能力.lnk"}) Touch(In(file));
  WriteBytes(In(L"order.ini"), test::ToAnsi(L"表計算.lnk\r\nソフト\r\n"));
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
  const std::vector<std::wstring> lines{L".", L"..", L"..\\x", L"../top.lnk", temp_ / L"x", L"...", L" ", L"sub\\s.lnk"};
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

TEST_F(Collect, FolderLinkLoopEndsAndCollectsEachShortcutBoundedTimes) {
  Touch(In(L"a.lnk"));
  WriteBytes(In(L"order.ini"), "self\r\n");
  // loop -> the folder above root (which holds only root), self -> root itself.
  const bool made = RunUnix(L"Z:\\bin\\ln", L"/bin/ln -s .. loop", root_, In(L"loop"), true) &&
                    RunUnix(L"Z:\\bin\\ln", L"/bin/ln -s . self", root_, In(L"self"), true);
  const DWORD attributes = GetFileAttributesW(In(L"loop").c_str());
  if (!made || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    RunUnix(L"Z:\\bin\\rm", L"/bin/rm -f loop self", root_, In(L"loop"), false);
    GTEST_SKIP() << "no folder link could be made with /bin/ln under this system";
  }

  test::TraceRecorder recorder;
  Paths paths = Run(root_);
  // root\a.lnk, then once more through loop\root; the second visit of loop
  // (and self, both times) would enter a folder already on the walk.  Which
  // comes first depends on the listing order of a.lnk and loop.
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ((Paths{In(L"a.lnk"), In(L"loop\\root\\a.lnk")}), paths);
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, In(L"self")));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, In(L"loop\\root\\loop")));

  EXPECT_TRUE(RunUnix(L"Z:\\bin\\rm", L"/bin/rm -f loop self", root_, In(L"loop"), false));
}

TEST_F(Collect, ShortcutWhosePathDoesNotFitIsLeftOutAndReported) {
  // Pad the folder's path with "\." so that one name ends at the record's last
  // character (515 plus the terminator) and a name one longer does not fit.
  const size_t room = D_SIZE_LAUNCH_ITEM_PATH - 1 - root_.size() - 1;
  const size_t pads = (room - 5) / 2;
  std::wstring folder = root_;
  for (size_t i = 0; i < pads; ++i) folder += L"\\.";
  const std::wstring fits = std::wstring(room - 2 * pads - 4, L's') + L".lnk", tooLong = L"s" + fits;
  Touch(In(fits));
  Touch(In(tooLong));
  ASSERT_TRUE(test::FolderExists(folder)) << "the system does not take a path this long";

  test::TraceRecorder recorder;
  EXPECT_EQ(Paths{folder + L"\\" + fits}, Run(folder));
  EXPECT_EQ(D_SIZE_LAUNCH_ITEM_PATH - 1, (folder + L"\\" + fits).size());
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, tooLong));

  WriteBytes(In(L"order.ini"), test::ToAnsi(tooLong + L"\r\n" + fits + L"\r\n"));
  EXPECT_EQ(Paths{folder + L"\\" + fits}, Run(folder)) << "listed, the same rule";
}

TEST_F(Collect, FreeItemListEmptiesTheListAndClosesProcessHandles) {
  for (const wchar_t* file : {L"a.lnk", L"b.lnk"}) Touch(In(file));
  ASSERT_EQ(2u, Run(root_).size());
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(nullptr, event);
  gLaunchItem_Launch_ListTail->process = event;
  gLaunchItem_Launch_Cursor = gLaunchItem_Launch_ListHead;

  EXPECT_EQ(0, Launch_FreeItemList(&glong_Launch_ItemCount));
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(event, &flags)) << "the process handle is closed";
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListTail);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_Cursor);
  EXPECT_EQ(0, glong_Launch_ItemCount);

  // A list collected into after freeing starts afresh.
  EXPECT_EQ(2u, Run(root_).size());
}

}  // namespace
