// A library a normal user could plant under the name of one Corvanta loads: it
// carries a few strings (older_language.rc) and the hook library's exports,
// and its entry point leaves "<its own path>.loaded" behind, so a test sees
// whether any code of it ever ran.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(instance, marker, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatW(marker, L".loaded");
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

extern "C" __declspec(dllexport) int SetHookWH_MOUSE(HWND, UINT) { return 0; }
extern "C" __declspec(dllexport) int SetHookWH_KEYBOARD(HWND, UINT) { return 0; }
extern "C" __declspec(dllexport) int UnsetHookWH_MOUSE() { return 0; }
extern "C" __declspec(dllexport) int UnsetHookWH_KEYBOARD() { return 0; }
