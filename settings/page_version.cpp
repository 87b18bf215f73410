// Settings sheet, page 3: the product, its version and the terms of use.
#include <windows.h>
#include <richedit.h>

#include "base/dpi.h"
#include "base/handles.h"
#include "base/instance.h"
#include "base/text.h"
#include "settings/setting_pages.h"
#include "resource.h"

namespace {

// Four paragraphs, each a line of its own, and an empty last line.
const UINT kTermsPieces[] = {IDS_CONFIG_TERMS_LIABILITY, IDS_CONFIG_TERMS_REVERSE, IDS_CONFIG_TERMS_REDISTRIBUTION,
                             IDS_CONFIG_TERMS_CHANGES};

// The logo as drawn for 100 %, and the copy the page shows, drawn for the
// page's DPI (a static shows a bitmap at its own size, which would leave the
// logo small beside text that grew).
constexpr int kLogoWidth = 88;
constexpr int kLogoHeight = 31;
GdiObjectHandle gLogo;
// Sent to child windows after their top-level window moved to a monitor of
// another DPI (Windows 10 1703 and later; the headers for Windows 7 lack it).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

void ShowLogoForDpi(HWND page) {
  const UINT dpi = Dpi_ForWindow(page);
  GdiObjectHandle logo(Dpi_LoadBitmapAtSize(gHINSTANCE_WinMain_ResourceInstance, IDB_CONFIG_LOGO,
                                            Dpi_Scale(kLogoWidth, dpi), Dpi_Scale(kLogoHeight, dpi)));
  if (!logo.Valid()) return;  // the template's picture stays
  HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(page, IDC_CONFIG_LOGO, STM_SETIMAGE, IMAGE_BITMAP,
                                                                   reinterpret_cast<LPARAM>(logo.Get())));
  // The picture the control loaded from the template is no longer its own.
  if (previous != nullptr && previous != gLogo.Get()) DeleteObject(previous);
  gLogo = static_cast<GdiObjectHandle&&>(logo);
}

void Config_OnVersionDestroy(HWND page) {
  SendDlgItemMessageW(page, IDC_CONFIG_LOGO, STM_SETIMAGE, IMAGE_BITMAP, 0);
  gLogo.Reset();
}

void AppendText(HWND box, const wchar_t* text) {
  const LRESULT length = GetWindowTextLengthW(box);
  SetFocus(box);
  SendMessageW(box, EM_SETSEL, length, length);
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
}

INT_PTR Config_OnVersionInitDialog(HWND page) {
  Config_NoteSettingSheetWindow(page);
  ShowLogoForDpi(page);
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
    case kDpiChangedAfterParent: ShowLogoForDpi(page); return FALSE;
    case WM_DESTROY: Config_OnVersionDestroy(page); return FALSE;
    default: return FALSE;
  }
}
