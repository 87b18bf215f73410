#include "launch/launch_fixture.h"

#include <commctrl.h>
#include <locale.h>
#include <objbase.h>
#include <shlobj.h>

#include "app/handles.h"
#include "app/text.h"
#include "app/winmain.h"
#include "config/config.h"
#include "resource.h"

namespace test {

void LaunchTest::SetUp() {
  setlocale(LC_ALL, ".ACP");
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"riched20.dll");
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  root_ = temp_ / L"ラウンチャーアイテムルート";
  MakeFolder(root_);
  Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
  longAutoCloseProgressWindow = 0;
  longAdjustLaunchedWindowPattern = 0;
  longAdjustLaunchedWindowMoveBottom = 0;
  longAdjustLaunchedWindowConfirmAtExecution = 0;
  longWindowArrangementAvailable = 0;
}

void LaunchTest::TearDown() {
  CloseTestApps();
  CoUninitialize();
}

std::wstring LaunchTest::Folder(const std::wstring& relative) {
  std::wstring path = root_ + L"\\" + relative;
  MakeFolder(path);
  return path;
}

std::wstring LaunchTest::MakeAppShortcut(const std::wstring& folder, const std::wstring& name, const std::wstring& tag,
                                         const std::wstring& extraArguments, const std::wstring& workingFolder) {
  const std::wstring path = folder + L"\\" + name;
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         link.ReceiveVoid())));
  link->SetPath(TestAppPath().c_str());
  link->SetArguments((L"--tag " + tag + (extraArguments.empty() ? L"" : L" " + extraArguments)).c_str());
  link->SetWorkingDirectory(workingFolder.empty() ? temp_.Path().c_str() : workingFolder.c_str());
  EXPECT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())));
  EXPECT_TRUE(SUCCEEDED(file->Save(path.c_str(), TRUE)));
  return path;
}

namespace {

struct TitleSearch {
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindByTitleInProcess(HWND window, LPARAM parameter) {
  TitleSearch* search = reinterpret_cast<TitleSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t title[256];
  if (owner == GetCurrentProcessId() && IsWindowVisible(window) && GetWindowTextW(window, title, 256) > 0 &&
      lstrcmpW(title, search->title) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitForTestApp(const std::wstring& tag, DWORD timeoutMs) {
  const std::wstring title = L"CorvantaTestApp " + tag;
  DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowW(L"CorvantaTestApp", title.c_str());
    if (window != nullptr || GetTickCount() - start > timeoutMs) return window;
    Sleep(20);
  }
}

HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    TitleSearch search = {caption, nullptr};
    EnumWindows(FindByTitleInProcess, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || GetTickCount() - start > timeoutMs) return search.found;
    Sleep(10);
  }
}

std::wstring LogText(HWND dialog) {
  HWND log = GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_LOG);
  const LRESULT length = SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(log, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(wcslen(text.c_str()));
  std::wstring lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      lines += L'\n';
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      lines += text[i];
    }
  }
  return lines;
}

bool WaitForLog(HWND dialog, const std::wstring& fragment, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (LogText(dialog).find(fragment) == std::wstring::npos) {
    if (GetTickCount() - start > timeoutMs || !IsWindow(dialog)) return false;
    Sleep(5);
  }
  return true;
}

void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool IsShown(HWND dialog, int id) { return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }

DialogDriver::DialogDriver(const wchar_t* caption, std::function<void(HWND)> script)
    : thread_([this, caption, script] {
        HWND dialog = WaitForDialog(caption, kDialogTimeoutMs);
        found_ = dialog != nullptr;
        if (found_) script(dialog);
      }) {}

DialogDriver::~DialogDriver() { Join(); }

void DialogDriver::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace test
