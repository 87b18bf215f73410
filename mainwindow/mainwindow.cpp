// The hidden main window: class, message loop with HTML Help, creation,
// destruction and the dispatch of messages to their handlers.
#include "mainwindow/mainwindow.h"

#include <commctrl.h>
#include <htmlhelp.h>

#include "base/trace.h"
#include "mainwindow/help_viewer.h"
#include "mainwindow/hook_library.h"
#include "mainwindow/traymenu.h"

HWND gHWND_MainWindow_Handle = nullptr;
HWND gHWND_MainWindow_TreeView = nullptr;
// Registered during static initialisation, before wWinMain runs.
UINT gUINT_MainWindow_TaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
DWORD gDWORD_MainWindow_HtmlHelpCookie = 0;
time_t gTIME_MainWindow_LastHotKeyTime = 0;
bool gbool_MainWindow_HotKeyAccepted = false;

namespace {

HINSTANCE gInstance = nullptr;

// A failure of this handling ends the program.
LRESULT EndAfterFailure(const wchar_t* handler) {
  Trace_ReportOperationFailed(handler);
  PostQuitMessage(0);
  DestroyWindow(gHWND_MainWindow_Handle);
  return 0;
}

LRESULT OnCreateMessage(HWND window) {
  if (MainWindow_OnCreate(window) != 0) {
    Trace_ReportOperationFailed(L"MainWindow_OnCreate()");
    PostQuitMessage(0);
    DestroyWindow(window);
  }
  return 0;
}

LRESULT OnDestroyMessage() {
  if (MainWindow_OnDestroy() != 0) Trace_ReportOperationFailed(L"MainWindow_OnDestroy()");
  PostQuitMessage(0);
  return 0;
}

LRESULT OnMenuSelectMessage(WPARAM wParam, LPARAM lParam, HWND window) {
  if (MainWindow_OnMenuSelect(wParam, reinterpret_cast<HMENU>(lParam), window) != 0) {
    return EndAfterFailure(L"MainWindow_OnMenuSelect()");
  }
  return 0;
}

LRESULT OnMeasureItemMessage(WPARAM wParam, LPARAM lParam, HWND window) {
  if (MainWindow_OnMeasureItem(wParam, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), window) != 0) {
    return EndAfterFailure(L"MainWindow_OnMeasureItem()");
  }
  return 0;
}

LRESULT OnDrawItemMessage(WPARAM wParam, LPARAM lParam) {
  if (MainWindow_OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), wParam) != 0) {
    Trace_ReportOperationFailed(L"MainWindow_OnDrawItem()");
  }
  return TRUE;
}

LRESULT OnHotKeyMessage(WPARAM wParam) {
  if (MainWindow_OnHotKey(wParam) != 0) return EndAfterFailure(L"MainWindow_OnHotKey()");
  // Taken after the menu it opened has closed and whatever was chosen has run.
  gbool_MainWindow_HotKeyAccepted = true;
  gTIME_MainWindow_LastHotKeyTime = time(nullptr);
  return 0;
}

// A quit request (from a second process) while an action's dialog is up
// would destroy that dialog under its own handlers: show it instead.
LRESULT OnCloseMessage(HWND window) {
  if (MainWindow_IsActionRunning()) {
    MainWindow_BringActionToFront();
    return 0;
  }
  return DefWindowProcW(window, WM_CLOSE, 0, 0);
}

LRESULT OnTaskTrayMessage(LPARAM lParam) {
  if (MainWindow_OnTaskTrayNotify(lParam) != 0) Trace_ReportOperationFailed(L"MainWindow_OnTaskTrayNotify()");
  return 0;
}

LRESULT OnHookMessage() {
  if (MainWindow_OnHookNotify() != 0) Trace_ReportOperationFailed(L"MainWindow_OnHookNotify()");
  return 0;
}

// A hotkey press in the same second in which the last accepted one was
// handled is a key repeat or an impatient second press: drop it.
bool IsBouncedHotKey(time_t now) {
  if (!gbool_MainWindow_HotKeyAccepted || now > gTIME_MainWindow_LastHotKeyTime) return false;
  Trace(TRACE_LEVEL_TRACE, L"ホットキー連続押下のため破棄します");
  Tracef(TRACE_LEVEL_TRACE, L"now = %lld, gTIME_MainWindow_LastHotKeyTime = %lld",
         static_cast<long long>(now), static_cast<long long>(gTIME_MainWindow_LastHotKeyTime));
  return true;
}

void OnTaskbarCreatedMessage(HWND window) {
  if (MainWindow_OnTaskbarCreated() != 0) {
    Trace_ReportOperationFailed(L"MainWindow_OnTaskbarCreated()");
    DestroyWindow(window);
  }
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindow_WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = D_WSTR_MAINWINDOW_CLASS_NAME;
  return RegisterClassExW(&windowClass);
}

}  // namespace

int MainWindow_CreateMainWindow(HINSTANCE instance, HINSTANCE previousInstance, int& exitCode) {
  TRACE_SCOPE();
  gInstance = instance;
  if (previousInstance == nullptr && RegisterMainWindowClass(instance) == 0) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"RegisterClassEx()");
    return -1;
  }
  HWND window = CreateWindowExW(0, D_WSTR_MAINWINDOW_CLASS_NAME, D_WSTR_MAINWINDOW_TITLE, WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"CreateWindow()");
    UnregisterClassW(D_WSTR_MAINWINDOW_CLASS_NAME, instance);
    return -1;
  }
  gHWND_MainWindow_Handle = window;
  ShowWindow(window, SW_HIDE);
  UpdateWindow(window);

  MainWindow_HtmlHelp(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&gDWORD_MainWindow_HtmlHelpCookie));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // HTML Help windows need their keyboard messages before translation.
    if (!MainWindow_HtmlHelp(nullptr, nullptr, HH_PRETRANSLATEMESSAGE, reinterpret_cast<DWORD_PTR>(&message))) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (message.message == WM_QUIT) exitCode = static_cast<int>(message.wParam);
  UnregisterClassW(D_WSTR_MAINWINDOW_CLASS_NAME, gInstance);
  MainWindow_HtmlHelp(nullptr, nullptr, HH_UNINITIALIZE, gDWORD_MainWindow_HtmlHelpCookie);
  gHWND_MainWindow_Handle = nullptr;
  gHWND_MainWindow_TreeView = nullptr;
  return 0;
}

LRESULT CALLBACK MainWindow_WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const time_t now = time(nullptr);
  if (message == WM_HOTKEY && IsBouncedHotKey(now)) return 0;
  if (message == gUINT_MainWindow_TaskbarCreated) OnTaskbarCreatedMessage(window);

  switch (message) {
    case WM_CREATE: return OnCreateMessage(window);
    case WM_DESTROY: return OnDestroyMessage();
    case WM_MEASUREITEM: return OnMeasureItemMessage(wParam, lParam, window);
    case WM_DRAWITEM: return OnDrawItemMessage(wParam, lParam);
    case WM_MENUSELECT: return OnMenuSelectMessage(wParam, lParam, window);
    case WM_CLOSE: return OnCloseMessage(window);
    case WM_HOTKEY: return OnHotKeyMessage(wParam);
    case D_LONG_MAINWINDOW_WM_TASKTRAY: return OnTaskTrayMessage(lParam);
    case D_LONG_MAINWINDOW_WM_HOOK: return OnHookMessage();
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

int MainWindow_CreateTreeView() {
  TRACE_SCOPE();
  RECT client = {};
  GetClientRect(gHWND_MainWindow_Handle, &client);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(gHWND_MainWindow_Handle, GWLP_HINSTANCE));
  // Never seen: its parent stays hidden.  It holds the launcher item tree
  // behind the menu entries.
  gHWND_MainWindow_TreeView =
      CreateWindowExW(0, WC_TREEVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                      TVS_LINESATROOT, 0, 0, client.right - client.left, client.bottom - client.top,
                      gHWND_MainWindow_Handle, nullptr, instance, nullptr);
  return 0;
}

int MainWindow_OnCreate(HWND window) {
  TRACE_SCOPE();
  gHWND_MainWindow_Handle = window;
  if (MainWindow_AddTaskTrayIcon() != 0) return -1;
  MainWindow_RegisterHotKey();
  MainWindow_CreateTreeView();
  if (MainWindow_SetMouseHook(window, D_LONG_MAINWINDOW_WM_HOOK) != 0) {
    Trace_ReportOperationFailed(L"SetHookWH_MOUSE()");
    return -1;
  }
  if (MainWindow_SetKeyboardHook(window, D_LONG_MAINWINDOW_WM_HOOK) != 0) {
    Trace_ReportOperationFailed(L"SetHookWH_KEYBOARD()");
    return -1;
  }
  return 0;
}

int MainWindow_OnDestroy() {
  TRACE_SCOPE();
  MainWindow_UnsetMouseHook();
  MainWindow_UnsetKeyboardHook();
  MainWindow_DestroyTrayIconMenu();
  if (MainWindow_DeleteTaskTrayIcon() != 0) {
    Trace_ReportOperationFailed(L"MainWindow_DeleteTaskTrayIcon()");
    return -1;
  }
  MainWindow_UnregisterHotKey();
  return 0;
}
