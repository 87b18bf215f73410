// The settings sheet worked from a second thread as a user works it: what its pages show, what
// Apply, OK and Cancel leave in config.ini, a save that fails, the hotkey after it.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "config/config.h"
#include "settings/setting_sheet.h"
#include "mainwindow/traymenu.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;

std::string Stored() {  // the values of config.ini's key lines, in file order, each followed by "|"
  std::string bytes = ReadBytes(gTCHAR_Config_SettingFilePath), values;
  for (size_t at = 0; (at = bytes.find('=', at)) != std::string::npos; ++at) values += bytes.substr(at + 1, bytes.find("\r\n", at) - at - 1) + "|";
  return values;
}
HWND Page(HWND sheet, int index) { return PropSheet_SetCurSel(sheet, nullptr, index), PropSheet_IndexToHwnd(sheet, index); }
bool ApplyEnabled(HWND sheet) { return IsWindowEnabled(GetDlgItem(sheet, 0x3021)) != FALSE; }
void Click(HWND page, int id) { SendDlgItemMessageW(page, id, BM_CLICK, 0, 0); }
// Puts `value` into the hotkey control as typing (0: Backspace) does; OK if that enabled Apply, else Cancel.
int HotkeyAndOk(HWND sheet, WORD value) {
  HWND page = Page(sheet, 0);
  HWND hotkey = GetDlgItem(page, IDC_CONFIG_HOTKEY);
  SendMessageW(hotkey, HKM_SETHOTKEY, value, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_CONFIG_HOTKEY, EN_CHANGE), reinterpret_cast<LPARAM>(hotkey));
  return ApplyEnabled(sheet) ? PSBTN_OK : PSBTN_CANCEL;
}

// The one preview shown: {a frame line across its middle row, one down its middle column}.
std::vector<bool> ShownPictureLines(HWND page) {
  std::vector<HWND> shown;
  for (int id : {1025, 1026, 1027, 1028, 1044}) {
    if (IsWindowVisible(GetDlgItem(page, id))) shown.push_back(GetDlgItem(page, id));
  }
  if (shown.size() != 1) return {};
  std::vector<DWORD> pixels(150 * 105);
  BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 150, -105, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  HBITMAP picture = reinterpret_cast<HBITMAP>(SendMessageW(shown[0], STM_GETIMAGE, IMAGE_BITMAP, 0));
  HDC screen = GetDC(nullptr);
  bool across = GetDIBits(screen, picture, 0, 105, pixels.data(), &info, DIB_RGB_COLORS) == 105, down = across;
  ReleaseDC(nullptr, screen);
  for (int x = 0; x < 150; ++x) across = across && (pixels[46 * 150 + x] & 0xFFFFFF) == 0x202020;
  for (int y = 0; y < 92; ++y) down = down && (pixels[y * 150 + 75] & 0xFFFFFF) == 0x202020;
  return {across, down};
}

class SettingSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    wcscpy_s(gTCHAR_Config_SettingFilePath, (temp_ / L"config.ini").c_str());
    SetSettings({0, 0, 90, 6, 0, 0, 1, 1});
  }

  // Runs `show` here while `script` works the sheet from a second thread and names its closing button.
  int Run(std::function<int(HWND)> script, std::function<int()> show = Config_ShowSettingSheet) {
    DialogDriver driver(L"設定", [&](HWND sheet) { PostMessageW(sheet, PSM_PRESSBUTTON, script(sheet), 0); });
    const int result = show();
    driver.Join();
    return result;
  }
  TempFolder temp_;
};

TEST_F(SettingSheet, CancelApplyAndOkStoreWhatTheyShouldAndAnUnavailableArrangementIsGreyed) {
  SetSettings({1, 1, 65, 3, 2, 1, 0});
  HICON icon = nullptr;
  EXPECT_EQ(0, Run([&](HWND sheet) {  // Apply stores the change before it, Cancel none after it
    icon = reinterpret_cast<HICON>(SendMessageW(sheet, WM_GETICON, ICON_SMALL, 0));
    Click(Page(sheet, 0), IDC_CONFIG_AUTOCLOSE_PROGRESS);
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    Click(Page(sheet, 0), IDC_CONFIG_SUPRESS_CONFIRMATION);
    return PSBTN_CANCEL;
  }));
  EXPECT_EQ("1|0|65, 3|2|1|0|", Stored());
  EXPECT_TRUE(icon != nullptr && !DestroyIcon(icon)) << "the sheet's icon is given back when it closes";

  // Without arrangement page 2 is greyed, and OK stores 0 for its boxes but keeps the pattern.
  SetSettings({0, 0, 90, 6, 3, 1, 1, 0});
  std::wstring controls;  // per control of page 2: its ID's last two digits, "e"nabled, "v"isible, "t"icked
  Run([&](HWND sheet) {
    HWND page = Page(sheet, 1);
    for (int id = 1021; id <= 1044; ++id) {
      HWND control = GetDlgItem(page, id);
      if (control == nullptr) continue;
      controls += L" " + std::to_wstring(id % 100) + (IsWindowEnabled(control) ? L"e" : L"") +
                  (IsWindowVisible(control) ? L"v" : L"") + (IsDlgButtonChecked(page, id) == BST_CHECKED ? L"t" : L"");
    }
    return PSBTN_OK;
  });
  EXPECT_EQ(L" 21v 22v 23v 24v 25e 26e 27e 28e 29v 31v 41ev 42v 43v 44ev", controls);
  EXPECT_EQ("0|0|90, 6|3|0|0|", Stored());

  // A file that cannot be written (Wine as root writes read-only files: a handle denying writes stands in):
  // box 157 once the sheet has gone, -1 and the file as it was.
  FileHandle lock(CreateFileW(gTCHAR_Config_SettingFilePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  const SeenMessageBox box = AnswerBoxDuring(L"設定ファイル書き込みエラー", IDOK, [&] {
    EXPECT_EQ(-1, Run([](HWND sheet) { return Click(Page(sheet, 0), IDC_CONFIG_SUPRESS_CONFIRMATION), PSBTN_OK; }));
  });
  EXPECT_EQ(L"設定ファイルの書き込みに失敗しました。", box.text);
  EXPECT_EQ("0|0|90, 6|3|0|0|", Stored());
}

TEST_F(SettingSheet, EachRadioShowsItsOwnPictureApplyAfterTickingTwiceChangesNothingAndNoArrangementCanBeStored) {
  SetSettings({0, 0, 90, 6, 3, 0, 1, 1});
  std::vector<std::vector<bool>> seen;  // 3 pages; Apply on (stored radio on); settings after Apply; pictures
  Run([&](HWND sheet) {
    seen.push_back({TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet)) == 3});
    HWND page = Page(sheet, 1);
    seen.push_back({ApplyEnabled(sheet), IsDlgButtonChecked(page, IDC_CONFIG_PATTERN_TILE) == BST_CHECKED});
    for (int tick = 0; tick < 2; ++tick) Click(page, IDC_CONFIG_MOVE_BOTTOM);
    seen.push_back({ApplyEnabled(sheet)});
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    seen.push_back({longAdjustLaunchedWindowPattern == 3 && longAdjustLaunchedWindowMoveBottom == 0});
    for (int radio : {0, IDC_CONFIG_PATTERN_VERTICAL, IDC_CONFIG_PATTERN_HORIZONTAL, IDC_CONFIG_PATTERN_NONE}) {
      if (radio != 0) Click(page, radio);
      seen.push_back(ShownPictureLines(page));
    }
    return Click(page, IDC_CONFIG_MOVE_BOTTOM), PSBTN_OK;
  });
  // Tiles; 縦に並べる one above the other; 横に並べる side by side; a single window.
  EXPECT_EQ((std::vector<std::vector<bool>>{{true}, {false, true}, {true}, {true}, {true, true}, {true, false}, {false, true},
                                            {false, false}}), seen);
  EXPECT_EQ("0|0|90, 6|0|1|1|", Stored()) << "整列を行わない chosen last, then 最背面 ticked";
}

TEST_F(SettingSheet, AChosenHotkeyReplacesTheOldARefusedOneGetsOneBalloonAClearedOneRegistersNothing) {
  ScopedTraceFlag trace(1);
  TraceRecorder records;
  gHWND_MainWindow_Handle = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(0, MainWindow_AddTaskTrayIcon());
  MainWindow_RegisterHotKey();  // Ctrl+Shift+Z held, given up while the sheet is up so the control can take it
  bool freeWhileShown = false;
  Run([&](HWND sheet) {
    freeWhileShown = RegisterHotKey(nullptr, 3, MOD_CONTROL | MOD_SHIFT, 'Z') && UnregisterHotKey(nullptr, 3);
    return HotkeyAndOk(sheet, MAKEWORD('L', HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT));  // no Windows key from EXT
  }, MainWindow_ShowSettingSheet);
  EXPECT_TRUE(freeWhileShown);
  EXPECT_FALSE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L')) << "the new key is not held";
  EXPECT_TRUE(UnregisterHotKey(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_HOTKEY_ID)) << "not the window's, or not under its ID";
  ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, 'L')) << "this test holds Ctrl+Alt+L";
  Run([](HWND) { return PSBTN_OK; }, MainWindow_ShowSettingSheet);
  UnregisterHotKey(nullptr, 1);
  EXPECT_EQ(1, std::count_if(records.Records().begin(), records.Records().end(),
                             [](const auto& record) { return record.text.find(L"バルーン表示(ホットキーを登録できません") == 0; }));
  Run([](HWND sheet) { return HotkeyAndOk(sheet, 0); }, MainWindow_ShowSettingSheet);
  EXPECT_FALSE(UnregisterHotKey(gHWND_MainWindow_Handle, D_LONG_MAINWINDOW_HOTKEY_ID)) << "nothing registered";
  DestroyWindow(gHWND_MainWindow_Handle);
  gHWND_MainWindow_Handle = nullptr;
}

}  // namespace
