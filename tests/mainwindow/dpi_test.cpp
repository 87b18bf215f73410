// Sizes at every DPI: the scaling arithmetic and the launcher entry's layout
// as tables, then a real entry measured and drawn at 100 %, 150 % and 200 %.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "base/dpi_scale.h"
#include "base/text.h"
#include "config/config.h"
#include "mainwindow/menu_geometry.h"
#include "mainwindow/traymenu.h"
#include "support/test_support.h"

namespace {

using namespace test;

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

// A folder's entry measured, then drawn with its name white on white: what shows is its icon.
TEST(Dpi, AnEntrysSizeAndIconScaleWithTheDpiItIsShownAt) {
  PrepareUi();
  TempFolder temp;
  gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  MainWindow_CreateTreeView();
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp.Path() + L"\\").c_str());
  MakeFolder(temp / L"ラウンチャーアイテムルート"), MakeFolder(temp / L"ラウンチャーアイテムルート\\Corvanta");
  std::vector<std::vector<int>> seen;  // width, height and the icon's width, by DPI
  for (UINT dpi : {96u, 144u, 192u}) {
    MainWindow_SetMenuDpi(dpi);
    ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
    HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
    ASSERT_EQ(0, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
    const MENUITEMINFOW entry = MenuEntry(rootMenu, 0);
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, entry.wID, 0, 0, entry.dwItemData};
    MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle);
    const int width = static_cast<int>(measure.itemWidth), height = static_cast<int>(measure.itemHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateBitmap(width, height, 1, 32, nullptr));
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    SetBkColor(dc, RGB(255, 255, 255)), SetTextColor(dc, RGB(255, 255, 255));
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, entry.wID, 0, 0, nullptr, dc, {0, 0, width, height}, entry.dwItemData};
    MainWindow_OnDrawItem(&draw, 0);
    int left = width, right = 0;
    for (int y = 0; y < height; ++y) for (int x = 0; x < width; ++x) {
      if (GetPixel(dc, x, y) != RGB(255, 255, 255)) left = std::min(left, x), right = std::max(right, x + 1);
    }
    DeleteObject(SelectObject(dc, old)), DeleteDC(dc);
    seen.push_back({width, height, right - left});
  }
  for (size_t i = 1; i < seen.size(); ++i) for (size_t part = 0; part < 3; ++part) {
    EXPECT_NEAR(seen[0][part] * (i + 2) / 2.0, seen[i][part], 2.5) << "part " << part << " at x" << (i + 2) / 2.0;
  }
  MainWindow_SetMenuDpi(0), MainWindow_DestroyTrayIconMenu(), DestroyWindow(gHWND_MainWindow_Handle);
  gHWND_MainWindow_Handle = gHWND_MainWindow_TreeView = nullptr;
}

}  // namespace
