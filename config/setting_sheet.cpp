// Placeholder until the settings sheet lands.
#include "config/setting_sheet.h"

int Config_ShowSettingSheet() { return 0; }
