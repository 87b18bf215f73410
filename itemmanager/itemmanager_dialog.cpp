// Placeholder until the management dialog lands.
#include "itemmanager/itemmanager.h"

int ItemManager_ShowDialog() { return 0; }
