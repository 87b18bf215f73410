// The settings entry of the real program's tray menu: the sheet opens, and a
// hotkey changed there is in force as soon as OK has closed it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cwctype>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

// A visible window of `process` with this class and caption, or nullptr.
HWND WindowOf(DWORD process, const wchar_t* windowClass, const wchar_t* caption) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, windowClass, caption)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

HWND WaitForWindowOf(DWORD process, const wchar_t* windowClass, const wchar_t* caption, DWORD timeoutMs) {
  HWND window = nullptr;
  for (DWORD start = GetTickCount(); window == nullptr && GetTickCount() - start < timeoutMs; Sleep(20)) {
    window = WindowOf(process, windowClass, caption);
  }
  return window;
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.end(); key != keys.begin();) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST(SettingSheetRun, TheTrayEntryOpensTheSheetAndTheHotkeyChangedThereReplacesTheOldOneAtOk) {
  InstalledProgram program;
  program.Settle();
  ChildProcess running;
  ASSERT_TRUE(StartAndWaitForMainWindow(running, program.Exe(), L"DEBUG"));
  // Down until the settings entry is highlighted (the program traces each
  // highlight), then Enter: a key that goes astray is simply pressed again.
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  ASSERT_NE(nullptr, WaitForWindowOf(running.Id(), L"#32768", nullptr, kStartTimeoutMs));
  const std::wstring settingHighlighted = L"CurrentMenuId_work = 30";
  bool highlighted = false;
  for (int press = 0; press < 12 && !highlighted; ++press) {
    PressKeys({VK_DOWN});
    for (DWORD start = GetTickCount(); !highlighted && GetTickCount() - start < 1500; Sleep(20)) {
      const std::wstring log = program.TraceLog();
      const size_t last = log.rfind(L"CurrentMenuId_work = ");
      highlighted = last != std::wstring::npos && log.compare(last, settingHighlighted.size(), settingHighlighted) == 0 &&
                    !iswdigit(log[last + settingHighlighted.size()]);
    }
  }
  ASSERT_TRUE(highlighted) << program.TraceLog();
  PressKeys({VK_RETURN});
  HWND sheet = WaitForWindowOf(running.Id(), L"#32770", L"設定", kStartTimeoutMs);
  ASSERT_NE(nullptr, sheet) << program.TraceLog();

  HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  HWND hotkey = GetDlgItem(page, IDC_CONFIG_HOTKEY);
  SendMessageW(hotkey, HKM_SETHOTKEY, MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_HOTKEY, EN_CHANGE), reinterpret_cast<LPARAM>(hotkey));
  PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);

  // Ctrl+Alt+L is taken as soon as the program registers it again; by then
  // nothing holds Ctrl+Shift+Z any more, so it can open nothing.
  bool taken = false;
  for (DWORD start = GetTickCount(); !taken && GetTickCount() - start < kStartTimeoutMs; Sleep(20)) {
    taken = !RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L') && GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
    if (!taken) UnregisterHotKey(nullptr, 1);
  }
  EXPECT_TRUE(taken) << program.TraceLog();
  EXPECT_TRUE(RegisterHotKey(nullptr, 2, MOD_CONTROL | MOD_SHIFT, 'Z')) << "Ctrl+Shift+Z is free";
  UnregisterHotKey(nullptr, 2);
  EXPECT_NE(std::string::npos, ReadBytes(program.SettingFile()).find("HOTKEY_OPEN_LAUNCHER_WINDOW=76, 3"));

  HWND menu = nullptr;
  for (int attempt = 0; attempt < 4 && menu == nullptr; ++attempt) {
    PressKeys({VK_CONTROL, VK_MENU, 'L'});
    menu = WaitForWindowOf(running.Id(), L"#32768", nullptr, 3000);
  }
  EXPECT_NE(nullptr, menu) << "Ctrl+Alt+L opens the menu\n" << program.TraceLog();
  PressKeys({VK_ESCAPE});
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  EXPECT_EQ(0u, running.Wait(kStartTimeoutMs));
}

}  // namespace
