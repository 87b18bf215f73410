// Measuring and drawing the owner-drawn launcher entries: the shell's icon
// and the item's name.
//
// Each entry's icon is asked from the shell once per opening of the menu and
// kept until the menu is destroyed: every highlight change redraws entries,
// and SHGetFileInfoW on a shortcut can take milliseconds (far longer when its
// target is on a network share).
#include <windows.h>
#include <shellapi.h>

#include <unordered_map>

#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "mainwindow/traymenu.h"
#include "resource.h"

namespace {

// Geometry of an entry, in pixels relative to its rectangle.
constexpr int kTextLeft = 36;
constexpr int kTextTop = 12;
constexpr int kIconTop = 4;
constexpr int kExtraWidth = 36;
constexpr int kExtraHeight = 24;

void FillWithColour(HDC dc, const RECT& rect, COLORREF colour) {
  GdiObjectHandle brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
}

// The icons of the entries drawn in this opening, by tree node.  An entry the
// shell gave no icon keeps an empty holder, so it is not asked again either.
std::unordered_map<HTREEITEM, IconHandle>& KeptIcons() {
  static std::unordered_map<HTREEITEM, IconHandle> icons;
  return icons;
}

HICON EntryIcon(HTREEITEM node) {
  auto kept = KeptIcons().find(node);
  if (kept != KeptIcons().end()) return kept->second.Get();
  wchar_t path[D_SIZE_MAINWINDOW_PATH];
  HICON icon = nullptr;
  if (MainWindow_GetPhysicalPath(node, path) == 0) {
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON) != 0) icon = info.hIcon;
  }
  KeptIcons().emplace(node, IconHandle(icon));
  return icon;
}

}  // namespace

int MainWindow_OnMeasureItem(WPARAM wParam, MEASUREITEMSTRUCT* record, HWND window) {
  if (wParam != 0) return 0;  // only menu entries
  Tracef(TRACE_LEVEL_TRACE, L"(UINT)wParam = %u", static_cast<unsigned>(wParam));
  Tracef(TRACE_LEVEL_TRACE, L"(LPMEASUREITEMSTRUCT)lParam = %u", record->itemID);
  // The measured text keeps ".lnk": shortcut entries come out a little
  // wider than the names drawn in them.
  wchar_t text[D_SIZE_MESSAGE] = L"";
  if (record->itemID == D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_EMPTY) {
    Text_LoadString(IDS_MAINWINDOW_MENU_EMPTY, text, D_SIZE_MESSAGE);
  } else if (static_cast<long>(record->itemID) >= D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SHORTCUTITEM) {
    Tracef(TRACE_LEVEL_TRACE, L"((LPMEASUREITEMSTRUCT)iLPARAMParam)->itemData = %IX", record->itemData);
    MainWindow_GetNodeText(reinterpret_cast<HTREEITEM>(record->itemData), text, D_SIZE_RESOURCE);
  }
  Tracef(TRACE_LEVEL_TRACE, L"TCHARmenuItemString = %ls", text);
  HDC dc = GetDC(window);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  ReleaseDC(window, dc);
  record->itemWidth = static_cast<UINT>(size.cx + kExtraWidth);
  record->itemHeight = static_cast<UINT>(size.cy + kExtraHeight);
  return 0;
}

int MainWindow_OnDrawItem(const DRAWITEMSTRUCT* record, WPARAM wParam) {
  if (wParam != 0) return 0;  // only menu entries
  Tracef(TRACE_LEVEL_TRACE, L"((LPDRAWITEMSTRUCT)iLPARAMParam)->CtlID = %u", record->CtlID);
  Tracef(TRACE_LEVEL_TRACE, L"((LPDRAWITEMSTRUCT)iLPARAMParam)->itemID = %u", record->itemID);
  Tracef(TRACE_LEVEL_TRACE, L"((LPDRAWITEMSTRUCT)iLPARAMParam)->itemData = %IX", record->itemData);
  HDC dc = record->hDC;
  const RECT& rect = record->rcItem;
  wchar_t text[D_SIZE_MESSAGE] = L"";

  if (record->itemID == D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_EMPTY) {
    Text_LoadString(IDS_MAINWINDOW_MENU_EMPTY, text, D_SIZE_MESSAGE);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else if (static_cast<long>(record->itemID) >= D_LONG_MAINWINDOW_MENUID_TRAYICONMENU_MAIN_SHORTCUTITEM) {
    HTREEITEM node = reinterpret_cast<HTREEITEM>(record->itemData);
    MainWindow_GetNodeText(node, text, D_SIZE_RESOURCE);
    // Drawn without the extension ".lnk" (measured with it, see above).
    wchar_t* dot = wcsrchr(text, L'.');
    if (dot != nullptr && wcscmp(dot, L".lnk") == 0) *dot = L'\0';
    if ((record->itemState & ODS_SELECTED) != 0) {
      SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      FillWithColour(dc, rect, GetBkColor(dc));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      FillWithColour(dc, rect, GetBkColor(dc));
    }
    HICON icon = EntryIcon(node);
    if (icon != nullptr) DrawIcon(dc, rect.left, rect.top + kIconTop, icon);
  }
  // Names are drawn as they are: a "%" is just a character.
  TextOutW(dc, rect.left + kTextLeft, rect.top + kTextTop, text, static_cast<int>(wcslen(text)));
  return 0;
}

void MainWindow_ReleaseMenuDrawing() { KeptIcons().clear(); }
