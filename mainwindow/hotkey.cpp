// The global hotkey that opens the launcher menu.
#include "base/trace.h"
#include "config/config.h"
#include "settings/setting_sheet.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/traymenu.h"
#include "resource.h"

namespace {

// Registers the hotkey of the settings; false only when the system refused
// it.  A cleared hotkey (no key) means none: nothing is registered.
bool RegisterLauncherHotKey() {
  Tracef(TRACE_LEVEL_TRACE, L"RegisterHotKey(id = %d, fsModifiers = %d, vk = %d)",
         static_cast<int>(D_LONG_MAINWINDOW_HOTKEY_ID), static_cast<int>(longHotkeyModifiers),
         static_cast<int>(longHotkeyVirtualKey));
  if (longHotkeyVirtualKey == 0) {
    Trace(TRACE_LEVEL_TRACE, L"ホットキーは設定されていません");
    return true;
  }
  // Another program may hold the combination: the menu stays reachable from
  // the tray icon, so a refusal is only reported.
  if (!RegisterHotKey(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_HOTKEY_ID, static_cast<UINT>(longHotkeyModifiers),
                      static_cast<UINT>(longHotkeyVirtualKey))) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"RegisterHotKey()");
    return false;
  }
  return true;
}

}  // namespace

int MainWindow_RegisterHotKey() {
  TRACE_SCOPE();
  RegisterLauncherHotKey();
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
  // The program may have been torn down while the sheet was up: a hotkey
  // must never be registered for a window that no longer exists.
  if (!IsWindow(gHWND_MainWindow_Handle)) {
    Trace(TRACE_LEVEL_TRACE, L"メインウィンドウが存在しないためホットキーを登録しません");
    return 0;
  }
  // The user just chose this key: if it is refused (another program holds
  // it), say so once, or the key would silently do nothing.  The setting is
  // saved all the same.
  if (!RegisterLauncherHotKey()) MainWindow_ShowTrayBalloon(IDS_MAINWINDOW_HOTKEY_REFUSED, NIIF_WARNING);
  return 0;
}
