// Window arrangement: the grid, real windows on the work area, the window
// order, and the chooser that changes one run's choice.
#include <windows.h>

#include <vector>

#include "config/config.h"
#include "launch/arrange_grid.h"
#include "launch/launch.h"
#include "launch/launch_fixture.h"
#include "resource.h"

extern long glong_Launch_RunPattern;
extern long glong_Launch_RunMoveBottom;

namespace {

using namespace test;

TEST(ArrangeGrid, WorkedExamplesAndTileShapes) {
  // {pattern, windows, width, height, columns, rows, cell width, cell height, cell, its x, its y}
  const long examples[][11] = {
      {1, 2, 1920, 1040, 1, 2, 1920, 520, 1, 0, 520},
      {2, 3, 1000, 700, 3, 1, 333, 700, 2, 666, 0},   // the pixel left over stays empty at the right
      {3, 5, 1920, 1040, 4, 2, 480, 520, 4, 0, 520},  // the fifth window starts the second row
      {3, 1, 1920, 1040, 4, 1, 480, 1040, 0, 0, 0},   // one window takes the left quarter
  };
  for (const auto& e : examples) {
    ArrangeGrid grid = {};
    ASSERT_TRUE(Launch_ComputeGrid(e[0], e[1], e[2], e[3], &grid));
    long x = -1, y = -1;
    Launch_CellPosition(grid, e[8], &x, &y);
    EXPECT_EQ((std::vector<long>{e[4], e[5], e[6], e[7], e[9], e[10]}),
              (std::vector<long>{grid.longWindowCountX, grid.longWindowCountY, grid.longWindowSizeX,
                                 grid.longWindowSizeY, x, y}))
        << e[0] << " with " << e[1];
  }
  // Tile: {first count, last count, columns, rows}.
  const long shapes[][4] = {{1, 4, 4, 1},   {5, 8, 4, 2},   {9, 10, 5, 2},  {11, 18, 6, 3},
                            {19, 21, 7, 3}, {22, 32, 8, 4}, {33, 36, 9, 4}, {37, 50, 10, 5}};
  for (const auto& shape : shapes) {
    for (long n = shape[0]; n <= shape[1]; ++n) {
      ArrangeGrid grid = {};
      ASSERT_TRUE(Launch_ComputeGrid(3, n, 1000, 1000, &grid));
      EXPECT_EQ(shape[2], grid.longWindowCountX) << n;
      EXPECT_EQ(shape[3], grid.longWindowCountY) << n;
    }
  }
}

// Test programs started directly, their records forming the launch list.
class ArrangeWindows : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area_, 0);
    width_ = area_.right - area_.left;
    height_ = area_.bottom - area_.top;
  }
  void TearDown() override {
    Launch_FreeItemList(&glong_Launch_ItemCount);
    LaunchTest::TearDown();
  }

  // Starts the test program, appends its record and returns its window.
  HWND Start(const std::wstring& tag, bool hidden = false) {
    std::wstring commandLine = L"\"" + TestAppPath() + L"\" --tag " + tag + (hidden ? L" --hidden" : L"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    EXPECT_TRUE(CreateProcessW(TestAppPath().c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               temp_.Path().c_str(), &startup, &info));
    CloseHandle(info.hThread);
    WaitForInputIdle(info.hProcess, 5000);
    LaunchItem* item = static_cast<LaunchItem*>(calloc(1, sizeof(LaunchItem)));
    item->process = info.hProcess;
    (gLaunchItem_Launch_ListTail != nullptr ? gLaunchItem_Launch_ListTail->next : gLaunchItem_Launch_ListHead) = item;
    gLaunchItem_Launch_ListTail = item;
    ++glong_Launch_ItemCount;
    return hidden ? nullptr : WaitForTestApp(tag);
  }

  // Expects `window` in the cell of a grid of cells `width` by `height`.
  void ExpectCell(HWND window, long column, long row, long width, long height) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ((std::vector<long>{area_.left + column * width, area_.top + row * height, width, height}),
              (std::vector<long>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}));
  }

  // True when `upper` comes before `lower` in the window order.
  static bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = GetWindow(upper, GW_HWNDNEXT); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
      if (window == lower) return true;
    }
    return false;
  }

  RECT area_ = {};
  long width_ = 0, height_ = 0;
};

TEST_F(ArrangeWindows, StackedSideBySideAndTiledOnTheWorkArea) {
  std::vector<HWND> windows = {Start(L"a1"), Start(L"a2")};
  ASSERT_NE(nullptr, windows[0]);
  ASSERT_NE(nullptr, windows[1]);
  ASSERT_EQ(0, Launch_ArrangeWindows(1, 0));
  ExpectCell(windows[0], 0, 0, width_, height_ / 2);
  ExpectCell(windows[1], 0, 1, width_, height_ / 2);
  ASSERT_EQ(0, Launch_ArrangeWindows(2, 0));
  ExpectCell(windows[0], 0, 0, width_ / 2, height_);
  ExpectCell(windows[1], 1, 0, width_ / 2, height_);
  for (int i = 3; i <= 5; ++i) windows.push_back(Start(L"a" + std::to_wstring(i)));
  ASSERT_EQ(0, Launch_ArrangeWindows(3, 0));
  for (int i = 0; i < 5; ++i) ExpectCell(windows[i], i % 4, i / 4, width_ / 4, height_ / 2);
}

TEST_F(ArrangeWindows, ProcessesWithoutAVisibleWindowTakeNoCell) {
  EXPECT_EQ(-1, Launch_ArrangeWindows(1, 0)) << "empty list";
  Start(L"hidden", true);
  EXPECT_EQ(-1, Launch_ArrangeWindows(1, 0)) << "no visible window";
  HWND second = Start(L"b2");
  HWND third = Start(L"b3");
  ASSERT_EQ(0, Launch_ArrangeWindows(2, 0));
  ExpectCell(second, 0, 0, width_ / 2, height_);
  ExpectCell(third, 1, 0, width_ / 2, height_);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead->window);
}

TEST_F(ArrangeWindows, MoveToBottomSendsEachWindowDownInLaunchOrder) {
  HWND first = Start(L"c1");
  HWND second = Start(L"c2");
  HWND third = Start(L"c3");
  // Start from the opposite order.
  for (HWND window : {first, second, third}) SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_TRUE(IsAbove(third, first));
  ASSERT_EQ(0, Launch_ArrangeWindows(2, 0));
  EXPECT_TRUE(IsAbove(third, second)) << "without move to bottom the order stays";
  EXPECT_TRUE(IsAbove(second, first));
  ASSERT_EQ(0, Launch_ArrangeWindows(2, 1));
  EXPECT_TRUE(IsAbove(first, second));
  EXPECT_TRUE(IsAbove(second, third));
  EXPECT_EQ(nullptr, GetWindow(third, GW_HWNDNEXT)) << "the last placed is the bottom window";
}

using ArrangementChooser = LaunchTest;
const wchar_t kChooserCaption[] = L"起動アプリケーションウィンドウの整列";

// The chooser's checked boxes, then the pictures it shows.
std::vector<int> ChooserState(HWND dialog) {
  std::vector<int> on;
  for (int id : {IDC_LAUNCH_ARRANGE_NONE, IDC_LAUNCH_ARRANGE_VERTICAL, IDC_LAUNCH_ARRANGE_HORIZONTAL,
                 IDC_LAUNCH_ARRANGE_TILE, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM}) {
    if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) on.push_back(id);
  }
  for (int id : {IDC_LAUNCH_ARRANGE_PICTURE_NONE, IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL,
                 IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL, IDC_LAUNCH_ARRANGE_PICTURE_TILE}) {
    if (IsShown(dialog, id)) on.push_back(id);
  }
  return on;
}

TEST_F(ArrangementChooser, ShowsTheRunsChoiceAndChangesOnlyIt) {
  longAdjustLaunchedWindowPattern = glong_Launch_RunPattern = 2;
  longAdjustLaunchedWindowMoveBottom = glong_Launch_RunMoveBottom = 1;
  std::vector<int> atStart, afterClicks;
  bool survivedEscape = false;
  DialogDriver driver(kChooserCaption, [&](HWND dialog) {
    Sleep(100);
    atStart = ChooserState(dialog);
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_TILE, BM_CLICK, 0, 0);
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM, BM_CLICK, 0, 0);
    afterClicks = ChooserState(dialog);
    Press(dialog, IDCANCEL);  // what Escape sends
    Sleep(200);
    survivedEscape = IsWindow(dialog) != FALSE;
    Press(dialog, IDC_LAUNCH_ARRANGE_OK);
  });
  EXPECT_EQ(0, Launch_ChooseArrangement(nullptr));
  driver.Join();
  ASSERT_TRUE(driver.found);
  EXPECT_EQ((std::vector<int>{IDC_LAUNCH_ARRANGE_HORIZONTAL, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM,
                              IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL}),
            atStart);
  EXPECT_EQ((std::vector<int>{IDC_LAUNCH_ARRANGE_TILE, IDC_LAUNCH_ARRANGE_PICTURE_TILE}), afterClicks);
  EXPECT_TRUE(survivedEscape) << "OK is the only way out";
  EXPECT_EQ(3, glong_Launch_RunPattern);
  EXPECT_EQ(0, glong_Launch_RunMoveBottom);
  EXPECT_EQ(2, longAdjustLaunchedWindowPattern) << "the setting itself is untouched";
  EXPECT_EQ(1, longAdjustLaunchedWindowMoveBottom);
}

TEST_F(ArrangeWindows, ARunArrangesItsWindowsAsChosenInTheChooser) {
  longWindowArrangementAvailable = longAdjustLaunchedWindowConfirmAtExecution = 1;
  const std::wstring folder = Folder(L"Run");
  MakeAppShortcut(folder, L"r1.lnk", L"r1");
  MakeAppShortcut(folder, L"r2.lnk", L"r2");
  WriteBytes(folder + L"\\order.ini", "r1.lnk\r\nr2.lnk\r\n");
  DialogDriver chooser(kChooserCaption, [](HWND dialog) {
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_VERTICAL, BM_CLICK, 0, 0);
    Press(dialog, IDC_LAUNCH_ARRANGE_OK);
  });
  RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"正常処理しました");
  chooser.Join();
  ASSERT_TRUE(chooser.found);
  ExpectCell(WaitForTestApp(L"r1"), 0, 0, width_, height_ / 2);
  ExpectCell(WaitForTestApp(L"r2"), 0, 1, width_, height_ / 2);
}

}  // namespace
