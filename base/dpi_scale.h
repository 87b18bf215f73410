// Pixel arithmetic for displays of any DPI, free of windows so it can be
// checked as a table.  Sizes are designed at 96 DPI (100 %) and scaled.
#ifndef CORVANTA_BASE_DPI_SCALE_H
#define CORVANTA_BASE_DPI_SCALE_H

#include <windows.h>

// The DPI every designed pixel size refers to.
constexpr UINT D_UINT_DPI_DESIGN = 96;

// `value` pixels at 96 DPI as pixels at `dpi`, rounded to the nearest pixel
// (halves away from zero).  A `dpi` of 0 counts as 96.
int Dpi_Scale(int value, UINT dpi);

#endif
