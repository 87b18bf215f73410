// Sizes at every DPI: the scaling arithmetic and the launcher entry's layout
// as tables, then a real entry measured and drawn at 100 %, 150 % and 200 %.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include "base/dpi_scale.h"
#include "base/instance.h"
#include "base/text.h"
#include "config/config.h"
#include "mainwindow/menu_geometry.h"
#include "mainwindow/traymenu.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(Dpi, ScalesToTheNearestPixelWithoutOverflow) {
  const struct { int value; UINT dpi; int expected; } cases[] = {
      {36, 96, 36}, {36, 120, 45}, {36, 144, 54}, {36, 192, 72}, {13, 144, 20}, {-3, 144, -5},
      {5, 120, 6}, {500, 0, 500}, {30000000, 480, 150000000}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, Dpi_Scale(c.value, c.dpi)) << c.value << " at " << c.dpi;
}

// At 96 DPI the classic entry: the name 36 pixels in, the row 24 higher than the name.  At any DPI the icon
// and the name lie inside the row, side by side, the arrow's room after the name, and every part scales.
TEST(Dpi, EntryLayoutKeepsItsPartsApartAndScales) {
  for (UINT dpi : {96u, 120u, 144u, 192u, 288u}) {
    const SIZE text = {Dpi_Scale(60, dpi), Dpi_Scale(13, dpi)};
    const int icon = Dpi_Scale(32, dpi), arrow = Dpi_Scale(13, dpi);
    const MenuEntrySize size = MainWindow_EntrySize(dpi, text, icon, arrow);  // then the places in a row that high
    const MenuEntryPlaces at = MainWindow_EntryPlaces(dpi, size.height, icon, text.cy);
    if (dpi == 96) { EXPECT_EQ((std::vector<int>{60 + 36 + 13, 13 + 24, 36, 12}), (std::vector<int>{size.width, size.height, at.textLeft, at.textTop})); }
    EXPECT_TRUE(at.iconTop >= 0 && at.iconTop + icon <= size.height && at.textTop >= 0 && at.textTop + text.cy <= size.height && at.textLeft > icon) << dpi;
    EXPECT_EQ(size.width, at.textLeft + text.cx + arrow) << dpi;
    EXPECT_NEAR(size.height, Dpi_Scale(13 + 24, dpi), 2) << dpi;
    EXPECT_NEAR(at.textLeft, Dpi_Scale(36, dpi), 1) << dpi;
  }
  const MenuEntrySize small = MainWindow_EntrySize(96, SIZE{20, 6}, 48, 13);  // a tiny font, a large icon
  const int iconTop = MainWindow_EntryPlaces(96, small.height, 48, 6).iconTop;
  EXPECT_TRUE(iconTop >= 2 && small.height >= 48 + 2 * iconTop) << "the icon with a margin above and below";
}

// A folder's entry measured, then drawn with its name white on white: what shows is its icon, by the pixels it covers.
TEST(Dpi, AnEntrysSizeAndIconScaleWithTheDpiItIsShownAt) {
  CoInitialize(nullptr);
  TempFolder temp;
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  gHWND_MainWindow_Handle = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  MainWindow_CreateTreeView();
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, (temp.Path() + L"\\").c_str());
  MakeFolder(temp / L"ラウンチャーアイテムルート"), MakeFolder(temp / L"ラウンチャーアイテムルート\\Corvanta");
  std::vector<std::vector<int>> seen;  // width, height and the icon's width, by DPI
  for (UINT dpi : {96u, 144u, 192u}) {
    MainWindow_SetMenuDpi(dpi);
    ASSERT_EQ(0, MainWindow_CreateTrayIconMenu());
    HMENU rootMenu = GetSubMenu(gHMENU_MainWindow_TrayIconMenu, 0);
    ASSERT_EQ(0, MainWindow_CreateLauncherSubMenu(gHTREEITEM_MainWindow_RootTreeNode, rootMenu));
    MENUITEMINFOW entry = {sizeof(entry), MIIM_ID | MIIM_DATA, 0, 0, 0, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr};
    GetMenuItemInfoW(rootMenu, 0, TRUE, &entry);
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, entry.wID, 0, 0, entry.dwItemData};
    MainWindow_OnMeasureItem(0, &measure, gHWND_MainWindow_Handle);
    const int width = static_cast<int>(measure.itemWidth), height = static_cast<int>(measure.itemHeight);
    HDC dc = CreateCompatibleDC(nullptr);  // the row on white, with a white line below it
    HGDIOBJ old = SelectObject(dc, CreateBitmap(width, height + 1, 1, 32, nullptr));
    PatBlt(dc, 0, 0, width, height + 1, WHITENESS);
    SetBkColor(dc, RGB(255, 255, 255)), SetTextColor(dc, RGB(255, 255, 255));
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, entry.wID, 0, 0, nullptr, dc, {0, 0, width, height}, entry.dwItemData};
    MainWindow_OnDrawItem(&draw, 0);
    RECT icon = {width, height, -1, -1};
    for (int y = 0; y <= height; ++y) for (int x = 0; x < width; ++x) if (GetPixel(dc, x, y) != RGB(255, 255, 255)) {
      icon = RECT{std::min<LONG>(icon.left, x), std::min<LONG>(icon.top, y), std::max<LONG>(icon.right, x + 1), std::max<LONG>(icon.bottom, y + 1)};
    }
    DeleteObject(SelectObject(dc, old)), DeleteDC(dc);
    EXPECT_TRUE(icon.right > icon.left && icon.bottom <= height) << "the icon lies within its row at " << dpi;
    seen.push_back({width, height, static_cast<int>(icon.right - icon.left)});
  }
  for (size_t i = 1; i < seen.size(); ++i) for (size_t part = 0; part < 3; ++part) {
    EXPECT_NEAR(seen[0][part] * (i + 2) / 2.0, seen[i][part], 2.5) << "part " << part << " at x" << (i + 2) / 2.0;
  }
  MainWindow_SetMenuDpi(0), MainWindow_DestroyTrayIconMenu(), DestroyWindow(gHWND_MainWindow_Handle), CoUninitialize();
  gHWND_MainWindow_Handle = gHWND_MainWindow_TreeView = nullptr;
}

}  // namespace
