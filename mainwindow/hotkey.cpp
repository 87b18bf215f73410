// The global hotkey that opens the launcher menu.
#include "base/trace.h"
#include "config/config.h"
#include "config/setting_sheet.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/traymenu.h"

int MainWindow_RegisterHotKey() {
  TRACE_SCOPE();
  Tracef(TRACE_LEVEL_TRACE, L"RegisterHotKey(id = %d, fsModifiers = %d, vk = %d)",
         static_cast<int>(D_LONG_MAINWINDOW_HOTKEY_ID), static_cast<int>(longHotkeyModifiers),
         static_cast<int>(longHotkeyVirtualKey));
  // Another program may hold the combination: the menu stays reachable from
  // the tray icon, so a refusal is only reported.
  if (!RegisterHotKey(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_HOTKEY_ID, static_cast<UINT>(longHotkeyModifiers),
                      static_cast<UINT>(longHotkeyVirtualKey))) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"RegisterHotKey()");
  }
  return 0;
}

int MainWindow_UnregisterHotKey() {
  TRACE_SCOPE();
  UnregisterHotKey(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_HOTKEY_ID);
  return 0;
}

int MainWindow_OnHotKey(WPARAM identifier) {
  TRACE_SCOPE();
  const int id = static_cast<int>(identifier);
  Tracef(TRACE_LEVEL_TRACE, L"(int)wparam = %d", id);
  // -1 and -2 are the system's own snapshot hotkeys.
  if (id == -1 || id == -2) return 0;
  if (id != D_LONG_MAINWINDOW_HOTKEY_ID) {
    Trace(TRACE_LEVEL_TRACE, L"未登録のホットキーのため無視します");
    return 0;
  }
  if (MainWindow_ShowTrayIconMenu() != 0) {
    Trace_ReportOperationFailed(L"MainWindow_ShowTrayIconMenu()");
    return -1;
  }
  return 0;
}

int MainWindow_ShowSettingSheet() {
  TRACE_SCOPE();
  MainWindow_UnregisterHotKey();
  Config_ShowSettingSheet();
  MainWindow_RegisterHotKey();
  return 0;
}
