// Measuring and drawing the owner-drawn launcher entries: the shell's icon
// and the item's name.
//
// Every size follows the DPI of the monitor the menu opens on: the icon at
// the system's large icon size for that DPI, the name in the system's menu
// font for that DPI (selected for measuring and for drawing alike, so the
// name always fits the row it was measured for), the margins scaled.
//
// Each entry's icon is asked from the shell once per opening of the menu and
// kept until the menu is destroyed: every highlight change redraws entries,
// and SHGetFileInfoW on a shortcut can take milliseconds (far longer when its
// target is on a network share).
//
// The icon is the one SHGetFileInfoW(SHGFI_ICON) gives, the shell's large
// system image list entry for the item, but it is looked up through the
// entry's folder, bound once per opening: SHGetFileInfoW parses the whole
// path from the desktop down on every call, which under Wine costs two to
// three times the lookup itself and grows with the size of the folder.
#include <windows.h>
#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>
#include <shlobj.h>

#include <unordered_map>

#include "base/dpi.h"
#include "base/handles.h"
#include "base/text.h"
#include "base/trace.h"
#include "mainwindow/menu_geometry.h"
#include "mainwindow/traymenu.h"
#include "resource.h"

namespace {

// The DPI the next opening is measured and drawn for; 0 for the system's.
UINT gMenuDpi = 0;

// What every entry of one opening is measured and drawn with, made on the
// first entry: the font, the sizes, the shell's image list of the icon size,
// and a device context with the font selected (a window's DC fetched and
// given back per entry cost more than the measuring).
struct EntryStyle {
  bool made = false;
  UINT dpi = D_UINT_DPI_DESIGN;
  int iconSize = 0;
  int arrowSpace = 0;
  int textHeight = 0;
  // The font before the DC: members are destroyed in reverse order, so the
  // DC goes first and the font is no longer selected when it is deleted.
  GdiObjectHandle font;
  MemoryDcHandle measuringDc;
  ComPtr<IImageList> icons;
};

EntryStyle& KeptStyle() {
  static EntryStyle style;
  return style;
}

// The shell's smallest system image list whose icons are at least `size`
// pixels: scaling an icon down looks better than scaling it up.
void ChooseImageList(int size, ComPtr<IImageList>* chosen) {
  for (int list : {SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
    int width = 0, height = 0;
    // Through its COM interface: the image list belongs to the shell's copy
    // of the common controls, which need not be the one this program loaded.
    if (SUCCEEDED(SHGetImageList(list, __uuidof(IImageList), chosen->ReceiveVoid())) &&
        SUCCEEDED((*chosen)->GetIconSize(&width, &height)) && width >= size) {
      return;
    }
  }
}

const EntryStyle& Style() {
  EntryStyle& style = KeptStyle();
  if (style.made) return style;
  style.made = true;
  style.dpi = gMenuDpi != 0 ? gMenuDpi : Dpi_System();
  style.iconSize = Dpi_SystemMetric(SM_CXICON, style.dpi);
  // A submenu's arrow is drawn at the size of a menu check mark.
  style.arrowSpace = Dpi_SystemMetric(SM_CXMENUCHECK, style.dpi);
  LOGFONTW font = {};
  Dpi_MenuFont(style.dpi, &font);
  style.font.Reset(CreateFontIndirectW(&font));
  style.measuringDc.Reset(CreateCompatibleDC(nullptr));
  if (style.measuringDc.Valid() && style.font.Valid()) SelectObject(style.measuringDc.Get(), style.font.Get());
  TEXTMETRICW metrics = {};
  if (style.measuringDc.Valid() && GetTextMetricsW(style.measuringDc.Get(), &metrics)) style.textHeight = metrics.tmHeight;
  ChooseImageList(style.iconSize, &style.icons);
  return style;
}

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

// The shell folders of the folders whose entries were drawn in this opening,
// by tree node; an empty one when the folder could not be bound.
std::unordered_map<HTREEITEM, ComPtr<IShellFolder>>& KeptFolders() {
  static std::unordered_map<HTREEITEM, ComPtr<IShellFolder>> folders;
  return folders;
}

IShellFolder* FolderOf(HTREEITEM folderNode) {
  auto kept = KeptFolders().find(folderNode);
  if (kept != KeptFolders().end()) return kept->second.Get();
  ComPtr<IShellFolder> folder;
  wchar_t path[D_SIZE_MAINWINDOW_PATH];
  ComPtr<IShellFolder> desktop;
  IdListHandle folderIds;
  if (MainWindow_GetPhysicalPath(folderNode, path) == 0 &&
      SUCCEEDED(SHGetDesktopFolder(reinterpret_cast<IShellFolder**>(desktop.ReceiveVoid())))) {
    LPITEMIDLIST ids = nullptr;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, path, nullptr, &ids, nullptr))) folderIds.Reset(ids);
  }
  if (folderIds.Valid()) desktop->BindToObject(folderIds.Get(), nullptr, IID_IShellFolder, folder.ReceiveVoid());
  IShellFolder* result = folder.Get();
  KeptFolders().emplace(folderNode, std::move(folder));
  return result;
}

// The icon through the entry's folder, or null when the folder or the shell
// could not answer so.
HICON IconThroughFolder(HTREEITEM node) {
  const HTREEITEM parent = reinterpret_cast<HTREEITEM>(
      SendMessageW(gHWND_MainWindow_TreeView, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(node)));
  IShellFolder* folder = parent != nullptr ? FolderOf(parent) : nullptr;
  IImageList* icons = Style().icons.Get();
  if (folder == nullptr || icons == nullptr) return nullptr;
  wchar_t name[D_SIZE_RESOURCE];
  MainWindow_GetNodeText(node, name, D_SIZE_RESOURCE);
  LPITEMIDLIST ids = nullptr;
  if (FAILED(folder->ParseDisplayName(nullptr, nullptr, name, nullptr, &ids, nullptr))) return nullptr;
  IdListHandle child(ids);
  const int index = SHMapPIDLToSystemImageListIndex(folder, child.Get(), nullptr);
  HICON icon = nullptr;
  if (index < 0 || FAILED(icons->GetIcon(index, ILD_NORMAL, &icon))) return nullptr;
  return icon;
}

HICON EntryIcon(HTREEITEM node) {
  auto kept = KeptIcons().find(node);
  if (kept != KeptIcons().end()) return kept->second.Get();
  HICON icon = IconThroughFolder(node);
  wchar_t path[D_SIZE_MAINWINDOW_PATH];
  if (icon == nullptr && MainWindow_GetPhysicalPath(node, path) == 0) {
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
  const EntryStyle& style = Style();
  SIZE size = {};
  if (style.measuringDc.Valid()) {
    GetTextExtentPoint32W(style.measuringDc.Get(), text, static_cast<int>(wcslen(text)), &size);
  } else {
    HDC dc = GetDC(window);
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    ReleaseDC(window, dc);
  }
  const MenuEntrySize entry = MainWindow_EntrySize(style.dpi, size, style.iconSize, style.arrowSpace);
  record->itemWidth = static_cast<UINT>(entry.width);
  record->itemHeight = static_cast<UINT>(entry.height);
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
  const EntryStyle& style = Style();
  const MenuEntryPlaces places =
      MainWindow_EntryPlaces(style.dpi, rect.bottom - rect.top, style.iconSize, style.textHeight);
  HGDIOBJ oldFont = style.font.Valid() ? SelectObject(dc, style.font.Get()) : nullptr;

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
    // At the size asked for: the shell's icon may be larger (or, failing
    // the image lists, the system DPI's size).
    if (icon != nullptr) {
      DrawIconEx(dc, rect.left, rect.top + places.iconTop, icon, style.iconSize, style.iconSize, 0, nullptr, DI_NORMAL);
    }
  }
  // Names are drawn as they are: a "%" is just a character.
  TextOutW(dc, rect.left + places.textLeft, rect.top + places.textTop, text, static_cast<int>(wcslen(text)));
  if (oldFont != nullptr) SelectObject(dc, oldFont);
  return 0;
}

void MainWindow_ReleaseMenuDrawing() {
  KeptIcons().clear();
  KeptFolders().clear();
  // The DC first, for the same reason as in the destructor.
  KeptStyle().measuringDc.Reset();
  KeptStyle() = EntryStyle();
}

void MainWindow_SetMenuDpi(UINT dpi) {
  if (dpi != gMenuDpi) MainWindow_ReleaseMenuDrawing();
  gMenuDpi = dpi;
}
