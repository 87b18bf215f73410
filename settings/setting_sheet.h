// The settings property sheet opened from the tray menu.
#ifndef CORVANTA_SETTINGS_SETTING_SHEET_H
#define CORVANTA_SETTINGS_SETTING_SHEET_H

#include <windows.h>

// Shows the sheet modally and saves config.ini when it closes, however it
// closed.  0, or -1 when saving failed.
int Config_ShowSettingSheet();

#endif
