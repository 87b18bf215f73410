// Laying out the windows of the launched processes.
#include "base/text.h"
#include "base/trace.h"
#include "launch/arrange_grid.h"
#include "launch/launch.h"

namespace {

// Fills in each record's process ID and first visible window; returns how
// many records have a window.
long FindWindows() {
  long found = 0;
  for (LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) {
    item->processId = item->process != nullptr ? GetProcessId(item->process) : 0;
    item->window = nullptr;
    Tracef(TRACE_LEVEL_TRACE, L"GetProcessId return = %lu", item->processId);
    if (item->processId == 0) continue;
    EnumWindows(Launch_FindProcessWindow, reinterpret_cast<LPARAM>(item));
    if (item->window != nullptr) {
      ++found;
      Tracef(TRACE_LEVEL_TRACE, L"pid一致(%lu)", item->processId);
      Tracef(TRACE_LEVEL_TRACE, L"HWND = %IX", reinterpret_cast<UINT_PTR>(item->window));
    }
  }
  return found;
}

void Place(const LaunchItem& item, const RECT& area, long x, long y, const ArrangeGrid& grid, long moveToBottom) {
  const int left = static_cast<int>(area.left + x);
  const int top = static_cast<int>(area.top + y);
  const int width = static_cast<int>(grid.longWindowSizeX);
  const int height = static_cast<int>(grid.longWindowSizeY);
  if (moveToBottom != 0) {
    // Without SWP_NOACTIVATE the call also activates the window, and an
    // activated window is brought back to the top (Wine does so at once).
    if (!SetWindowPos(item.window, HWND_BOTTOM, left, top, width, height, SWP_NOACTIVATE)) {
      Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"SetWindowPos");
    }
  } else if (!MoveWindow(item.window, left, top, width, height, TRUE)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"MoveWindow");
  }
  Tracef(TRACE_LEVEL_TRACE, L"pid = %lu, HWND = %IX", item.processId, reinterpret_cast<UINT_PTR>(item.window));
}

}  // namespace

BOOL CALLBACK Launch_FindProcessWindow(HWND window, LPARAM record) {
  LaunchItem* item = reinterpret_cast<LaunchItem*>(record);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != item->processId || !IsWindowVisible(window)) return TRUE;
  item->window = window;
  return FALSE;
}

int Launch_ArrangeWindows(long pattern, long moveToBottom) {
  TRACE_SCOPE();
  const long windowCount = FindWindows();
  if (windowCount == 0) return -1;

  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  Tracef(TRACE_LEVEL_TRACE, L"SPI_GETWORKAREA( top = %ld, bottom = %ld, left = %ld, right = %ld )", area.top,
         area.bottom, area.left, area.right);
  ArrangeGrid grid = {};
  if (!Launch_ComputeGrid(pattern, windowCount, area.right - area.left, area.bottom - area.top, &grid)) return -1;
  Tracef(TRACE_LEVEL_TRACE,
         L"ウィンドウサイズ他を算出( WindowCountX = %ld, WindowCountY = %ld, WindowSizeX = %ld, WindowSizeY = %ld )",
         grid.longWindowCountX, grid.longWindowCountY, grid.longWindowSizeX, grid.longWindowSizeY);

  // Records without a window take no cell: the next window moves up.
  long cell = 0;
  for (LaunchItem* item = gLaunchItem_Launch_ListHead; item != nullptr; item = item->next) {
    if (item->window == nullptr) continue;
    long x = 0;
    long y = 0;
    Launch_CellPosition(grid, cell++, &x, &y);
    Place(*item, area, x, y, grid, moveToBottom);
  }
  return 0;
}
