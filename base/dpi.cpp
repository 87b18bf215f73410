// DPI queries.  The program targets Windows 7, which has none of the
// per-monitor functions: they are looked up in user32 (always loaded in a GUI
// program) and in shcore, loaded from the system folder only, never by a
// search that could find a copy beside the program or in the current folder.
#include "base/dpi.h"

#include "base/handles.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

// The functions of this system, looked up once.
struct DpiFunctions {
  GetDpiForWindowFunction forWindow = nullptr;
  GetSystemMetricsForDpiFunction metric = nullptr;
  SystemParametersInfoForDpiFunction parameters = nullptr;
  GetDpiForMonitorFunction forMonitor = nullptr;
};

template <typename F>
F Lookup(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Cast through a generic function pointer: GetProcAddress's type is a stand-in.
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    DpiFunctions found;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    found.forWindow = Lookup<GetDpiForWindowFunction>(user32, "GetDpiForWindow");
    found.metric = Lookup<GetSystemMetricsForDpiFunction>(user32, "GetSystemMetricsForDpi");
    found.parameters = Lookup<SystemParametersInfoForDpiFunction>(user32, "SystemParametersInfoForDpi");
    // Windows 7 without KB2533623 refuses the flag (no shcore there anyway):
    // then the monitor's DPI is the system's.
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    found.forMonitor = Lookup<GetDpiForMonitorFunction>(shcore, "GetDpiForMonitor");
    return found;
  }();
  return functions;
}

}  // namespace

UINT Dpi_System() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : D_UINT_DPI_DESIGN;
}

UINT Dpi_ForWindow(HWND window) {
  const UINT dpi = Functions().forWindow != nullptr && window != nullptr ? Functions().forWindow(window) : 0;
  return dpi != 0 ? dpi : Dpi_System();
}

UINT Dpi_ForPoint(POINT point) {
  UINT x = 0, y = 0;
  if (Functions().forMonitor == nullptr ||
      FAILED(Functions().forMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y)) ||
      y == 0) {
    return Dpi_System();
  }
  return y;
}

int Dpi_SystemMetric(int index, UINT dpi) {
  if (Functions().metric != nullptr) return Functions().metric(index, dpi);
  // The system's own value is for the system DPI.
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(Dpi_System()));
}

void Dpi_MenuFont(UINT dpi, LOGFONTW* font) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (Functions().parameters != nullptr &&
      Functions().parameters(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    *font = metrics.lfMenuFont;
    return;
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(*font), font);
    metrics.lfMenuFont = *font;
  }
  *font = metrics.lfMenuFont;
  font->lfHeight = MulDiv(font->lfHeight, static_cast<int>(dpi), static_cast<int>(Dpi_System()));
}

HBITMAP Dpi_LoadBitmapAtSize(HINSTANCE resources, UINT id, int width, int height) {
  GdiObjectHandle source(LoadImageW(resources, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP sourceSize = {};
  if (!source.Valid() || width <= 0 || height <= 0 || GetObjectW(source.Get(), sizeof(sourceSize), &sourceSize) == 0) {
    return nullptr;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  GdiObjectHandle sized(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDcHandle from(CreateCompatibleDC(nullptr));
  MemoryDcHandle to(CreateCompatibleDC(nullptr));
  if (!sized.Valid() || !from.Valid() || !to.Valid()) return nullptr;
  HGDIOBJ oldFrom = SelectObject(from.Get(), source.Get());
  HGDIOBJ oldTo = SelectObject(to.Get(), sized.Get());
  // HALFTONE averages the pixels a shrink drops; the brush origin must be
  // set again after choosing it.
  SetStretchBltMode(to.Get(), HALFTONE);
  SetBrushOrgEx(to.Get(), 0, 0, nullptr);
  const BOOL drawn = StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, sourceSize.bmWidth,
                                sourceSize.bmHeight, SRCCOPY);
  SelectObject(from.Get(), oldFrom);
  SelectObject(to.Get(), oldTo);
  return drawn ? static_cast<HBITMAP>(sized.Release()) : nullptr;
}
