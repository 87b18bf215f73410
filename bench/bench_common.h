// What the timing programs that start Corvanta.exe share: a millisecond clock
// and the default config.ini, in the ANSI code page, as the program writes it.
#pragma once

#include <windows.h>

namespace bench {

inline double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline constexpr char kSettings[] =
    "[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=0\r\nAUTOCLOSE_PROGRESS_WINDOW=0\r\n"
    "HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=0\r\n"
    "ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\nADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n";

}  // namespace bench
