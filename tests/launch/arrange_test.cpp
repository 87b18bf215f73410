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

TEST(ArrangeGrid, WorkedExamples) {
  ArrangeGrid grid = {};
  ASSERT_TRUE(Launch_ComputeGrid(1, 2, 1920, 1040, &grid));
  EXPECT_EQ(1, grid.longWindowCountX);
  EXPECT_EQ(2, grid.longWindowCountY);
  EXPECT_EQ(1920, grid.longWindowSizeX);
  EXPECT_EQ(520, grid.longWindowSizeY);

  ASSERT_TRUE(Launch_ComputeGrid(2, 3, 1000, 700, &grid));
  EXPECT_EQ(333, grid.longWindowSizeX);
  long x = 0, y = 0;
  Launch_CellPosition(grid, 2, &x, &y);
  EXPECT_EQ(666, x) << "the pixel left over stays empty at the right";
  EXPECT_EQ(0, y);

  ASSERT_TRUE(Launch_ComputeGrid(3, 5, 1920, 1040, &grid));
  EXPECT_EQ(4, grid.longWindowCountX);
  EXPECT_EQ(2, grid.longWindowCountY);
  Launch_CellPosition(grid, 4, &x, &y);
  EXPECT_EQ(0, x) << "the fifth window starts the second row";
  EXPECT_EQ(520, y);

  ASSERT_TRUE(Launch_ComputeGrid(3, 1, 1920, 1040, &grid));
  EXPECT_EQ(480, grid.longWindowSizeX) << "one window takes the left quarter";
  EXPECT_EQ(1040, grid.longWindowSizeY);

  EXPECT_FALSE(Launch_ComputeGrid(0, 3, 1920, 1040, &grid));
  EXPECT_FALSE(Launch_ComputeGrid(4, 3, 1920, 1040, &grid));
  EXPECT_FALSE(Launch_ComputeGrid(1, 0, 1920, 1040, &grid));
}

TEST(ArrangeGrid, TileShapesGrowAsTheCountGrows) {
  struct Shape {
    long first, last, columns, rows;
  };
  const Shape shapes[] = {{1, 4, 4, 1},   {5, 8, 4, 2},   {9, 10, 5, 2},  {11, 18, 6, 3},
                          {19, 21, 7, 3}, {22, 32, 8, 4}, {33, 36, 9, 4}, {37, 50, 10, 5}};
  for (const Shape& shape : shapes) {
    for (long n = shape.first; n <= shape.last; ++n) {
      ArrangeGrid grid = {};
      ASSERT_TRUE(Launch_ComputeGrid(3, n, 1000, 1000, &grid));
      EXPECT_EQ(shape.columns, grid.longWindowCountX) << n;
      EXPECT_EQ(shape.rows, grid.longWindowCountY) << n;
    }
  }
}

// Test programs started directly, their records forming the launch list.
class ArrangeWindows : public LaunchTest {
 protected:
  void TearDown() override {
    Launch_FreeItemList(&glong_Launch_ItemCount);
    LaunchTest::TearDown();
  }

  // Starts the test program and appends its record; returns its window
  // (null for a hidden one).
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
    if (gLaunchItem_Launch_ListTail != nullptr) {
      gLaunchItem_Launch_ListTail->next = item;
    } else {
      gLaunchItem_Launch_ListHead = item;
    }
    gLaunchItem_Launch_ListTail = item;
    ++glong_Launch_ItemCount;
    return hidden ? nullptr : WaitForTestApp(tag, 5000);
  }

  static RECT WorkArea() {
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
  }

  static void ExpectRect(HWND window, long left, long top, long width, long height) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(left, rect.left);
    EXPECT_EQ(top, rect.top);
    EXPECT_EQ(width, rect.right - rect.left);
    EXPECT_EQ(height, rect.bottom - rect.top);
  }

  // True when `upper` comes before `lower` in the window order.
  static bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = GetWindow(upper, GW_HWNDNEXT); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
      if (window == lower) return true;
    }
    return false;
  }
};

TEST_F(ArrangeWindows, StackedSideBySideAndTiledOnTheWorkArea) {
  HWND first = Start(L"a1");
  HWND second = Start(L"a2");
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  const RECT area = WorkArea();
  const long width = area.right - area.left;
  const long height = area.bottom - area.top;

  ASSERT_EQ(0, Launch_ArrangeWindows(1, 0));
  ExpectRect(first, area.left, area.top, width, height / 2);
  ExpectRect(second, area.left, area.top + height / 2, width, height / 2);

  ASSERT_EQ(0, Launch_ArrangeWindows(2, 0));
  ExpectRect(first, area.left, area.top, width / 2, height);
  ExpectRect(second, area.left + width / 2, area.top, width / 2, height);

  std::vector<HWND> windows = {first, second};
  for (int i = 3; i <= 5; ++i) windows.push_back(Start(L"a" + std::to_wstring(i)));
  ASSERT_EQ(0, Launch_ArrangeWindows(3, 0));
  for (int i = 0; i < 5; ++i) {
    ExpectRect(windows[i], area.left + (i % 4) * (width / 4), area.top + (i / 4) * (height / 2), width / 4,
               height / 2);
  }
}

TEST_F(ArrangeWindows, AProcessWithoutAVisibleWindowTakesNoCell) {
  HWND first = Start(L"b1");
  Start(L"hidden", true);
  HWND third = Start(L"b3");
  const RECT area = WorkArea();
  const long width = area.right - area.left;
  ASSERT_EQ(0, Launch_ArrangeWindows(2, 0));
  ExpectRect(first, area.left, area.top, width / 2, area.bottom - area.top);
  ExpectRect(third, area.left + width / 2, area.top, width / 2, area.bottom - area.top);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead->next->window);
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

TEST_F(ArrangeWindows, NothingToArrangeWithoutWindows) {
  EXPECT_EQ(-1, Launch_ArrangeWindows(1, 0)) << "empty list";
  Start(L"hidden", true);
  EXPECT_EQ(-1, Launch_ArrangeWindows(1, 0)) << "no visible window";
}

using ArrangementChooser = LaunchTest;

TEST_F(ArrangementChooser, ChangesOnlyThisRunsChoice) {
  longAdjustLaunchedWindowPattern = 2;
  longAdjustLaunchedWindowMoveBottom = 1;
  glong_Launch_RunPattern = 2;
  glong_Launch_RunMoveBottom = 1;

  struct Seen {
    bool horizontalChecked = false, moveChecked = false;
    std::vector<int> shownAtStart, shownAfterClick;
    bool survivedEscape = false;
  } seen;
  const int pictures[] = {IDC_LAUNCH_ARRANGE_PICTURE_NONE, IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL,
                          IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL, IDC_LAUNCH_ARRANGE_PICTURE_TILE};
  auto shown = [&](HWND dialog) {
    std::vector<int> visible;
    for (int id : pictures) {
      if (IsShown(dialog, id)) visible.push_back(id);
    }
    return visible;
  };
  DialogDriver driver(L"起動アプリケーションウィンドウの整列", [&](HWND dialog) {
    Sleep(100);
    seen.horizontalChecked = IsDlgButtonChecked(dialog, IDC_LAUNCH_ARRANGE_HORIZONTAL) == BST_CHECKED;
    seen.moveChecked = IsDlgButtonChecked(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM) == BST_CHECKED;
    seen.shownAtStart = shown(dialog);
    SendMessageW(GetDlgItem(dialog, IDC_LAUNCH_ARRANGE_TILE), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM), BM_CLICK, 0, 0);
    seen.shownAfterClick = shown(dialog);
    Press(dialog, IDCANCEL);
    Sleep(200);
    seen.survivedEscape = IsWindow(dialog) != FALSE;
    Press(dialog, IDC_LAUNCH_ARRANGE_OK);
  });
  EXPECT_EQ(0, Launch_ChooseArrangement(nullptr));
  driver.Join();
  ASSERT_TRUE(driver.Found());
  EXPECT_TRUE(seen.horizontalChecked);
  EXPECT_TRUE(seen.moveChecked);
  EXPECT_EQ(std::vector<int>{IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL}, seen.shownAtStart);
  EXPECT_EQ(std::vector<int>{IDC_LAUNCH_ARRANGE_PICTURE_TILE}, seen.shownAfterClick);
  EXPECT_TRUE(seen.survivedEscape) << "OK is the only way out";
  EXPECT_EQ(3, glong_Launch_RunPattern);
  EXPECT_EQ(0, glong_Launch_RunMoveBottom);
  EXPECT_EQ(2, longAdjustLaunchedWindowPattern) << "the setting itself is untouched";
  EXPECT_EQ(1, longAdjustLaunchedWindowMoveBottom);
}

TEST_F(ArrangementChooser, ARunArrangesItsWindowsAsChosen) {
  longWindowArrangementAvailable = 1;
  longAdjustLaunchedWindowConfirmAtExecution = 1;
  longAdjustLaunchedWindowPattern = 0;
  const std::wstring folder = Folder(L"Run");
  MakeAppShortcut(folder, L"r1.lnk", L"r1");
  MakeAppShortcut(folder, L"r2.lnk", L"r2");
  WriteBytes(folder + L"\\order.ini", "r1.lnk\r\nr2.lnk\r\n");

  DialogDriver chooser(L"起動アプリケーションウィンドウの整列", [](HWND dialog) {
    SendMessageW(GetDlgItem(dialog, IDC_LAUNCH_ARRANGE_VERTICAL), BM_CLICK, 0, 0);
    Press(dialog, IDC_LAUNCH_ARRANGE_OK);
  });
  DialogDriver progress(L"Launch Progress", [](HWND dialog) {
    WaitForLog(dialog, L"正常処理しました", kDialogTimeoutMs);
    Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
  });
  Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_LAUNCH);
  chooser.Join();
  progress.Join();
  ASSERT_TRUE(chooser.Found());

  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT first = {}, second = {};
  GetWindowRect(WaitForTestApp(L"r1", 5000), &first);
  GetWindowRect(WaitForTestApp(L"r2", 5000), &second);
  EXPECT_EQ(area.top, first.top);
  EXPECT_EQ(area.right - area.left, first.right - first.left);
  EXPECT_EQ(area.top + (area.bottom - area.top) / 2, second.top);
}

}  // namespace
