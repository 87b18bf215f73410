// Starting one launcher item through the shell.
//
// An ordinary shortcut is not handed to the shell as a .lnk file: the shell
// then starts the target on its own and gives back no process handle (Wine),
// or only with SEE_MASK_INVOKEIDLIST, which hangs under Wine.  Without the
// process the windows cannot be arranged.  So the shortcut is read here and its
// target started directly, with everything the shortcut carries.  Only the
// shell can resolve an advertised (installer) shortcut or find a target that
// has moved: those shortcuts go to the shell as they are, without a process.
#include "launch/shell_launch.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"

namespace {

bool IsShortcutPath(const wchar_t* path) {
  const wchar_t* extension = PathFindExtensionW(path);
  return lstrcmpiW(extension, L".lnk") == 0;
}

bool ReadShortcut(const wchar_t* path, ShortcutTarget* target) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) || FAILED(file->Load(path, STGM_READ))) {
    return false;
  }
  // Each property may be absent; what is there is used.
  if (FAILED(link->GetPath(target->path, ARRAYSIZE(target->path), nullptr, 0))) target->path[0] = L'\0';
  if (FAILED(link->GetIDList(&target->idList))) target->idList = nullptr;
  if (FAILED(link->GetArguments(target->arguments, ARRAYSIZE(target->arguments)))) target->arguments[0] = L'\0';
  if (FAILED(link->GetWorkingDirectory(target->directory, ARRAYSIZE(target->directory)))) target->directory[0] = L'\0';
  if (FAILED(link->GetShowCmd(&target->showCommand)) || target->showCommand == 0) target->showCommand = SW_SHOWNORMAL;
  ComPtr<IShellLinkDataList> data;
  DWORD flags = 0;
  if (SUCCEEDED(link->QueryInterface(IID_IShellLinkDataList, data.ReceiveVoid())) &&
      SUCCEEDED(data->GetFlags(&flags))) {
    target->runAsAdministrator = (flags & SLDF_RUNAS_USER) != 0;
    target->advertised = (flags & SLDF_HAS_DARWINID) != 0;
  }
  return target->path[0] != L'\0' || target->idList != nullptr;
}

ShellLaunchResult Execute(SHELLEXECUTEINFOW& info) {
  ShellLaunchResult result = {};
  SetLastError(0);
  BOOL started = ShellExecuteExW(&info);
  result.instanceResult = reinterpret_cast<INT_PTR>(info.hInstApp);
  result.process = info.hProcess;
  if (!started || result.instanceResult <= 32) {
    // 0 stays 0: the log then says the system gave no code, rather than
    // blaming a file that may well exist.
    result.error = GetLastError();
    if (result.instanceResult > 32) result.instanceResult = SE_ERR_FNF;
    if (result.process != nullptr) CloseHandle(result.process);
    result.process = nullptr;
  }
  return result;
}

// No error boxes from the shell: a failure goes into the run's log, and a
// box would hold up every item after it until someone answered it.
SHELLEXECUTEINFOW ExecuteInfo() {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_UNICODE | SEE_MASK_NO_CONSOLE |
               SEE_MASK_WAITFORINPUTIDLE | SEE_MASK_FLAG_NO_UI;
  return info;
}

}  // namespace

ShellLaunchResult Launch_StartShortcutTarget(const ShortcutTarget& target) {
  SHELLEXECUTEINFOW info = ExecuteInfo();
  Tracef(TRACE_LEVEL_TRACE, L"ショートカットのリンク先を起動します( %ls )", target.path);
  if (target.path[0] != L'\0') {
    info.lpFile = target.path;
  } else {
    // A target outside the file system (a control panel item, say).
    info.fMask |= SEE_MASK_IDLIST;
    info.lpIDList = target.idList;
  }
  info.lpVerb = target.runAsAdministrator ? L"runas" : nullptr;
  info.lpParameters = target.arguments[0] != L'\0' ? target.arguments : nullptr;
  info.lpDirectory = target.directory[0] != L'\0' ? target.directory : nullptr;
  info.nShow = target.showCommand;
  return Execute(info);
}

ShellLaunchResult Launch_StartItem(const wchar_t* path) {
  SHELLEXECUTEINFOW info = ExecuteInfo();

  ShortcutTarget target;
  const bool shortcut = IsShortcutPath(path) && ReadShortcut(path, &target);
  if (shortcut && (target.advertised || (target.path[0] != L'\0' && !PathFileExistsW(target.path)))) {
    Tracef(TRACE_LEVEL_TRACE, L"ショートカットをシェルで起動します(ウィンドウは整列しません)( %ls )", path);
    info.fMask &= ~SEE_MASK_NOCLOSEPROCESS;
  } else if (shortcut) {
    return Launch_StartShortcutTarget(target);
  }

  wchar_t quoted[MAX_PATH * 2 + 3];
  if (Text_Format(quoted, ARRAYSIZE(quoted), L"\"%ls\"", path) < 0) {
    ShellLaunchResult tooLong = {SE_ERR_FNF, nullptr, ERROR_FILENAME_EXCED_RANGE};
    return tooLong;
  }
  info.lpFile = quoted;
  info.nShow = SW_SHOWDEFAULT;
  return Execute(info);
}
