// First run: the sample launcher item root; and the deletion of the settings.
#include <shlobj.h>

#include "base/text.h"
#include "base/trace.h"
#include "base/handles.h"
#include "config/config.h"
#include "config/config_paths.h"

namespace {

constexpr size_t kPathCapacity = 775;

const wchar_t* const kSampleFolder = L"サンプル";
const wchar_t* const kSampleSubFolders[] = {
    L"サンプル\\とりあえずメモ帳1個",
    L"サンプル\\とりあえずメモ帳2個",
    L"サンプル\\とりあえずメモ帳3個",
};
const wchar_t* const kShortcutNames[] = {
    L"notepad - ショートカット.lnk",
    L"notepad - ショートカット (1).lnk",
    L"notepad - ショートカット (2).lnk",
};

// Saves a shortcut whose only property is its target path.
int CreateShortcut(const wchar_t* shortcutPath, const wchar_t* targetPath) {
  ComPtr<IShellLinkW> link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.ReceiveVoid());
  if (FAILED(hr)) {
    Trace_ReportError(TRACE_FRAME_EXTERNAL, L"CoCreateInstance()", static_cast<DWORD>(hr));
    return -1;
  }
  link->SetPath(targetPath);
  ComPtr<IPersistFile> file;
  hr = link->QueryInterface(IID_IPersistFile, file.ReceiveVoid());
  if (FAILED(hr)) {
    Trace_ReportError(TRACE_FRAME_EXTERNAL, L"QueryInterface()", static_cast<DWORD>(hr));
    return -1;
  }
  hr = file->Save(shortcutPath, TRUE);
  if (FAILED(hr)) {
    Trace_ReportError(TRACE_FRAME_EXTERNAL, L"IPersistFile::Save()", static_cast<DWORD>(hr));
    return -1;
  }
  return 0;
}

int CreateFolder(const wchar_t* path) {
  Tracef(TRACE_LEVEL_TRACE, L"CreateDirectory( %ls )", path);
  if (!CreateDirectoryW(path, nullptr)) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"CreateDirectory()");
    return -1;
  }
  return 0;
}

}  // namespace

int Config_CreateDefaultLauncherItemRoot() {
  TRACE_SCOPE();
  const wchar_t* root = gTCHAR_Config_LauncherItemRootPath;
  wchar_t path[kPathCapacity];
  if (CreateFolder(root) != 0) return -1;
  if (Text_JoinPath(path, kPathCapacity, root, kSampleFolder) != 0 || CreateFolder(path) != 0) return -1;

  wchar_t notepad[kPathCapacity];
  UINT length = GetWindowsDirectoryW(notepad, kPathCapacity);
  if (length == 0 || length >= kPathCapacity ||
      Text_JoinPath(notepad, kPathCapacity, notepad, L"notepad.exe") != 0) {
    return -1;
  }

  for (size_t folder = 0; folder < ARRAYSIZE(kSampleSubFolders); ++folder) {
    wchar_t folderPath[kPathCapacity];
    if (Text_JoinPath(folderPath, kPathCapacity, root, kSampleSubFolders[folder]) != 0 ||
        CreateFolder(folderPath) != 0) {
      return -1;
    }
    for (size_t shortcut = 0; shortcut <= folder; ++shortcut) {
      wchar_t shortcutPath[kPathCapacity];
      if (Text_JoinPath(shortcutPath, kPathCapacity, folderPath, kShortcutNames[shortcut]) != 0 ||
          CreateShortcut(shortcutPath, notepad) != 0) {
        return -1;
      }
    }
  }
  return 0;
}

int Config_DeleteSettingFiles() {
  TRACE_SCOPE();
  wchar_t executable[D_SIZE_CONFIG_MODULE_PATH];
  DWORD length = GetModuleFileNameW(nullptr, executable, D_SIZE_CONFIG_MODULE_PATH);
  if (length == 0 || length >= D_SIZE_CONFIG_MODULE_PATH) return -1;
  // Built here on their own: the normal start-up does not run in this mode.
  ConfigPaths paths;
  if (Config_ComposePaths(executable, &paths) != 0) return 0;
  Tracef(TRACE_LEVEL_TRACE, L"DeleteFile( %ls )", paths.settingFile);
  DeleteFileW(paths.settingFile);
  Config_DeleteFolderTree(paths.launcherItemRoot);
  return 0;
}
