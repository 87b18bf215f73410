// The progress dialog's rich-edit log.
#ifndef CORVANTA_LAUNCH_PROGRESS_LOG_H
#define CORVANTA_LAUNCH_PROGRESS_LOG_H

#include <windows.h>

extern HWND gHWND_Launch_ProgressDialog;

// Colours of the result marks: green for "[OK]", red for "[ERROR] (...)".
constexpr COLORREF D_COLORREF_LAUNCH_RESULT_OK = RGB(0x00, 0x80, 0x00);
constexpr COLORREF D_COLORREF_LAUNCH_RESULT_ERROR = RGB(0xC0, 0x00, 0x00);

// Shows all text of the log in its one font (no dual-font switching).
void Launch_InitializeProgressLog(HWND log);
// Appends a result line in its colour; the text after it is in the default
// colour again, and no text is ever inserted while the other colour is set.
void Launch_AppendResultLine(bool success, const wchar_t* text);
// The system's text for `error`, its inserts filled with `path` (the item
// that failed), or, when it has none, the code in words a user can search for.
void Launch_DescribeError(DWORD error, wchar_t* buffer, size_t capacity, const wchar_t* path = nullptr);

#endif
