// Names that an ordinary path cannot address as written.
//
// Such entries (made by archive tools, network shares or another system) are
// left out everywhere rather than addressed with "\\?\" paths: the shell's
// launch and icon functions do not take "\\?\" paths, so a shortcut named
// "Mail.\a.lnk" could not be run exactly as written, and a rule that holds for
// the menu, the run collection and the management dialog alike is the only
// one that never lets one of them act on a sibling.  The tree deletions are
// the exception: they address every entry verbatim (config/folder_tree.cpp).
#include "base/names.h"

#include <wchar.h>

#include <initializer_list>

#include "base/trace.h"

bool Names_IsDeviceName(const wchar_t* name) {
  size_t length = wcscspn(name, L".");
  while (length > 0 && name[length - 1] == L' ') --length;
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL"}) {
    if (length == 3 && _wcsnicmp(name, device, 3) == 0) return true;
  }
  if (length == 4 && (_wcsnicmp(name, L"COM", 3) == 0 || _wcsnicmp(name, L"LPT", 3) == 0)) {
    return name[3] >= L'1' && name[3] <= L'9';
  }
  return false;
}

bool Names_IsAlteredByPath(const wchar_t* name) {
  const size_t length = wcslen(name);
  if (length == 0) return true;
  return name[length - 1] == L'.' || name[length - 1] == L' ' || Names_IsDeviceName(name);
}

bool Names_LeaveOut(const wchar_t* folder, const wchar_t* name) {
  if (!Names_IsAlteredByPath(name)) return false;
  Tracef(TRACE_LEVEL_ERROR, L"パスで正しく指定できない名前のため除外します(%ls\\%ls)", folder, name);
  return true;
}
