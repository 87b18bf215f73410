// The launcher item management dialog: the user's editor for the launcher
// item root.
#ifndef CORVANTA_ITEMMANAGER_ITEMMANAGER_H
#define CORVANTA_ITEMMANAGER_ITEMMANAGER_H

#include <windows.h>

// Opens the dialog modally, owned by the main window; returns when it closes.
// Always 0.
int ItemManager_ShowDialog();

#endif
