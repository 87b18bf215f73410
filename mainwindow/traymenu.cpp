// Showing the tray icon menu, following the highlighted entry, and acting on
// the user's choice.
//
// A choice is not taken from the menu's own command result: the hook library
// posts D_LONG_MAINWINDOW_WM_HOOK on the choice gesture, and the entry that is
// highlighted at that moment (followed through WM_MENUSELECT) is acted on.
// That is what lets a folder entry, which a menu would only open, be chosen
// to run everything beneath it.
#include "mainwindow/traymenu.h"

#include <htmlhelp.h>

#include "base/dpi.h"
#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "mainwindow/help_viewer.h"
#include "mainwindow/hook_library.h"
#include "itemmanager/itemmanager.h"
#include "launch/launch.h"
#include "resource.h"

long glong_MainWindow_CurrentMenuId = 0;
wchar_t gTCHAR_MainWindow_CurrentPhysicalPath[D_SIZE_MAINWINDOW_PATH] = L"";
HTREEITEM gHTREEITEM_MainWindow_CurrentTreeNode = nullptr;

namespace {

// Set while TrackPopupMenu runs: a hotkey pressed meanwhile must not rebuild
// (and so destroy) the menu that is being shown.
bool gMenuIsOpen = false;

// Set while a chosen entry's action runs: its confirmation box, the progress
// dialog, the management dialog, the settings sheet or the quit box.  They
// are modal loops on this thread, so the tray icon and the hotkey still reach
// us meanwhile; a second choice would overwrite the first one's record or
// start a second dialog on state that exists once.
bool gActionRunning = false;

// The window a user would look for while an action runs: the first visible,
// enabled top-level window of this thread other than the main window (the
// modal one on top: its owner is disabled while it is up).
BOOL CALLBACK FindActionWindow(HWND window, LPARAM found) {
  if (window == gHWND_MainWindow_Handle || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void ClearSelection() {
  gTCHAR_MainWindow_CurrentPhysicalPath[0] = L'\0';
  glong_MainWindow_CurrentMenuId = 0;
  gHTREEITEM_MainWindow_CurrentTreeNode = nullptr;
}

// The entry at `position` of `menu`: its ID, item data and submenu.
MENUITEMINFOW EntryAt(HMENU menu, int position) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) item = MENUITEMINFOW();
  return item;
}

void QuitWithConfirmation() {
  if (Text_MessageBox(nullptr, IDS_MAINWINDOW_QUIT_TEXT, IDS_MAINWINDOW_QUIT_CAPTION,
                      MB_OKCANCEL | MB_ICONINFORMATION) != IDOK) {
    return;
  }
  Trace(TRACE_LEVEL_TRACE, L"アプリケーション終了");
  DestroyWindow(gHWND_MainWindow_Handle);
}

// Opens the help file's table of contents.  HTML Help says nothing about a
// missing file on some systems (Wine shows nothing at all), so the user is
// told where the file was looked for.
void ShowHelp() {
  if (GetFileAttributesW(gTCHAR_Config_HelpFilePath) == INVALID_FILE_ATTRIBUTES) {
    Tracef(TRACE_LEVEL_ERROR, L"ヘルプファイルが見つかりません(%ls)", gTCHAR_Config_HelpFilePath);
    Text_MessageBox(nullptr, IDS_MAINWINDOW_HELP_MISSING_TEXT, IDS_MAINWINDOW_HELP_MISSING_CAPTION,
                    MB_OK | MB_ICONWARNING, gTCHAR_Config_HelpFilePath);
    return;
  }
  MainWindow_HtmlHelp(GetDesktopWindow(), gTCHAR_Config_HelpFilePath, HH_DISPLAY_TOC, 0);
}

// Confirms (unless the settings say not to) and runs a launcher entry.
void RunLauncherEntry(const wchar_t* path) {
  Tracef(TRACE_LEVEL_TRACE, L"D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SHORTCUTITEM : %ls", path);
  if (Config_GetSupressDialogBeforeExecute() == 0) {
    const bool folder = MainWindow_IsDirectory(path) == 0;
    // Shown below the root: "<ラウンチャーアイテムルート>\A\b.lnk".
    const size_t rootLength = wcslen(gTCHAR_Config_LauncherItemRootPath);
    const wchar_t* shown = wcsncmp(path, gTCHAR_Config_LauncherItemRootPath, rootLength) == 0 ? path + rootLength
                                                                                              : path;
    if (Text_MessageBox(gHWND_MainWindow_Handle, folder ? IDS_MAINWINDOW_RUN_FOLDER_TEXT : IDS_MAINWINDOW_RUN_FILE_TEXT,
                        folder ? IDS_MAINWINDOW_RUN_FOLDER_CAPTION : IDS_MAINWINDOW_RUN_FILE_CAPTION,
                        MB_OKCANCEL | MB_ICONQUESTION, shown) != IDOK) {
      return;
    }
  }
  Trace(TRACE_LEVEL_TRACE, L"CALL ( Launch_RunWithProgress )");
  Launch_RunWithProgress(gHWND_MainWindow_Handle, path, D_LONG_LAUNCH_RUNMODE_LAUNCH);
}

// The entry chosen in the menu, carried out once the menu has closed.
struct Choice {
  bool pending = false;
  long menuId = 0;
  wchar_t path[D_SIZE_MAINWINDOW_PATH] = L"";
};
Choice gChoice;

// Runs the chosen entry's action, then lets mouse choices in again.  The
// choice is copied first: nothing that happens while the action runs can
// change what it acts on.
int CarryOutChoice() {
  const Choice choice = gChoice;
  gChoice.pending = false;
  gActionRunning = true;
  if (choice.menuId > D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SHORTCUTITEM) {
    RunLauncherEntry(choice.path);
  } else {
    // The root entry (1000), "< 空 >" (100), the separator and no entry at
    // all run nothing; the fixed entries run their actions.
    MainWindow_RunFixedEntryAction(choice.menuId);
  }
  gActionRunning = false;
  // After the quit entry there is no window left to notify.
  if (IsWindow(gHWND_MainWindow_Handle) &&
      MainWindow_SetMouseHook(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_WM_HOOK) != 0) {
    Trace_ReportOperationFailed(L"SetHookWH_MOUSE()");
    return -1;
  }
  return 0;
}

}  // namespace

bool MainWindow_IsActionRunning() { return gActionRunning; }

void MainWindow_BringActionToFront() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindActionWindow, reinterpret_cast<LPARAM>(&found));
  Tracef(TRACE_LEVEL_TRACE, L"処理実行中のため前面に表示します(%IX)", reinterpret_cast<UINT_PTR>(found));
  if (found != nullptr) SetForegroundWindow(found);
}

int MainWindow_ShowTrayIconMenu() {
  TRACE_SCOPE();
  if (gMenuIsOpen) {
    // The hotkey pressed while the menu is open: the open one stays as it is.
    Trace(TRACE_LEVEL_TRACE, L"メニュー表示中のため無視します");
    return 0;
  }
  if (gActionRunning) {
    MainWindow_BringActionToFront();
    return 0;
  }
  // A choice left over from a menu that failed must never run after this one.
  gChoice.pending = false;
  if (MainWindow_CreateTrayIconMenu() != 0) {
    Trace_ReportOperationFailed(L"MainWindow_CreateTrayIconMenu()");
    return -1;
  }
  ClearSelection();
  POINT pointer = {};
  GetCursorPos(&pointer);
  // The menu opens at the pointer: its entries take that monitor's DPI.
  MainWindow_SetMenuDpi(Dpi_ForPoint(pointer));
  // Without the foreground the menu would not close when the user clicks
  // elsewhere.
  SetForegroundWindow(gHWND_MainWindow_Handle);
  gMenuIsOpen = true;
  const BOOL tracked = TrackPopupMenu(gHMENU_MainWindow_TrayIconMenu, TPM_RIGHTALIGN, pointer.x, pointer.y, 0,
                                      gHWND_MainWindow_Handle, nullptr);
  const DWORD error = GetLastError();
  gMenuIsOpen = false;
  // The entries' icons are kept only while the menu is on screen.
  MainWindow_ReleaseMenuDrawing();
  if (!tracked) {
    if (error == ERROR_POPUP_ALREADY_ACTIVE) return 0;
    Trace_ReportError(TRACE_FRAME_EXTERNAL, L"TrackPopupMenu()", error);
    return -1;
  }
  // Lets the menu close properly when the next click goes elsewhere (the
  // documented remedy for tray menus that linger).
  PostMessageW(gHWND_MainWindow_Handle, WM_NULL, 0, 0);
  if (gChoice.pending && CarryOutChoice() != 0) Trace_ReportOperationFailed(L"MainWindow_OnHookNotify()");
  return 0;
}

int MainWindow_OnMenuSelect(WPARAM wParam, HMENU menu, HWND) {
  const UINT item = LOWORD(wParam);
  const UINT flags = HIWORD(wParam);
  if (menu == nullptr || flags == 0xFFFF) {
    ClearSelection();
  } else {
    long id = static_cast<long>(item);
    HTREEITEM node = nullptr;
    if ((flags & MF_POPUP) != 0) {
      // For an entry with a submenu the item is its position.
      const MENUITEMINFOW entry = EntryAt(menu, static_cast<int>(item));
      id = static_cast<long>(entry.wID);
      node = reinterpret_cast<HTREEITEM>(entry.dwItemData);
      // Filled from the disk the first time it is highlighted in this opening.
      if (entry.hSubMenu != nullptr && GetMenuItemCount(entry.hSubMenu) == 0) {
        MainWindow_CreateLauncherSubMenu(node, entry.hSubMenu);
      }
    } else {
      const int position = MainWindow_GetMenuItemPosition(menu, id);
      if (position >= 0) node = reinterpret_cast<HTREEITEM>(EntryAt(menu, position).dwItemData);
    }
    MainWindow_GetPhysicalPath(node, gTCHAR_MainWindow_CurrentPhysicalPath);
    glong_MainWindow_CurrentMenuId = id;
    gHTREEITEM_MainWindow_CurrentTreeNode = node;
  }
  Tracef(TRACE_LEVEL_TRACE, L"gTCHAR_MainWindow_CurrentPhysicalPath = %ls", gTCHAR_MainWindow_CurrentPhysicalPath);
  Tracef(TRACE_LEVEL_TRACE, L"long_MainWindow_CurrentMenuId_work = %ld", glong_MainWindow_CurrentMenuId);
  Tracef(TRACE_LEVEL_TRACE, L"gHTREEITEM_MainWindow_CurrentTreeNode = %IX",
         reinterpret_cast<UINT_PTR>(gHTREEITEM_MainWindow_CurrentTreeNode));
  return 0;
}

int MainWindow_OnHookNotify() {
  TRACE_SCOPE();
  if (gActionRunning) {
    // Only a menu choice is acted on; the action's own dialogs are not menus.
    Trace(TRACE_LEVEL_TRACE, L"処理実行中のため無視します");
    return 0;
  }
  // The mouse hook stays off while the chosen action shows its boxes and
  // dialogs, so clicks in them are not taken for menu choices.
  MainWindow_UnsetMouseHook();
  // Copied before the menu closes: closing clears the selection.
  Text_Copy(gChoice.path, D_SIZE_MAINWINDOW_PATH, gTCHAR_MainWindow_CurrentPhysicalPath);
  gChoice.menuId = glong_MainWindow_CurrentMenuId;
  Tracef(TRACE_LEVEL_TRACE, L"gTCHAR_MainWindow_CurrentPhysicalPath = %ls", gChoice.path);
  Tracef(TRACE_LEVEL_TRACE, L"glong_MainWindow_CurrentMenuId = %ld", gChoice.menuId);
  EndMenu();
  // EndMenu only asks the menu loop to end (Wine takes the request when the
  // loop next runs): acting here would leave the menu on screen over the
  // confirmation and the whole run.  The choice is carried out as soon as
  // TrackPopupMenu has returned.
  if (gMenuIsOpen) {
    gChoice.pending = true;
    return 0;
  }
  return CarryOutChoice();
}

int MainWindow_IsDirectory(const wchar_t* path) {
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW(path, &found));
  if (!search.Valid()) {
    Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了(%ls)：エラーコード=%d\n", L"FindFirstFile",
           static_cast<int>(GetLastError()));
    return -1;
  }
  if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    Tracef(TRACE_LEVEL_TRACE, L"ディレクトリです (%ls)", path);
    return 0;
  }
  Tracef(TRACE_LEVEL_TRACE, L"非ディレクトリです (%ls)", path);
  return -1;
}

void MainWindow_RunFixedEntryAction(long menuId) {
  switch (menuId) {
    case D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_QUIT:
      QuitWithConfirmation();
      break;
    case D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_HELP:
      ShowHelp();
      break;
    case D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SETTING:
      MainWindow_ShowSettingSheet();
      break;
    case D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_MANAGEMENT:
      ItemManager_ShowDialog();
      break;
    default:
      // The separator and anything else do nothing.
      break;
  }
}
