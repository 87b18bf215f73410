// The DPI of a window, a monitor or the system, and the sizes the system
// gives for one.  The newer per-monitor functions are looked up at run time
// in the system's own modules; on a system without them everything follows
// the system DPI.
#ifndef CORVANTA_BASE_DPI_H
#define CORVANTA_BASE_DPI_H

#include <windows.h>

#include "base/dpi_scale.h"

// The DPI of the primary display the system was started with.
UINT Dpi_System();
// The DPI of the monitor `window` is on.
UINT Dpi_ForWindow(HWND window);
// The DPI of the monitor that holds `point` (screen coordinates).
UINT Dpi_ForPoint(POINT point);
// GetSystemMetrics(`index`) as it is at `dpi`.
int Dpi_SystemMetric(int index, UINT dpi);
// The system's menu font as it is at `dpi`.
void Dpi_MenuFont(UINT dpi, LOGFONTW* font);
// Bitmap `id` of `resources` drawn smoothly at `width` x `height` pixels, or
// null.  The caller deletes it.
HBITMAP Dpi_LoadBitmapAtSize(HINSTANCE resources, UINT id, int width, int height);

#endif
