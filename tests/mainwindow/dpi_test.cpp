// Sizes at every DPI as tables: the scaling arithmetic and a launcher entry's layout (a real one: LauncherMenu).
#include <gtest/gtest.h>
#include <windows.h>

#include "base/dpi_scale.h"
#include "mainwindow/menu_geometry.h"

namespace {

TEST(Dpi, ScalesToTheNearestPixelWithoutOverflow) {
  const struct { int value; UINT dpi; int expected; } cases[] = {
      {36, 192, 72}, {13, 144, 20}, {-3, 144, -5}, {5, 120, 6}, {500, 0, 500}, {30000000, 480, 150000000}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, Dpi_Scale(c.value, c.dpi)) << c.value << " at " << c.dpi;
}

// Width and height of the row, the name's left and top, the icon's top.
TEST(Dpi, EntryLayoutKeepsItsPartsApartAndScales) {
  const struct { UINT dpi; SIZE text; int icon; std::vector<int> expected; } cases[] = {
      {96, {60, 13}, 32, {60 + 36 + 13, 13 + 24, 36, 12, 2}},  // the classic: the name 36 in, the row 24 higher
      {192, {120, 26}, 64, {120 + 72 + 13, 26 + 48, 72, 24, 5}},
      {96, {20, 6}, 48, {20 + 52 + 13, 48 + 4, 52, 23, 2}}};  // a tiny font, a large icon: 2 pixels above and below
  for (const auto& c : cases) {
    const MenuEntrySize size = MainWindow_EntrySize(c.dpi, c.text, c.icon, 13);
    const MenuEntryPlaces at = MainWindow_EntryPlaces(c.dpi, size.height, c.icon, c.text.cy);
    EXPECT_EQ(c.expected, (std::vector<int>{size.width, size.height, at.textLeft, at.textTop, at.iconTop})) << c.dpi;
  }
}

}  // namespace
