// Process entry: command words, single instance, start-up and shutdown.
#ifndef CORVANTA_APP_WINMAIN_H
#define CORVANTA_APP_WINMAIN_H

#include <windows.h>

#include "base/instance.h"

constexpr const wchar_t* D_WSTR_WINMAIN_MUTEX_NAME = L"Mutex For Corvanta";
constexpr const wchar_t* D_WSTR_WINMAIN_LANGUAGE_LIBRARY = L"Corvanta_Lang_En.dll";

// LOAD_LIBRARY_SEARCH_SYSTEM32, spelled out: the headers offer it only to
// builds for Windows 8 and later, while the call exists on Windows 7 too.
constexpr DWORD D_DWORD_WINMAIN_SEARCH_SYSTEM32 = 0x00000800;

// Limits where libraries loaded by name at run time may come from to the
// system folder.  Called first thing in the entry point, before anything can
// load a library.
void WinMain_RestrictLibrarySearch();

// The whole life of the process after the C runtime: returns the exit code
// (0, or -1 when start-up failed).  `commandLine` is the argument text
// without the program's own name.
int WinMain_Run(HINSTANCE instance, HINSTANCE previousInstance, const wchar_t* commandLine);

int WinMain_InitializeApplication();
int WinMain_FinalizeApplication();

#endif
