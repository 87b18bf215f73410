// A library a normal user could plant under the name of one Corvanta loads: it
// carries a few strings (older_language.rc), and its entry point leaves
// "<its own path>.loaded" behind, so a test sees whether any code of it ran.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  wchar_t marker[MAX_PATH * 2] = L"";
  if (reason == DLL_PROCESS_ATTACH && GetModuleFileNameW(instance, marker, MAX_PATH) < MAX_PATH) {
    CloseHandle(CreateFileW(lstrcatW(marker, L".loaded"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  return TRUE;
}
