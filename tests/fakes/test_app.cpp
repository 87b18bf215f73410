// A small, predictable GUI program for launch and arrangement tests.
//
//   corvanta_test_app.exe [--tag NAME] [--idle-delay MS] [--hidden] [anything else]
//
// On start it writes "started-NAME.txt" (UTF-8) into its current folder: its
// command line, its current folder and the show command it was given, a line
// each.  It then shows a window titled "CorvantaTestApp NAME" (unless --hidden),
// waits --idle-delay milliseconds before its message loop (so WaitForInputIdle
// waits that long), and ends on WM_CLOSE or after two minutes.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY || message == WM_TIMER) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring tag = L"app";
  int idleDelay = 0;
  bool hidden = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--hidden") hidden = true;
    if (argument == L"--tag" && i + 1 < argc) tag = argv[++i];
    if (argument == L"--idle-delay" && i + 1 < argc) idleDelay = _wtoi(argv[++i]);
  }

  wchar_t folder[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::wstring text =
      std::wstring(GetCommandLineW()) + L"\n" + folder + L"\nshow=" + std::to_wstring(showCommand) + L"\n";
  char bytes[4096];
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof(bytes), nullptr, nullptr);
  HANDLE file = CreateFileW((L"started-" + tag + L".txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes, length > 0 ? length - 1 : 0, &written, nullptr);
  CloseHandle(file);

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.lpszClassName = L"CorvantaTestApp";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, (L"CorvantaTestApp " + tag).c_str(),
                                WS_OVERLAPPEDWINDOW, 50, 50, 320, 200, nullptr, nullptr, instance, nullptr);
  if (!hidden) ShowWindow(window, SW_SHOWNORMAL);
  SetTimer(window, 1, 120000, nullptr);
  if (idleDelay > 0) Sleep(static_cast<DWORD>(idleDelay));

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  LocalFree(argv);
  return 0;
}
