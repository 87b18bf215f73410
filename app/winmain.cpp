// Start-up, command words and shutdown.
#include "app/winmain.h"

#include <commctrl.h>
#include <locale.h>
#include <objbase.h>

#include "app/commandline.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "mainwindow/mainwindow.h"
#include "resource.h"


namespace {

// With DEBUG the records also go to a file beside the program, so a user can
// hand it to whoever diagnoses a problem; nothing is ever shown on screen.
void StartDebugLog(HINSTANCE instance) {
  wchar_t path[MAX_PATH + 1];
  DWORD length = GetModuleFileNameW(instance, path, ARRAYSIZE(path));
  if (length == 0 || length >= ARRAYSIZE(path)) return;
  wchar_t* dot = wcsrchr(path, L'.');
  wchar_t* slash = wcsrchr(path, L'\\');
  if (dot == nullptr || (slash != nullptr && dot < slash)) return;
  *dot = L'\0';
  wchar_t logPath[MAX_PATH + 1];
  if (Text_Format(logPath, ARRAYSIZE(logPath), L"%ls.trace.log", path) < 0) return;
  Trace_SetLogFile(logPath);
}

// The English library is resources only: mapped as an image of resources
// by its full path in the program's own folder, so no code in it ever runs
// and a missing library never sends the loader through the current folder
// and PATH, which a normal user can write while this process is elevated.
HMODULE LoadLanguageLibrary() {
  wchar_t path[D_SIZE_CONFIG_MODULE_PATH];
  if (Text_PathBesideProgram(D_WSTR_WINMAIN_LANGUAGE_LIBRARY, path, ARRAYSIZE(path)) != 0) return nullptr;
  // The handle this gives is flagged as a data file; FindResource, LoadString,
  // LoadImage and the dialog functions take it like a module handle.
  return LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
}

int QuitRunningInstance() {
  HWND running = FindWindowW(nullptr, D_WSTR_MAINWINDOW_TITLE);
  if (running != nullptr) {
    Tracef(TRACE_LEVEL_TRACE, L"CALL ( PostMessage WM_CLOSE to %x )",
           static_cast<unsigned>(reinterpret_cast<UINT_PTR>(running)));
    PostMessageW(running, WM_CLOSE, 0, 0);
  }
  return 0;
}

}  // namespace

int WinMain_Run(HINSTANCE instance, HINSTANCE previousInstance, const wchar_t* commandLine) {
  // Settings write config.ini through the C runtime in the ANSI code page.
  setlocale(LC_ALL, ".ACP");
  if (commandLine == nullptr) commandLine = L"";
  // The trace file has to be named before the first record to catch it, so
  // the DEBUG word is looked at this early; the flag itself is set below.
  if (CommandLine_HasDebugWord(commandLine)) StartDebugLog(instance);
  TraceScope scope("WinMain");

  gHINSTANCE_WinMain_Instance = instance;
  HMODULE language = LoadLanguageLibrary();
  gHINSTANCE_WinMain_ResourceInstance = language != nullptr ? language : instance;

  Tracef(TRACE_LEVEL_TRACE, L"CmdArg = %ls", commandLine);
  if (CommandLine_HasDebugWord(commandLine)) {
    glong_WinMain_ForceTraceFlag = 1;
    Trace(TRACE_LEVEL_TRACE, L"強制トレースフラグ設定");
  }

  switch (CommandLine_GetCommandWord(commandLine)) {
    case COMMAND_WORD_QUIT_APPLICATION:
      return QuitRunningInstance();
    case COMMAND_WORD_DELETE_SETTING_FILES:
      Trace(TRACE_LEVEL_TRACE, L"CALL ( Config_DeleteSettingFiles )");
      Config_DeleteSettingFiles();
      return 0;
    case COMMAND_WORD_NONE:
      break;
  }

  if (WinMain_InitializeApplication() != 0) {
    Trace_ReportOperationFailed(L"WinMain_InitializeApplication()");
    wchar_t text[D_SIZE_RESOURCE];
    Text_LoadString(IDS_APP_INITIALIZE_FAILED, text, D_SIZE_RESOURCE);
    Trace(TRACE_LEVEL_ERROR, text);
    return -1;
  }

  int exitCode = 0;
  if (MainWindow_CreateMainWindow(instance, previousInstance, exitCode) != 0) {
    Trace_ReportOperationFailed(L"MainWindow_CreateMainWindow()");
    return -1;
  }
  if (WinMain_FinalizeApplication() != 0) {
    Trace_ReportOperationFailed(L"WinMain_FinalizeApplication()");
  }
  return exitCode;
}

void WinMain_RestrictLibrarySearch() {
  // Libraries loaded by name later (the help viewer's control, shell
  // extensions, whatever a system library loads on its behalf) come from the
  // system folder only; the program's own libraries are loaded by full path.
  // Resolved at run time: Windows 7 has the function only with KB2533623.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto setDefault = kernel == nullptr ? nullptr : reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                                                      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault == nullptr || !setDefault(D_DWORD_WINMAIN_SEARCH_SYSTEM32)) {
    Trace_ReportLastError(TRACE_FRAME_STARTUP, L"SetDefaultDllDirectories()");
  }
  // Where the call above is missing, this at least takes the current folder
  // out of the search.
  SetDllDirectoryW(L"");
}

int WinMain_InitializeApplication() {
  TRACE_SCOPE();
  // The handle is deliberately never closed: holding the name until the
  // process ends is what keeps a second instance out.
  SetLastError(0);
  CreateMutexW(nullptr, TRUE, D_WSTR_WINMAIN_MUTEX_NAME);
  DWORD error = GetLastError();
  if (error != 0) {
    Trace_ReportError(TRACE_FRAME_STARTUP, L"CreateMutex()", error);
    return -1;
  }

  InitCommonControls();
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = 8;
  controls.dwICC = 0xFFFF;
  if (InitCommonControlsEx(&controls) != TRUE) {
    Trace_ReportLastError(TRACE_FRAME_STARTUP, L"InitCommonControlsEx()");
    return -1;
  }

  CoInitialize(nullptr);

  wchar_t richEditPath[516];
  UINT length = GetSystemDirectoryW(richEditPath, ARRAYSIZE(richEditPath));
  if (length == 0 || length >= ARRAYSIZE(richEditPath) ||
      Text_JoinPath(richEditPath, ARRAYSIZE(richEditPath), richEditPath, L"riched20.dll") != 0) {
    Trace_ReportLastError(TRACE_FRAME_STARTUP, L"LoadLibrary()");
    return -1;
  }
  // Stays loaded for the whole run: it provides the rich-edit window class.
  if (LoadLibraryW(richEditPath) == nullptr) {
    Trace_ReportLastError(TRACE_FRAME_STARTUP, L"LoadLibrary()");
    return -1;
  }

  Trace(TRACE_LEVEL_TRACE, L"CALL ( Config_InitializeSettings )");
  if (Config_InitializeSettings() != 0) return -1;
  return 0;
}

int WinMain_FinalizeApplication() {
  TRACE_SCOPE();
  CoUninitialize();
  return 0;
}
