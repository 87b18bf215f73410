// The settings sheet's three pages (one file each) and what they share with
// the sheet itself.
#ifndef CORVANTA_SETTINGS_SETTING_PAGES_H
#define CORVANTA_SETTINGS_SETTING_PAGES_H

#include <windows.h>

INT_PTR CALLBACK Config_OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Config_AdvancedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Config_VersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Called by each page as it is created: the page's parent is the open sheet,
// which a second request for the sheet brings to the front.
void Config_NoteSettingSheetWindow(HWND page);

// Tells the sheet (the page's parent) that the page holds a change, which
// enables Apply.
void Config_NotifyPageChanged(HWND page);

#endif
