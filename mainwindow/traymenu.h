// The tray icon menu: construction, drawing, the current selection and the
// actions of a choice.
#ifndef CORVANTA_MAINWINDOW_TRAYMENU_H
#define CORVANTA_MAINWINDOW_TRAYMENU_H

#include <windows.h>
#include <commctrl.h>

#include "mainwindow/mainwindow.h"

extern HTREEITEM gHTREEITEM_MainWindow_RootTreeNode;
extern long glong_MainWindow_MenuIdCounter;

// The highlighted entry of the open menu; cleared when the menu closes.
extern long glong_MainWindow_CurrentMenuId;
extern wchar_t gTCHAR_MainWindow_CurrentPhysicalPath[D_SIZE_MAINWINDOW_PATH];
extern HTREEITEM gHTREEITEM_MainWindow_CurrentTreeNode;

// Construction.
int MainWindow_CreateTrayIconMenu();
// Destroys the menu (with its submenus) and the tree behind it, if any.
void MainWindow_DestroyTrayIconMenu();
int MainWindow_CreateLauncherSubMenu(HTREEITEM folderNode, HMENU submenu);
// Writes the node's full path (D_SIZE_MAINWINDOW_PATH characters); for no
// node, the program's folder.  -1 (and an empty path) when it does not fit.
int MainWindow_GetPhysicalPath(HTREEITEM node, wchar_t* path);
int MainWindow_GetMenuItemPosition(HMENU menu, long id);
// The name a tree node holds (empty for no node).
void MainWindow_GetNodeText(HTREEITEM node, wchar_t* text, size_t capacity);

// Display and selection.
int MainWindow_OnMenuSelect(WPARAM wParam, HMENU menu, HWND window);
int MainWindow_OnMeasureItem(WPARAM wParam, MEASUREITEMSTRUCT* record, HWND window);
int MainWindow_OnDrawItem(const DRAWITEMSTRUCT* record, WPARAM wParam);
// Gives back what drawing kept for the entries of this opening (their icons).
void MainWindow_ReleaseMenuDrawing();
// The DPI the entries are measured and drawn for from now on: that of the
// monitor the menu opens on (0: the system's).
void MainWindow_SetMenuDpi(UINT dpi);
// 0 when `path` names a folder, -1 otherwise.
int MainWindow_IsDirectory(const wchar_t* path);
// Carries out a fixed entry's action (quit, help, settings, management).
void MainWindow_RunFixedEntryAction(long menuId);
// True while a chosen entry's action (a box, the progress dialog, the
// management dialog, the settings sheet) is running.
bool MainWindow_IsActionRunning();
// Brings the running action's window to the front.
void MainWindow_BringActionToFront();
// The settings entry: the hotkey is unregistered while the sheet is up and
// registered again after it (hotkey.cpp).
int MainWindow_ShowSettingSheet();

#endif
