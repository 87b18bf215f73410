#include "support/test_support.h"

#include <objbase.h>
#include <shlobj.h>

#include "base/handles.h"
#include "base/trace.h"

namespace test {

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(ARRAYSIZE(temp), temp);
  static unsigned counter = 0;
  for (;;) {
    wchar_t name[MAX_PATH + 64];
    swprintf(name, ARRAYSIZE(name), L"%lscorvanta-test-%lu-%u", temp, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryW(name, nullptr)) {
      path_ = name;
      return;
    }
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (search.Valid()) {
      do {
        std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
      } while (FindNextFileW(search.Get(), &entry));
    }
  }
  RemoveDirectoryW(path.c_str());
}

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void MakeFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  DWORD written = 0;
  WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadBytes(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::string();
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

std::string ToAnsi(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(length, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
  return bytes;
}

std::wstring FromAnsi(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &wide[0], length);
  return wide;
}

const std::vector<std::wstring>& DefaultSettingLines() {
  static const std::vector<std::wstring> lines = {
      L"; ----------",
      L"; Config.ini",
      L"; ----------",
      L"",
      L"; 確認ダイアログに関する設定",
      L"[CONTROL_SETTING]",
      L"; 実行前の確認画面を抑止する(0:OFF, 1ON)",
      L"SUPRESS_DIALOG_BEFORE_EXECUTE=0",
      L"; 実行後、処理詳細画面を自動で閉じる(0:OFF, 1ON)",
      L"AUTOCLOSE_PROGRESS_WINDOW=0",
      L"; メニューを開くホットキー（デフォルトでは90,6(Ctrl + SHIFT + Z)）",
      L"HOTKEY_OPEN_LAUNCHER_WINDOW=90, 6",
      L"",
      L"",
      L"; 高度なに関する設定",
      L"[ADVANCED_SETTING]",
      L"; 起動アプリケーションウィンドウの整列",
      L"; 0:整列しない(OS依存)、1:縦に並べる、2:横に並べる、3:タイル状に並べる",
      L"ADJUST_LAUNCHED_WINDOW_PATTERN=0",
      L"; アプリケーション起動後のウィンドウ制御(最背面で起動(0:OFF, 1ON))",
      L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0",
      L"; アプリケーション起動後のウィンドウ制御(実行時に確認画面を表示(0:OFF, 1ON))",
      L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1",
      L"",
  };
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
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring ShortcutTarget(const std::wstring& shortcutPath) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid())) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) ||
      FAILED(file->Load(shortcutPath.c_str(), STGM_READ))) {
    return std::wstring();
  }
  wchar_t target[MAX_PATH + 1] = L"";
  if (FAILED(link->GetPath(target, ARRAYSIZE(target), nullptr, SLGP_RAWPATH))) return std::wstring();
  return target;
}

bool MakeShortcut(const std::wstring& shortcutPath, const std::wstring& target) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.ReceiveVoid())) &&
         SUCCEEDED(link->SetPath(target.c_str())) &&
         SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) &&
         SUCCEEDED(file->Save(shortcutPath.c_str(), TRUE));
}

TraceRecorder::TraceRecorder() { Trace_SetSink(&TraceRecorder::Sink, this); }

TraceRecorder::~TraceRecorder() { Trace_SetSink(nullptr, nullptr); }

void TraceRecorder::Sink(int level, const wchar_t* prefix, const wchar_t* text, void* context) {
  static_cast<TraceRecorder*>(context)->records_.push_back(Record{level, prefix, text});
}

bool TraceRecorder::Contains(int level, const std::wstring& fragment) const {
  for (const Record& record : records_) {
    if (record.level == level && record.text.find(fragment) != std::wstring::npos) return true;
  }
  return false;
}

ScopedTraceFlag::ScopedTraceFlag(long value) : saved_(glong_WinMain_ForceTraceFlag) {
  glong_WinMain_ForceTraceFlag = value;
}

ScopedTraceFlag::~ScopedTraceFlag() { glong_WinMain_ForceTraceFlag = saved_; }

void PumpMessages(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

namespace {

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
  wchar_t name[16];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      GetClassNameW(window, name, ARRAYSIZE(name)) > 0 && lstrcmpW(name, L"#32768") == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HMENU MenuOfWindow(HWND menuWindow) {
  constexpr UINT kGetHMenu = 0x01E1;  // MN_GETHMENU
  DWORD_PTR menu = 0;
  SendMessageTimeoutW(menuWindow, kGetHMenu, 0, 0, SMTO_NORMAL, 5000, &menu);
  return reinterpret_cast<HMENU>(menu);
}

void Send(INPUT* inputs, UINT count) { SendInput(count, inputs, sizeof(INPUT)); }

}  // namespace

HWND FindOpenMenu() {
  HWND found = nullptr;
  EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND WaitForOpenMenu(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  HWND menu;
  while ((menu = FindOpenMenu()) == nullptr && GetTickCount() - start < timeoutMs) Sleep(20);
  return menu;
}

bool WaitForNoOpenMenu(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (FindOpenMenu() != nullptr) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

bool MenuEntryRect(HWND menuWindow, int position, RECT* rect) {
  HMENU menu = MenuOfWindow(menuWindow);
  return menu != nullptr && GetMenuItemRect(menuWindow, menu, static_cast<UINT>(position), rect);
}

int MenuEntryPosition(HWND menuWindow, UINT id) {
  HMENU menu = MenuOfWindow(menuWindow);
  const int count = menu != nullptr ? GetMenuItemCount(menu) : -1;
  for (int position = 0; position < count; ++position) {
    if (GetMenuItemID(menu, position) == id) return position;
  }
  return -1;
}

void ClickAt(POINT point) {
  // Absolute coordinates are in 1/65536 of the screen; the +1 keeps the
  // rounding from landing one pixel short.
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) input.type = INPUT_MOUSE;
  inputs[0].mi.dx = MulDiv(point.x, 65536, width) + 1;
  inputs[0].mi.dy = MulDiv(point.y, 65536, height) + 1;
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(inputs, 1);
  Sleep(50);
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  Send(&inputs[1], 1);
  Sleep(50);
  inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send(&inputs[2], 1);
}

void PressKey(WORD virtualKey) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  Send(inputs, 2);
}

}  // namespace test
