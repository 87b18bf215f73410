// The real program's tray entry 30 opens the settings sheet, and a hotkey
// changed there is in force as soon as OK has closed it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kStartTimeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition() && GetTickCount() - start < timeoutMs) Sleep(20);
  return condition();
}

TEST(SettingSheetRun, TheTrayEntryOpensTheSheetAndTheHotkeyChangedThereReplacesTheOldOneAtOk) {
  InstalledProgram program;
  ChildProcess running;
  program.Settle();
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG"));
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  // Down until the program traces entry 30 as highlighted (a key that goes astray is pressed again), then Enter.
  auto traced = [&](const wchar_t* last, const wchar_t* text) {  // the last `last` in the trace is followed by `text`
    const std::wstring log = program.TraceLog();
    const size_t at = log.rfind(last);
    return at != std::wstring::npos && log.compare(at + wcslen(last), wcslen(text), text) == 0;
  };
  auto settingsHighlighted = [&] { return traced(L"CurrentMenuId_work = ", L"30\r\n"); };
  for (int press = 0; press < 12 && !settingsHighlighted(); ++press) PressKey(VK_DOWN), WaitFor(settingsHighlighted, 1500);
  PressKey(VK_RETURN);
  HWND sheet = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (sheet = FindWindowW(L"#32770", L"設定")) != nullptr; })) << program.TraceLog();
  HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)), hotkey = GetDlgItem(page, IDC_CONFIG_HOTKEY);
  SendMessageW(hotkey, HKM_SETHOTKEY, MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_HOTKEY, EN_CHANGE), reinterpret_cast<LPARAM>(hotkey));
  PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  // Ctrl+Alt+L is taken once the program has registered it again; by then nobody holds Ctrl+Shift+Z.
  EXPECT_TRUE(WaitFor([] { return !RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L') || !UnregisterHotKey(nullptr, 1); }));
  EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_SHIFT, 'Z') && UnregisterHotKey(nullptr, 2));
  bool opened = false;
  const BYTE keys[] = {VK_CONTROL, VK_MENU, 'L'};  // down in this order, up in the reverse
  for (int attempt = 0; attempt < 4 && !opened; ++attempt) {
    for (int i = 0; i < 6; ++i) keybd_event(keys[i < 3 ? i : 5 - i], 0, i < 3 ? 0 : KEYEVENTF_KEYUP, 0);
    opened = WaitFor([&] { return traced(L"(int)wparam = ", L"100"); }, 3000);
  }
  EXPECT_TRUE(opened) << "Ctrl+Alt+L reaches the program's hotkey\n" << program.TraceLog();
  PressKey(VK_ESCAPE);
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
}

}  // namespace
