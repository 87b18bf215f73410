// Bounded text helpers.
#include "base/text.h"

#include <stdarg.h>
#include <stdio.h>
#include <wchar.h>

#include "base/instance.h"

// Defined here, at the bottom layer, so that every module can load its texts
// without reaching up to the entry point.  WinMain sets both at start-up.
HINSTANCE gHINSTANCE_WinMain_Instance = nullptr;
HINSTANCE gHINSTANCE_WinMain_ResourceInstance = nullptr;

int Text_FormatV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args) {
  if (buffer == nullptr || capacity == 0) return -1;
  // msvcrt's bounded formatter: %s takes a wide string here, as wsprintfW does,
  // so string-table texts written for wsprintf format the same way.
  int written = _vsnwprintf_s(buffer, capacity, _TRUNCATE, format, args);
  if (written < 0) buffer[capacity - 1] = L'\0';
  return written;
}

int Text_Format(wchar_t* buffer, size_t capacity, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int written = Text_FormatV(buffer, capacity, format, args);
  va_end(args);
  return written;
}

void Text_LoadString(UINT id, wchar_t* buffer, size_t capacity) {
  if (capacity == 0) return;
  buffer[0] = L'\0';
  const int size = static_cast<int>(capacity);
  if (LoadStringW(gHINSTANCE_WinMain_ResourceInstance, id, buffer, size) > 0) return;
  // A language library made for an earlier release lacks the strings added
  // since; the program's own text is better than an empty message.
  if (gHINSTANCE_WinMain_ResourceInstance != gHINSTANCE_WinMain_Instance) {
    buffer[0] = L'\0';
    LoadStringW(gHINSTANCE_WinMain_Instance, id, buffer, size);
  }
}

int Text_Copy(wchar_t* out, size_t capacity, const wchar_t* source) {
  if (capacity == 0) return -1;
  size_t length = wcslen(source);
  if (length >= capacity) {
    out[0] = L'\0';
    return -1;
  }
  wmemcpy(out, source, length + 1);
  return 0;
}

int Text_JoinPath(wchar_t* out, size_t capacity, const wchar_t* folder, const wchar_t* name) {
  size_t folderLength = wcslen(folder);
  size_t nameLength = wcslen(name);
  if (capacity == 0 || folderLength + 1 + nameLength >= capacity) {
    if (capacity) out[0] = L'\0';
    return -1;
  }
  wmemmove(out, folder, folderLength);
  out[folderLength] = L'\\';
  wmemmove(out + folderLength + 1, name, nameLength);
  out[folderLength + 1 + nameLength] = L'\0';
  return 0;
}

int Text_PathBesideProgram(const wchar_t* name, wchar_t* out, size_t capacity) {
  if (capacity == 0) return -1;
  const DWORD size = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
  const DWORD length = GetModuleFileNameW(nullptr, out, size);
  wchar_t* slash = length == 0 || length >= size ? nullptr : wcsrchr(out, L'\\');
  if (slash == nullptr) {
    out[0] = L'\0';
    return -1;
  }
  *slash = L'\0';
  return Text_JoinPath(out, capacity, out, name);
}

int Text_MessageBox(HWND owner, UINT textId, UINT captionId, UINT type, const wchar_t* argument) {
  wchar_t text[D_SIZE_RESOURCE];
  wchar_t caption[D_SIZE_RESOURCE];
  Text_LoadString(textId, text, D_SIZE_RESOURCE);
  Text_LoadString(captionId, caption, D_SIZE_RESOURCE);
  if (argument != nullptr) {
    wchar_t filled[D_SIZE_MESSAGE];
    Text_Format(filled, D_SIZE_MESSAGE, text, argument);
    return MessageBoxW(owner, filled, caption, type | D_UINT_MESSAGEBOX_STANDARD);
  }
  return MessageBoxW(owner, text, caption, type | D_UINT_MESSAGEBOX_STANDARD);
}
