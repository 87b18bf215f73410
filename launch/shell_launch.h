// Starting one launcher item through the shell.
#ifndef CORVANTA_LAUNCH_SHELL_LAUNCH_H
#define CORVANTA_LAUNCH_SHELL_LAUNCH_H

#include <windows.h>
#include <shlobj.h>

struct ShellLaunchResult {
  INT_PTR instanceResult;  // hInstApp: greater than 32 is success
  HANDLE process;          // the started process, or null (owned by the caller)
  DWORD error;             // the thread's last error after a failure
};

// What a shortcut carries for starting its target.
struct ShortcutTarget {
  wchar_t path[MAX_PATH * 2] = L"";
  PIDLIST_ABSOLUTE idList = nullptr;  // for a target outside the file system
  wchar_t arguments[INFOTIPSIZE] = L"";
  wchar_t directory[MAX_PATH * 2] = L"";
  int showCommand = SW_SHOWNORMAL;
  bool runAsAdministrator = false;
  bool advertised = false;  // an installer's shortcut, which only the shell resolves

  ShortcutTarget() = default;
  ~ShortcutTarget() { CoTaskMemFree(idList); }
  ShortcutTarget(const ShortcutTarget&) = delete;
  ShortcutTarget& operator=(const ShortcutTarget&) = delete;
};

// Starts a shortcut's target with everything the shortcut carries; the
// process is kept for the arrangement of its windows.
ShellLaunchResult Launch_StartShortcutTarget(const ShortcutTarget& target);

// Starts `path`: a shortcut is started through its own target (path or ID
// list) with its arguments, working folder, show command and "run as
// administrator" flag; anything else, and a shortcut that only the shell can
// resolve (advertised, or its target missing), is handed to the shell as it
// is, and then gives no process.
ShellLaunchResult Launch_StartItem(const wchar_t* path);

#endif
