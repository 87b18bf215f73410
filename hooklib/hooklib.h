// Corvanta.dll: tells a window when the user chooses an entry of an open popup
// menu of the calling thread.
//
// Both hooks are thread hooks on the thread that sets them (the GUI thread,
// where the menu's modal loop runs).  A choice is a left-button release over an
// entry of an open popup menu, or Enter while a popup menu is open.  The
// gesture is swallowed and `message` is posted to `window`: posted messages are
// dispatched inside the menu's own loop, so the window sees the notification
// while the menu and its highlighted entry still exist.
#ifndef CORVANTA_HOOKLIB_HOOKLIB_H
#define CORVANTA_HOOKLIB_HOOKLIB_H

#include <windows.h>

#ifdef CORVANTA_HOOKLIB_BUILD
#define CORVANTA_HOOK_API extern "C" __declspec(dllexport)
#else
#define CORVANTA_HOOK_API extern "C" __declspec(dllimport)
#endif

// 0 when the hook is in place (setting it again only retargets it), else non-zero.
CORVANTA_HOOK_API int SetHookWH_MOUSE(HWND window, UINT message);
CORVANTA_HOOK_API int SetHookWH_KEYBOARD(HWND window, UINT message);
// Remove the hook; no notification of that kind comes afterwards.  0, or
// non-zero when no hook was set or the system refused.
CORVANTA_HOOK_API int UnsetHookWH_MOUSE();
CORVANTA_HOOK_API int UnsetHookWH_KEYBOARD();

#endif
