// The program's file paths as one value, built from the executable's path.
#ifndef CORVANTA_CONFIG_CONFIG_PATHS_H
#define CORVANTA_CONFIG_CONFIG_PATHS_H

#include "config/config.h"

struct ConfigPaths {
  wchar_t moduleFolder[D_SIZE_CONFIG_MODULE_FOLDER] = L"";
  wchar_t settingFile[D_SIZE_CONFIG_SETTING_FILE] = L"";
  wchar_t launcherItemRoot[D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT] = L"";
  wchar_t helpFile[D_SIZE_CONFIG_HELP_FILE] = L"";
};

// Splits the executable's path (drive up to 3 characters, the other parts up
// to 256) and joins its folder with each file name.  -1, with every path
// empty, when anything does not fit.
int Config_ComposePaths(const wchar_t* executablePath, ConfigPaths* paths);

#endif
