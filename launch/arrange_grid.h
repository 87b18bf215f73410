// The grid that the launched windows are laid out on (no Win32 calls).
#ifndef CORVANTA_LAUNCH_ARRANGE_GRID_H
#define CORVANTA_LAUNCH_ARRANGE_GRID_H

// Arrangement patterns, as config.ini stores them.
constexpr long D_LONG_LAUNCH_PATTERN_NONE = 0;
constexpr long D_LONG_LAUNCH_PATTERN_VERTICAL = 1;    // one column
constexpr long D_LONG_LAUNCH_PATTERN_HORIZONTAL = 2;  // one row
constexpr long D_LONG_LAUNCH_PATTERN_TILE = 3;        // a grid, row by row

struct ArrangeGrid {
  long longWindowCountX;  // columns
  long longWindowCountY;  // rows
  long longWindowSizeX;   // cell width in pixels
  long longWindowSizeY;   // cell height in pixels
};

// The grid for `windowCount` windows (at least 1) on a work area of `width` x
// `height` with `pattern` 1 (one column), 2 (one row) or 3 (tiles).  Integer
// divisions: the pixels left over stay empty at the right and the bottom.
// Returns false for any other pattern or a count below 1.
bool Launch_ComputeGrid(long pattern, long windowCount, long width, long height, ArrangeGrid* grid);

// The top-left corner of cell `index` (0-based, filled row by row) relative to
// the work area's top-left corner.
void Launch_CellPosition(const ArrangeGrid& grid, long index, long* x, long* y);

#endif
