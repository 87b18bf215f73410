// The settings sheet: its header, its pages, and saving config.ini when it
// closes, however it closed.
#include "settings/setting_sheet.h"

#include <commctrl.h>

#include "base/handles.h"
#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "settings/setting_pages.h"
#include "resource.h"

namespace {

constexpr int kPageCount = 3;

struct PageTemplate {
  WORD dialog;
  DLGPROC procedure;
};
const PageTemplate kPages[kPageCount] = {
    {IDD_CONFIG_PAGE_OPERATION, Config_OperationPageProc},
    {IDD_CONFIG_PAGE_ADVANCED, Config_AdvancedPageProc},
    {IDD_CONFIG_PAGE_VERSION, Config_VersionPageProc},
};

// Set while the sheet runs.  The sheet is modal on this thread, so a second
// request can only come from a message handled inside its loop.
bool gSheetRunning = false;
HWND gSheetWindow = nullptr;

// Creates the pages that can be created, in order, into `pages`; returns
// how many.  A page that fails is reported and left out: the sheet must
// never be handed a null page.
int CreatePages(PropertySheetPageHandle (&pages)[kPageCount]) {
  int created = 0;
  for (const PageTemplate& page : kPages) {
    PROPSHEETPAGEW record = {};
    record.dwSize = sizeof(record);
    record.dwFlags = PSP_DEFAULT;  // title from the template
    record.hInstance = gHINSTANCE_WinMain_ResourceInstance;
    record.pszTemplate = MAKEINTRESOURCEW(page.dialog);
    record.pfnDlgProc = page.procedure;
    PropertySheetPageHandle handle(CreatePropertySheetPageW(&record));
    if (!handle.Valid()) {
      Trace_ReportLastError(TRACE_FRAME_EXTERNAL_POLITE, L"CreatePropertySheetPage");
      continue;
    }
    pages[created++] = static_cast<PropertySheetPageHandle&&>(handle);
  }
  return created;
}

// Runs the sheet modally over the pages that exist.
void RunSheet() {
  PropertySheetPageHandle pages[kPageCount];
  const int count = CreatePages(pages);
  if (count == 0) {
    // Nothing to show: an empty sheet is no use to anyone.
    Trace(TRACE_LEVEL_ERROR, L"外部処理が異常終了しました( PropertySheet )");
    return;
  }
  HPROPSHEETPAGE handed[kPageCount] = {};
  for (int i = 0; i < count; ++i) handed[i] = pages[i].Get();

  wchar_t caption[D_SIZE_RESOURCE];
  Text_LoadString(IDS_SETTING_SHEET_CAPTION, caption, D_SIZE_RESOURCE);
  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof(header);
  // The icon is loaded here and given back after the sheet: asked for by ID
  // (PSH_USEICONID), Wine's common controls load a new one for every sheet
  // and never destroy it, one USER object lost per opening.
  IconHandle icon(static_cast<HICON>(LoadImageW(gHINSTANCE_WinMain_Instance, MAKEINTRESOURCEW(IDI_CORVANTA), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  header.dwFlags = PSH_USEHICON;
  header.hwndParent = gHWND_MainWindow_Handle;
  header.hInstance = gHINSTANCE_WinMain_Instance;
  header.hIcon = icon.Get();
  header.pszCaption = caption;
  header.nPages = static_cast<UINT>(count);
  header.nStartPage = 0;
  header.phpage = handed;
  // The sheet destroys the pages it was given, whatever it returns.
  for (PropertySheetPageHandle& page : pages) page.Release();
  if (PropertySheetW(&header) == -1) {
    Trace_ReportLastError(TRACE_FRAME_EXTERNAL_POLITE, L"PropertySheet");
  }
}

}  // namespace

void Config_NoteSettingSheetWindow(HWND page) { gSheetWindow = GetParent(page); }

void Config_NotifyPageChanged(HWND page) { PropSheet_Changed(GetParent(page), page); }

int Config_ShowSettingSheet() {
  TRACE_SCOPE();
  if (gSheetRunning) {
    Trace(TRACE_LEVEL_TRACE, L"設定画面は表示中のため前面に表示します");
    if (gSheetWindow != nullptr && IsWindow(gSheetWindow)) SetForegroundWindow(gSheetWindow);
    return 0;
  }
  gSheetRunning = true;
  RunSheet();
  gSheetRunning = false;
  gSheetWindow = nullptr;
  // Saved however the sheet closed: Cancel after Apply keeps the applied values.
  if (Config_SaveSettingFile() != 0) {
    Trace_ReportOperationFailed(L"Config_SaveSettingFile()");
    return -1;
  }
  return 0;
}
