// The launcher item management dialog: its opening and closing, the dispatch
// of its messages, the confirmations, the button rule and dropped files.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "base/dpi.h"
#include "base/handles.h"
#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "itemmanager/itemmanager.h"
#include "itemmanager/itemmanager_module.h"
#include "resource.h"

HWND gHWND_ItemManager_Dialog = nullptr;
HWND gHWND_ItemManager_LabelEdit = nullptr;
wchar_t gTCHAR_ItemManager_NameBeforeEdit[D_SIZE_ITEMMANAGER_NAME] = L"";
HIMAGELIST gHIMAGELIST_ItemManager_ItemIcons = nullptr;
WNDPROC gWNDPROC_ItemManager_ItemListPrevProc = nullptr;
WNDPROC gWNDPROC_ItemManager_FolderTreePrevProc = nullptr;

LRESULT CALLBACK ItemManager_ItemListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ItemManager_FolderTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ItemManager_DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int ItemManager_UpdateButtons();

namespace {

// Posted when a label edit has ended: the rename and the rebuild of the views
// run after the list view has finished its notification, never inside it.
constexpr UINT kRenameAfterEdit = WM_APP + 1;
// Posted when the dialog has moved to a monitor of another DPI: the list is
// filled again once the dialog manager has scaled the controls.
constexpr UINT kRefillAfterDpiChange = WM_APP + 2;

bool gOpen = false;
// Set while the tree is rebuilt: its selection changes then mean nothing.
bool gRebuilding = false;
IconHandle gSmallIcon;
// The DPI the dialog's code-sized parts were made for.
UINT gDialogDpi = 0;
// The folder whose items the list shows.
wchar_t gListFolder[D_SIZE_ITEMMANAGER_PATH] = L"";
// What a label edit acts on, taken when it began.
struct Rename {
  bool valid = false;
  wchar_t folder[D_SIZE_ITEMMANAGER_PATH] = L"";
  ItemEntry entry = {};
  wchar_t newName[D_SIZE_ITEMMANAGER_NAME] = L"";
};
Rename gEdit;
Rename gPendingRename;

HWND Tree() { return GetDlgItem(gHWND_ItemManager_Dialog, IDC_ITEMMANAGER_TREE); }
HWND List() { return GetDlgItem(gHWND_ItemManager_Dialog, IDC_ITEMMANAGER_LIST); }

void CurrentFolder(wchar_t* path) {
  HTREEITEM node = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  ItemManager_GetNodePath(Tree(), node, path, D_SIZE_ITEMMANAGER_PATH);
}

// The selected row's entry, copied: nothing that runs under a box or a
// browse dialog can change what the command acts on.
bool SelectedEntry(ItemEntry* entry) {
  const ItemEntry* selected = ItemManager_EntryOfItem(List(), ItemManager_SelectedItem(List()));
  if (selected == nullptr) return false;
  *entry = *selected;
  return true;
}

void RefreshList() {
  CurrentFolder(gListFolder);
  ItemManager_FillItemList(List(), gListFolder);
  ItemManager_UpdateButtons();
}

void RefreshTree(const wchar_t* folderBefore) {
  gRebuilding = true;
  ItemManager_BuildFolderTree(Tree(), nullptr);
  HTREEITEM node = nullptr;
  ItemManager_FindNodeByPath(Tree(), folderBefore, &node);
  SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
  gRebuilding = false;
  RefreshList();
}

// Explorer runs without elevation and this program asks for it; the system
// would drop these three messages from a lower integrity level on the way.
void LetDropsThrough(HWND window) {
  for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), 0x0049u}) {
    if (!ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr)) {
      Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"ChangeWindowMessageFilterEx");
    }
  }
}

std::wstring Browse(UINT titleId, LPCITEMIDLIST root, UINT flags, BFFCALLBACK callback) {
  wchar_t title[D_SIZE_RESOURCE], path[MAX_PATH] = L"";
  Text_LoadString(titleId, title, D_SIZE_RESOURCE);
  BROWSEINFOW browse = {};
  browse.hwndOwner = gHWND_ItemManager_Dialog;
  browse.pidlRoot = root;
  browse.lpszTitle = title;
  browse.ulFlags = flags;
  browse.lpfn = callback;
  IdListHandle chosen(SHBrowseForFolderW(&browse));
  if (!chosen.Valid()) return std::wstring();
  if (!SHGetPathFromIDListW(chosen.Get(), path) || path[0] == L'\0') {
    Trace(TRACE_LEVEL_ERROR, L"選択された項目にはファイルシステム上のパスがないため使用しません");
    return std::wstring();
  }
  return path;
}

void OnRegister() {
  wchar_t folder[D_SIZE_ITEMMANAGER_PATH];
  CurrentFolder(folder);
  const std::wstring target = Browse(IDS_ITEMMANAGER_REGISTER_BROWSE_TITLE, nullptr, BIF_BROWSEINCLUDEFILES, nullptr);
  if (target.empty()) return;
  if (Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_REGISTER_TEXT, IDS_ITEMMANAGER_REGISTER_CAPTION,
                      MB_YESNO | MB_ICONQUESTION, target.c_str()) != IDYES) {
    return;
  }
  ItemManager_RegisterShortcut(folder, target.c_str());
  RefreshList();
}

void OnCreateFolder() {
  wchar_t folder[D_SIZE_ITEMMANAGER_PATH], name[D_SIZE_ITEMMANAGER_NAME];
  CurrentFolder(folder);
  if (ItemManager_CreateFolder(folder, name, D_SIZE_ITEMMANAGER_NAME) != 0) return;
  RefreshTree(folder);
  Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_FOLDER_MADE_TEXT, IDS_ITEMMANAGER_FOLDER_MADE_CAPTION,
                  MB_OK | MB_ICONINFORMATION, name);
  ItemManager_UpdateButtons();
}

void OnRename() {
  const int selected = ItemManager_SelectedItem(List());
  if (selected < 0) {
    Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_RENAME_NONE_TEXT, IDS_ITEMMANAGER_RENAME_NONE_CAPTION,
                    MB_OK | MB_ICONERROR);
    return;
  }
  SetFocus(List());
  SendMessageW(List(), LVM_EDITLABELW, static_cast<WPARAM>(selected), 0);
}

void OnMove() {
  ItemEntry entry;
  if (!SelectedEntry(&entry)) {
    Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_MOVE_NONE_TEXT, IDS_ITEMMANAGER_MOVE_NONE_CAPTION,
                    MB_OK | MB_ICONWARNING);
    return;
  }
  wchar_t folder[D_SIZE_ITEMMANAGER_PATH], below[D_SIZE_ITEMMANAGER_PATH];
  CurrentFolder(folder);
  IdListHandle root(ItemManager_GetIdListFromPath(gTCHAR_Config_LauncherItemRootPath));
  // Only folders of the file system, and a shortcut to a folder is not taken
  // for the folder it points at: neither may lead out of the root.
  const std::wstring destination = Browse(IDS_ITEMMANAGER_MOVE_BROWSE_TITLE, root.Get(),
                                          BIF_RETURNONLYFSDIRS | BIF_NOTRANSLATETARGETS, ItemManager_BrowseCallback);
  if (destination.empty() ||
      ItemManager_CheckDestination(gHWND_ItemManager_Dialog, destination.c_str(), below, D_SIZE_ITEMMANAGER_PATH) != 0) {
    return;
  }
  if (Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_MOVE_TEXT, IDS_ITEMMANAGER_MOVE_CAPTION,
                      MB_OKCANCEL | MB_ICONQUESTION, below) != IDOK) {
    return;
  }
  ItemManager_MoveItem(gHWND_ItemManager_Dialog, folder, entry, destination.c_str());
  RefreshTree(folder);
}

void OnDelete() {
  ItemEntry entry;
  wchar_t folder[D_SIZE_ITEMMANAGER_PATH], name[D_SIZE_ITEMMANAGER_NAME];
  if (!SelectedEntry(&entry) || !ItemManager_DisplayNameOf(entry.fileName, entry.isFolder, name, D_SIZE_ITEMMANAGER_NAME)) {
    Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_DELETE_NONE_TEXT, IDS_ITEMMANAGER_DELETE_NONE_CAPTION,
                    MB_OK | MB_ICONWARNING);
    return;
  }
  CurrentFolder(folder);
  if (Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_DELETE_TEXT, IDS_ITEMMANAGER_DELETE_CAPTION,
                      MB_OKCANCEL | MB_ICONQUESTION, name) != IDOK) {
    return;
  }
  ItemManager_DeleteItem(folder, entry);
  RefreshTree(folder);
}

void OnMoveInRunOrder(int direction) {
  if (ItemManager_MoveListItem(List(), direction) != 0) return;
  if (ItemManager_WriteRunOrder(List(), gListFolder) == 0) return;
  // The list would show an order the disk does not have.
  Text_MessageBox(gHWND_ItemManager_Dialog, IDS_ITEMMANAGER_ORDER_FAILED_TEXT, IDS_ITEMMANAGER_ORDER_FAILED_CAPTION,
                  MB_OK | MB_ICONWARNING, gListFolder);
  RefreshList();
}

void OnDoubleClick() {
  ItemEntry entry;
  wchar_t path[D_SIZE_ITEMMANAGER_PATH];
  if (SelectedEntry(&entry) && entry.isFolder &&
      Text_JoinPath(path, D_SIZE_ITEMMANAGER_PATH, gListFolder, entry.fileName) == 0) {
    HTREEITEM node = nullptr;
    ItemManager_FindNodeByPath(Tree(), path, &node);
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
  }
  ItemManager_UpdateButtons();
}

BOOL OnBeginLabelEdit(HWND dialog) {
  gHWND_ItemManager_LabelEdit = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETEDITCONTROL, 0, 0));
  GetWindowTextW(gHWND_ItemManager_LabelEdit, gTCHAR_ItemManager_NameBeforeEdit, D_SIZE_ITEMMANAGER_NAME);
  gEdit.valid = SelectedEntry(&gEdit.entry) && Text_Copy(gEdit.folder, D_SIZE_ITEMMANAGER_PATH, gListFolder) == 0;
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, FALSE);  // editing is always allowed
  return TRUE;
}

BOOL OnEndLabelEdit(HWND dialog, const NMLVDISPINFOW* info) {
  // A cancelled edit (Esc) brings no text: nothing is renamed.
  if (gEdit.valid && info->item.pszText != nullptr &&
      Text_Copy(gEdit.newName, D_SIZE_ITEMMANAGER_NAME, info->item.pszText) == 0) {
    gPendingRename = gEdit;
    PostMessageW(dialog, kRenameAfterEdit, 0, 0);
  }
  gEdit.valid = false;
  gHWND_ItemManager_LabelEdit = nullptr;
  // The label keeps its text; the views are filled from disk after the rename.
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, FALSE);
  return TRUE;
}

BOOL OnRenameAfterEdit() {
  if (!gPendingRename.valid) return TRUE;
  const Rename rename = gPendingRename;
  gPendingRename.valid = false;
  if (ItemManager_RenameItem(gHWND_ItemManager_Dialog, rename.folder, rename.entry, rename.newName) == 0) {
    wchar_t folder[D_SIZE_ITEMMANAGER_PATH];
    CurrentFolder(folder);
    RefreshTree(folder);
  }
  return TRUE;
}

BOOL OnInitDialog(HWND dialog) {
  gHWND_ItemManager_Dialog = dialog;
  gSmallIcon.Reset(static_cast<HICON>(
      LoadImageW(gHINSTANCE_WinMain_ResourceInstance, MAKEINTRESOURCEW(IDI_CORVANTA), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(gSmallIcon.Get()));
  HWND rootPath = GetDlgItem(dialog, IDC_ITEMMANAGER_ROOT_PATH);
  SendMessageW(rootPath, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
  SetWindowTextW(rootPath, gTCHAR_Config_LauncherItemRootPath);
  for (HWND window : {dialog, Tree(), List()}) LetDropsThrough(window);

  RefreshTree(gTCHAR_Config_LauncherItemRootPath);
  gWNDPROC_ItemManager_ItemListPrevProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ItemManager_ItemListProc)));
  gWNDPROC_ItemManager_FolderTreePrevProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(Tree(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ItemManager_FolderTreeProc)));
  DragAcceptFiles(List(), TRUE);
  gDialogDpi = Dpi_ForWindow(dialog);
  ShowWindow(dialog, SW_SHOW);
  return TRUE;
}

// Moved to a monitor of another DPI.  The dialog manager scales the dialog
// and its controls (FALSE lets its handling run); what code sized in pixels
// follows: the name column keeps its share of the list, and the list's icons
// are made again at the new size.
BOOL OnDpiChanged(HWND dialog, UINT dpi) {
  const int width = static_cast<int>(SendMessageW(List(), LVM_GETCOLUMNWIDTH, 0, 0));
  if (width > 0 && gDialogDpi != 0 && dpi != 0) {
    SendMessageW(List(), LVM_SETCOLUMNWIDTH, 0, MulDiv(width, static_cast<int>(dpi), static_cast<int>(gDialogDpi)));
  }
  gDialogDpi = dpi;
  PostMessageW(dialog, kRefillAfterDpiChange, 0, 0);
  return FALSE;
}

BOOL OnClose(HWND dialog) {
  ItemManager_DestroyItemIcons(List());
  EndDialog(dialog, 1);
  return TRUE;
}

BOOL OnCommand(WORD id) {
  switch (id) {
    case IDC_ITEMMANAGER_REGISTER: OnRegister(); return TRUE;
    case IDC_ITEMMANAGER_NEW_FOLDER: OnCreateFolder(); return TRUE;
    case IDC_ITEMMANAGER_RENAME: OnRename(); return TRUE;
    case IDC_ITEMMANAGER_MOVE: OnMove(); return TRUE;
    case IDC_ITEMMANAGER_DELETE: OnDelete(); return TRUE;
    case IDC_ITEMMANAGER_UP: OnMoveInRunOrder(ITEMMOVE_UP); return TRUE;
    case IDC_ITEMMANAGER_DOWN: OnMoveInRunOrder(ITEMMOVE_DOWN); return TRUE;
    case IDC_ITEMMANAGER_TOP: OnMoveInRunOrder(ITEMMOVE_TOP); return TRUE;
    case IDC_ITEMMANAGER_BOTTOM: OnMoveInRunOrder(ITEMMOVE_BOTTOM); return TRUE;
    case IDC_ITEMMANAGER_TEST_RUN: ItemManager_TestRun(gHWND_ItemManager_Dialog, List(), gListFolder); return TRUE;
    default: return FALSE;  // Enter and Esc (IDOK, IDCANCEL) do nothing
  }
}

BOOL OnNotify(HWND dialog, NMHDR* header) {
  if (header->idFrom == IDC_ITEMMANAGER_TREE && header->code == TVN_SELCHANGEDW) {
    if (!gRebuilding) RefreshList();
    return TRUE;
  }
  if (header->idFrom != IDC_ITEMMANAGER_LIST) return FALSE;
  switch (header->code) {
    case LVN_ITEMCHANGED: ItemManager_UpdateButtons(); return TRUE;
    case NM_DBLCLK: OnDoubleClick(); return TRUE;
    case LVN_BEGINLABELEDITW: return OnBeginLabelEdit(dialog);
    case LVN_ENDLABELEDITW: return OnEndLabelEdit(dialog, reinterpret_cast<NMLVDISPINFOW*>(header));
    case LVN_GETDISPINFOW: ItemManager_OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header), gListFolder); return TRUE;
    default: return FALSE;
  }
}

// Each dropped path is confirmed, owned by the window it was dropped on, and
// registered in the current folder, whichever tree node it landed on.
void OnDropFiles(HWND window, HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(DragQueryFileW(drop, index, &path[0], length + 1));
    if (path.size() >= MAX_PATH) {
      Tracef(TRACE_LEVEL_ERROR, L"パスが長すぎます(PATH=%ls)", path.c_str());
      Text_MessageBox(window, IDS_ITEMMANAGER_PATH_TOO_LONG_TEXT, IDS_ITEMMANAGER_REGISTER_ERROR_CAPTION,
                      MB_OK | MB_ICONWARNING, path.c_str());
      continue;
    }
    const int answer = Text_MessageBox(window, IDS_ITEMMANAGER_REGISTER_TEXT, IDS_ITEMMANAGER_REGISTER_CAPTION,
                                       MB_YESNOCANCEL | MB_ICONQUESTION, path.c_str());
    if (answer == IDCANCEL) break;
    if (answer != IDYES || !gOpen) continue;
    wchar_t folder[D_SIZE_ITEMMANAGER_PATH];
    CurrentFolder(folder);
    ItemManager_RegisterShortcut(folder, path.c_str());
    RefreshList();
  }
  DragFinish(drop);
}

}  // namespace

LPITEMIDLIST ItemManager_GetIdListFromPath(const wchar_t* path) {
  ComPtr<IShellFolder> desktop;
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetDesktopFolder(reinterpret_cast<IShellFolder**>(desktop.ReceiveVoid()))) ||
      FAILED(desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(path), nullptr, &list, nullptr))) {
    return nullptr;
  }
  return list;
}

int CALLBACK ItemManager_BrowseCallback(HWND, UINT message, LPARAM, LPARAM) {
  if (message == BFFM_SELCHANGED) Trace(TRACE_LEVEL_TRACE, L"BFFM_SELCHANGED");
  return 0;
}

int ItemManager_UpdateButtons() {
  HWND list = List();
  const ItemButtonStates states = ItemManager_ButtonRule(static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)),
                                                         ItemManager_SelectedItem(list));
  const struct {
    int id;
    bool enabled;
  } buttons[] = {
      {IDC_ITEMMANAGER_REGISTER, true},
      {IDC_ITEMMANAGER_NEW_FOLDER, true},
      {IDC_ITEMMANAGER_TEST_RUN, true},
      {IDC_ITEMMANAGER_DELETE, states.itemCommands},
      {IDC_ITEMMANAGER_RENAME, states.itemCommands},
      {IDC_ITEMMANAGER_MOVE, states.itemCommands},
      {IDC_ITEMMANAGER_UP, states.upAndTop},
      {IDC_ITEMMANAGER_TOP, states.upAndTop},
      {IDC_ITEMMANAGER_DOWN, states.downAndBottom},
      {IDC_ITEMMANAGER_BOTTOM, states.downAndBottom},
  };
  for (const auto& button : buttons) EnableWindow(GetDlgItem(gHWND_ItemManager_Dialog, button.id), button.enabled);
  return 0;
}

LRESULT CALLBACK ItemManager_ItemListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES) {
    OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  return CallWindowProcW(gWNDPROC_ItemManager_ItemListPrevProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ItemManager_FolderTreeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES) {
    OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  return CallWindowProcW(gWNDPROC_ItemManager_FolderTreePrevProc, window, message, wParam, lParam);
}

INT_PTR CALLBACK ItemManager_DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_CLOSE: return OnClose(dialog);
    case WM_COMMAND: return OnCommand(LOWORD(wParam));
    case WM_NOTIFY: return OnNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
    case WM_DROPFILES: OnDropFiles(dialog, reinterpret_cast<HDROP>(wParam)); return TRUE;
    case kRenameAfterEdit: return OnRenameAfterEdit();
    case WM_DPICHANGED: return OnDpiChanged(dialog, HIWORD(wParam));
    case kRefillAfterDpiChange: RefreshList(); return TRUE;
    default: return FALSE;
  }
}

int ItemManager_ShowDialog() {
  TRACE_SCOPE();
  // One dialog at a time: its state exists once in the process.
  if (gOpen) {
    if (gHWND_ItemManager_Dialog != nullptr) SetForegroundWindow(gHWND_ItemManager_Dialog);
    return 0;
  }
  gOpen = true;
  const INT_PTR result = DialogBoxParamW(gHINSTANCE_WinMain_ResourceInstance, MAKEINTRESOURCEW(IDD_ITEMMANAGER),
                                         gHWND_MainWindow_Handle, ItemManager_DialogProc, 0);
  if (result == -1) Trace_ReportLastError(TRACE_FRAME_EXTERNAL, L"DialogBox");
  gOpen = false;
  gHWND_ItemManager_Dialog = gHWND_ItemManager_LabelEdit = nullptr;
  gWNDPROC_ItemManager_ItemListPrevProc = gWNDPROC_ItemManager_FolderTreePrevProc = nullptr;
  gEdit.valid = gPendingRename.valid = false;
  gSmallIcon.Reset();
  return 0;
}
