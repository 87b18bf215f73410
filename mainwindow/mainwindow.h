// The hidden main window: message loop, tray icon, hotkey and hook notifications.
#ifndef CORVANTA_MAINWINDOW_MAINWINDOW_H
#define CORVANTA_MAINWINDOW_MAINWINDOW_H

#include <windows.h>
#include <shellapi.h>
#include <time.h>

#include "base/instance.h"

constexpr const wchar_t* D_WSTR_MAINWINDOW_CLASS_NAME = L"Corvanta - MainWindow";
constexpr const wchar_t* D_WSTR_MAINWINDOW_TITLE = L"Corvanta - MainWindow(デバッグ時のみ表示)";

constexpr long D_LONG_MAINWINDOW_WM_TASKTRAY = WM_USER + 100;  // 1124, tray icon callback
constexpr long D_LONG_MAINWINDOW_WM_HOOK = WM_USER + 110;      // 1134, choice from the hook library
constexpr long D_LONG_MAINWINDOW_HOTKEY_ID = 100;

// Capacity of a launcher entry's full path, terminator included.
constexpr size_t D_SIZE_MAINWINDOW_PATH = 516;

// Tray icon menu IDs of the fixed entries.
constexpr long D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SEPARATOR = 1;
constexpr long D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT = 10;
constexpr long D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP = 20;
constexpr long D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SETTING = 30;
constexpr long D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_MANAGEMENT = 40;
// The "< 空 >" entry of a folder without items.
constexpr long D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_EMPTY = 100;
// The launcher item root entry; its folders and shortcuts follow from 1001 on.
constexpr long D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SHORTCUTITEM = 1000;

extern HWND gHWND_MainWindow_TreeView;
extern HMENU gHMENU_MainWindow_TrayIconMenu;
extern UINT gUINT_MainWindow_TaskbarCreated;
extern DWORD gDWORD_MainWindow_HtmlHelpCookie;
extern time_t gTIME_MainWindow_LastHotKeyTime;
extern bool gbool_MainWindow_HotKeyAccepted;
extern NOTIFYICONDATAW gNOTIFYICONDATA_MainWindow_TrayIcon;
extern DWORD gDWORD_MainWindow_LastTrayDoubleClickTick;

// Registers the class, creates the hidden window, runs the message loop.
// 0 after WM_QUIT (its wParam written to exitCode); -1 when the window was
// not created (exitCode untouched).
int MainWindow_CreateMainWindow(HINSTANCE instance, HINSTANCE previousInstance, int& exitCode);
LRESULT CALLBACK MainWindow_WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int MainWindow_CreateTreeView();
int MainWindow_OnCreate(HWND window);
int MainWindow_OnDestroy();

// Tray icon.
int MainWindow_AddTaskTrayIcon();
int MainWindow_DeleteTaskTrayIcon();
int MainWindow_OnTaskbarCreated();
int MainWindow_OnTaskTrayNotify(LPARAM mouseMessage);
// Shows string `textId` in a balloon from the tray icon, with the balloon
// icon `iconFlags` (NIIF_*).  -1 when there is no icon to show it from or
// the shell refused.
int MainWindow_ShowTrayBalloon(UINT textId, DWORD iconFlags);

// Hotkey.
int MainWindow_RegisterHotKey();
int MainWindow_UnregisterHotKey();
int MainWindow_OnHotKey(WPARAM identifier);

// The launcher menu (opened from the tray and the hotkey).
int MainWindow_ShowTrayIconMenu();
int MainWindow_OnHookNotify();

#endif
