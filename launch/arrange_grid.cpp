// The arrangement grid.
#include "launch/arrange_grid.h"

namespace {

// Tiles: four columns for up to eight windows (one row up to four, two rows
// up to eight); beyond that one more column at a time with half as many rows
// until the grid holds them all.
void TileShape(long windowCount, long* columns, long* rows) {
  long x = 4;
  long y = 1;
  if (windowCount > 4 && windowCount <= 8) {
    y = 2;
  } else if (windowCount > 8) {
    do {
      ++x;
      y = x / 2;
    } while (x * y < windowCount);
  }
  *columns = x;
  *rows = y;
}

}  // namespace

bool Launch_ComputeGrid(long pattern, long windowCount, long width, long height, ArrangeGrid* grid) {
  if (windowCount < 1) return false;
  switch (pattern) {
    case D_LONG_LAUNCH_PATTERN_VERTICAL:
      grid->longWindowCountX = 1;
      grid->longWindowCountY = windowCount;
      break;
    case D_LONG_LAUNCH_PATTERN_HORIZONTAL:
      grid->longWindowCountX = windowCount;
      grid->longWindowCountY = 1;
      break;
    case D_LONG_LAUNCH_PATTERN_TILE:
      TileShape(windowCount, &grid->longWindowCountX, &grid->longWindowCountY);
      break;
    default:
      return false;
  }
  grid->longWindowSizeX = width / grid->longWindowCountX;
  grid->longWindowSizeY = height / grid->longWindowCountY;
  return true;
}

void Launch_CellPosition(const ArrangeGrid& grid, long index, long* x, long* y) {
  *x = (index % grid.longWindowCountX) * grid.longWindowSizeX;
  *y = (index / grid.longWindowCountX) * grid.longWindowSizeY;
}
