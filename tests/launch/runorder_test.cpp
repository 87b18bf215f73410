// Reading order.ini: lines taken as they are, long lines in pieces, the ANSI
// code page through the runtime locale, and the exact name look-up.
#include <gtest/gtest.h>
#include <locale.h>

#include <string>
#include <vector>

#include "app/trace.h"
#include "launch/launch.h"
#include "support/test_support.h"

namespace {

using test::WriteBytes;

class RunOrder : public ::testing::Test {
 protected:
  void SetUp() override { setlocale(LC_ALL, ".ACP"); }
  void TearDown() override { RunOrder_Free(list_); }

  // Reads `folder`'s order.ini and returns the names, checking each full path.
  std::vector<std::wstring> Read(const std::wstring& folder) {
    RunOrder_Free(list_);
    list_ = reinterpret_cast<RunOrderEntry*>(1);  // must be overwritten
    EXPECT_EQ(0, RunOrder_Read(folder.c_str(), &list_));
    std::vector<std::wstring> names;
    for (const RunOrderEntry* entry = list_; entry != nullptr; entry = entry->next) {
      names.push_back(entry->name);
      EXPECT_EQ(folder + L"\\" + entry->name, entry->fullPath);
    }
    return names;
  }

  test::TempFolder temp_;
  RunOrderEntry* list_ = nullptr;
};

using Names = std::vector<std::wstring>;

TEST_F(RunOrder, LinesAreCutAtTheirEndAndOtherwiseKeptAsTheyAre) {
  WriteBytes(temp_ / L"order.ini",
             "b.lnk\r\n  padded .lnk \r\n\r\nb.lnk\r\nlf-only\ncr\rmid\r\nTool.LNK\r\nlast-without-end");
  EXPECT_EQ((Names{L"b.lnk", L"  padded .lnk ", L"", L"b.lnk", L"lf-only", L"cr", L"Tool.LNK", L"last-without-end"}),
            Read(temp_.Path()));
}

TEST_F(RunOrder, MissingOrEmptyFileGivesAnEmptyList) {
  EXPECT_TRUE(Read(temp_.Path()).empty());
  EXPECT_EQ(nullptr, list_);
  EXPECT_TRUE(Read(temp_ / L"no-such-folder").empty());
  WriteBytes(temp_ / L"order.ini", "");
  EXPECT_TRUE(Read(temp_.Path()).empty());
}

TEST_F(RunOrder, LongLinesAreReadIn511CharacterPieces) {
  const std::string first(511, 'a'), rest(89, 'b');
  WriteBytes(temp_ / L"order.ini", first + rest + "\r\nnext\r\n" + std::string(511, 'c') + "\r\n");
  // A line of exactly 511 characters leaves its line end for a second, empty piece.
  EXPECT_EQ((Names{std::wstring(511, L'a'), std::wstring(89, L'b'), L"next", std::wstring(511, L'c'), L""}),
            Read(temp_.Path()));
}

TEST_F(RunOrder, JapaneseNamesComeThroughTheAnsiCodePage) {
  if (GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
  // 表, ソ and 能 end in the byte 0x5C, the code of a backslash.
  const Names names{L"表計算.lnk", L"ソフト", L"能力 テスト.lnk"};
  std::string bytes;
  for (const std::wstring& name : names) bytes += test::ToAnsi(name) + "\r\n";
  ASSERT_EQ('\\', bytes[1]);
  WriteBytes(temp_ / L"order.ini", bytes);
  EXPECT_EQ(names, Read(temp_.Path()));
}

TEST_F(RunOrder, EntryWhoseFullPathDoesNotFitIsLeftOutAndReported) {
  // "\." components make the folder's path long without a deep tree.
  std::wstring folder = temp_.Path();
  while (folder.size() < 500) folder += L"\\.";
  const std::string longName(300, 'n');
  WriteBytes(temp_ / L"order.ini", "first.lnk\r\n" + longName + "\r\nlast.lnk\r\n");
  test::TraceRecorder recorder;
  EXPECT_EQ((Names{L"first.lnk", L"last.lnk"}), Read(folder));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, std::wstring(300, L'n')));
}

TEST_F(RunOrder, FindComparesWholeNamesExactly) {
  WriteBytes(temp_ / L"order.ini", "Mail.lnk\r\nblank \r\n\r\n");
  Read(temp_.Path());
  EXPECT_EQ(0, RunOrder_Find(list_, L"Mail.lnk"));
  EXPECT_EQ(0, RunOrder_Find(list_, L"blank "));
  EXPECT_EQ(0, RunOrder_Find(list_, L""));
  EXPECT_EQ(-1, RunOrder_Find(list_, L"mail.lnk"));
  EXPECT_EQ(-1, RunOrder_Find(list_, L"Mail"));
  EXPECT_EQ(-1, RunOrder_Find(list_, L"Mail.lnk2"));
  EXPECT_EQ(-1, RunOrder_Find(list_, L"blank"));
  EXPECT_EQ(-1, RunOrder_Find(nullptr, L"Mail.lnk"));
}

}  // namespace
