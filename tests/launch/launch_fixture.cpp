#include "launch/launch_fixture.h"

#include <commctrl.h>
#include <locale.h>
#include <objbase.h>
#include <shlobj.h>

#include "base/handles.h"
#include "base/text.h"
#include "app/winmain.h"
#include "config/config.h"
#include "launch/launch.h"
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
  longAutoCloseProgressWindow = longAdjustLaunchedWindowPattern = longAdjustLaunchedWindowMoveBottom = 0;
  longAdjustLaunchedWindowConfirmAtExecution = longWindowArrangementAvailable = 0;
}

void LaunchTest::TearDown() {
  CloseTestApps();
  CoUninitialize();
}

std::wstring LaunchTest::Folder(const std::wstring& relative) {
  MakeFolder(root_ + L"\\" + relative);
  return root_ + L"\\" + relative;
}

std::wstring LaunchTest::MakeAppShortcut(const std::wstring& folder, const std::wstring& name, const std::wstring& tag,
                                         const std::wstring& extraArguments, const std::wstring& workingFolder,
                                         DWORD linkFlags) {
  const std::wstring path = folder + L"\\" + name;
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         link.ReceiveVoid())));
  link->SetPath(TestAppPath().c_str());
  link->SetArguments((L"--tag " + tag + L" " + extraArguments).c_str());
  link->SetWorkingDirectory(workingFolder.empty() ? temp_.Path().c_str() : workingFolder.c_str());
  ComPtr<IShellLinkDataList> data;
  DWORD flags = 0;
  EXPECT_TRUE(SUCCEEDED(link->QueryInterface(IID_IShellLinkDataList, data.ReceiveVoid())) &&
              SUCCEEDED(data->GetFlags(&flags)) && SUCCEEDED(data->SetFlags(flags | linkFlags)));
  EXPECT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())));
  EXPECT_TRUE(SUCCEEDED(file->Save(path.c_str(), TRUE)));
  return path;
}

RunEnd LaunchTest::RunAndClose(const std::wstring& path, long runMode, const std::wstring& fragment,
                               std::function<void(HWND)> script) {
  RunEnd end;
  DialogDriver driver(L"Launch Progress", [&](HWND dialog) {
    WaitForLog(dialog, fragment);
    if (script) script(dialog);
    Sleep(50);
    end.log = LogText(dialog);
    end.closeShown = IsShown(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
    end.position = SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETPOS, 0, 0);
    end.upper = SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0);
    Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
  });
  EXPECT_EQ(0, Launch_RunWithProgress(nullptr, path.c_str(), runMode));
  driver.Join();
  EXPECT_TRUE(driver.found) << "no progress dialog";
  return end;
}

HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  HWND window;
  while (!IsWindowVisible(window = FindWindowW(windowClass, title.c_str())) && GetTickCount() - start < timeoutMs) {
    Sleep(10);
  }
  return IsWindowVisible(window) ? window : nullptr;
}

std::wstring LogText(HWND dialog) {
  HWND log = GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_LOG);
  std::wstring text(GetWindowTextLengthW(log) + 1, L'\0'), lines;
  text.resize(GetWindowTextW(log, &text[0], static_cast<int>(text.size())));
  // The control gives a line break as "\r" or "\r\n".
  for (wchar_t c : text) {
    if (c != L'\n') lines += c == L'\r' ? L'\n' : c;
  }
  return lines;
}

bool WaitForLog(HWND dialog, const std::wstring& fragment) {
  const DWORD start = GetTickCount();
  while (LogText(dialog).find(fragment) == std::wstring::npos) {
    if (GetTickCount() - start > kDialogTimeoutMs || !IsWindow(dialog)) return false;
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
        HWND dialog = WaitForWindow(L"#32770", caption, kDialogTimeoutMs);
        found = dialog != nullptr;
        if (found) script(dialog);
      }) {}

}  // namespace test
