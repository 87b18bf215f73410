// Reading order.ini, the arrangement grid, and collecting the launch list from
// real folders: run order first, then the listing order, depth first; walks
// never leave the folder or run away.
#include <gtest/gtest.h>
#include <locale.h>

#include <algorithm>

#include "base/trace.h"
#include "launch/arrange_grid.h"
#include "launch/launch.h"
#include "support/test_support.h"

namespace {

using namespace test;
using Paths = std::vector<std::wstring>;

TEST(RunOrder, LinesAreCutAtTheirEndKeptAsTheyAreAndReadIn511CharacterPieces) {
  setlocale(LC_ALL, ".ACP");
  TempFolder temp;
  RunOrderEntry* list = reinterpret_cast<RunOrderEntry*>(1);
  EXPECT_EQ(0, RunOrder_Read(temp.Path().c_str(), &list));
  EXPECT_EQ(nullptr, list) << "no order.ini, no entries";
  WriteBytes(temp / L"order.ini", "  padded .lnk \r\n\r\nlf-only\ncr\rmid\r\n" + std::string(600, 'a') + "\r\n" +
                                      std::string(511, 'c') + "\r\n" + ToAnsi(L"表計算.lnk"));  // 表 ends in the byte of a backslash
  ASSERT_EQ(0, RunOrder_Read(temp.Path().c_str(), &list));
  Paths names;
  for (const RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) names.push_back(entry->name);
  EXPECT_EQ((std::vector<int>{0, -1}), (std::vector<int>{RunOrder_Find(list, L"lf-only"), RunOrder_Find(list, L"LF-only")}));
  RunOrder_Free(list);
  // A line of exactly 511 characters leaves its line end for a second, empty piece.
  EXPECT_EQ((Paths{L"  padded .lnk ", L"", L"lf-only", L"cr", std::wstring(511, L'a'), std::wstring(89, L'a'),
                   std::wstring(511, L'c'), L"", L"表計算.lnk"}), names);
}

// Each pattern's shape, cell size and last cell on 1000 x 700 pixels; tiles at the first and last count of
// each shape: four columns up to eight windows (a second row past four), then a column more at a time.
TEST(ArrangeGrid, ShapesCellSizesAndLastCells) {
  // {pattern, windows, columns, rows, cell width, cell height, last cell's x, its y}
  const long rows[][8] = {{1, 2, 1, 2, 1000, 350, 0, 350},     {2, 3, 3, 1, 333, 700, 666, 0},     {3, 1, 4, 1, 250, 700, 0, 0},
                          {3, 4, 4, 1, 250, 700, 750, 0},      {3, 5, 4, 2, 250, 350, 0, 350},     {3, 8, 4, 2, 250, 350, 750, 350},
                          {3, 9, 5, 2, 200, 350, 600, 350},    {3, 10, 5, 2, 200, 350, 800, 350},  {3, 11, 6, 3, 166, 233, 664, 233},
                          {3, 18, 6, 3, 166, 233, 830, 466},   {3, 19, 7, 3, 142, 233, 568, 466},  {3, 21, 7, 3, 142, 233, 852, 466},
                          {3, 22, 8, 4, 125, 175, 625, 350},   {3, 32, 8, 4, 125, 175, 875, 525},  {3, 33, 9, 4, 111, 175, 555, 525},
                          {3, 36, 9, 4, 111, 175, 888, 525},   {3, 37, 10, 5, 100, 140, 600, 420}, {3, 50, 10, 5, 100, 140, 900, 560}};
  ArrangeGrid grid = {};
  for (const auto& row : rows) {
    ASSERT_TRUE(Launch_ComputeGrid(row[0], row[1], 1000, 700, &grid));
    long x = -1, y = -1;
    Launch_CellPosition(grid, row[1] - 1, &x, &y);
    EXPECT_EQ(std::vector<long>(row + 2, row + 8),
              (std::vector<long>{grid.longWindowCountX, grid.longWindowCountY, grid.longWindowSizeX, grid.longWindowSizeY, x, y}))
        << row[0] << ", " << row[1];
  }
  EXPECT_FALSE(Launch_ComputeGrid(0, 2, 100, 100, &grid) || Launch_ComputeGrid(4, 2, 100, 100, &grid) ||
               Launch_ComputeGrid(1, 0, 100, 100, &grid));
}

class Collect : public ::testing::Test {
 protected:
  void SetUp() override { setlocale(LC_ALL, ".ACP"), MakeFolder(root_); }
  void TearDown() override { Launch_FreeItemList(&glong_Launch_ItemCount); }
  // The paths collected under `path` in launch order; the count must agree with the list.
  Paths Run(const std::wstring& path) {
    Launch_FreeItemList(&glong_Launch_ItemCount);
    EXPECT_EQ(0, Launch_CollectItems(path.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail, &glong_Launch_ItemCount));
    Paths paths;
    for (const LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) paths.push_back(item->path);
    EXPECT_EQ(static_cast<long>(paths.size()), glong_Launch_ItemCount);
    return paths;
  }
  // The entries of `folder` (under the root) in the order the file system lists them, dot-names left out.
  Paths Listing(const std::wstring& folder) {
    Paths names;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((In(folder) + L"\\*.*").c_str(), &found));
    for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &found))
      if (found.cFileName[0] != L'.') names.push_back(In(folder) + L"\\" + found.cFileName);
    return names;
  }
  std::wstring In(const std::wstring& name) const { return name.empty() ? root_ : root_ + L"\\" + name; }
  void Touch(std::initializer_list<const wchar_t*> names) { for (const wchar_t* name : names) WriteBytes(In(name), ""); }
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"root";
};

TEST_F(Collect, ListedItemsFirstThenTheListingDepthFirstWhereOnlyAnExactLnkAndNoDotNameCountsAndNothingOutside) {
  for (const wchar_t* folder : {L"Sub", L"Zed", L".dotdir"}) MakeFolder(In(folder));
  Touch({L"b.lnk", L"a.lnk", L"c.lnk", L"Sub\\s1.lnk", L"Sub\\s2.lnk", L"Zed\\z1.lnk", L"Zed\\z2.lnk", L"readme.txt", L"x.lnkold",
         L"Tool.LNK", L".hidden.lnk", L".dotdir\\in.lnk"});
  WriteBytes(In(L"order.ini"), "b.lnk\r\nSub\r\n");
  Paths expected = {In(L"b.lnk")}, sub = Listing(L"Sub");
  expected.insert(expected.end(), sub.begin(), sub.end());
  for (const std::wstring& path : Listing(L"")) {
    if (path == In(L"Zed")) for (const std::wstring& inner : Listing(L"Zed")) expected.push_back(inner);
    if (path == In(L"a.lnk") || path == In(L"c.lnk")) expected.push_back(path);
  }
  EXPECT_EQ(expected, Run(root_));
  // Listed names are found as the file system finds them; the unlisted pass compares exactly. Lines leading
  // out of the folder (or naming a path in it) are refused and reported.
  MakeFolder(temp_ / L"x");
  Touch({L"..\\top.lnk", L"..\\x\\x.lnk"});
  const Paths refused{L".", L"..", L"..\\x", L"../top.lnk", temp_ / L"x", L"...", L" ", L"Sub\\s1.lnk"};
  std::wstring order = L"C.lnk\r\nC.LNK\r\nb.lnk\r\nx.lnkold\r\nTool.LNK\r\n.hidden.lnk\r\n.dotdir\r\nb.lnk\r\n";
  for (const std::wstring& line : refused) order += line + L"\r\n";
  WriteBytes(In(L"order.ini"), ToAnsi(order));
  TraceRecorder recorder;
  const Paths all = Run(root_);
  ASSERT_EQ(6u + 6u, all.size()) << "the six listed, then c.lnk again and the other unlisted items; nothing outside, nothing else twice";
  EXPECT_EQ((Paths{In(L"C.lnk"), In(L"b.lnk"), In(L"x.lnkold"), In(L".hidden.lnk"), In(L".dotdir\\in.lnk"), In(L"b.lnk")}),
            Paths(all.begin(), all.begin() + 6));
  for (const std::wstring& line : refused) EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"(" + line + L")")) << ToAnsi(line);
}

TEST_F(Collect, FolderLinkLoopEndsAndFreeingClosesEveryProcessHandle) {
  Touch({L"a.lnk"});
  WriteBytes(In(L"order.ini"), "self\r\n");
  // loop -> the folder above root (which holds only root), self -> root itself.
  ASSERT_TRUE(Host(L"ln -s", In(L"loop"), temp_.Path()) && Host(L"ln -s", In(L"self"), root_));
  TraceRecorder recorder;
  Paths paths = Run(root_);
  Host(L"rm -f", In(L"loop")), Host(L"rm -f", In(L"self"));
  // root\a.lnk, then once more through loop\root; the second visit of loop
  // (and self, both times) would enter a folder already on the walk.
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ((Paths{In(L"a.lnk"), In(L"loop\\root\\a.lnk")}), paths);
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, In(L"self")) && recorder.Contains(TRACE_LEVEL_ERROR, In(L"loop\\root\\loop")));
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  gLaunchItem_Launch_ListTail->process = event;
  gLaunchItem_Launch_Cursor = gLaunchItem_Launch_ListHead;
  EXPECT_EQ(0, Launch_FreeItemList(&glong_Launch_ItemCount));
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(event, &flags)) << "the process handle is closed";
  EXPECT_EQ((std::vector<void*>{nullptr, nullptr, nullptr, nullptr}), (std::vector<void*>{gLaunchItem_Launch_ListHead,
            gLaunchItem_Launch_ListTail, gLaunchItem_Launch_Cursor, reinterpret_cast<void*>(glong_Launch_ItemCount)}));
}

}  // namespace
