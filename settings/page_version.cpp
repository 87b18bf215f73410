// Settings sheet, page 3: the product, its version and the terms of use.
#include <windows.h>
#include <richedit.h>

#include "base/text.h"
#include "settings/setting_pages.h"
#include "resource.h"

namespace {

// Four paragraphs, each a line of its own, and an empty last line.
const UINT kTermsPieces[] = {IDS_CONFIG_TERMS_LIABILITY, IDS_CONFIG_TERMS_REVERSE, IDS_CONFIG_TERMS_REDISTRIBUTION,
                             IDS_CONFIG_TERMS_CHANGES};

void AppendText(HWND box, const wchar_t* text) {
  const LRESULT length = GetWindowTextLengthW(box);
  SetFocus(box);
  SendMessageW(box, EM_SETSEL, length, length);
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

INT_PTR Config_OnVersionInitDialog(HWND page) {
  Config_NoteSettingSheetWindow(page);
  HWND box = GetDlgItem(page, IDC_CONFIG_TERMS);
  for (UINT id : kTermsPieces) {
    wchar_t piece[D_SIZE_RESOURCE];
    Text_LoadString(id, piece, D_SIZE_RESOURCE);
    AppendText(box, piece);
  }
  AppendText(box, L"\n");
  // Posted: the caret goes to the start once the page is up, not while the
  // sheet is still placing it.
  PostMessageW(box, EM_SETSEL, 0, 0);
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK Config_VersionPageProc(HWND page, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return Config_OnVersionInitDialog(page);
    default: return FALSE;
  }
}
