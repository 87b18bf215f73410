// Corvanta.dll: thread hooks reporting a choice in an open popup menu.
#define CORVANTA_HOOKLIB_BUILD
#include "hooklib.h"

namespace {

// Popup menu windows have this system class; MN_GETHMENU is not in the SDK headers.
constexpr wchar_t kMenuWindowClass[] = L"#32768";
constexpr UINT kMenuGetHMenu = 0x01E1;

struct HookTarget {
  HHOOK hook = nullptr;
  HWND window = nullptr;
  UINT message = 0;
};

HookTarget gMouse;
HookTarget gKeyboard;

bool IsMenuWindow(HWND window) {
  wchar_t name[16];
  return window != nullptr && GetClassNameW(window, name, ARRAYSIZE(name)) > 0 &&
         lstrcmpW(name, kMenuWindowClass) == 0;
}

// A popup menu of this thread is open when one of its menu windows is visible.
BOOL CALLBACK FindOpenMenu(HWND window, LPARAM found) {
  if (IsMenuWindow(window) && IsWindowVisible(window)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

bool ThreadHasOpenMenu() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), FindOpenMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

// True when `point` (screen coordinates) lies on an entry of an open popup menu.
bool IsOverMenuEntry(POINT point) {
  HWND window = WindowFromPoint(point);
  if (!IsMenuWindow(window)) return false;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, kMenuGetHMenu, 0, 0));
  return menu != nullptr && MenuItemFromPoint(nullptr, menu, point) >= 0;
}

// A menu loop first peeks at each input event without removing it
// (HC_NOREMOVE) and takes it afterwards (HC_ACTION).  Swallowing an event
// discards it from the queue at whichever of the two calls it happens, so the
// gesture never comes back: the notification is posted right where the event
// is swallowed, once per event.
LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && wParam == WM_LBUTTONUP && gMouse.window != nullptr) {
    const MOUSEHOOKSTRUCT* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (IsOverMenuEntry(info->pt)) {
      PostMessageW(gMouse.window, gMouse.message, 0, 0);
      return 1;
    }
  }
  return CallNextHookEx(gMouse.hook, code, wParam, lParam);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  const bool keyDown = (lParam & 0x80000000) == 0;
  if (code >= 0 && wParam == VK_RETURN && keyDown && gKeyboard.window != nullptr &&
      ThreadHasOpenMenu()) {
    PostMessageW(gKeyboard.window, gKeyboard.message, 0, 0);
    return 1;
  }
  return CallNextHookEx(gKeyboard.hook, code, wParam, lParam);
}

int SetHook(HookTarget& target, int kind, HOOKPROC procedure, HWND window, UINT message) {
  if (window == nullptr || !IsWindow(window)) return 1;
  if (target.hook == nullptr) {
    target.hook = SetWindowsHookExW(kind, procedure, nullptr, GetCurrentThreadId());
    if (target.hook == nullptr) return 1;
  }
  target.window = window;
  target.message = message;
  return 0;
}

int UnsetHook(HookTarget& target) {
  if (target.hook == nullptr) return 1;
  BOOL removed = UnhookWindowsHookEx(target.hook);
  target = HookTarget();
  return removed ? 0 : 1;
}

}  // namespace

int SetHookWH_MOUSE(HWND window, UINT message) {
  return SetHook(gMouse, WH_MOUSE, MouseProc, window, message);
}

int SetHookWH_KEYBOARD(HWND window, UINT message) {
  return SetHook(gKeyboard, WH_KEYBOARD, KeyboardProc, window, message);
}

int UnsetHookWH_MOUSE() { return UnsetHook(gMouse); }

int UnsetHookWH_KEYBOARD() { return UnsetHook(gKeyboard); }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
