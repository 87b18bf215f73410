// Measuring and drawing the owner-drawn launcher entries: the shell's icon
// and the item's name.
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
  // Through its COM interface: the image list belongs to the shell's copy of
  // the common controls, which need not be the one this program loaded.
  ComPtr<IImageList> large;
  if (folder == nullptr || FAILED(SHGetImageList(SHIL_LARGE, __uuidof(IImageList), large.ReceiveVoid()))) {
    return nullptr;
  }
  wchar_t name[D_SIZE_RESOURCE];
  MainWindow_GetNodeText(node, name, D_SIZE_RESOURCE);
  LPITEMIDLIST ids = nullptr;
  if (FAILED(folder->ParseDisplayName(nullptr, nullptr, name, nullptr, &ids, nullptr))) return nullptr;
  IdListHandle child(ids);
  const int index = SHMapPIDLToSystemImageListIndex(folder, child.Get(), nullptr);
  HICON icon = nullptr;
  if (index < 0 || FAILED(large->GetIcon(index, ILD_NORMAL, &icon))) return nullptr;
  return icon;
}

// The device context names are measured on, kept for the opening: the menu
// measures every entry of a submenu before showing it, and a window's DC
// fetched and given back per entry cost more than the measuring.  A memory DC
// has the same default font as the main window's.
MemoryDcHandle& KeptMeasuringDc() {
  static MemoryDcHandle dc;
  return dc;
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
  if (!KeptMeasuringDc().Valid()) KeptMeasuringDc().Reset(CreateCompatibleDC(nullptr));
  SIZE size = {};
  if (KeptMeasuringDc().Valid()) {
    GetTextExtentPoint32W(KeptMeasuringDc().Get(), text, static_cast<int>(wcslen(text)), &size);
  } else {
    HDC dc = GetDC(window);
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    ReleaseDC(window, dc);
  }
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

void MainWindow_ReleaseMenuDrawing() {
  KeptIcons().clear();
  KeptFolders().clear();
  KeptMeasuringDc().Reset();
}
