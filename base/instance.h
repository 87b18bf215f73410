// The modules the program loads its resources from.  Set once at start-up;
// every string, icon, dialog and picture comes from the resource instance.
#ifndef CORVANTA_BASE_INSTANCE_H
#define CORVANTA_BASE_INSTANCE_H

#include <windows.h>

// The program's own module (Corvanta.exe).
extern HINSTANCE gHINSTANCE_WinMain_Instance;
// The English resource library when it loads, else the program itself.
extern HINSTANCE gHINSTANCE_WinMain_ResourceInstance;
// The hidden main window: the owner of the tray menu and of every dialog
// opened from it.  Set by the main window when it is created.
extern HWND gHWND_MainWindow_Handle;

#endif
