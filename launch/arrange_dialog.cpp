// The arrangement chooser: this run's pattern and move-to-bottom choice.
#include "base/trace.h"
#include "base/instance.h"
#include "launch/launch.h"
#include "resource.h"

extern long glong_Launch_RunPattern;
extern long glong_Launch_RunMoveBottom;

namespace {

// Radio button and preview picture of each pattern, in pattern order.
struct PatternControls {
  int radio;
  int picture;
};
const PatternControls kPatterns[] = {
    {IDC_LAUNCH_ARRANGE_NONE, IDC_LAUNCH_ARRANGE_PICTURE_NONE},
    {IDC_LAUNCH_ARRANGE_VERTICAL, IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL},
    {IDC_LAUNCH_ARRANGE_HORIZONTAL, IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL},
    {IDC_LAUNCH_ARRANGE_TILE, IDC_LAUNCH_ARRANGE_PICTURE_TILE},
};

// Shows the picture of `pattern` and hides the other three.
void ShowPreview(HWND dialog, long pattern) {
  for (long i = 0; i < 4; ++i) {
    ShowWindow(GetDlgItem(dialog, kPatterns[i].picture), i == pattern ? SW_SHOW : SW_HIDE);
  }
}

INT_PTR OnInitDialog(HWND dialog) {
  const long pattern = glong_Launch_RunPattern;
  if (pattern >= 0 && pattern < 4) CheckDlgButton(dialog, kPatterns[pattern].radio, BST_CHECKED);
  ShowPreview(dialog, pattern);
  CheckDlgButton(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM, glong_Launch_RunMoveBottom != 0 ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void OnRadioClicked(HWND dialog, int id) {
  for (long i = 0; i < 4; ++i) {
    if (kPatterns[i].radio == id && IsDlgButtonChecked(dialog, id) == BST_CHECKED) ShowPreview(dialog, i);
  }
}

// OK is the only way out: the choice applies to this run only.
void OnOk(HWND dialog) {
  for (long i = 0; i < 4; ++i) {
    if (IsDlgButtonChecked(dialog, kPatterns[i].radio) == BST_CHECKED) glong_Launch_RunPattern = i;
  }
  glong_Launch_RunMoveBottom = IsDlgButtonChecked(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM) == BST_CHECKED ? 1 : 0;
  EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDC_LAUNCH_ARRANGE_NONE:
    case IDC_LAUNCH_ARRANGE_VERTICAL:
    case IDC_LAUNCH_ARRANGE_HORIZONTAL:
    case IDC_LAUNCH_ARRANGE_TILE: OnRadioClicked(dialog, id); return TRUE;
    case IDC_LAUNCH_ARRANGE_OK: OnOk(dialog); return TRUE;
    default: return FALSE;  // Escape included
  }
}

INT_PTR CALLBACK Launch_ArrangeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}

}  // namespace

int Launch_ChooseArrangement(HWND owner) {
  TRACE_SCOPE();
  if (DialogBoxParamW(gHINSTANCE_WinMain_ResourceInstance, MAKEINTRESOURCEW(IDD_LAUNCH_ARRANGE), owner,
                      Launch_ArrangeDialogProc, 0) <= 0) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"DialogBox");
  }
  return 0;
}
