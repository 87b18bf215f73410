// The real program's tray entry 30 opens the settings sheet, and a hotkey
// changed there is in force as soon as OK has closed it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

TEST(SettingSheetRun, TheTrayEntryOpensTheSheetAndTheHotkeyChangedThereReplacesTheOldOneAtOk) {
  InstalledProgram program;
  program.Settle();
  RunningProgram running(program);
  ASSERT_TRUE(running.started);
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  // Down until the program traces entry 30 as highlighted (a key that goes astray is pressed again), then Enter.
  auto traced = [&](const wchar_t* last, const wchar_t* text) {  // the last `last` in the trace is followed by `text`
    const std::wstring log = program.TraceLog();
    const size_t at = log.rfind(last);
    return at != std::wstring::npos && log.compare(at + wcslen(last), wcslen(text), text) == 0;
  };
  auto settingsHighlighted = [&] { return traced(L"CurrentMenuId_work = ", L"30\r\n"); };
  for (int press = 0; press < 12 && !settingsHighlighted(); ++press) PressKey(VK_DOWN), WaitUntil(settingsHighlighted, 1500);
  PressKey(VK_RETURN);
  HWND sheet = WaitForWindow(L"#32770", L"設定", kStartTimeoutMs);
  ASSERT_NE(nullptr, sheet) << program.TraceLog();
  HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)), hotkey = GetDlgItem(page, IDC_CONFIG_HOTKEY);
  SendMessageW(hotkey, HKM_SETHOTKEY, MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_HOTKEY, EN_CHANGE), reinterpret_cast<LPARAM>(hotkey));
  PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  // Ctrl+Alt+L is taken once the program has registered it again; by then nobody holds Ctrl+Shift+Z.
  EXPECT_TRUE(WaitUntil([] { return !RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L') || !UnregisterHotKey(nullptr, 1); }, 20000));
  EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_SHIFT, 'Z') && UnregisterHotKey(nullptr, 2));
  bool opened = false;
  const BYTE keys[] = {VK_CONTROL, VK_MENU, 'L'};  // down in this order, up in the reverse
  for (int attempt = 0; attempt < 4 && !opened; ++attempt) {
    for (int i = 0; i < 6; ++i) keybd_event(keys[i < 3 ? i : 5 - i], 0, i < 3 ? 0 : KEYEVENTF_KEYUP, 0);
    opened = WaitUntil([&] { return traced(L"(int)wparam = ", L"100"); }, 3000);
  }
  EXPECT_TRUE(opened) << "Ctrl+Alt+L reaches the program's hotkey\n" << program.TraceLog();
  PressKey(VK_ESCAPE);
}

}  // namespace
