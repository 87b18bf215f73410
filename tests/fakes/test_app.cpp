// A small, predictable GUI program that the launch tests start through shortcuts:
//   corvanta_test_app.exe [--tag NAME] [--idle-delay MS] [--hidden] [anything else]
// It writes "started-NAME.txt" into its current folder (UTF-8: its command line, current folder and show
// command, a line each), shows a window titled "CorvantaTestApp NAME" (unless --hidden), waits --idle-delay
// ms before its message loop (so WaitForInputIdle waits that long), ends on a posted WM_CLOSE or in two minutes.
#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring tag = L"app";
  int idleDelay = 0;
  for (int i = 1; i + 1 < argc; ++i) {
    if (wcscmp(argv[i], L"--tag") == 0) tag = argv[i + 1];
    if (wcscmp(argv[i], L"--idle-delay") == 0) idleDelay = _wtoi(argv[i + 1]);
  }
  wchar_t folder[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::wstring text = std::wstring(GetCommandLineW()) + L"\n" + folder + L"\nshow=" + std::to_wstring(showCommand) + L"\n";
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                   static_cast<int>(bytes.size()), nullptr, nullptr));
  std::ofstream((L"started-" + tag + L".txt").c_str(), std::ios::binary) << bytes;  // closed before the window

  const WNDCLASSW windowClass = {0, DefWindowProcW, 0, 0, instance, nullptr, nullptr, nullptr, nullptr,
                                 L"CorvantaTestApp"};
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, (L"CorvantaTestApp " + tag).c_str(), WS_OVERLAPPEDWINDOW,
                                50, 50, 320, 200, nullptr, nullptr, instance, nullptr);
  if (wcsstr(GetCommandLineW(), L" --hidden") == nullptr) ShowWindow(window, SW_SHOWNORMAL);
  SetTimer(nullptr, 0, 120000, nullptr);
  Sleep(static_cast<DWORD>(idleDelay));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_CLOSE && message.message != WM_TIMER) {
    DispatchMessageW(&message);
  }
  return 0;
}
