// The HTML Help viewer's function, bound at run time from the system folder.
#ifndef CORVANTA_MAINWINDOW_HELP_VIEWER_H
#define CORVANTA_MAINWINDOW_HELP_VIEWER_H

#include <windows.h>

// HtmlHelpW of the system folder's hhctrl.ocx, loaded at the first call and
// kept.  Where the viewer cannot be loaded, every call answers null and does
// nothing (a message is then translated and dispatched as usual).
HWND MainWindow_HtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);

#endif
