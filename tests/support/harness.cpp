// The test harness (support/test_support.h).
#include <windows.h>
#include <commctrl.h>
#include <locale.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>

#include "base/instance.h"
#include "config/config.h"
#include "support/test_support.h"
#include "mainwindow/mainwindow.h"
#include "resource.h"

namespace test {
namespace {

// The visible top-level windows of this class, title and process (any title when empty, any process when 0).
std::vector<HWND> TopLevelWindows(const wchar_t* windowClass, const std::wstring& title, DWORD processId) {
  std::vector<HWND> windows;
  const wchar_t* text = title.empty() ? nullptr : title.c_str();
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, windowClass, text)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (IsWindowVisible(window) && (processId == 0 || owner == processId)) windows.push_back(window);
  }
  return windows;
}

HWND FindTopLevelWindow(const wchar_t* windowClass, const std::wstring& title, DWORD processId) {
  const std::vector<HWND> windows = TopLevelWindows(windowClass, title, processId);
  return windows.empty() ? nullptr : windows.front();
}

HWND WaitForHandle(const std::function<HWND()>& find, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = find()) != nullptr; }, timeoutMs);
  return found;
}

std::wstring WindowText(HWND window) {
  std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
  text.resize(GetWindowTextW(window, &text[0], static_cast<int>(text.size())));
  return text;
}

bool NewShellLink(ComPtr<IShellLinkW>& link, ComPtr<IPersistFile>& file) {
  return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.ReceiveVoid())) &&
         SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()));
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  for (const DWORD start = GetTickCount(); !condition(); Sleep(10)) {
    if (GetTickCount() - start > timeoutMs) return condition();
  }
  return true;
}

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(ARRAYSIZE(temp), temp);
  static unsigned counter = 0;
  do {
    path_ = temp + (L"corvanta-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  } while (!CreateDirectoryW(path_.c_str(), nullptr));
}

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return (void)DeleteFileW(path.c_str());
  WIN32_FIND_DATAW entry;
  FindHandle search((attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? INVALID_HANDLE_VALUE
                                                                 : FindFirstFileW((path + L"\\*").c_str(), &entry));
  for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &entry)) {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
  }
  RemoveDirectoryW(path.c_str());
}

bool FileExists(const std::wstring& path) { return (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) == 0; }

bool FolderExists(const std::wstring& path) { return PathIsDirectoryW(path.c_str()) != FALSE; }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream file(path.c_str(), std::ios::binary);
  file << bytes;
}

std::string ReadBytes(const std::wstring& path) {  // shared: a running program may still be writing it
  std::ifstream file(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ToAnsi(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

std::wstring Widen(UINT codePage, const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  text.resize(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0],
                                  static_cast<int>(text.size())));
  return text;
}

std::wstring FromAnsi(const std::string& bytes) { return Widen(CP_ACP, bytes); }  // the picture driver's

std::wstring FromUtf8(const std::string& bytes) { return Widen(CP_UTF8, bytes); }

const std::vector<std::wstring>& DefaultSettingLines() {
  static const std::vector<std::wstring> lines = {
      L"; ----------", L"; Config.ini", L"; ----------", L"", L"; 確認ダイアログに関する設定", L"[CONTROL_SETTING]",
      L"; 実行前の確認画面を抑止する(0:OFF, 1ON)", L"SUPRESS_DIALOG_BEFORE_EXECUTE=0",
      L"; 実行後、処理詳細画面を自動で閉じる(0:OFF, 1ON)", L"AUTOCLOSE_PROGRESS_WINDOW=0",
      L"; メニューを開くホットキー（デフォルトでは90,6(Ctrl + SHIFT + Z)）", L"HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6", L"",
      L"", L"; 高度なに関する設定", L"[ADVANCED_SETTING]", L"; 起動アプリケーションウィンドウの整列",
      L"; 0:整列しない(OS依存)、1:縦に並べる、2:横に並べる、3:タイル状に並べる", L"ADJUST_LAUNCHED_WINDOW_PATTERN=0",
      L"; アプリケーション起動後のウィンドウ制御(最背面で起動(0:OFF, 1ON))", L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0",
      L"; アプリケーション起動後のウィンドウ制御(実行時に確認画面を表示(0:OFF, 1ON))",
      L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1", L""};
  return lines;
}

std::vector<std::wstring> SettingLinesWith(const std::wstring& key, const wchar_t* value) {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : DefaultSettingLines()) {
    if (line.compare(0, key.size() + 1, key + L"=") != 0) lines.push_back(line);
    else if (value != nullptr) lines.push_back(key + L"=" + value);
  }
  return lines;
}

std::string SettingFileBytes(const std::vector<std::wstring>& lines) {
  std::string bytes;
  for (const std::wstring& line : lines) bytes += ToAnsi(line) + "\r\n";
  return bytes;
}

std::wstring BinFolder() {
  wchar_t path[MAX_PATH + 1];
  GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
  *wcsrchr(path, L'\\') = L'\0';
  return path;
}

bool Host(const std::wstring& command, const std::wstring& path, const std::wstring& target) {
  typedef char*(CDECL * ToUnix)(const wchar_t*);
  const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring arguments = command.substr(3);  // "ln -s" runs Z:\bin\ln with "-s"
  for (const std::wstring* windowsPath : {&target, &path}) {
    if (!windowsPath->empty()) arguments += L" \"" + FromUtf8(toUnix(windowsPath->c_str())) + L"\"";  // left to leak
  }
  ChildProcess process;
  process.Start(L"Z:\\bin\\" + command.substr(0, 2), arguments);
  return WaitUntil([&] { return (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == !target.empty(); },
                   5000);
}

std::wstring ShortcutTarget(const std::wstring& shortcutPath) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  wchar_t target[MAX_PATH + 1] = L"";
  const bool read = NewShellLink(link, file) && SUCCEEDED(file->Load(shortcutPath.c_str(), STGM_READ)) &&
                    SUCCEEDED(link->GetPath(target, ARRAYSIZE(target), nullptr, SLGP_RAWPATH));
  return read ? target : L"";
}

bool MakeShortcut(const std::wstring& shortcutPath, const std::wstring& target, const std::wstring& arguments,
                  const std::wstring& directory, DWORD linkFlags) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  ComPtr<IShellLinkDataList> data;
  DWORD flags = 0;
  return NewShellLink(link, file) && SUCCEEDED(link->SetPath(target.c_str())) &&
         SUCCEEDED(link->SetArguments(arguments.c_str())) && SUCCEEDED(link->SetWorkingDirectory(directory.c_str())) &&
         SUCCEEDED(link->QueryInterface(IID_IShellLinkDataList, data.ReceiveVoid())) &&
         SUCCEEDED(data->GetFlags(&flags)) && SUCCEEDED(data->SetFlags(flags | linkFlags)) &&
         SUCCEEDED(file->Save(shortcutPath.c_str(), TRUE));
}

void PumpMessages(DWORD milliseconds) {
  WaitUntil([] {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); DispatchMessageW(&message)) {
      TranslateMessage(&message);
    }
    return false;
  }, milliseconds);
}

void PrepareUi() {
  setlocale(LC_ALL, ".ACP");
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"riched20.dll");
  gHINSTANCE_WinMain_Instance = gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
}

long* const kSettings[] = {&longSupressDialogBeforeExecute, &longAutoCloseProgressWindow, &longHotkeyVirtualKey,
                           &longHotkeyModifiers, &longAdjustLaunchedWindowPattern, &longAdjustLaunchedWindowMoveBottom,
                           &longAdjustLaunchedWindowConfirmAtExecution, &longWindowArrangementAvailable};

void SetSettings(const std::vector<long>& values) {
  for (size_t i = 0; i < values.size(); ++i) *kSettings[i] = values[i];
}

std::vector<long> Settings() {
  std::vector<long> values;
  for (int i = 0; i < 7; ++i) values.push_back(*kSettings[i]);
  return values;
}

std::wstring ProgressLog(HWND dialog) {
  wchar_t text[8192] = L"";
  GetDlgItemTextW(dialog, IDC_LAUNCH_PROGRESS_LOG, text, 8192);
  std::wstring lines = text;
  lines.erase(std::remove(lines.begin(), lines.end(), L'\n'), lines.end());
  std::replace(lines.begin(), lines.end(), L'\r', L'\n');
  return lines;
}

bool WaitForProgressLog(HWND dialog, const std::wstring& fragment, DWORD timeoutMs) {
  const auto logged = [&] { return ProgressLog(dialog).find(fragment) != std::wstring::npos; };
  return WaitUntil([&] { return !IsWindow(dialog) || logged(); }, timeoutMs) && logged();
}

MENUITEMINFOW MenuEntry(HMENU menu, int position) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
  return item;
}

std::vector<HWND> OpenMenus(DWORD processId) { return TopLevelWindows(L"#32768", L"", processId); }

HWND FindOpenMenu() { return FindTopLevelWindow(L"#32768", L"", GetCurrentProcessId()); }

HWND WaitForOpenMenu(DWORD timeoutMs) { return WaitForHandle(FindOpenMenu, timeoutMs); }

bool MenuEntryRect(HWND menuWindow, int position, RECT* rect) {
  DWORD_PTR menu = 0;  // MN_GETHMENU
  SendMessageTimeoutW(menuWindow, 0x01E1, 0, 0, SMTO_NORMAL, 5000, &menu);
  return menu != 0 && GetMenuItemRect(menuWindow, reinterpret_cast<HMENU>(menu), static_cast<UINT>(position), rect);
}

void MouseAt(POINT point, DWORD button) {
  // Absolute coordinates are in 1/65536 of the screen; the +1 keeps the rounding from landing one pixel short.
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button, MulDiv(point.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1,
              MulDiv(point.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1, 0, 0);
}

void ClickAt(POINT point) {
  for (DWORD button : {0ul, DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
    MouseAt(point, button);
    Sleep(50);  // a hand pauses
  }
}

void PressKey(WORD virtualKey) {
  keybd_event(static_cast<BYTE>(virtualKey), 0, 0, 0);
  keybd_event(static_cast<BYTE>(virtualKey), 0, KEYEVENTF_KEYUP, 0);
}

void PressKeys(std::initializer_list<WORD> keys) {
  for (WORD key : keys) {
    PressKey(key);
    Sleep(150);  // lets a menu open its submenu before the next key
  }
}

HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& title, DWORD timeoutMs, DWORD processId) {
  return WaitForHandle([&] { return FindTopLevelWindow(windowClass, title, processId); }, timeoutMs);
}

SeenMessageBox AnswerMessageBox(const std::wstring& caption, int button, DWORD timeoutMs, DWORD processId) {
  HWND box = WaitForWindow(L"#32770", caption, timeoutMs, processId);
  if (box == nullptr) return SeenMessageBox();
  SeenMessageBox seen = {true, WindowText(box), WindowText(GetDlgItem(box, 0xFFFF)),
                         static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE)), GetWindow(box, GW_OWNER)};
  // Posted, not sent: the box may belong to another process or a busy thread.
  Press(box, button);
  WaitUntil([box] { return !IsWindow(box); }, 5000);
  return seen;
}

DialogDriver::DialogDriver(std::wstring caption, std::function<void(HWND)> script)
    : thread_([this, caption, script] {
        HWND dialog = nullptr;
        WaitUntil([&] {
          return stop_ || (dialog = FindTopLevelWindow(L"#32770", caption, GetCurrentProcessId())) != nullptr;
        }, 15000);
        if ((found = dialog != nullptr)) script(dialog);
      }) {}

SeenMessageBox AnswerBoxDuring(const std::wstring& caption, int button, const std::function<void()>& action) {
  SeenMessageBox seen;
  std::atomic<bool> done{false};
  DialogDriver answer(caption, [&](HWND) { seen = AnswerMessageBox(caption, button, 0, GetCurrentProcessId()); });
  // A box under another caption would hold the action for ever: after 15 s every message box of this process
  // is answered, so that the test fails on what it saw instead of hanging until its time-out.
  std::thread rescue([&] {
    if (WaitUntil([&] { return done.load(); }, 15000)) return;
    WaitUntil([&] {
      for (HWND box : TopLevelWindows(L"#32770", L"", GetCurrentProcessId())) {
        if (GetDlgItem(box, 0xFFFF) != nullptr) Press(box, button);
      }
      return done.load();
    }, 60000);
  });
  action();
  done = true;
  rescue.join();
  answer.Finish();
  return seen;
}

QueueBarrier::QueueBarrier() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message == WM_APP) SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    return DefWindowProcW(window, message, wParam, lParam);
  };
  windowClass.lpszClassName = L"CorvantaTestBarrier";
  RegisterClassW(&windowClass);
  window_ = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

bool QueueBarrier::Pass() const {
  const LONG_PTR before = GetWindowLongPtrW(window_, GWLP_USERDATA);
  PostMessageW(window_, WM_APP, 0, 0);
  return WaitUntil([&] { return GetWindowLongPtrW(window_, GWLP_USERDATA) > before; }, 15000);
}

bool ChildProcess::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder) {
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  const std::wstring current = folder.empty() ? exe.substr(0, exe.find_last_of(L'\\')) : folder;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  const bool started = CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      current.c_str(), &startup, &info) != FALSE;
  if (!started) return false;
  CloseHandle(info.hThread);
  process_.Reset(info.hProcess);
  id_ = info.dwProcessId;
  return true;
}

DWORD ChildProcess::Wait(DWORD timeoutMs) {
  DWORD code = kStillRunning;
  const bool ended = process_.Valid() && WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
  if (ended) GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void ChildProcess::Kill() {
  if (process_.Valid()) TerminateProcess(process_.Get(), 99);  // refused harmlessly once it has ended
  Wait(5000);
  process_.Reset();
}

HWND WaitForMainWindow(DWORD timeoutMs) {
  return WaitForHandle([] { return FindWindowW(nullptr, D_WSTR_MAINWINDOW_TITLE); }, timeoutMs);
}

void CloseTestApps() {
  WaitUntil([] {
    HWND app = FindWindowW(L"CorvantaTestApp", nullptr);
    if (app != nullptr) PostMessageW(app, WM_CLOSE, 0, 0);
    return app == nullptr;
  }, 10000);
}


}  // namespace test
