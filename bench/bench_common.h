// What the timing programs share: a millisecond clock, the default config.ini
// (in the ANSI code page, as the program writes it) and a maker of shortcuts
// and of folders full of them.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace bench {

inline double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline constexpr char kSettings[] =
    "[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=0\r\nAUTOCLOSE_PROGRESS_WINDOW=0\r\n"
    "HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=0\r\n"
    "ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\nADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n";

// A shortcut to Notepad at `path`; false when the shell refused.
inline bool MakeShortcut(const std::wstring& path) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  const bool made = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                               reinterpret_cast<void**>(&link))) &&
                    SUCCEEDED(link->SetPath(L"C:\\windows\\notepad.exe")) &&
                    SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                    SUCCEEDED(file->Save(path.c_str(), TRUE));
  if (file != nullptr) file->Release();
  if (link != nullptr) link->Release();
  return made;
}

// A folder of `count` shortcuts item0.lnk... (hard links to one where the file
// system allows, else copies); an existing one is completed, not made again.
// Wine makes files slowly in a folder of tens of thousands: tens of minutes
// for 70,000.
inline void MakeFolderOf(const std::wstring& folder, int count) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring first = folder + L"\\item0.lnk";
  if (GetFileAttributesW(first.c_str()) == INVALID_FILE_ATTRIBUTES) MakeShortcut(first);
  for (int i = 1; i < count; ++i) {
    const std::wstring path = folder + L"\\item" + std::to_wstring(i) + L".lnk";
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (!CreateHardLinkW(path.c_str(), first.c_str(), nullptr)) CopyFileW(first.c_str(), path.c_str(), TRUE);
  }
}

}  // namespace bench
