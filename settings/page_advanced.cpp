// Settings sheet, page 2: how the launched windows are arranged.
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

#include "config/config.h"
#include "settings/setting_pages.h"
#include "settings/setting_rules.h"
#include "resource.h"

namespace {

void Show(HWND page, int id, bool shown) { ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE); }
void Enable(HWND page, int id, bool enabled) { EnableWindow(GetDlgItem(page, id), enabled ? TRUE : FALSE); }

// Shows the preview of `pattern` and hides the other three.
void ShowPreview(HWND page, long pattern) {
  for (long each = 0; each < D_LONG_CONFIG_PATTERN_COUNT; ++each) {
    Show(page, Config_PatternControls(each).preview, each == pattern);
  }
}

ConfigAdvancedState ReadControls(HWND page) {
  ConfigAdvancedState state = {};
  for (long pattern = 0; pattern < D_LONG_CONFIG_PATTERN_COUNT; ++pattern) {
    state.radios[pattern] = IsDlgButtonChecked(page, Config_PatternControls(pattern).radio) == BST_CHECKED;
  }
  state.moveBottom = IsDlgButtonChecked(page, IDC_CONFIG_MOVE_BOTTOM);
  state.confirm = IsDlgButtonChecked(page, IDC_CONFIG_CONFIRM_AT_EXECUTION);
  return state;
}

void InitAvailable(HWND page) {
  const ConfigPatternControls controls = Config_PatternControls(longAdjustLaunchedWindowPattern);
  if (controls.radio != 0) CheckDlgButton(page, controls.radio, BST_CHECKED);
  ShowPreview(page, longAdjustLaunchedWindowPattern);
  Show(page, IDC_CONFIG_PREVIEW_UNAVAILABLE, false);
  CheckDlgButton(page, IDC_CONFIG_MOVE_BOTTOM, longAdjustLaunchedWindowMoveBottom != 0 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_CONFIG_CONFIRM_AT_EXECUTION,
                 longAdjustLaunchedWindowConfirmAtExecution != 0 ? BST_CHECKED : BST_UNCHECKED);
}

// Everything about arranging is greyed out and no pattern is selected, so
// Apply leaves the stored pattern as it is.
void InitUnavailable(HWND page) {
  for (int id : {IDC_CONFIG_ARRANGE_GROUP, IDC_CONFIG_PATTERN_NONE, IDC_CONFIG_PATTERN_VERTICAL,
                 IDC_CONFIG_PATTERN_HORIZONTAL, IDC_CONFIG_PATTERN_TILE, IDC_CONFIG_PREVIEW_GROUP,
                 IDC_CONFIG_MOVE_BOTTOM, IDC_CONFIG_CONFIRM_AT_EXECUTION}) {
    Enable(page, id, false);
  }
  ShowPreview(page, -1);
  Show(page, IDC_CONFIG_PREVIEW_UNAVAILABLE, true);
  Show(page, IDC_CONFIG_UNAVAILABLE_NOTE, true);
}

INT_PTR Config_OnAdvancedInitDialog(HWND page) {
  Config_NoteSettingSheetWindow(page);
  if (longWindowArrangementAvailable == 1) {
    InitAvailable(page);
  } else {
    InitUnavailable(page);
  }
  return FALSE;
}

INT_PTR Config_OnAdvancedCommand(HWND page, int id) {
  for (long pattern = 0; pattern < D_LONG_CONFIG_PATTERN_COUNT; ++pattern) {
    if (Config_PatternControls(pattern).radio == id && IsDlgButtonChecked(page, id) == BST_CHECKED) {
      ShowPreview(page, pattern);
    }
  }
  // One notice per setting that differs; the sheet never hears that a page
  // went back to its stored state, so Apply stays enabled once it was.
  const int changes = Config_AdvancedChangeCount(ReadControls(page), longAdjustLaunchedWindowPattern,
                                                 longAdjustLaunchedWindowMoveBottom,
                                                 longAdjustLaunchedWindowConfirmAtExecution);
  for (int i = 0; i < changes; ++i) Config_NotifyPageChanged(page);
  return FALSE;
}

INT_PTR Config_OnAdvancedNotify(HWND page, const NMHDR* header) {
  if (header->code != PSN_APPLY) return FALSE;
  const ConfigAdvancedState state = ReadControls(page);
  longAdjustLaunchedWindowPattern = Config_PatternFromRadios(state.radios, longAdjustLaunchedWindowPattern);
  longAdjustLaunchedWindowMoveBottom = Config_SettingFromCheckState(state.moveBottom);
  longAdjustLaunchedWindowConfirmAtExecution = Config_SettingFromCheckState(state.confirm);
  return FALSE;  // the dialog then answers 0, PSNRET_NOERROR: the apply is accepted

}

}  // namespace

INT_PTR CALLBACK Config_AdvancedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return Config_OnAdvancedInitDialog(page);
    case WM_COMMAND: return Config_OnAdvancedCommand(page, LOWORD(wParam));
    case WM_NOTIFY: return Config_OnAdvancedNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    default: return FALSE;
  }
}
