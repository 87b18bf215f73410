#include "mainwindow/menu_geometry.h"

#include "base/dpi_scale.h"

namespace {

// At 96 DPI, with the 32-pixel icon: the name 36 pixels from the left and 12
// below the top, and a row 24 pixels higher than the name.
constexpr int kIconToText = 4;
constexpr int kTextMargin = 12;
constexpr int kIconMargin = 2;

int Larger(int a, int b) { return a > b ? a : b; }

}  // namespace

MenuEntrySize MainWindow_EntrySize(UINT dpi, SIZE text, int iconSize, int arrowSpace) {
  MenuEntrySize size;
  size.width = iconSize + Dpi_Scale(kIconToText, dpi) + static_cast<int>(text.cx) + arrowSpace;
  size.height = Larger(static_cast<int>(text.cy) + 2 * Dpi_Scale(kTextMargin, dpi),
                       iconSize + 2 * Dpi_Scale(kIconMargin, dpi));
  return size;
}

MenuEntryPlaces MainWindow_EntryPlaces(UINT dpi, int rowHeight, int iconSize, int textHeight) {
  MenuEntryPlaces places;
  places.iconTop = (rowHeight - iconSize) / 2;
  places.textLeft = iconSize + Dpi_Scale(kIconToText, dpi);
  places.textTop = (rowHeight - textHeight) / 2;
  return places;
}
