// The settings sheet's rules that need no window.
#include "settings/setting_rules.h"

#include <commctrl.h>

#include "resource.h"

namespace {

struct FlagPair {
  BYTE hotkeyFlag;
  long modifier;
};
const FlagPair kFlagPairs[] = {
    {HOTKEYF_SHIFT, MOD_SHIFT},
    {HOTKEYF_CONTROL, MOD_CONTROL},
    {HOTKEYF_ALT, MOD_ALT},
};

const ConfigPatternControls kPatternControls[D_LONG_CONFIG_PATTERN_COUNT] = {
    {IDC_CONFIG_PATTERN_NONE, IDC_CONFIG_PREVIEW_NONE},
    {IDC_CONFIG_PATTERN_VERTICAL, IDC_CONFIG_PREVIEW_VERTICAL},
    {IDC_CONFIG_PATTERN_HORIZONTAL, IDC_CONFIG_PREVIEW_HORIZONTAL},
    {IDC_CONFIG_PATTERN_TILE, IDC_CONFIG_PREVIEW_TILE},
};

}  // namespace

long Config_ModifiersFromHotkeyFlags(BYTE hotkeyFlags) {
  long modifiers = 0;
  for (const FlagPair& pair : kFlagPairs) {
    if ((hotkeyFlags & pair.hotkeyFlag) != 0) modifiers |= pair.modifier;
  }
  return modifiers;
}

BYTE Config_HotkeyFlagsFromModifiers(long modifiers) {
  BYTE flags = 0;
  for (const FlagPair& pair : kFlagPairs) {
    if ((modifiers & pair.modifier) != 0) flags = static_cast<BYTE>(flags | pair.hotkeyFlag);
  }
  return flags;
}

WORD Config_HotkeyControlValue(long virtualKey, long modifiers) {
  return MAKEWORD(static_cast<BYTE>(virtualKey & 0xFF), Config_HotkeyFlagsFromModifiers(modifiers));
}

void Config_HotkeyFromControlValue(WORD value, long* virtualKey, long* modifiers) {
  *virtualKey = LOBYTE(value);
  *modifiers = Config_ModifiersFromHotkeyFlags(HIBYTE(value));
}

bool Config_HotkeyControlDiffers(WORD value, long virtualKey, long modifiers) {
  long shownKey = 0;
  long shownModifiers = 0;
  Config_HotkeyFromControlValue(value, &shownKey, &shownModifiers);
  return shownKey != virtualKey || shownModifiers != modifiers;
}

long Config_SettingFromCheckState(UINT checkState) { return checkState == BST_CHECKED ? 1 : 0; }

ConfigPatternControls Config_PatternControls(long pattern) {
  if (pattern < 0 || pattern >= D_LONG_CONFIG_PATTERN_COUNT) return ConfigPatternControls{0, 0};
  return kPatternControls[pattern];
}

long Config_PatternFromRadios(const bool selected[D_LONG_CONFIG_PATTERN_COUNT], long current) {
  for (long pattern = 0; pattern < D_LONG_CONFIG_PATTERN_COUNT; ++pattern) {
    if (selected[pattern]) return pattern;
  }
  return current;
}

int Config_AdvancedChangeCount(const ConfigAdvancedState& state, long pattern, long moveBottom, long confirm) {
  int changes = 0;
  if (Config_PatternFromRadios(state.radios, pattern) != pattern) ++changes;
  if (Config_SettingFromCheckState(state.moveBottom) != moveBottom) ++changes;
  if (Config_SettingFromCheckState(state.confirm) != confirm) ++changes;
  return changes;
}
