// Settings: the paths of the program's files, config.ini, first run and the
// deletion of the settings.
#ifndef CORVANTA_CONFIG_CONFIG_H
#define CORVANTA_CONFIG_CONFIG_H

#include <windows.h>

// Path capacities in characters, terminator included.
constexpr size_t D_SIZE_CONFIG_MODULE_PATH = 775;        // GetModuleFileNameW buffer
constexpr size_t D_SIZE_CONFIG_MODULE_FOLDER = 519;
constexpr size_t D_SIZE_CONFIG_SETTING_FILE = 516;
constexpr size_t D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT = 263;
constexpr size_t D_SIZE_CONFIG_HELP_FILE = 775;
constexpr size_t D_SIZE_CONFIG_VALUE = 260;               // one value of config.ini

extern wchar_t gTCHAR_Config_ModuleFolderPath[D_SIZE_CONFIG_MODULE_FOLDER];
extern wchar_t gTCHAR_Config_SettingFilePath[D_SIZE_CONFIG_SETTING_FILE];
extern wchar_t gTCHAR_Config_LauncherItemRootPath[D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT];
extern wchar_t gTCHAR_Config_HelpFilePath[D_SIZE_CONFIG_HELP_FILE];

extern long longSupressDialogBeforeExecute;
extern long longAutoCloseProgressWindow;
extern long longHotkeyVirtualKey;
extern long longHotkeyModifiers;
extern long longAdjustLaunchedWindowPattern;
extern long longAdjustLaunchedWindowMoveBottom;
extern long longAdjustLaunchedWindowConfirmAtExecution;
extern long longWindowArrangementAvailable;

constexpr const wchar_t* D_WSTR_CONFIG_SETTING_FILE_NAME = L"config.ini";
// The help file when the resource instance names none (string 192).
constexpr const wchar_t* D_WSTR_CONFIG_HELP_FILE_NAME = L"CorvantaHelp.chm";

// Start-up: paths, default config.ini on first run, load and validate, default
// launcher item root, window-arrangement availability.  0, or -1 to stop.
int Config_InitializeSettings();

// The longest path the program's folder may have (in characters, without a
// final backslash): from the path buffers above, the parts the executable's
// path is split into, and the names joined to the folder, of which the
// launcher item root's (string 143 of the resource instance) is the one that
// limits.  A longer folder would cut a path short.
size_t Config_GetLongestProgramFolder();

// Builds the four path globals from the executable's full path.  -1 (and all
// four emptied) when a path does not fit its buffer.
int Config_BuildPaths(const wchar_t* executablePath);

int Config_CreateDefaultSettingFile();
int Config_LoadSettingFile();
int Config_SaveSettingFile();

long Config_GetSupressDialogBeforeExecute();
long Config_GetAutoCloseProgressWindow();

// First run and deletion.
int Config_CreateDefaultLauncherItemRoot();
int Config_DeleteSettingFiles();
// Deletes `folderPath` and everything below it, depth first.  Links to other
// places (junctions, symbolic links) are removed themselves and never entered.
// 0 when it reached the folder's removal, -1 when an entry could not be deleted.
int Config_DeleteFolderTree(const wchar_t* folderPath);

#endif
