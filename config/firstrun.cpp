// First run: the sample launcher item root; and the deletion of the settings.
#include <shlobj.h>

#include "base/text.h"
#include "base/trace.h"
#include "base/handles.h"
#include "config/config.h"
#include "config/config_paths.h"
#include "resource.h"

namespace {

constexpr size_t kPathCapacity = 775;

// The sample's names come from the string table, so a language library names
// them in its language: the folder, its three subfolders (one, two and three
// Notepads) and the shortcuts' name, numbered from the second on the way
// Explorer numbers copies.
const UINT kSampleSubFolders[] = {IDS_CONFIG_SAMPLE_ONE, IDS_CONFIG_SAMPLE_TWO, IDS_CONFIG_SAMPLE_THREE};
const wchar_t* const kShortcutForms[] = {L"%ls.lnk", L"%ls (1).lnk", L"%ls (2).lnk"};

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
  wchar_t sample[D_SIZE_RESOURCE];
  Text_LoadString(IDS_CONFIG_SAMPLE_FOLDER, sample, D_SIZE_RESOURCE);
  if (Text_JoinPath(path, kPathCapacity, root, sample) != 0 || CreateFolder(path) != 0) return -1;
  wchar_t shortcutName[D_SIZE_RESOURCE];
  Text_LoadString(IDS_CONFIG_SAMPLE_SHORTCUT, shortcutName, D_SIZE_RESOURCE);

  wchar_t notepad[kPathCapacity];
  UINT length = GetWindowsDirectoryW(notepad, kPathCapacity);
  if (length == 0 || length >= kPathCapacity ||
      Text_JoinPath(notepad, kPathCapacity, notepad, L"notepad.exe") != 0) {
    return -1;
  }

  for (size_t folder = 0; folder < ARRAYSIZE(kSampleSubFolders); ++folder) {
    wchar_t subFolder[D_SIZE_RESOURCE];
    Text_LoadString(kSampleSubFolders[folder], subFolder, D_SIZE_RESOURCE);
    wchar_t folderPath[kPathCapacity];
    if (Text_JoinPath(folderPath, kPathCapacity, path, subFolder) != 0 || CreateFolder(folderPath) != 0) {
      return -1;
    }
    for (size_t shortcut = 0; shortcut <= folder; ++shortcut) {
      wchar_t fileName[D_SIZE_RESOURCE + 8];
      wchar_t shortcutPath[kPathCapacity];
      if (Text_Format(fileName, ARRAYSIZE(fileName), kShortcutForms[shortcut], shortcutName) < 0 ||
          Text_JoinPath(shortcutPath, kPathCapacity, folderPath, fileName) != 0 ||
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
