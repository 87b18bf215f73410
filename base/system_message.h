// The system's message text for an error code, ready to show to a user or to
// put in a trace record.
#ifndef CORVANTA_BASE_SYSTEM_MESSAGE_H
#define CORVANTA_BASE_SYSTEM_MESSAGE_H

#include <windows.h>
#include <stddef.h>

// Writes the system's text for `error` into `buffer`, without the line break
// it ends with.  Several texts hold inserts ("%1 の EXE フォーマットが不正です。"):
// every one of them (%1 to %99, in any of their forms) is filled with
// `insert`, usually the path of the file the failed call was about; with no
// insert they are dropped and the blanks around them tidied, so a text never
// shows a bare "%1".  Returns the length written; 0, with an empty buffer,
// when the system has no text for the code.  A text that does not fit is cut
// at the buffer's end.
size_t Text_SystemMessage(DWORD error, const wchar_t* insert, wchar_t* buffer, size_t capacity);

#endif
