// The tray icon menu: its construction, display, the current selection and
// the actions of the fixed entries.
#ifndef CORVANTA_MAINWINDOW_TRAYMENU_H
#define CORVANTA_MAINWINDOW_TRAYMENU_H

#include <windows.h>

// The highlighted entry of the open menu; 0 when none.
extern long glong_MainWindow_CurrentMenuId;

// Builds the tray icon menu afresh into gHMENU_MainWindow_TrayIconMenu.
int MainWindow_CreateTrayIconMenu();
// Destroys the menu (with its submenus) if one exists.
void MainWindow_DestroyTrayIconMenu();
int MainWindow_OnMenuSelect(WPARAM wParam, HMENU menu, HWND window);
// Carries out a fixed entry's action (quit, help, settings, management).
void MainWindow_RunFixedEntryAction(long menuId);

#endif
