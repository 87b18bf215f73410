// The hook library Corvanta.dll, bound at run time from the program's own
// folder only.
#ifndef CORVANTA_MAINWINDOW_HOOK_LIBRARY_H
#define CORVANTA_MAINWINDOW_HOOK_LIBRARY_H

#include <windows.h>

constexpr const wchar_t* D_WSTR_MAINWINDOW_HOOK_LIBRARY = L"Corvanta.dll";

// The library's four functions (hooklib.h), each with the library's own
// result; -1 when the library could not be loaded.  The first call loads it
// by its full path beside the program; when that fails, the user is told
// once (the program cannot work without it) and every call answers -1.
int MainWindow_SetMouseHook(HWND window, UINT message);
int MainWindow_SetKeyboardHook(HWND window, UINT message);
int MainWindow_UnsetMouseHook();
int MainWindow_UnsetKeyboardHook();

#endif
