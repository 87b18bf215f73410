// Corvanta.exe entry point.
#include <windows.h>

#include "app/winmain.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, PWSTR commandLine, int) {
  WinMain_RestrictLibrarySearch();
  return WinMain_Run(instance, previousInstance, commandLine);
}
