// The launch engine: run order, collection of the items under a chosen path,
// the progress dialog that launches them, and the arrangement of their windows.
#ifndef CORVANTA_LAUNCH_LAUNCH_H
#define CORVANTA_LAUNCH_LAUNCH_H

#include <windows.h>

constexpr size_t D_SIZE_LAUNCH_RUNORDER_NAME = 512;   // one order.ini line (511 read at a time)
constexpr size_t D_SIZE_LAUNCH_RUNORDER_PATH = 776;
constexpr size_t D_SIZE_LAUNCH_ITEM_PATH = 516;
constexpr const wchar_t* D_WSTR_LAUNCH_RUNORDER_FILE_NAME = L"order.ini";

// One line of a folder's order.ini; a singly linked list in file order.
struct RunOrderEntry {
  wchar_t name[D_SIZE_LAUNCH_RUNORDER_NAME];
  wchar_t fullPath[D_SIZE_LAUNCH_RUNORDER_PATH];
  RunOrderEntry* next;
};

// One shortcut to launch; the launch list in launch order.
struct LaunchItem {
  wchar_t path[D_SIZE_LAUNCH_ITEM_PATH];
  HINSTANCE instanceResult;  // hInstApp of the launch; > 32 is success
  HANDLE process;            // closed by Launch_FreeItemList
  DWORD processId;
  HWND window;               // first visible top-level window of the process
  LaunchItem* next;
};

// The one launch list of the process (empty between runs).
extern LaunchItem* gLaunchItem_Launch_ListHead;
extern LaunchItem* gLaunchItem_Launch_ListTail;
extern LaunchItem* gLaunchItem_Launch_Cursor;
extern long glong_Launch_ItemCount;

// Reads `folder`\order.ini into *list (none when missing or unreadable).  Always 0.
int RunOrder_Read(const wchar_t* folder, RunOrderEntry** list);
// 0 when some entry's name equals `name` exactly (case-sensitive), else -1.
int RunOrder_Find(const RunOrderEntry* list, const wchar_t* name);
// Frees every entry of a list from RunOrder_Read.
void RunOrder_Free(RunOrderEntry* list);

// Appends the shortcuts under `path` (a folder, walked in run order, or one
// item) to the list (*head, *tail) and adds their number to *count.  0, or -1
// when memory ran out (what was appended stays).
int Launch_CollectItems(const wchar_t* path, LaunchItem** head, LaunchItem** tail, long* count);
// Closes every record's process handle, frees the launch list, sets *count to 0.
int Launch_FreeItemList(long* count);

// Run modes of the progress dialog.
constexpr long D_LONG_LAUNCH_RUNMODE_TEST = 0;
constexpr long D_LONG_LAUNCH_RUNMODE_LAUNCH = 1;

// Runs `path` under the modal progress dialog; returns 0 when it has closed.
int Launch_RunWithProgress(HWND owner, const wchar_t* path, long runMode);
// Appends text at the end of the progress log and keeps it in view.
int Launch_AppendProgressLog(const wchar_t* text);

int Launch_ArrangeWindows(long pattern, long moveToBottom);
BOOL CALLBACK Launch_FindProcessWindow(HWND window, LPARAM record);
int Launch_ChooseArrangement(HWND owner);

#endif
