// The notification-area icon: its record, balloon, re-creation and callback.
#include <windows.h>
#include <shellapi.h>

#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "base/instance.h"
#include "mainwindow/mainwindow.h"
#include "resource.h"

NOTIFYICONDATAW gNOTIFYICONDATA_MainWindow_TrayIcon = {};
DWORD gDWORD_MainWindow_LastTrayDoubleClickTick = 0;

namespace {

constexpr UINT kFlagsWithBalloon = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;  // 0x17
constexpr UINT kFlagsPlain = NIF_MESSAGE | NIF_ICON | NIF_TIP;                   // 0x07

// The icon image shown by the record; owned here, released with the record.
IconHandle gTrayIconImage;

// Clearing the record marks the icon as absent (size 0).
void ClearTrayIconRecord() {
  ZeroMemory(&gNOTIFYICONDATA_MainWindow_TrayIcon, sizeof(gNOTIFYICONDATA_MainWindow_TrayIcon));
  gTrayIconImage.Reset();
}

}  // namespace

int MainWindow_AddTaskTrayIcon() {
  TRACE_SCOPE();
  // At the size the notification area shows icons: the small icon size of
  // the system DPI (16 at 100 %, 24 at 150 %), chosen from the icon's images.
  IconHandle image(static_cast<HICON>(LoadImageW(gHINSTANCE_WinMain_ResourceInstance,
                                                 MAKEINTRESOURCEW(IDI_CORVANTA), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                 LR_DEFAULTCOLOR)));
  NOTIFYICONDATAW& record = gNOTIFYICONDATA_MainWindow_TrayIcon;
  ZeroMemory(&record, sizeof(record));
  // The version-2 layout (tip, balloon, time-out, balloon title and icon):
  // 952 bytes in a 64-bit build.  It is what every shell since Windows 2000
  // understands, and all the record uses.
  record.cbSize = NOTIFYICONDATAW_V2_SIZE;
  record.hWnd = gHWND_MainWindow_Handle;
  record.uID = 0;
  record.uFlags = kFlagsWithBalloon;
  record.uCallbackMessage = D_LONG_MAINWINDOW_WM_TASKTRAY;
  record.hIcon = image.Get();
  Text_Copy(record.szTip, ARRAYSIZE(record.szTip), L"Corvanta");
  Text_LoadString(IDS_MAINWINDOW_BALLOON_READY, record.szInfo, ARRAYSIZE(record.szInfo));
  record.uTimeout = 10000;
  Text_Copy(record.szInfoTitle, ARRAYSIZE(record.szInfoTitle), L"Corvanta");
  record.dwInfoFlags = NIIF_INFO;

  if (!Shell_NotifyIconW(NIM_ADD, &record)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"Shell_NotifyIcon(NIM_ADD)");
    ClearTrayIconRecord();
    return -1;
  }
  // The balloon goes with the first appearance only; later modifications
  // must not show it again.
  record.uFlags = kFlagsPlain;
  if (!Shell_NotifyIconW(NIM_MODIFY, &record)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"Shell_NotifyIcon(NIM_MODIFY)");
    // The icon was added: take it away again rather than leave one behind
    // that nothing would ever delete.
    Shell_NotifyIconW(NIM_DELETE, &record);
    ClearTrayIconRecord();
    return -1;
  }
  gTrayIconImage = static_cast<IconHandle&&>(image);
  return 0;
}

int MainWindow_DeleteTaskTrayIcon() {
  TRACE_SCOPE();
  if (gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize == 0) {
    Trace(TRACE_LEVEL_TRACE, L"タスクトレイアイコンは登録されていません");
    return 0;
  }
  if (!Shell_NotifyIconW(NIM_DELETE, &gNOTIFYICONDATA_MainWindow_TrayIcon)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"Shell_NotifyIcon(NIM_DELETE)");
    return -1;
  }
  Trace(TRACE_LEVEL_TRACE, L"Shell_NotifyIcon(NIM_DELETE) 正常終了");
  ClearTrayIconRecord();
  return 0;
}

int MainWindow_ShowTrayBalloon(UINT textId, DWORD iconFlags) {
  TRACE_SCOPE();
  if (gNOTIFYICONDATA_MainWindow_TrayIcon.cbSize == 0) {
    Trace(TRACE_LEVEL_ERROR, L"タスクトレイアイコンが登録されていないためバルーンを表示できません");
    return -1;
  }
  // A copy: the record keeps the start-up balloon for a re-created taskbar,
  // and its flags without the balloon for every later modification.
  NOTIFYICONDATAW record = gNOTIFYICONDATA_MainWindow_TrayIcon;
  record.uFlags = NIF_INFO;
  Text_LoadString(textId, record.szInfo, ARRAYSIZE(record.szInfo));
  record.dwInfoFlags = iconFlags;
  Tracef(TRACE_LEVEL_TRACE, L"バルーン表示(%ls)", record.szInfo);
  if (!Shell_NotifyIconW(NIM_MODIFY, &record)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"Shell_NotifyIcon(NIM_MODIFY)");
    return -1;
  }
  return 0;
}

int MainWindow_OnTaskbarCreated() {
  TRACE_SCOPE();
  if (MainWindow_DeleteTaskTrayIcon() != 0) Trace_ReportOperationFailed(L"MainWindow_DeleteTaskTrayIcon()");
  if (MainWindow_AddTaskTrayIcon() != 0) {
    Trace_ReportOperationFailed(L"MainWindow_AddTaskTrayIcon()");
    return -1;
  }
  return 0;
}

int MainWindow_OnTaskTrayNotify(LPARAM mouseMessage) {
  switch (static_cast<UINT>(mouseMessage)) {
    case WM_RBUTTONDOWN: {
      // The second press of a right double click arrives as another button
      // down right after the double-click message: it must not reopen the menu.
      DWORD sinceDoubleClick = GetTickCount() - gDWORD_MainWindow_LastTrayDoubleClickTick;
      if (sinceDoubleClick > GetDoubleClickTime()) {
        MainWindow_ShowTrayIconMenu();
      } else {
        Tracef(TRACE_LEVEL_TRACE, L"ダブルクリック直後のため無視します(%lu ms)", sinceDoubleClick);
      }
      break;
    }
    case WM_RBUTTONDBLCLK:
      gDWORD_MainWindow_LastTrayDoubleClickTick = GetTickCount();
      break;
    default:
      break;
  }
  return 0;
}
