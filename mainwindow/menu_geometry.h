// The layout of an owner-drawn launcher entry at a given DPI: the icon at the
// left, the name beside it, room for the submenu arrow at the right.  Free of
// windows: the caller measures the name and asks the system for the icon
// size and the arrow's room at that DPI.
#ifndef CORVANTA_MAINWINDOW_MENU_GEOMETRY_H
#define CORVANTA_MAINWINDOW_MENU_GEOMETRY_H

#include <windows.h>

struct MenuEntrySize {
  int width;
  int height;
};
// The size an entry asks for, with a name of `text` pixels.
MenuEntrySize MainWindow_EntrySize(UINT dpi, SIZE text, int iconSize, int arrowSpace);

// Where the icon and the name go in a row `rowHeight` pixels high, relative
// to the row's top left corner: both centred in the height.
struct MenuEntryPlaces {
  int iconTop;
  int textLeft;
  int textTop;
};
MenuEntryPlaces MainWindow_EntryPlaces(UINT dpi, int rowHeight, int iconSize, int textHeight);

#endif
