// The HTML Help viewer, bound at run time.  Through the import table the
// loader would look for hhctrl.ocx in the program's folder before the system
// folder, and load it before the program's first line ran; by its full
// system path it can only be the system's own.
#include "mainwindow/help_viewer.h"

#include "base/text.h"
#include "base/trace.h"

namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);

HtmlHelpFunction Viewer() {
  static bool tried = false;
  static HtmlHelpFunction function = nullptr;
  if (tried) return function;
  tried = true;
  wchar_t path[MAX_PATH * 2];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || Text_JoinPath(path, ARRAYSIZE(path), path, L"hhctrl.ocx") != 0) return nullptr;
  HMODULE library = LoadLibraryExW(path, nullptr, 0);
  if (library == nullptr) {
    Trace_ReportLastError(TRACE_FRAME_STARTUP, L"LoadLibrary()");
    return nullptr;
  }
  function = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")));
  return function;
}

}  // namespace

HWND MainWindow_HtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
  const HtmlHelpFunction function = Viewer();
  return function != nullptr ? function(caller, file, command, data) : nullptr;
}
