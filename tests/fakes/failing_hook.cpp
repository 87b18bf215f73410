// Stand-in for Corvanta.dll: the mouse hook "sets", the keyboard hook never
// does.  Lets a test watch the program give up while its window is created.
#include <windows.h>

extern "C" __declspec(dllexport) int SetHookWH_MOUSE(HWND, UINT) { return 0; }
extern "C" __declspec(dllexport) int SetHookWH_KEYBOARD(HWND, UINT) { return 1; }
extern "C" __declspec(dllexport) int UnsetHookWH_MOUSE() { return 0; }
extern "C" __declspec(dllexport) int UnsetHookWH_KEYBOARD() { return 1; }
