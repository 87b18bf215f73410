// Settings sheet, page 1: the confirmation boxes and the launcher hotkey.
#include <windows.h>
#include <commctrl.h>

#include "config/config.h"
#include "settings/setting_pages.h"
#include "settings/setting_rules.h"
#include "resource.h"

namespace {

WORD HotkeyControlValue(HWND page) {
  return static_cast<WORD>(SendDlgItemMessageW(page, IDC_CONFIG_HOTKEY, HKM_GETHOTKEY, 0, 0));
}

long BoxSetting(HWND page, int id) { return Config_SettingFromCheckState(IsDlgButtonChecked(page, id)); }

INT_PTR Config_OnOperationInitDialog(HWND page) {
  Config_NoteSettingSheetWindow(page);
  CheckDlgButton(page, IDC_CONFIG_SUPRESS_CONFIRMATION,
                 longSupressDialogBeforeExecute != 0 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_CONFIG_AUTOCLOSE_PROGRESS, longAutoCloseProgressWindow != 0 ? BST_CHECKED : BST_UNCHECKED);
  // No HKM_SETRULES: any key, with or without modifiers, is accepted.
  SendDlgItemMessageW(page, IDC_CONFIG_HOTKEY, HKM_SETHOTKEY,
                      Config_HotkeyControlValue(longHotkeyVirtualKey, longHotkeyModifiers), 0);
  return FALSE;
}

INT_PTR Config_OnOperationCommand(HWND page, int id) {
  bool changed = false;
  switch (id) {
    case IDC_CONFIG_HOTKEY:
      changed = Config_HotkeyControlDiffers(HotkeyControlValue(page), longHotkeyVirtualKey, longHotkeyModifiers);
      break;
    case IDC_CONFIG_SUPRESS_CONFIRMATION:
      changed = BoxSetting(page, id) != longSupressDialogBeforeExecute;
      break;
    case IDC_CONFIG_AUTOCLOSE_PROGRESS:
      changed = BoxSetting(page, id) != longAutoCloseProgressWindow;
      break;
    default:
      break;
  }
  if (changed) Config_NotifyPageChanged(page);
  return FALSE;
}

INT_PTR Config_OnOperationApply(HWND page) {
  longSupressDialogBeforeExecute = BoxSetting(page, IDC_CONFIG_SUPRESS_CONFIRMATION);
  longAutoCloseProgressWindow = BoxSetting(page, IDC_CONFIG_AUTOCLOSE_PROGRESS);
  Config_HotkeyFromControlValue(HotkeyControlValue(page), &longHotkeyVirtualKey, &longHotkeyModifiers);
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
  return TRUE;
}

INT_PTR Config_OnOperationNotify(HWND page, const NMHDR* header) {
  return header->code == PSN_APPLY ? Config_OnOperationApply(page) : FALSE;
}

}  // namespace

INT_PTR CALLBACK Config_OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return Config_OnOperationInitDialog(page);
    case WM_COMMAND: return Config_OnOperationCommand(page, LOWORD(wParam));
    case WM_NOTIFY: return Config_OnOperationNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    default: return FALSE;
  }
}
