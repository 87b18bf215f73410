// The arrangement grid, and collecting the launch list from real folders: run
// order first, then the listing order, depth first; walks never leave the
// folder or run away.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/trace.h"
#include "launch/arrange_grid.h"
#include "launch/launch.h"
#include "support/test_support.h"

namespace {

using namespace test;
using Paths = std::vector<std::wstring>;

// Each pattern's shape, cell size and last cell on 1000 x 700 pixels; tiles on both sides of each change of
// shape: four columns up to eight windows (a second row past four), then a column more at a time.
TEST(ArrangeGrid, ShapesCellSizesAndLastCells) {
  // {pattern, windows, columns, rows, cell width, cell height, last cell's x, its y}
  const long rows[][8] = {
      {1, 2, 1, 2, 1000, 350, 0, 350},   {2, 3, 3, 1, 333, 700, 666, 0},    {3, 4, 4, 1, 250, 700, 750, 0},
      {3, 5, 4, 2, 250, 350, 0, 350},    {3, 8, 4, 2, 250, 350, 750, 350},  {3, 9, 5, 2, 200, 350, 600, 350},
      {3, 10, 5, 2, 200, 350, 800, 350}, {3, 11, 6, 3, 166, 233, 664, 233}, {3, 50, 10, 5, 100, 140, 900, 560}};
  ArrangeGrid grid = {};
  for (const auto& row : rows) {
    ASSERT_TRUE(Launch_ComputeGrid(row[0], row[1], 1000, 700, &grid));
    long x = -1, y = -1;
    Launch_CellPosition(grid, row[1] - 1, &x, &y);
    EXPECT_EQ(std::vector<long>(row + 2, row + 8),
              (std::vector<long>{grid.longWindowCountX, grid.longWindowCountY, grid.longWindowSizeX, grid.longWindowSizeY, x, y}))
        << row[0] << ", " << row[1];
  }
}

class Collect : public ::testing::Test {
 protected:
  void SetUp() override { MakeFolder(root_); }
  // The paths collected under `path` in launch order; the count must agree with the list.
  Paths Run(const std::wstring& path) {
    Launch_FreeItemList(&glong_Launch_ItemCount);
    EXPECT_EQ(0, Launch_CollectItems(path.c_str(), &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail, &glong_Launch_ItemCount));
    Paths paths;
    for (const LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) paths.push_back(item->path);
    EXPECT_EQ(static_cast<long>(paths.size()), glong_Launch_ItemCount);
    return paths;
  }
  // The entries of `folder` in the order the file system lists them, dot-names left out.
  Paths Listing(const std::wstring& folder) {
    Paths names;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
    for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &found))
      if (found.cFileName[0] != L'.') names.push_back(folder + L"\\" + found.cFileName);
    return names;
  }
  std::wstring In(const std::wstring& name) const { return root_ + L"\\" + name; }
  void Touch(std::initializer_list<const wchar_t*> names) { for (const wchar_t* name : names) WriteBytes(In(name), ""); }
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"root";
};

// Listed names are found as the file system finds them (C.lnk is c.lnk) but only an exact ".lnk" runs (a
// listed x.lnkold too, as it always has); a listed dot-name runs. Lines leading out of the folder (or naming
// a path in it) are refused and reported. Then every unlisted item, c.lnk included, in listing order, each
// folder in its place; an unlisted name runs only with exactly ".lnk" and without a leading dot.
TEST_F(Collect, ListedItemsFirstThenTheListingDepthFirstWhereOnlyAnExactLnkAndNoDotNameCountsAndNothingOutside) {
  for (const wchar_t* folder : {L"Sub", L"Zed", L".dotdir", L"..\\x"}) MakeFolder(In(folder));
  Touch({L"b.lnk", L"a.lnk", L"c.lnk", L"Sub\\s1.lnk", L"Sub\\s2.lnk", L"Zed\\z1.lnk", L"Zed\\z2.lnk", L"readme.txt",
         L"x.lnkold", L"y.lnkold", L"Tool.LNK", L".hidden.lnk", L".dotdir\\in.lnk", L"..\\top.lnk", L"..\\x\\x.lnk"});
  const Paths refused{L".", L"..", L"..\\x", L"../top.lnk", temp_ / L"x", L"...", L" ", L"Sub\\s1.lnk"};
  std::wstring order = L"C.lnk\r\nC.LNK\r\nb.lnk\r\nx.lnkold\r\n.hidden.lnk\r\nb.lnk\r\nSub\r\n";
  for (const std::wstring& line : refused) order += line + L"\r\n";
  WriteBytes(In(L"order.ini"), ToAnsi(order));
  Paths expected = {In(L"C.lnk"), In(L"b.lnk"), In(L"x.lnkold"), In(L".hidden.lnk"), In(L"b.lnk")};
  for (const std::wstring& path : Listing(In(L"Sub"))) expected.push_back(path);
  for (const std::wstring& path : Listing(root_)) {
    if (path == In(L"Zed")) for (const std::wstring& inner : Listing(path)) expected.push_back(inner);
    if (path == In(L"a.lnk") || path == In(L"c.lnk")) expected.push_back(path);
  }
  TraceRecorder recorder;
  EXPECT_EQ(expected, Run(root_));
  for (const std::wstring& line : refused) EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"(" + line + L")")) << ToAnsi(line);
}

TEST_F(Collect, FolderLinkLoopsEnd) {
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
}

}  // namespace
