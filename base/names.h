// Names that the system changes when they are handed to it in an ordinary path.
#ifndef CORVANTA_BASE_NAMES_H
#define CORVANTA_BASE_NAMES_H

#include <windows.h>

// CON, PRN, AUX, NUL, COM1-9 or LPT1-9, whatever extension follows and with
// blanks before the dot ignored ("NUL.txt" and "con .lnk" open the device too).
bool Names_IsDeviceName(const wchar_t* name);

// True when an ordinary path ending in `name` addresses something else: the
// system drops a trailing dot or blank ("Mail." is addressed as "Mail"), and a
// device name addresses the device.
bool Names_IsAlteredByPath(const wchar_t* name);

// The rule the launcher menu, the run collection and the management dialog
// share: an entry of `folder` whose name is altered by a path is left out,
// with a level-3 trace record naming it.  True when it is left out.
bool Names_LeaveOut(const wchar_t* folder, const wchar_t* name);

#endif
