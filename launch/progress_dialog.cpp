// The "Launch Progress" dialog: collects the items of a run, launches one per
// timer tick, logs each result, and ends with totals and the arrangement.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "base/text.h"
#include "base/trace.h"
#include "base/instance.h"
#include "config/config.h"
#include "launch/launch.h"
#include "launch/progress_log.h"
#include "launch/shell_launch.h"
#include "resource.h"

HWND gHWND_Launch_OwnerWindow = nullptr;
wchar_t gTCHAR_Launch_RunPath[D_SIZE_LAUNCH_ITEM_PATH] = L"";
long glong_Launch_RunMode = D_LONG_LAUNCH_RUNMODE_LAUNCH;
HWND gHWND_Launch_ProgressDialog = nullptr;
long glong_Launch_AbortRequest = 0;
long glong_Launch_ProcessedCount = 0;
long glong_Launch_ErrorCount = 0;
long glong_Launch_RunPattern = 0;
long glong_Launch_RunMoveBottom = 0;

namespace {

// Set while the progress dialog of a run is up.
bool gRunning = false;

constexpr UINT_PTR kLaunchTimer = 100;
constexpr UINT kTickMs = 100;
constexpr DWORD kInputIdleMs = 5000;

void AppendString(UINT id) {
  wchar_t text[D_SIZE_MESSAGE];
  Text_LoadString(id, text, D_SIZE_MESSAGE);
  Launch_AppendProgressLog(text);
}

// The run is over: only Close is left.
void ShowClose(HWND dialog) {
  HWND close = GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
  ShowWindow(close, SW_SHOW);
  SetFocus(close);
  ShowWindow(GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_ABORT), SW_HIDE);
}

void EndRun(HWND dialog) {
  KillTimer(dialog, kLaunchTimer);
  Launch_FreeItemList(&glong_Launch_ItemCount);
  EndDialog(dialog, 1);
}

// The log line before an item: its path below the launcher item root.
void AppendItemLine(const LaunchItem& item) {
  const size_t rootLength = wcslen(gTCHAR_Config_LauncherItemRootPath);
  const wchar_t* shown = item.path;
  if (wcsncmp(item.path, gTCHAR_Config_LauncherItemRootPath, rootLength) == 0) shown += rootLength;
  wchar_t format[D_SIZE_MESSAGE];
  wchar_t line[D_SIZE_MESSAGE];
  Text_LoadString(IDS_LAUNCH_ITEM, format, D_SIZE_MESSAGE);
  Text_Format(line, D_SIZE_MESSAGE, format, shown);
  Launch_AppendProgressLog(line);
}

// Launches (or, in a test run, only lists) one item and logs its result.
void HandleItem(HWND dialog, LaunchItem& item) {
  AppendItemLine(item);
  ShellLaunchResult result = {33, nullptr, 0};
  if (glong_Launch_RunMode == D_LONG_LAUNCH_RUNMODE_LAUNCH) result = Launch_StartItem(item.path);
  ++glong_Launch_ProcessedCount;
  if (result.instanceResult > 32) {
    if (result.process != nullptr) WaitForInputIdle(result.process, kInputIdleMs);
    if (glong_Launch_RunMode == D_LONG_LAUNCH_RUNMODE_LAUNCH) {
      item.instanceResult = reinterpret_cast<HINSTANCE>(result.instanceResult);
      item.process = result.process;
    }
    Tracef(TRACE_LEVEL_TRACE, L"SHELLEXECUTEINFOwork.hInstApp = %Id", result.instanceResult);
    Tracef(TRACE_LEVEL_TRACE, L"SHELLEXECUTEINFOwork.hProcess = %Id", reinterpret_cast<INT_PTR>(result.process));
    Launch_AppendResultLine(true, L"[OK]\n");
  } else {
    ++glong_Launch_ErrorCount;
    wchar_t reason[D_SIZE_MESSAGE];
    wchar_t line[D_SIZE_MESSAGE];
    Launch_DescribeError(result.error, reason, D_SIZE_MESSAGE, item.path);
    Text_Format(line, D_SIZE_MESSAGE, L"[ERROR] (%ls)\n", reason);
    Launch_AppendResultLine(false, line);
  }
  SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_STEPIT, 0, 0);
}

void FinishRun(HWND dialog) {
  const bool launching = glong_Launch_RunMode == D_LONG_LAUNCH_RUNMODE_LAUNCH;
  if (launching && longWindowArrangementAvailable == 1) {
    if (longAdjustLaunchedWindowConfirmAtExecution == 1) Launch_ChooseArrangement(dialog);
    if (glong_Launch_RunPattern > 0) Launch_ArrangeWindows(glong_Launch_RunPattern, glong_Launch_RunMoveBottom);
  }
  wchar_t format[D_SIZE_MESSAGE];
  wchar_t totals[D_SIZE_MESSAGE];
  if (glong_Launch_ErrorCount != 0) {
    Text_LoadString(IDS_LAUNCH_TOTAL_ERRORS, format, D_SIZE_MESSAGE);
    Text_Format(totals, D_SIZE_MESSAGE, format, static_cast<int>(glong_Launch_ProcessedCount),
                static_cast<int>(glong_Launch_ErrorCount));
  } else {
    Text_LoadString(IDS_LAUNCH_TOTAL_OK, format, D_SIZE_MESSAGE);
    Text_Format(totals, D_SIZE_MESSAGE, format, static_cast<int>(glong_Launch_ProcessedCount));
  }
  Launch_AppendProgressLog(totals);
  if (launching && Config_GetAutoCloseProgressWindow() == 1) {
    Sleep(kTickMs);
    EndRun(dialog);
    return;
  }
  ShowClose(dialog);
}

INT_PTR OnInitDialog(HWND dialog) {
  gHWND_Launch_ProgressDialog = dialog;
  Launch_InitializeProgressLog(GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_LOG));
  ShowWindow(GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_CLOSE), SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_ABORT), SW_SHOW);
  glong_Launch_AbortRequest = 0;
  glong_Launch_ProcessedCount = 0;
  glong_Launch_ErrorCount = 0;
  glong_Launch_RunPattern = longAdjustLaunchedWindowPattern;
  glong_Launch_RunMoveBottom = longAdjustLaunchedWindowMoveBottom;
  ShowWindow(dialog, SW_SHOW);
  if (glong_Launch_RunMode == D_LONG_LAUNCH_RUNMODE_TEST) AppendString(IDS_LAUNCH_TEST_RUN_START);

  Launch_CollectItems(gTCHAR_Launch_RunPath, &gLaunchItem_Launch_ListHead, &gLaunchItem_Launch_ListTail,
                      &glong_Launch_ItemCount);
  gLaunchItem_Launch_Cursor = gLaunchItem_Launch_ListHead;
  if (glong_Launch_ItemCount == 0) {
    AppendString(IDS_LAUNCH_NOTHING_TO_RUN);
    if (Config_GetAutoCloseProgressWindow() == 1) {
      Sleep(kTickMs);
      EndDialog(dialog, 1);
    }
    ShowClose(dialog);
    return TRUE;
  }
  SetTimer(dialog, kLaunchTimer, kTickMs, nullptr);
  HWND bar = GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_BAR);
  SendMessageW(bar, PBM_SETPOS, 0, 0);
  // The 32-bit range: a run may hold more items than a 16-bit bound.
  SendMessageW(bar, PBM_SETRANGE32, 0, glong_Launch_ItemCount);
  SendMessageW(bar, PBM_SETSTEP, 1, 0);
  return TRUE;
}

// One item per tick.  The timer is stopped while the item is handled and
// started again afterwards, so ticks never queue up behind a slow launch.
void OnTimer(HWND dialog) {
  KillTimer(dialog, kLaunchTimer);
  if (glong_Launch_AbortRequest == 1) {
    ShowClose(dialog);
    AppendString(IDS_LAUNCH_ABORTED);
    return;
  }
  if (gLaunchItem_Launch_Cursor == nullptr) {
    FinishRun(dialog);
    return;
  }
  HandleItem(dialog, *gLaunchItem_Launch_Cursor);
  gLaunchItem_Launch_Cursor = gLaunchItem_Launch_Cursor->next;
  SetTimer(dialog, kLaunchTimer, kTickMs, nullptr);
}

INT_PTR OnCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDC_LAUNCH_PROGRESS_CLOSE: EndRun(dialog); return TRUE;
    case IDC_LAUNCH_PROGRESS_ABORT: glong_Launch_AbortRequest = 1; return TRUE;
    default: return FALSE;  // Escape included: the run cannot be dismissed
  }
}

INT_PTR CALLBACK Launch_ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_TIMER: if (wParam == kLaunchTimer) OnTimer(dialog); return TRUE;
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}

}  // namespace

int Launch_RunWithProgress(HWND owner, const wchar_t* path, long runMode) {
  TRACE_SCOPE();
  // One run at a time: the launch list and this dialog's state exist once.
  // A second request (a test run under a real run, or the reverse) shows the
  // open dialog and starts nothing.
  if (gRunning) {
    Tracef(TRACE_LEVEL_TRACE, L"実行中のため開始しません(PATH=%ls)", path);
    if (gHWND_Launch_ProgressDialog != nullptr) SetForegroundWindow(gHWND_Launch_ProgressDialog);
    return 0;
  }
  gHWND_Launch_OwnerWindow = owner;
  glong_Launch_RunMode = runMode;
  if (Text_Copy(gTCHAR_Launch_RunPath, D_SIZE_LAUNCH_ITEM_PATH, path) != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", path);
    return 0;
  }
  gRunning = true;
  INT_PTR result = DialogBoxParamW(gHINSTANCE_WinMain_ResourceInstance, MAKEINTRESOURCEW(IDD_LAUNCH_PROGRESS), owner,
                                   Launch_ProgressDialogProc, 0);
  gRunning = false;
  if (result <= 0) Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"DialogBox");
  // Whatever ended the dialog, no record outlives the run.
  Launch_FreeItemList(&glong_Launch_ItemCount);
  gHWND_Launch_ProgressDialog = nullptr;
  return 0;
}
