// Starting one launcher item through the shell.
#ifndef CORVANTA_LAUNCH_SHELL_LAUNCH_H
#define CORVANTA_LAUNCH_SHELL_LAUNCH_H

#include <windows.h>

struct ShellLaunchResult {
  INT_PTR instanceResult;  // hInstApp: greater than 32 is success
  HANDLE process;          // the started process, or null (owned by the caller)
  DWORD error;             // the thread's last error after a failure
};

// Starts `path`: a shortcut is started through its own target (path or ID
// list) with its arguments, working folder, show command and "run as
// administrator" flag; anything else, and a shortcut that only the shell can
// resolve (advertised, or its target missing), is handed to the shell as it
// is, and then gives no process.
ShellLaunchResult Launch_StartItem(const wchar_t* path);

#endif
