// The tray icon menu and the choice made in it.
//
// A choice is not taken from the menu's own command result: the hook library
// posts D_LONG_MAINWINDOW_WM_HOOK on the choice gesture, and the entry that is
// highlighted at that moment (tracked through WM_MENUSELECT) is acted on.
#include "mainwindow/traymenu.h"

#include <htmlhelp.h>

#include "app/text.h"
#include "app/trace.h"
#include "config/config.h"
#include "hooklib.h"
#include "mainwindow/mainwindow.h"
#include "resource.h"

HMENU gHMENU_MainWindow_TrayIconMenu = nullptr;
long glong_MainWindow_CurrentMenuId = 0;

namespace {

// The fixed entries in insertion order; each goes in at the top, so the menu
// shows them in reverse.
struct FixedEntry {
  long id;
  UINT textId;  // 0 for the separator
};
const FixedEntry kFixedEntries[] = {
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT, IDS_MAINWINDOW_MENU_QUIT},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP, IDS_MAINWINDOW_MENU_HELP},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SETTING, IDS_MAINWINDOW_MENU_SETTING},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_MANAGEMENT, IDS_MAINWINDOW_MENU_MANAGEMENT},
    {D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SEPARATOR, 0},
};

void QuitWithConfirmation() {
  if (Text_MessageBox(nullptr, IDS_MAINWINDOW_QUIT_TEXT, IDS_MAINWINDOW_QUIT_CAPTION,
                      MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) {
    return;
  }
  Trace(TRACE_LEVEL_TRACE, L"アプリケーション終了");
  DestroyWindow(gHWND_MainWindow_Handle);
}

}  // namespace

int MainWindow_CreateTrayIconMenu() {
  TRACE_SCOPE();
  MainWindow_DestroyTrayIconMenu();
  gHMENU_MainWindow_TrayIconMenu = CreatePopupMenu();
  if (gHMENU_MainWindow_TrayIconMenu == nullptr) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"CreatePopupMenu()");
    return -1;
  }
  for (const FixedEntry& entry : kFixedEntries) {
    wchar_t text[D_SIZE_MESSAGE] = L"";
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    item.wID = static_cast<UINT>(entry.id);
    if (entry.textId == 0) {
      item.fType = MFT_SEPARATOR;
    } else {
      Text_LoadString(entry.textId, text, D_SIZE_MESSAGE);
      item.fMask |= MIIM_STRING;
      item.fType = MFT_STRING;
      item.fState = MFS_ENABLED;
      item.dwTypeData = text;
    }
    if (!InsertMenuItemW(gHMENU_MainWindow_TrayIconMenu, 0, TRUE, &item)) {
      Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"InsertMenuItem()");
      MainWindow_DestroyTrayIconMenu();
      return -1;
    }
  }
  return 0;
}

void MainWindow_DestroyTrayIconMenu() {
  if (gHMENU_MainWindow_TrayIconMenu == nullptr) return;
  DestroyMenu(gHMENU_MainWindow_TrayIconMenu);
  gHMENU_MainWindow_TrayIconMenu = nullptr;
}

int MainWindow_ShowTrayIconMenu() {
  TRACE_SCOPE();
  if (MainWindow_CreateTrayIconMenu() != 0) {
    Trace_ReportOperationFailed(L"MainWindow_CreateTrayIconMenu()");
    return -1;
  }
  POINT pointer = {};
  GetCursorPos(&pointer);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere.
  SetForegroundWindow(gHWND_MainWindow_Handle);
  if (!TrackPopupMenu(gHMENU_MainWindow_TrayIconMenu, TPM_RIGHTALIGN, pointer.x, pointer.y, 0,
                      gHWND_MainWindow_Handle, nullptr)) {
    DWORD error = GetLastError();
    // The hotkey pressed while the menu is already open: nothing to do.
    if (error == ERROR_POPUP_ALREADY_ACTIVE) return 0;
    Trace_ReportError(TRACE_FRAME_EXTERNAL, L"TrackPopupMenu()", error);
    return -1;
  }
  // Lets the menu close properly when the next click goes elsewhere
  // (the documented remedy for tray menus that linger).
  PostMessageW(gHWND_MainWindow_Handle, WM_NULL, 0, 0);
  return 0;
}

int MainWindow_OnMenuSelect(WPARAM wParam, HMENU menu, HWND) {
  const UINT item = LOWORD(wParam);
  const UINT flags = HIWORD(wParam);
  if (menu == nullptr || flags == 0xFFFF) {
    glong_MainWindow_CurrentMenuId = 0;
  } else if ((flags & MF_POPUP) != 0) {
    glong_MainWindow_CurrentMenuId = static_cast<long>(GetMenuItemID(menu, static_cast<int>(item)));
  } else {
    glong_MainWindow_CurrentMenuId = static_cast<long>(item);
  }
  Tracef(TRACE_LEVEL_TRACE, L"long_MainWindow_CurrentMenuId_work = %d", static_cast<int>(glong_MainWindow_CurrentMenuId));
  return 0;
}

int MainWindow_OnHookNotify() {
  TRACE_SCOPE();
  // The mouse hook stays off while the chosen action runs its boxes and
  // dialogs, so clicks in them are not taken for menu choices.
  UnsetHookWH_MOUSE();
  // Copied before the menu closes: closing clears the selection.
  const long menuId = glong_MainWindow_CurrentMenuId;
  Tracef(TRACE_LEVEL_TRACE, L"glong_MainWindow_CurrentMenuId = %d", static_cast<int>(menuId));
  EndMenu();
  MainWindow_RunFixedEntryAction(menuId);
  if (SetHookWH_MOUSE(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_WM_HOOK) != 0) {
    Trace_ReportOperationFailed(L"SetHookWH_MOUSE()");
    return -1;
  }
  return 0;
}

void MainWindow_RunFixedEntryAction(long menuId) {
  switch (menuId) {
    case D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT:
      QuitWithConfirmation();
      break;
    case D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP:
      HtmlHelpW(GetDesktopWindow(), gTCHAR_Config_HelpFilePath, HH_DISPLAY_TOC, 0);
      break;
    default:
      // Settings and management open their dialogs once those exist.
      break;
  }
}
