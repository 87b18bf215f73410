// Bounded text helpers shared by every module.
#ifndef CORVANTA_BASE_TEXT_H
#define CORVANTA_BASE_TEXT_H

#include <windows.h>
#include <stddef.h>

// Capacities fixed throughout the program.
constexpr size_t D_SIZE_MESSAGE = 1024;   // messages and trace texts
constexpr size_t D_SIZE_RESOURCE = 256;   // most resource strings

// wsprintf-style formatting (%s is a wide string) that never overruns `buffer`:
// a result that does not fit is cut at the buffer's end.  Returns the length
// written, or -1 when the text was cut.  The format must be the program's own
// text (a literal or a string-table entry), never a name from disk.
int Text_Format(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);
int Text_FormatV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args);

// Loads string `id` from the resource instance, or from the program itself
// when the resource instance (a language library) lacks it; an empty text if
// neither has it.
void Text_LoadString(UINT id, wchar_t* buffer, size_t capacity);

// Joins folder, a backslash and name into `out` ("%s\\%s").  Returns 0, or -1
// (and an empty `out`) when the result does not fit: a path is never cut short.
int Text_JoinPath(wchar_t* out, size_t capacity, const wchar_t* folder, const wchar_t* name);

// The full path of the file `name` in the running program's own folder.
// Returns 0, or -1 (and an empty `out`) when it does not fit.
int Text_PathBesideProgram(const wchar_t* name, wchar_t* out, size_t capacity);

// Copies `source` whole into `out`, or empties `out` and returns -1 when it does not fit.
int Text_Copy(wchar_t* out, size_t capacity, const wchar_t* source);

// Flags every message box of the program carries besides its buttons and icon.
constexpr UINT D_UINT_MESSAGEBOX_STANDARD = MB_SYSTEMMODAL | MB_SETFOREGROUND | MB_TOPMOST;

// Shows a message box whose text and caption are string-table entries (256
// characters each), with the standard flags added to `type`.  An optional
// argument fills one %s of the text.  Returns MessageBoxW's result.
int Text_MessageBox(HWND owner, UINT textId, UINT captionId, UINT type, const wchar_t* argument = nullptr);

#endif
