// The hook library, bound at run time.  Bound through the import table, a
// library missing from the program's folder would be searched for in the
// current folder and along PATH, and whatever was found there would run with
// the administrator rights this program asks for; by its full path it can
// only come from beside the program.
#include "mainwindow/hook_library.h"

#include "base/text.h"
#include "base/trace.h"
#include "hooklib.h"
#include "resource.h"

namespace {

// decltype names the exported functions' types without binding to them.
struct HookFunctions {
  decltype(&SetHookWH_MOUSE) setMouse = nullptr;
  decltype(&SetHookWH_KEYBOARD) setKeyboard = nullptr;
  decltype(&UnsetHookWH_MOUSE) unsetMouse = nullptr;
  decltype(&UnsetHookWH_KEYBOARD) unsetKeyboard = nullptr;
};

template <typename Function>
bool Bind(HMODULE library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return *function != nullptr;
}

// Loaded once and kept for the process: the hooks' procedures live in it.
const HookFunctions* Functions() {
  static bool tried = false;
  static HookFunctions functions;
  static bool bound = false;
  if (tried) return bound ? &functions : nullptr;
  tried = true;
  wchar_t path[MAX_PATH * 2];
  HMODULE library = nullptr;
  if (Text_PathBesideProgram(D_WSTR_MAINWINDOW_HOOK_LIBRARY, path, ARRAYSIZE(path)) == 0) {
    library = LoadLibraryExW(path, nullptr, 0);
    if (library == nullptr) Trace_ReportLastError(TRACE_FRAME_STARTUP, L"LoadLibrary()");
  }
  bound = library != nullptr && Bind(library, "SetHookWH_MOUSE", &functions.setMouse) &&
          Bind(library, "SetHookWH_KEYBOARD", &functions.setKeyboard) &&
          Bind(library, "UnsetHookWH_MOUSE", &functions.unsetMouse) &&
          Bind(library, "UnsetHookWH_KEYBOARD", &functions.unsetKeyboard);
  if (!bound) {
    Text_MessageBox(nullptr, IDS_MAINWINDOW_HOOK_MISSING_TEXT, IDS_CONFIG_STARTUP_ERROR_CAPTION,
                    MB_OK | MB_ICONERROR, path);
    return nullptr;
  }
  return &functions;
}

}  // namespace

int MainWindow_SetMouseHook(HWND window, UINT message) {
  const HookFunctions* f = Functions();
  return f != nullptr ? f->setMouse(window, message) : -1;
}

int MainWindow_SetKeyboardHook(HWND window, UINT message) {
  const HookFunctions* f = Functions();
  return f != nullptr ? f->setKeyboard(window, message) : -1;
}

int MainWindow_UnsetMouseHook() {
  const HookFunctions* f = Functions();
  return f != nullptr ? f->unsetMouse() : -1;
}

int MainWindow_UnsetKeyboardHook() {
  const HookFunctions* f = Functions();
  return f != nullptr ? f->unsetKeyboard() : -1;
}
