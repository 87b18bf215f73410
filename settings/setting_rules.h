// The settings sheet's rules that need no window: the hotkey control's value
// against the stored hotkey, the arrangement page's radio buttons and
// previews, and when a page tells the sheet of a change.
#ifndef CORVANTA_SETTINGS_SETTING_RULES_H
#define CORVANTA_SETTINGS_SETTING_RULES_H

#include <windows.h>

// The hotkey control keeps its own modifier flags (HOTKEYF_*) in the high
// byte of its value; the setting keeps RegisterHotKey's (MOD_*).  Bits the
// other side has no place for are dropped: HOTKEYF_EXT when reading the
// control, MOD_WIN and everything above it when filling the control.
long Config_ModifiersFromHotkeyFlags(BYTE hotkeyFlags);
BYTE Config_HotkeyFlagsFromModifiers(long modifiers);

// The control's value (HKM_SETHOTKEY) for a stored hotkey: the key's low
// byte and the converted flags.
WORD Config_HotkeyControlValue(long virtualKey, long modifiers);
// The stored hotkey for a control's value (HKM_GETHOTKEY); a cleared control
// gives 0, 0.
void Config_HotkeyFromControlValue(WORD value, long* virtualKey, long* modifiers);
// True when the control's value stands for another hotkey than the stored one.
bool Config_HotkeyControlDiffers(WORD value, long virtualKey, long modifiers);

// A check box's state (BST_*) as a setting: 1 when ticked, else 0.
long Config_SettingFromCheckState(UINT checkState);

// Controls of one arrangement pattern on the advanced page.
struct ConfigPatternControls {
  int radio;
  int preview;
};
constexpr long D_LONG_CONFIG_PATTERN_COUNT = 4;
// The radio button and preview of `pattern` (0 to 3); {0, 0} for any other.
ConfigPatternControls Config_PatternControls(long pattern);
// The pattern of the first selected radio button (tested in pattern order),
// or `current` when none is selected.
long Config_PatternFromRadios(const bool selected[D_LONG_CONFIG_PATTERN_COUNT], long current);

// What the advanced page's controls hold against the stored settings.
struct ConfigAdvancedState {
  bool radios[D_LONG_CONFIG_PATTERN_COUNT];
  UINT moveBottom;  // BST_* of the move-to-back box
  UINT confirm;     // BST_* of the show-at-each-run box
};
// How many of the page's three settings the controls would change.
int Config_AdvancedChangeCount(const ConfigAdvancedState& state, long pattern, long moveBottom, long confirm);

#endif
