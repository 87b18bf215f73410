// A run for real: the progress dialog launching shortcuts to the test program
// (or, in a test run, only listing them), abort, failures, automatic closing,
// and the arrangement of the launched windows, by the settings or the chooser.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <richedit.h>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
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
    return log;
  }
  bool Started(const std::wstring& tag) { return FileExists(temp_ / (L"started-" + tag + L".txt")); }
  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
  QueueBarrier barrier_;  // on the thread that runs the dialogs
};

TEST_F(LaunchRun, TestRunsListEveryItemInRunOrderStartNothingAndStayOpenDespiteAutoCloseEmptyOnesCloseByThemselves) {
  longAutoCloseProgressWindow = longWindowArrangementAvailable = longAdjustLaunchedWindowConfirmAtExecution = 1;
  const std::wstring folder = Folder(L"A", {L"y", L"x"});
  EXPECT_EQ(kTestRun + Line(L"\\A\\y.lnk") + Line(L"\\A\\x.lnk") + TotalOk(2) + L"|close",
            RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_TEST, L"正常処理しました"));
  EXPECT_FALSE(Started(L"y") || gLaunchItem_Launch_ListHead) << "started, or the list outlived the dialog";
  EXPECT_EQ(kTestRun + Line(L"\\gone\\%s%n.lnk") + TotalOk(1) + L"|close",
            RunAndClose(root_ + L"\\gone\\%s%n.lnk", D_LONG_LAUNCH_RUNMODE_TEST, L"正常処理しました"));
  bool stayed = false;
  DialogDriver watch(L"Launch Progress", [&](HWND dialog) {
    if ((stayed = !WaitUntil([dialog] { return !IsWindow(dialog); }, 10000))) Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
  });
  EXPECT_EQ(0, Launch_RunWithProgress(nullptr, Folder(L"Empty", {}).c_str(), D_LONG_LAUNCH_RUNMODE_TEST));
  watch.Finish();
  EXPECT_FALSE(stayed) << "an empty run stays open despite automatic closing";
  longAutoCloseProgressWindow = 0;
  EXPECT_EQ(L"* 処理対象ファイルがありませんでした。\n|close", RunAndClose(root_ + L"\\Empty", D_LONG_LAUNCH_RUNMODE_LAUNCH, L"処理対象"));
}

TEST_F(LaunchRun, AbortDuringTheThirdItemStopsAfterIt) {
  // The third program keeps the run busy long enough to press Abort.
  const std::wstring folder = Folder(L"Five", {L"i1", L"i2", L"i3 --idle-delay 1500", L"i4", L"i5"});
  EXPECT_EQ(Line(L"\\Five\\i1.lnk") + Line(L"\\Five\\i2.lnk") + Line(L"\\Five\\i3.lnk") + L"\n----------\n\n処理を中断しました。\n|close",
            RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"\\Five\\i3.lnk ..... ", [](HWND dialog) {
              Press(dialog, IDC_LAUNCH_PROGRESS_ABORT);
              WaitForProgressLog(dialog, L"処理を中断しました");
            }));
  EXPECT_EQ((std::vector<bool>{true, false, false}), (std::vector<bool>{Started(L"i3"), Started(L"i4"), Started(L"i5")}));
}

TEST_F(LaunchRun, AShortcutsShowCommandIsPassedOnAndAFailureWithoutASystemCodeSaysSo) {
  ::ShortcutTarget minimised;  // as a shortcut saved "minimised" reads (Wine's shell link object keeps no show command)
  wcscpy_s(minimised.path, TestAppPath().c_str());
  wcscpy_s(minimised.arguments, L"--tag minimised");
  wcscpy_s(minimised.directory, temp_.Path().c_str());
  minimised.showCommand = SW_SHOWMINNOACTIVE;
  KernelHandle process(Launch_StartShortcutTarget(minimised).process);
  EXPECT_TRUE(process.Valid());
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(temp_ / L"started-minimised.txt").find("show=7\n") != std::string::npos; }, 5000));
  wchar_t text[256];  // said in the form of a code the system has no text for
  for (DWORD error : {0x2000ABCDul, 0ul}) {
    Launch_DescribeError(error, text, 256);
    EXPECT_EQ(L"Windows エラーコード " + std::to_wstring(error) + (error ? L" (0x2000ABCD)" : L" (0x00000000)"), text);
  }
}

// The colour of the first character of `fragment` in the log, or -1 for the default colour.
long ColourAt(HWND dialog, const std::wstring& fragment) {
  const size_t at = ProgressLog(dialog).find(fragment);  // the control counts a line break as one character
  SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_LOG, EM_SETSEL, at, at + 1);
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_LOG, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return (format.dwEffects & CFE_AUTOCOLOR) ? -1 : static_cast<long>(format.crTextColor);
}

// Two runs of one folder. Shortcuts start their targets with what they carry; one whose target is missing
// goes to the shell as it is and fails there, as does a file that is no shortcut; the run goes on. The
// first run closes by itself and arranges by the settings alone (a windowless program takes no cell); the
// second confirms: it arranges as chosen in the chooser, which changes only that run, and moves each window
// down in launch order; its failures are counted and coloured.
TEST_F(LaunchRun, RunsStartWhatShortcutsCarryPassFailuresOverArrangeByTheSettingsOrTheChooserAndAutoClose) {
  longWindowArrangementAvailable = longAutoCloseProgressWindow = 1;
  longAdjustLaunchedWindowPattern = 2;
  const std::wstring work = temp_ / L"作業 folder", folder = Folder(L"Mixed", {L"one", L"gone", L"hidden --hidden", L"broken", L"two"});
  MakeFolder(work);
  ASSERT_TRUE(MakeShortcut(folder + L"\\one.lnk", TestAppPath(), L"--tag one \"two words\" 100%", work));
  ASSERT_TRUE(MakeShortcut(folder + L"\\gone.lnk", temp_ / L"no such program.exe"));
  WriteBytes(folder + L"\\broken.lnk", "not a shortcut");
  ASSERT_TRUE(MakeShortcut(folder + L"\\two.lnk", TestAppPath(), L"--tag two", temp_.Path(), SLDF_RUNAS_USER));
  EXPECT_EQ(L"", RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"never in a log")) << "the first run closes by itself";
  const std::wstring one = FromUtf8(ReadBytes(work + L"\\started-one.txt"));
  EXPECT_NE(std::wstring::npos, one.find(L"--tag one \"two words\" 100%\n" + work + L"\n")) << ToAnsi(one);
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const long x = area.left, y = area.top, width = area.right - area.left, height = area.bottom - area.top;
  HWND windows[2] = {};
  const auto cells = [&windows] {  // left, top, width and height of one's window, then of two's
    std::vector<long> found;
    for (int i = 0; i < 2; ++i) {
      RECT r = {};
      GetWindowRect(windows[i] = WaitForWindow(L"CorvantaTestApp", i ? L"CorvantaTestApp two" : L"CorvantaTestApp one", 5000), &r);
      found.insert(found.end(), {r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    return found;
  };
  EXPECT_EQ((std::vector<long>{x, y, width / 2, height, x + width / 2, y, width / 2, height}), cells());
  CloseTestApps();
  longAutoCloseProgressWindow = 0;
  longAdjustLaunchedWindowConfirmAtExecution = 1;
  std::vector<int> shown;
  DialogDriver chooser(L"起動アプリケーションウィンドウの整列", [&](HWND dialog) {
    for (int id = IDC_LAUNCH_ARRANGE_NONE; id <= IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL; ++id) {
      if (IsDlgButtonChecked(dialog, id) == BST_CHECKED || (id >= IDC_LAUNCH_ARRANGE_PICTURE_NONE && IsShown(dialog, id))) shown.push_back(id);
    }
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_VERTICAL, BM_CLICK, 0, 0);
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM, BM_CLICK, 0, 0);
    shown.push_back(IsShown(dialog, IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL) && !IsShown(dialog, IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL));
    Press(dialog, IDCANCEL);  // what Escape sends: the chooser stays
    shown.push_back(barrier_.Pass() && IsWindow(dialog));
    Press(dialog, IDC_LAUNCH_ARRANGE_OK);
  });
  std::vector<long> seen;
  ScopedTraceFlag flag(1);
  TraceRecorder recorder;
  const std::wstring log = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"エラーが発生しています", [&](HWND dialog) {
    seen = {ColourAt(dialog, L"[OK]"), ColourAt(dialog, L"[ERROR]"), ColourAt(dialog, L"<ラウンチャーアイテムルート>\\Mixed\\two"),
            static_cast<long>(SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETPOS, 0, 0)),
            static_cast<long>(SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0))};
  });
  chooser.Join();
  EXPECT_EQ((std::vector<int>{IDC_LAUNCH_ARRANGE_HORIZONTAL, IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL, true, true}), shown)
      << "the run's pattern shown, then vertical with its picture, then still open after Escape";
  EXPECT_EQ((std::vector<long>{2, 0}), (std::vector<long>{longAdjustLaunchedWindowPattern, longAdjustLaunchedWindowMoveBottom}))
      << "the choice changes only that run";
  EXPECT_EQ((std::vector<long>{x, y, width, height / 2, x, y + height / 2, width, height / 2}), cells());
  HWND below = windows[0];
  while (below != nullptr && below != windows[1]) below = GetWindow(below, GW_HWNDNEXT);
  EXPECT_TRUE(below == windows[1] && GetWindow(windows[1], GW_HWNDNEXT) == nullptr) << "moved down in launch order: one above two, the bottom window";
  EXPECT_EQ((std::vector<long>{D_COLORREF_LAUNCH_RESULT_OK, D_COLORREF_LAUNCH_RESULT_ERROR, -1, 5, 5}), seen);
  EXPECT_EQ(0u, log.find(Line(L"\\Mixed\\one.lnk"))) << ToAnsi(log);
  EXPECT_NE(std::wstring::npos, log.find(Line(L"\\Mixed\\two.lnk") +
                                         L"\n----------\n\nエラーが発生しています。処理結果を確認してください。\n (処理件数 合計=5件, エラー=2件)\n"));
  const std::wstring failed = L"\\Mixed\\gone.lnk ..... [ERROR] (";
  ASSERT_NE(std::wstring::npos, log.find(failed)) << ToAnsi(log);
  EXPECT_NE(L')', log[log.find(failed) + failed.size()]) << "the reason is given";
  const std::wstring handedOver = L"シェルで起動します(ウィンドウは整列しません)( " + folder;
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_TRACE, handedOver + L"\\gone.lnk )") && !recorder.Contains(TRACE_LEVEL_TRACE, handedOver + L"\\one"));
}

}  // namespace
