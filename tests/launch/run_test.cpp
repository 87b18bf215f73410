// A run for real: the progress dialog launching shortcuts to the test program (or, in a test run, only
// listing them), abort, failures, automatic closing, and the arrangement of the launched windows.
#include <gtest/gtest.h>
#include <richedit.h>

#include "base/text.h"
#include "config/config.h"
#include "launch/launch.h"
#include "launch/progress_log.h"
#include "launch/shell_launch.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;

std::wstring Line(const std::wstring& relative) { return L"<ラウンチャーアイテムルート>" + relative + L" ..... [OK]\n"; }
std::wstring TotalOk(int total) { return L"\n----------\n\n正常処理しました。\n (処理件数 合計=" + std::to_wstring(total) + L"件)\n"; }
const std::wstring kTestRun = L"**** テスト実行を開始します ****\n";

bool IsShown(HWND dialog, int id) { return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }

// The colour of the first character of `fragment` in the log, or -1 for the default colour.
long ColourAt(HWND dialog, const std::wstring& fragment) {
  const size_t at = ProgressLog(dialog).find(fragment);  // the control counts a line break as one character
  SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_LOG, EM_SETSEL, at, at + 1);
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_LOG, EM_GETCHARFORMAT, SCF_SELECTION,
                      reinterpret_cast<LPARAM>(&format));
  return (format.dwEffects & CFE_AUTOCOLOR) ? -1 : static_cast<long>(format.crTextColor);
}

class LaunchRun : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareUi();
    MakeFolder(root_);
    Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
    longAutoCloseProgressWindow = longAdjustLaunchedWindowPattern = longAdjustLaunchedWindowMoveBottom = 0;
    longAdjustLaunchedWindowConfirmAtExecution = longWindowArrangementAvailable = 0;
  }
  void TearDown() override { CloseTestApps(); }
  // A folder under the root with a shortcut to the test program for each entry ("name [more arguments]"),
  // tagged by its name and listed in order.ini in this order.
  std::wstring Folder(const std::wstring& name, std::initializer_list<std::wstring> entries) {
    const std::wstring folder = root_ + L"\\" + name;
    std::string order;
    MakeFolder(folder);
    for (const std::wstring& entry : entries) {
      const std::wstring tag = entry.substr(0, entry.find(L' '));
      EXPECT_TRUE(MakeShortcut(folder + L"\\" + tag + L".lnk", TestAppPath(), L"--tag " + entry, temp_.Path()));
      order += ToAnsi(tag) + ".lnk\r\n";
    }
    WriteBytes(folder + L"\\order.ini", order);
    return folder;
  }
  // Runs `path`; a second thread waits for `fragment` in the log, runs `script`, takes the log
  // (with "|close" when Close shows; nothing when the dialog closed by itself) and presses Close.
  std::wstring RunAndClose(const std::wstring& path, long runMode, const std::wstring& fragment,
                           std::function<void(HWND)> script = nullptr) {
    std::wstring log;
    DialogDriver driver(L"Launch Progress", [&](HWND dialog) {
      WaitForProgressLog(dialog, fragment);
      if (script) script(dialog);
      log = ProgressLog(dialog) + (IsShown(dialog, IDC_LAUNCH_PROGRESS_CLOSE) ? L"|close" : L"");
      Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
    });
    EXPECT_EQ(0, Launch_RunWithProgress(nullptr, path.c_str(), runMode));
    driver.Finish();  // a dialog that closed before it was seen is awaited no longer
    return log;
  }
  bool Started(const std::wstring& tag) { return FileExists(temp_ / (L"started-" + tag + L".txt")); }
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
  QueueBarrier barrier_;  // on the thread that runs the dialogs
};

// With automatic closing, a test run lists every item in run order, starts nothing, never asks for the
// arrangement and stays open; a run aborted while an item starts stops after that item and stays open too.
// An empty run closes by itself, as does a real run that went through.
TEST_F(LaunchRun, OnlyEmptyAndFinishedRealRunsCloseByThemselvesTestRunsStartNothingAndAbortStopsAfterTheItemAtHand) {
  longAutoCloseProgressWindow = longWindowArrangementAvailable = longAdjustLaunchedWindowConfirmAtExecution = 1;
  const std::wstring folder = Folder(L"A", {L"y --idle-delay 1500", L"x"});  // y keeps a run busy long enough
  EXPECT_EQ(kTestRun + Line(L"\\A\\y.lnk") + Line(L"\\A\\x.lnk") + TotalOk(2) + L"|close",
            RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_TEST, L"正常処理しました"));
  EXPECT_FALSE(Started(L"y") || gLaunchItem_Launch_ListHead) << "started, or the list outlived the dialog";
  const std::wstring empty = Folder(L"Empty", {});
  EXPECT_EQ(L"", RunAndClose(empty, D_LONG_LAUNCH_RUNMODE_TEST, L"never in a log")) << "an empty run stayed open";
  longAdjustLaunchedWindowConfirmAtExecution = 0;
  EXPECT_EQ(Line(L"\\A\\y.lnk") + L"\n----------\n\n処理を中断しました。\n|close",
            RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"\\A\\y.lnk ..... ", [](HWND dialog) {
              Press(dialog, IDC_LAUNCH_PROGRESS_ABORT);
              WaitForProgressLog(dialog, L"処理を中断しました");
            }));
  EXPECT_TRUE(Started(L"y") && !Started(L"x")) << "the aborted run went on";
  EXPECT_EQ(L"", RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"never in a log")) << "a real run stayed open";
  longAutoCloseProgressWindow = 0;
  EXPECT_EQ(L"* 処理対象ファイルがありませんでした。\n|close",
            RunAndClose(empty, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"処理対象"));
}

// Shortcuts start their targets with what they carry; one whose target is missing goes to the shell as it
// is and fails there, as does a file that is no shortcut; the run goes on, and each failure's reason names
// its file. The chooser offers the settings' pattern and stays on Escape; as chosen there, a windowless
// program takes no cell and each window moves down in launch order.
TEST_F(LaunchRun, RunsStartWhatShortcutsCarryPassFailuresOverAndArrangeAsChosen) {
  longWindowArrangementAvailable = longAdjustLaunchedWindowConfirmAtExecution = 1;
  longAdjustLaunchedWindowPattern = 2;
  const std::wstring work = temp_ / L"作業 folder", folder = Folder(L"Mixed", {L"one", L"gone", L"hidden --hidden", L"broken", L"two"});
  MakeFolder(work);
  ASSERT_TRUE(MakeShortcut(folder + L"\\one.lnk", TestAppPath(), L"--tag one \"two words\" 100%", work));
  ASSERT_TRUE(MakeShortcut(folder + L"\\gone.lnk", temp_ / L"no such program.exe"));
  WriteBytes(folder + L"\\broken.lnk", "not a shortcut");
  ASSERT_TRUE(MakeShortcut(folder + L"\\two.lnk", TestAppPath(), L"--tag two", temp_.Path(), SLDF_RUNAS_USER));
  ::ShortcutTarget minimised;  // as a shortcut saved "minimised" reads (Wine's shell link object keeps no show command)
  wcscpy_s(minimised.path, TestAppPath().c_str());
  wcscpy_s(minimised.arguments, L"--tag minimised");
  wcscpy_s(minimised.directory, temp_.Path().c_str());
  minimised.showCommand = SW_SHOWMINNOACTIVE;
  KernelHandle process(Launch_StartShortcutTarget(minimised).process);
  EXPECT_TRUE(WaitUntil(
      [&] { return ReadBytes(temp_ / L"started-minimised.txt").find("show=7\n") != std::string::npos; }, 5000));
  std::vector<int> shown;
  DialogDriver chooser(L"起動アプリケーションウィンドウの整列", [&](HWND dialog) {
    for (int id = IDC_LAUNCH_ARRANGE_NONE; id <= IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL; ++id) {
      const bool picture = id >= IDC_LAUNCH_ARRANGE_PICTURE_NONE && IsShown(dialog, id);
      if (IsDlgButtonChecked(dialog, id) == BST_CHECKED || picture) shown.push_back(id);
    }
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_VERTICAL, BM_CLICK, 0, 0);
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM, BM_CLICK, 0, 0);
    Press(dialog, IDCANCEL);  // what Escape sends: the chooser stays
    shown.push_back(barrier_.Pass() && IsWindow(dialog));
    Press(dialog, IDC_LAUNCH_ARRANGE_OK);
  });
  std::vector<long> colours;  // of [OK], of [ERROR] and of the path on the line after it
  const auto colour = [&](HWND dialog) {
    colours = {ColourAt(dialog, L"[OK]"), ColourAt(dialog, L"[ERROR]"), ColourAt(dialog, L"\\Mixed\\hidden")};
  };
  const std::wstring log = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"エラーが発生しています", colour);
  EXPECT_EQ((std::vector<long>{D_COLORREF_LAUNCH_RESULT_OK, D_COLORREF_LAUNCH_RESULT_ERROR, -1}), colours);
  chooser.Join();
  EXPECT_EQ((std::vector<int>{IDC_LAUNCH_ARRANGE_HORIZONTAL, IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL, true}), shown)
      << "the settings' pattern and its picture shown, and still open after Escape";
  const std::wstring one = FromUtf8(ReadBytes(work + L"\\started-one.txt"));
  EXPECT_NE(std::wstring::npos, one.find(L"--tag one \"two words\" 100%\n" + work + L"\n")) << ToAnsi(one);
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const long x = area.left, y = area.top, width = area.right - area.left, height = area.bottom - area.top;
  std::vector<HWND> windows;
  std::vector<long> cells;  // left, top, width and height of one's window, then of two's
  for (const std::wstring tag : {L"one", L"two"}) {
    RECT r = {};
    windows.push_back(WaitForWindow(L"CorvantaTestApp", L"CorvantaTestApp " + tag, 5000));
    GetWindowRect(windows.back(), &r);
    cells.insert(cells.end(), {r.left, r.top, r.right - r.left, r.bottom - r.top});
  }
  EXPECT_EQ((std::vector<long>{x, y, width, height / 2, x, y + height / 2, width, height / 2}), cells);
  HWND below = windows[0];
  while (below != nullptr && below != windows[1]) below = GetWindow(below, GW_HWNDNEXT);
  EXPECT_TRUE(below == windows[1] && GetWindow(windows[1], GW_HWNDNEXT) == nullptr)
      << "moved down in launch order: one above two, the bottom window";
  const std::wstring gone = L"<ラウンチャーアイテムルート>\\Mixed\\gone.lnk ..... [ERROR] (" + folder + L"\\gone.lnk ";
  EXPECT_EQ(0u, log.find(Line(L"\\Mixed\\one.lnk") + gone)) << ToAnsi(log);
  EXPECT_NE(std::wstring::npos, log.find(Line(L"\\Mixed\\two.lnk") +
                                         L"\n----------\n\nエラーが発生しています。処理結果を確認してください。\n (処理件数 合計=5件, エラー=2件)\n"));
}

}  // namespace
