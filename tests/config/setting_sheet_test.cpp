// The settings sheet run in-process and worked from a second thread the way a
// user works it: what the pages show, what Apply, OK and Cancel leave in
// memory and in config.ini, the hotkey registered again after it; and the
// conversion between the hotkey control's flags and the stored ones.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/instance.h"
#include "config/config.h"
#include "config/setting_rules.h"
#include "config/setting_sheet.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/traymenu.h"
#include "resource.h"
#include "support/message_box.h"
#include "support/test_support.h"

namespace {

TEST(SettingRules, HotkeyFlagsConvertBothWaysAndDropWhatTheOtherSideCannotHold) {
  // {control flags, setting flags} that convert into each other exactly.
  const long pairs[][2] = {{0, 0}, {HOTKEYF_SHIFT, MOD_SHIFT}, {HOTKEYF_CONTROL, MOD_CONTROL}, {HOTKEYF_ALT, MOD_ALT},
                           {HOTKEYF_CONTROL | HOTKEYF_SHIFT, MOD_CONTROL | MOD_SHIFT}, {7, 7}};
  for (const auto& pair : pairs) {
    EXPECT_EQ(pair[1], Config_ModifiersFromHotkeyFlags(static_cast<BYTE>(pair[0]))) << pair[0];
    EXPECT_EQ(pair[0], Config_HotkeyFlagsFromModifiers(pair[1])) << pair[1];
  }
  EXPECT_EQ(MOD_ALT, Config_ModifiersFromHotkeyFlags(HOTKEYF_EXT | HOTKEYF_ALT | 0xF0));
  // {setting flags, control flags}: MOD_WIN and every higher bit go.
  const long dropped[][2] = {{MOD_WIN, 0}, {14, HOTKEYF_CONTROL | HOTKEYF_SHIFT}, {MOD_NOREPEAT | MOD_ALT, HOTKEYF_ALT},
                             {0x7FFFFFF8, 0}, {-1, 7}};
  for (const auto& pair : dropped) EXPECT_EQ(pair[1], Config_HotkeyFlagsFromModifiers(pair[0])) << pair[0];
  EXPECT_EQ(MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_SHIFT), Config_HotkeyControlValue(0x100 + 'Z', 14));
  long key = -1, modifiers = -1;
  Config_HotkeyFromControlValue(MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT), &key, &modifiers);
  EXPECT_EQ((std::vector<long>{'L', MOD_CONTROL | MOD_ALT}), (std::vector<long>{key, modifiers}));
  EXPECT_FALSE(Config_HotkeyControlDiffers(0, 0, 0)) << "a cleared control is the hotkey 0, 0";
  EXPECT_TRUE(Config_HotkeyControlDiffers(MAKEWORD('Z', 3), 'Z', 14)) << "the Windows key is a change";
}

constexpr int kApplyButton = 0x3021;
const wchar_t kRefusedBalloon[] = L"バルーン表示(ホットキーを登録できませんでした。";

void SetSettings(std::vector<long> values) {
  long* settings[] = {&longSupressDialogBeforeExecute, &longAutoCloseProgressWindow, &longHotkeyVirtualKey,
                      &longHotkeyModifiers, &longAdjustLaunchedWindowPattern, &longAdjustLaunchedWindowMoveBottom,
                      &longAdjustLaunchedWindowConfirmAtExecution};
  for (size_t i = 0; i < values.size(); ++i) *settings[i] = values[i];
}

// The six keys as config.ini holds them.
std::vector<std::wstring> StoredKeys() {
  const wchar_t* keys[][2] = {{L"CONTROL_SETTING", L"SUPRESS_DIALOG_BEFORE_EXECUTE"},
                              {L"CONTROL_SETTING", L"AUTOCLOSE_PROGRESS_WINDOW"},
                              {L"CONTROL_SETTING", L"HOTKEY_OPEN_LAUNCHER_WINDOW"},
                              {L"ADVANCED_SETTING", L"ADJUST_LAUNCHED_WINDOW_PATTERN"},
                              {L"ADVANCED_SETTING", L"ADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM"},
                              {L"ADVANCED_SETTING", L"ADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION"}};
  std::vector<std::wstring> values;
  for (const auto& key : keys) {
    wchar_t value[64];
    GetPrivateProfileStringW(key[0], key[1], L"(none)", value, 64, gTCHAR_Config_SettingFilePath);
    values.push_back(value);
  }
  return values;
}

HWND Page(HWND sheet, int index) {
  SendMessageW(sheet, PSM_SETCURSEL, index, 0);
  return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_INDEXTOHWND, index, 0));
}
bool ApplyEnabled(HWND sheet) { return IsWindowEnabled(GetDlgItem(sheet, kApplyButton)) != FALSE; }
void Click(HWND page, int id) { SendDlgItemMessageW(page, id, BM_CLICK, 0, 0); }
void SetHotkey(HWND page, WORD value) {
  SendDlgItemMessageW(page, IDC_CONFIG_HOTKEY, HKM_SETHOTKEY, value, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_HOTKEY, EN_CHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_CONFIG_HOTKEY)));
}

// What a preview picture shows: {a frame line across its middle row, a frame
// line down its middle column} over the area above the taskbar.
std::vector<bool> PictureLines(HBITMAP picture) {
  std::vector<DWORD> pixels(150 * 105);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 150, -105, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, picture, 0, 105, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  bool across = rows == 105, down = rows == 105;
  for (int x = 0; x < 150; ++x) across = across && (pixels[46 * 150 + x] & 0xFFFFFF) == 0x202020;
  for (int y = 0; y < 92; ++y) down = down && (pixels[y * 150 + 75] & 0xFFFFFF) == 0x202020;
  return {across, down};
}

class SettingSheet : public ::testing::Test {
 protected:
  // Returns the button (PSBTN_OK, PSBTN_CANCEL) that closes the sheet.
  using Script = std::function<int(HWND sheet)>;

  void SetUp() override {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    LoadLibraryW(L"riched20.dll");
    gHINSTANCE_WinMain_Instance = gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    wcscpy_s(gTCHAR_Config_SettingFilePath, (temp_ / L"config.ini").c_str());
    longWindowArrangementAvailable = 1;
    SetSettings({0, 0, 90, 6, 0, 0, 1});
  }
  void TearDown() override { gTCHAR_Config_SettingFilePath[0] = L'\0'; }

  // Runs `show` (the sheet, modal) on this thread while `script` works the
  // sheet from a second thread; returns what `show` returned.
  int Run(Script script, std::function<int()> show = Config_ShowSettingSheet) {
    std::atomic<bool> found{false};
    std::thread driver([&] {
      HWND sheet = nullptr;
      for (DWORD start = GetTickCount(); sheet == nullptr && GetTickCount() - start < 10000; Sleep(20)) {
        sheet = FindWindowW(L"#32770", L"設定");
      }
      if (sheet == nullptr) return;
      found = true;
      PostMessageW(sheet, PSM_PRESSBUTTON, script(sheet), 0);
    });
    const int result = show();
    driver.join();
    EXPECT_TRUE(found) << "the sheet never came";
    return result;
  }

  test::TempFolder temp_;
};

TEST_F(SettingSheet, CancelAtOnceRewritesTheSixKeysAndApplyThenCancelKeepsWhatWasApplied) {
  SetSettings({1, 0, 65, 3, 2, 1, 0});
  EXPECT_EQ(0, Run([](HWND) { return PSBTN_CANCEL; }));
  EXPECT_EQ((std::vector<std::wstring>{L"1", L"0", L"65, 3", L"2", L"1", L"0"}), StoredKeys());

  std::vector<bool> apply;
  EXPECT_EQ(0, Run([&](HWND sheet) {
    apply.push_back(ApplyEnabled(sheet));
    Click(Page(sheet, 0), IDC_CONFIG_AUTOCLOSE_PROGRESS);
    apply.push_back(ApplyEnabled(sheet));
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    apply.push_back(ApplyEnabled(sheet));
    return PSBTN_CANCEL;
  }));
  EXPECT_EQ((std::vector<bool>{false, true, false}), apply);
  EXPECT_EQ(1, longAutoCloseProgressWindow);
  EXPECT_EQ((std::vector<std::wstring>{L"1", L"1", L"65, 3", L"2", L"1", L"0"}), StoredKeys());
}

TEST_F(SettingSheet, TheWindowsKeyIsDroppedAndAClearedControlStoresNoHotkeyLeavingPage2sKeys) {
  SetSettings({0, 0, 90, 14, 2, 1, 0});
  LRESULT shown = 0;
  EXPECT_EQ(0, Run([&](HWND sheet) {
    shown = SendDlgItemMessageW(Page(sheet, 0), IDC_CONFIG_HOTKEY, HKM_GETHOTKEY, 0, 0);
    return PSBTN_OK;
  }));
  EXPECT_EQ(MAKEWORD('Z', HOTKEYF_CONTROL | HOTKEYF_SHIFT), shown) << "Ctrl+Shift+Z";
  EXPECT_EQ(L"90, 6", StoredKeys()[2]);

  bool applyOn = false;
  EXPECT_EQ(0, Run([&](HWND sheet) {
    SetHotkey(Page(sheet, 0), 0);
    applyOn = ApplyEnabled(sheet);
    return PSBTN_OK;
  }));
  EXPECT_TRUE(applyOn);
  EXPECT_EQ((std::vector<std::wstring>{L"0", L"0", L"0, 0", L"2", L"1", L"0"}), StoredKeys());
}

TEST_F(SettingSheet, WithoutArrangementPage2IsGreyedAndOkStoresZeroForItsBoxesButKeepsThePattern) {
  longWindowArrangementAvailable = 0;
  SetSettings({0, 0, 90, 6, 3, 1, 1});
  std::vector<int> enabled, shown, ticked;
  EXPECT_EQ(0, Run([&](HWND sheet) {
    HWND page = Page(sheet, 1);
    for (int id = 1021; id <= 1044; ++id) {
      HWND control = GetDlgItem(page, id);
      if (control == nullptr) continue;
      if (IsWindowEnabled(control)) enabled.push_back(id);
      if (IsWindowVisible(control)) shown.push_back(id);
      if (IsDlgButtonChecked(page, id) == BST_CHECKED) ticked.push_back(id);
    }
    return PSBTN_OK;
  }));
  EXPECT_EQ((std::vector<int>{1025, 1026, 1027, 1028, 1041, 1044}), enabled) << "only pictures and the note";
  EXPECT_EQ((std::vector<int>{1021, 1022, 1023, 1024, 1029, 1031, 1041, 1042, 1043, 1044}), shown);
  EXPECT_TRUE(ticked.empty());
  const std::vector<std::wstring> stored = StoredKeys();
  EXPECT_EQ((std::vector<std::wstring>{L"3", L"0", L"0"}), std::vector<std::wstring>(stored.begin() + 3, stored.end()));
}

TEST_F(SettingSheet, EachRadioShowsItsOwnPictureAndTickingTwiceLeavesApplyOnButChangesNothing) {
  std::vector<bool> apply;
  std::vector<std::vector<bool>> pictures;
  std::vector<long> afterApply;
  std::wstring terms(4096, L'\0');
  EXPECT_EQ(0, Run([&](HWND sheet) {
    terms.resize(GetWindowTextW(GetDlgItem(Page(sheet, 2), IDC_CONFIG_TERMS), &terms[0], 4096));
    HWND page = Page(sheet, 1);
    apply.push_back(ApplyEnabled(sheet));
    Click(page, IDC_CONFIG_MOVE_BOTTOM);
    Click(page, IDC_CONFIG_MOVE_BOTTOM);
    apply.push_back(ApplyEnabled(sheet));
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    afterApply = {longAdjustLaunchedWindowPattern, longAdjustLaunchedWindowMoveBottom,
                  longAdjustLaunchedWindowConfirmAtExecution};
    for (int radio : {0, IDC_CONFIG_PATTERN_VERTICAL, IDC_CONFIG_PATTERN_HORIZONTAL, IDC_CONFIG_PATTERN_TILE}) {
      if (radio != 0) Click(page, radio);
      std::vector<int> visible;
      for (int id : {1025, 1026, 1027, 1028, 1044}) {
        if (IsWindowVisible(GetDlgItem(page, id))) visible.push_back(id);
      }
      if (visible.size() != 1) return PSBTN_CANCEL;
      pictures.push_back(PictureLines(reinterpret_cast<HBITMAP>(
          SendDlgItemMessageW(page, visible[0], STM_GETIMAGE, IMAGE_BITMAP, 0))));
    }
    return PSBTN_CANCEL;
  }));
  EXPECT_EQ((std::vector<bool>{false, true}), apply);
  EXPECT_EQ((std::vector<long>{0, 0, 1}), afterApply);
  // A single window; 縦に並べる one above the other; 横に並べる side by side; tiles.
  EXPECT_EQ((std::vector<std::vector<bool>>{{false, false}, {true, false}, {false, true}, {true, true}}), pictures);
  EXPECT_EQ(0, longAdjustLaunchedWindowPattern) << "Cancel";
  // Four paragraphs of terms of use, each a line that begins with "・", then an empty line.
  std::vector<std::wstring> lines;
  for (size_t start = 0, end; (end = terms.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    lines.push_back(terms.substr(start, end - start));
  }
  ASSERT_EQ(5u, lines.size()) << terms;
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(lines[i].size() > 1 && lines[i][0] == L'・' && lines[i] != lines[(i + 1) % 4]);
  EXPECT_EQ(L"", lines[4]);
}

TEST_F(SettingSheet, ASecondRequestWhileOpenShowsNoSecondSheetAndAFailedSaveKeepsTheAppliedValues) {
  test::WriteBytes(temp_ / L"config.ini", "[CONTROL_SETTING]\r\n");
  HANDLE lock = CreateFileW(gTCHAR_Config_SettingFilePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  static std::atomic<int> second{1};
  SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    second = Config_ShowSettingSheet();
  });
  int sheets = 0;
  test::AsyncMessageBoxAnswer box(L"設定ファイル書き込みエラー", IDOK, 15000);
  EXPECT_EQ(-1, Run([&](HWND sheet) {
    for (DWORD start = GetTickCount(); second != 0 && GetTickCount() - start < 5000;) Sleep(10);
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", L"設定")) != nullptr;) ++sheets;
    Click(Page(sheet, 0), IDC_CONFIG_SUPRESS_CONFIRMATION);
    return PSBTN_OK;
  }));
  EXPECT_EQ(L"設定ファイルの書き込みに失敗しました。", box.Wait().text);
  CloseHandle(lock);
  EXPECT_EQ(0, second);
  EXPECT_EQ(1, sheets);
  EXPECT_EQ(1, longSupressDialogBeforeExecute) << "stays applied in memory";
  EXPECT_EQ("[CONTROL_SETTING]\r\n", test::ReadBytes(temp_ / L"config.ini"));
}

TEST_F(SettingSheet, ARefusedHotkeyIsReportedWithOneBalloonAClearedOneRegistersNothingAndNoneGoesToAGoneWindow) {
  test::ScopedTraceFlag trace(1);
  test::TraceRecorder records;
  gHWND_MainWindow_Handle = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(0, MainWindow_AddTaskTrayIcon());
  ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT, 'Z')) << "this test holds Ctrl+Shift+Z";
  Run([](HWND) { return PSBTN_OK; }, MainWindow_ShowSettingSheet);
  UnregisterHotKey(nullptr, 1);
  EXPECT_TRUE(records.Contains(3, L"RegisterHotKey()"));
  int balloons = 0;
  for (const auto& record : records.Records()) balloons += record.text.find(kRefusedBalloon) == 0 ? 1 : 0;
  EXPECT_EQ(1, balloons);
  EXPECT_EQ(L"90, 6", StoredKeys()[2]) << "saved all the same";

  records.Clear();
  Run([](HWND sheet) { SetHotkey(Page(sheet, 0), 0); return PSBTN_OK; }, MainWindow_ShowSettingSheet);
  EXPECT_FALSE(UnregisterHotKey(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_HOTKEY_ID)) << "nothing registered";

  longHotkeyVirtualKey = 'Z';
  Run([](HWND) {
    PostMessageW(gHWND_MainWindow_Handle, WM_CLOSE, 0, 0);
    for (DWORD start = GetTickCount(); IsWindow(gHWND_MainWindow_Handle) && GetTickCount() - start < 5000;) Sleep(10);
    return PSBTN_OK;
  }, MainWindow_ShowSettingSheet);
  EXPECT_FALSE(IsWindow(gHWND_MainWindow_Handle));
  for (const auto& record : records.Records()) {
    EXPECT_NE(3, record.level) << record.text;
    EXPECT_NE(0u, record.text.find(L"バルーン表示")) << record.text;
  }
  MainWindow_DeleteTaskTrayIcon();
  gHWND_MainWindow_Handle = nullptr;
}

}  // namespace
