// The progress dialog's rich-edit log.
#include "launch/progress_log.h"

#include <richedit.h>

#include "base/system_message.h"
#include "base/text.h"
#include "launch/launch.h"
#include "resource.h"

namespace {

HWND Log() { return GetDlgItem(gHWND_Launch_ProgressDialog, IDC_LAUNCH_PROGRESS_LOG); }

void MoveCaretToEnd(HWND log) {
  const LRESULT length = SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
  SendMessageW(log, EM_SETSEL, length, length);
}

// Sets the colour of the (empty) selection at the end: what is inserted next
// takes it.  A null colour means the control's automatic text colour.
void SetInsertionColour(HWND log, const COLORREF* colour) {
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  if (colour != nullptr) {
    format.crTextColor = *colour;
  } else {
    format.dwEffects = CFE_AUTOCOLOR;
  }
  SendMessageW(log, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

}  // namespace

void Launch_InitializeProgressLog(HWND log) {
  const LRESULT options = SendMessageW(log, EM_GETLANGOPTIONS, 0, 0);
  SendMessageW(log, EM_SETLANGOPTIONS, 0, options & ~IMF_DUALFONT);
}

int Launch_AppendProgressLog(const wchar_t* text) {
  HWND log = Log();
  SetFocus(log);
  MoveCaretToEnd(log);
  SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
  SetFocus(log);
  MoveCaretToEnd(log);
  return 0;
}

void Launch_AppendResultLine(bool success, const wchar_t* text) {
  HWND log = Log();
  const COLORREF colour = success ? D_COLORREF_LAUNCH_RESULT_OK : D_COLORREF_LAUNCH_RESULT_ERROR;
  SetFocus(log);
  MoveCaretToEnd(log);
  SetInsertionColour(log, &colour);
  Launch_AppendProgressLog(text);
  MoveCaretToEnd(log);
  SetInsertionColour(log, nullptr);
}

void Launch_DescribeError(DWORD error, wchar_t* buffer, size_t capacity, const wchar_t* path) {
  // Code 0 has a system text ("completed successfully"), which would read as
  // nonsense after a failure: it is given as a code like any unknown one.
  if (error != 0 && Text_SystemMessage(error, path, buffer, capacity) > 0) return;
  // The form people type into a search engine: decimal and hexadecimal.
  wchar_t format[D_SIZE_RESOURCE];
  Text_LoadString(IDS_LAUNCH_ERROR_CODE, format, D_SIZE_RESOURCE);
  Text_Format(buffer, capacity, format, static_cast<unsigned>(error), static_cast<unsigned>(error));
}
