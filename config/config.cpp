// The settings file config.ini and the paths of the program's files.
#include "config/config.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <shlwapi.h>

#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "base/instance.h"
#include "config/config_paths.h"
#include "config/settings_parse.h"
#include "resource.h"

wchar_t gTCHAR_Config_ModuleFolderPath[D_SIZE_CONFIG_MODULE_FOLDER] = L"";
wchar_t gTCHAR_Config_SettingFilePath[D_SIZE_CONFIG_SETTING_FILE] = L"";
wchar_t gTCHAR_Config_LauncherItemRootPath[D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT] = L"";
wchar_t gTCHAR_Config_HelpFilePath[D_SIZE_CONFIG_HELP_FILE] = L"";

long longSupressDialogBeforeExecute = 0;
long longAutoCloseProgressWindow = 0;
long longHotkeyVirtualKey = 0;
long longHotkeyModifiers = 0;
long longAdjustLaunchedWindowPattern = 0;
long longAdjustLaunchedWindowMoveBottom = 0;
long longAdjustLaunchedWindowConfirmAtExecution = 0;
long longWindowArrangementAvailable = 0;

namespace {

constexpr const wchar_t* kSectionControl = L"CONTROL_SETTING";
constexpr const wchar_t* kSectionAdvanced = L"ADVANCED_SETTING";
constexpr const wchar_t* kKeyHotkey = L"HOTKEY_OPEN_LAUNCHER_WINDOW";

// The keys in file order.  The hotkey row has no range: it is parsed apart.
struct SettingKey {
  const wchar_t* section;
  const wchar_t* key;
  long* value;
  long minimum;
  long maximum;
};
const SettingKey kSettingKeys[] = {
    {kSectionControl, L"SUPRESS_DIALOG_BEFORE_EXECUTE", &longSupressDialogBeforeExecute, 0, 1},
    {kSectionControl, L"AUTOCLOSE_PROGRESS_WINDOW", &longAutoCloseProgressWindow, 0, 1},
    {kSectionControl, kKeyHotkey, &longHotkeyVirtualKey, 0, 0},
    {kSectionAdvanced, L"ADJUST_LAUNCHED_WINDOW_PATTERN", &longAdjustLaunchedWindowPattern, 0, 3},
    {kSectionAdvanced, L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM", &longAdjustLaunchedWindowMoveBottom, 0, 1},
    {kSectionAdvanced, L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION",
     &longAdjustLaunchedWindowConfirmAtExecution, 0, 1},
};

const wchar_t* const kDefaultSettingFile[] = {
    L"; ----------",
    L"; Config.ini",
    L"; ----------",
    L"",
    L"; 確認ダイアログに関する設定",
    L"[CONTROL_SETTING]",
    L"; 実行前の確認画面を抑止する(0:OFF, 1ON)",
    L"SUPRESS_DIALOG_BEFORE_EXECUTE=0",
    L"; 実行後、処理詳細画面を自動で閉じる(0:OFF, 1ON)",
    L"AUTOCLOSE_PROGRESS_WINDOW=0",
    L"; メニューを開くホットキー（デフォルトでは90,6(Ctrl + SHIFT + Z)）",
    L"HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6",
    L"",
    L"",
    L"; 高度なに関する設定",
    L"[ADVANCED_SETTING]",
    L"; 起動アプリケーションウィンドウの整列",
    L"; 0:整列しない(OS依存)、1:縦に並べる、2:横に並べる、3:タイル状に並べる",
    L"ADJUST_LAUNCHED_WINDOW_PATTERN=0",
    L"; アプリケーション起動後のウィンドウ制御(最背面で起動(0:OFF, 1ON))",
    L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0",
    L"; アプリケーション起動後のウィンドウ制御(実行時に確認画面を表示(0:OFF, 1ON))",
    L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1",
    L"",
};
static_assert(ARRAYSIZE(kDefaultSettingFile) == 24, "the default file has 24 lines");

bool SettingFileExists() {
  WIN32_FIND_DATAW found;
  return FindHandle(FindFirstFileW(gTCHAR_Config_SettingFilePath, &found)).Valid();
}

void ReportInvalidValue(const wchar_t* section, const wchar_t* key) {
  Tracef(TRACE_LEVEL_ERROR, L"設定値が不正です(SECTION=%ls, KEY=%ls)", section, key);
}

// Reads one key; 0 when it was present and valid.
int LoadSetting(const SettingKey& setting) {
  wchar_t value[D_SIZE_CONFIG_VALUE];
  DWORD length = GetPrivateProfileStringW(setting.section, setting.key, D_WSTR_CONFIG_MISSING_VALUE,
                                          value, D_SIZE_CONFIG_VALUE, gTCHAR_Config_SettingFilePath);
  if (length == 0) {
    Trace_ReportOperationFailed(L"Config_LoadSettingFile()");
    return -1;
  }
  const bool hotkey = setting.value == &longHotkeyVirtualKey;
  if (hotkey && wcscmp(value, D_WSTR_CONFIG_MISSING_VALUE) != 0) {
    Tracef(TRACE_LEVEL_TRACE, L"設定値(SECTION=%ls, KEY=%ls, VALUE=%ls)", setting.section, setting.key, value);
  }
  SettingParseResult result =
      hotkey ? Settings_ParseHotkey(value, &longHotkeyVirtualKey, &longHotkeyModifiers)
             : Settings_ParseNumber(value, setting.minimum, setting.maximum, setting.value);
  switch (result) {
    case SETTING_PARSE_OK:
      return 0;
    case SETTING_PARSE_MISSING:
      Tracef(TRACE_LEVEL_ERROR, L"設定が見つかりません(SECTION=%ls, KEY=%ls)", setting.section, setting.key);
      return -1;
    case SETTING_PARSE_INVALID:
      ReportInvalidValue(setting.section, setting.key);
      return -1;
  }
  return -1;
}

}  // namespace

namespace {

// _wsplitpath_s: the drive ("C:") and the other parts, terminators included.
constexpr size_t kDriveCapacity = 3;
constexpr size_t kPartCapacity = 256;

void LoadHelpFileName(wchar_t* helpName) {
  // Each language library names its own help file (the English one
  // CorvantaHelp_En.chm); the program's own is CorvantaHelp.chm.
  Text_LoadString(IDS_CONFIG_HELP_FILE_NAME, helpName, D_SIZE_RESOURCE);
  if (helpName[0] == L'\0') Text_Copy(helpName, D_SIZE_RESOURCE, D_WSTR_CONFIG_HELP_FILE_NAME);
}

// The program's folder as the user knows it: the executable's path up to its
// last backslash.
std::wstring ProgramFolderOf(const wchar_t* executablePath) {
  const wchar_t* slash = wcsrchr(executablePath, L'\\');
  return slash == nullptr ? std::wstring(executablePath) : std::wstring(executablePath, slash);
}

int ReportProgramFolderTooLong(const wchar_t* executablePath) {
  const std::wstring folder = ProgramFolderOf(executablePath);
  const size_t longest = Config_GetLongestProgramFolder();
  Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", folder.c_str());
  wchar_t format[D_SIZE_RESOURCE];
  wchar_t caption[D_SIZE_RESOURCE];
  wchar_t text[D_SIZE_MESSAGE];
  Text_LoadString(IDS_CONFIG_PATH_TOO_LONG_TEXT, format, D_SIZE_RESOURCE);
  Text_LoadString(IDS_CONFIG_STARTUP_ERROR_CAPTION, caption, D_SIZE_RESOURCE);
  Text_Format(text, D_SIZE_MESSAGE, format, static_cast<int>(longest), folder.c_str());
  MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR | D_UINT_MESSAGEBOX_STANDARD);
  return -1;
}

}  // namespace

size_t Config_GetLongestProgramFolder() {
  wchar_t rootName[D_SIZE_RESOURCE];
  wchar_t helpName[D_SIZE_RESOURCE];
  Text_LoadString(IDS_CONFIG_LAUNCHER_ITEM_ROOT, rootName, D_SIZE_RESOURCE);
  LoadHelpFileName(helpName);
  // Each bound is the folder's length with its final backslash: the drive and
  // directory parts, and every buffer less the name joined to the folder.
  const size_t bounds[] = {
      kDriveCapacity - 1 + kPartCapacity - 1,
      D_SIZE_CONFIG_MODULE_FOLDER - 1,
      D_SIZE_CONFIG_SETTING_FILE - 1 - wcslen(D_WSTR_CONFIG_SETTING_FILE_NAME),
      D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT - 1 - wcslen(rootName),
      D_SIZE_CONFIG_HELP_FILE - 1 - wcslen(helpName),
  };
  size_t longest = bounds[0];
  for (size_t bound : bounds) longest = bound < longest ? bound : longest;
  return longest - 1;
}

int Config_ComposePaths(const wchar_t* executablePath, ConfigPaths* paths) {
  *paths = ConfigPaths();
  wchar_t drive[kDriveCapacity];
  wchar_t directory[kPartCapacity];
  wchar_t name[kPartCapacity];
  wchar_t extension[kPartCapacity];
  if (_wsplitpath_s(executablePath, drive, ARRAYSIZE(drive), directory, ARRAYSIZE(directory), name,
                    ARRAYSIZE(name), extension, ARRAYSIZE(extension)) != 0) {
    Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了( _wsplitpath_s(), PATH=%ls )", executablePath);
    return -1;
  }
  wchar_t rootName[D_SIZE_RESOURCE];
  Text_LoadString(IDS_CONFIG_LAUNCHER_ITEM_ROOT, rootName, D_SIZE_RESOURCE);
  wchar_t helpName[D_SIZE_RESOURCE];
  LoadHelpFileName(helpName);
  // A path that does not fit is refused whole: cutting it short would point
  // the program at another file.
  if (Text_Format(paths->moduleFolder, ARRAYSIZE(paths->moduleFolder), L"%ls%ls", drive, directory) < 0 ||
      Text_Format(paths->settingFile, ARRAYSIZE(paths->settingFile), L"%ls%ls%ls", drive, directory,
                  D_WSTR_CONFIG_SETTING_FILE_NAME) < 0 ||
      Text_Format(paths->launcherItemRoot, ARRAYSIZE(paths->launcherItemRoot), L"%ls%ls%ls", drive,
                  directory, rootName) < 0 ||
      Text_Format(paths->helpFile, ARRAYSIZE(paths->helpFile), L"%ls%ls%ls", drive, directory, helpName) < 0 ||
      rootName[0] == L'\0') {
    Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", executablePath);
    *paths = ConfigPaths();
    return -1;
  }
  return 0;
}

int Config_BuildPaths(const wchar_t* executablePath) {
  ConfigPaths paths;
  int result = Config_ComposePaths(executablePath, &paths);
  // The capacities match, so these copies cannot fail.
  Text_Copy(gTCHAR_Config_ModuleFolderPath, D_SIZE_CONFIG_MODULE_FOLDER, paths.moduleFolder);
  Text_Copy(gTCHAR_Config_SettingFilePath, D_SIZE_CONFIG_SETTING_FILE, paths.settingFile);
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, paths.launcherItemRoot);
  Text_Copy(gTCHAR_Config_HelpFilePath, D_SIZE_CONFIG_HELP_FILE, paths.helpFile);
  return result;
}

int Config_InitializeSettings() {
  TRACE_SCOPE();
  wchar_t executable[D_SIZE_CONFIG_MODULE_PATH];
  DWORD length = GetModuleFileNameW(nullptr, executable, D_SIZE_CONFIG_MODULE_PATH);
  if (length == 0) return -1;
  // Told, not just refused: a folder too deep is the user's to change.
  if (length >= D_SIZE_CONFIG_MODULE_PATH) return ReportProgramFolderTooLong(executable);
  if (Config_BuildPaths(executable) != 0) {
    if (ProgramFolderOf(executable).size() > Config_GetLongestProgramFolder()) {
      return ReportProgramFolderTooLong(executable);
    }
    return -1;
  }
  Tracef(TRACE_LEVEL_TRACE, L"gTCHAR_Config_SettingFilePath = %ls", gTCHAR_Config_SettingFilePath);
  Tracef(TRACE_LEVEL_TRACE, L"gTCHAR_Config_LauncherItemRootPath = %ls", gTCHAR_Config_LauncherItemRootPath);
  Tracef(TRACE_LEVEL_TRACE, L"gTCHAR_Config_HelpFilePath = %ls", gTCHAR_Config_HelpFilePath);

  if (!SettingFileExists()) {
    Text_MessageBox(nullptr, IDS_CONFIG_NOT_FOUND_TEXT, IDS_CONFIG_NOT_FOUND_CAPTION, MB_OK | MB_ICONINFORMATION);
    if (Config_CreateDefaultSettingFile() != 0) return -1;
  }
  if (Config_LoadSettingFile() != 0) {
    // The damaged file stays as it is: the user decides whether to delete it.
    Text_MessageBox(nullptr, IDS_CONFIG_LOAD_FAILED_TEXT, IDS_CONFIG_LOAD_FAILED_CAPTION, MB_OK | MB_ICONINFORMATION);
    return -1;
  }
  if (!PathIsDirectoryW(gTCHAR_Config_LauncherItemRootPath)) {
    Text_MessageBox(nullptr, IDS_CONFIG_ROOT_NOT_FOUND_TEXT, IDS_CONFIG_ROOT_NOT_FOUND_CAPTION,
                    MB_OK | MB_ICONINFORMATION);
    if (Config_CreateDefaultLauncherItemRoot() != 0) return -1;
  }

  OSVERSIONINFOEXW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)) && version.dwMajorVersion == 6) {
    longWindowArrangementAvailable = 1;
  }
  Tracef(TRACE_LEVEL_TRACE, L"longWindowArrangementAvailable = %d", static_cast<int>(longWindowArrangementAvailable));
  return 0;
}

int Config_CreateDefaultSettingFile() {
  TRACE_SCOPE();
  FILE* file = _wfopen(gTCHAR_Config_SettingFilePath, L"wb");
  if (file == nullptr) {
    Trace_ReportError(TRACE_FRAME_EXTERNAL_POLITE, L"CreateFile", GetLastError());
    return -1;
  }
  // Each line is converted to the ANSI code page as a whole and ends in CR LF
  // of its own, so a character the code page lacks (written as "?") can never
  // swallow a line break and merge a key line into a comment.
  int result = 0;
  for (const wchar_t* line : kDefaultSettingFile) {
    char bytes[512];
    int length = 0;
    if (line[0] != L'\0') {
      length = WideCharToMultiByte(CP_ACP, 0, line, -1, bytes, sizeof(bytes), nullptr, nullptr);
      length = length > 0 ? length - 1 : 0;
    }
    if (fwrite(bytes, 1, length, file) != static_cast<size_t>(length) || fwrite("\r\n", 1, 2, file) != 2) {
      result = -1;
    }
  }
  if (fflush(file) != 0) result = -1;
  if (fclose(file) != 0) result = -1;
  if (result != 0) Trace_ReportOperationFailed(L"Config_CreateDefaultSettingFile()");
  return result;
}

int Config_LoadSettingFile() {
  TRACE_SCOPE();
  for (const SettingKey& setting : kSettingKeys) {
    if (LoadSetting(setting) != 0) return -1;
  }
  return 0;
}

int Config_SaveSettingFile() {
  TRACE_SCOPE();
  FILE* probe = _wfopen(gTCHAR_Config_SettingFilePath, L"a+");
  if (probe == nullptr) {
    // Read before the box: showing it runs a message loop that resets the code.
    const DWORD error = GetLastError();
    Text_MessageBox(nullptr, IDS_CONFIG_SAVE_FAILED_TEXT, IDS_CONFIG_SAVE_FAILED_CAPTION, MB_OK | MB_ICONERROR);
    Trace_ReportError(TRACE_FRAME_EXTERNAL_POLITE, L"CreateFile", error);
    return -1;
  }
  fclose(probe);
  for (const SettingKey& setting : kSettingKeys) {
    wchar_t value[D_SIZE_CONFIG_VALUE];
    if (setting.value == &longHotkeyVirtualKey) {
      Text_Format(value, D_SIZE_CONFIG_VALUE, L"%d, %d", static_cast<int>(longHotkeyVirtualKey),
                  static_cast<int>(longHotkeyModifiers));
    } else {
      Text_Format(value, D_SIZE_CONFIG_VALUE, L"%d", static_cast<int>(*setting.value));
    }
    WritePrivateProfileStringW(setting.section, setting.key, value, gTCHAR_Config_SettingFilePath);
  }
  return 0;
}

long Config_GetSupressDialogBeforeExecute() {
  Tracef(TRACE_LEVEL_TRACE, L"longSupressDialogBeforeExecute = %d", static_cast<int>(longSupressDialogBeforeExecute));
  return longSupressDialogBeforeExecute;
}

long Config_GetAutoCloseProgressWindow() {
  Tracef(TRACE_LEVEL_TRACE, L"longAutoCloseProgressWindow = %d", static_cast<int>(longAutoCloseProgressWindow));
  return longAutoCloseProgressWindow;
}
