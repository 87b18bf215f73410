// A run for real: the progress dialog launching shortcuts to the test program
// (or, in a test run, only listing them), abort, failures, automatic closing,
// and the arrangement of the launched windows, by the settings or the chooser.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <locale.h>
#include <richedit.h>
#include <shlobj.h>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "config/config.h"
#include "launch/launch.h"
#include "launch/progress_log.h"
#include "launch/shell_launch.h"
#include "resource.h"
#include "support/test_support.h"

extern long glong_Launch_RunPattern;
extern long glong_Launch_RunMoveBottom;

namespace {

using namespace test;

const wchar_t kChooser[] = L"起動アプリケーションウィンドウの整列";

std::wstring ItemLine(const std::wstring& relative, const std::wstring& result = L"[OK]") {
  return L"<ラウンチャーアイテムルート>" + relative + L" ..... " + result + L"\n";
}
std::wstring TotalOk(int total) {
  return L"\n----------\n\n正常処理しました。\n (処理件数 合計=" + std::to_wstring(total) + L"件)\n";
}

// The progress log's text with every line break as "\n".
std::wstring LogText(HWND dialog) {
  std::wstring text(4096, L'\0'), lines;
  text.resize(GetDlgItemTextW(dialog, IDC_LAUNCH_PROGRESS_LOG, &text[0], 4096));
  for (wchar_t c : text) {
    if (c != L'\n') lines += c == L'\r' ? L'\n' : c;
  }
  return lines;
}
bool WaitForLog(HWND dialog, const std::wstring& fragment) {
  return WaitUntil([&] { return LogText(dialog).find(fragment) != std::wstring::npos; }, 15000);
}
bool IsShown(HWND dialog, int id) { return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }

// What the progress dialog showed when the run was over, before Close.
struct RunEnd {
  std::wstring log;
  bool closeShown = false;
  LRESULT position = -1, upper = -1;
};

class LaunchRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setlocale(LC_ALL, ".ACP");
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    LoadLibraryW(L"riched20.dll");
    gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
    MakeFolder(root_);
    Text_Copy(gTCHAR_Config_LauncherItemRootPath, D_SIZE_CONFIG_LAUNCHER_ITEM_ROOT, root_.c_str());
    longAutoCloseProgressWindow = longAdjustLaunchedWindowPattern = longAdjustLaunchedWindowMoveBottom = 0;
    longAdjustLaunchedWindowConfirmAtExecution = longWindowArrangementAvailable = 0;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area_, 0);
  }
  void TearDown() override {
    CloseTestApps();
    CoUninitialize();
  }
  // A folder under the root holding shortcuts to the test program, tagged by their
  // names, listed in order.ini in the given order; `extra` adds arguments to them all.
  std::wstring Folder(const std::wstring& name, std::initializer_list<const wchar_t*> tags, const std::wstring& extra = L"") {
    const std::wstring folder = root_ + L"\\" + name;
    MakeFolder(folder);
    std::string order;
    for (const wchar_t* tag : tags) {
      EXPECT_TRUE(MakeShortcut(folder + L"\\" + tag + L".lnk", TestAppPath(), L"--tag " + std::wstring(tag) + extra, temp_.Path()));
      order += ToAnsi(tag) + ".lnk\r\n";
    }
    WriteBytes(folder + L"\\order.ini", order);
    return folder;
  }
  // Runs `path` in the progress dialog; a second thread waits for `fragment`
  // in the log, calls `script` (when given), notes the end and presses Close.
  RunEnd RunAndClose(const std::wstring& path, long runMode, const std::wstring& fragment,
                     std::function<void(HWND)> script = nullptr) {
    RunEnd end;
    DialogDriver driver(L"Launch Progress", [&](HWND dialog) {
      WaitForLog(dialog, fragment);
      if (script) script(dialog);
      end = {LogText(dialog), IsShown(dialog, IDC_LAUNCH_PROGRESS_CLOSE),
             SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETPOS, 0, 0),
             SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0)};
      Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
    });
    EXPECT_EQ(0, Launch_RunWithProgress(nullptr, path.c_str(), runMode));
    driver.Join();
    EXPECT_TRUE(driver.found) << "no progress dialog";
    return end;
  }
  std::string Started(const std::wstring& tag) { return ReadBytes(temp_ / (L"started-" + tag + L".txt")); }

  TempFolder temp_;
  const std::wstring root_ = temp_ / L"ラウンチャーアイテムルート";
  RECT area_ = {};
};

TEST_F(LaunchRun, TestRunsListEveryItemInRunOrderStartNothingAndStayOpenDespiteAutoClose) {
  longAutoCloseProgressWindow = longWindowArrangementAvailable = longAdjustLaunchedWindowConfirmAtExecution = 1;
  const std::wstring folder = Folder(L"A", {L"y", L"x"});
  MakeFolder(folder + L"\\Sub");
  WriteBytes(folder + L"\\Sub\\z.lnk", "");
  WriteBytes(folder + L"\\order.ini", "y.lnk\r\nSub\r\nx.lnk\r\n");
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_TEST, L"正常処理しました");
  EXPECT_EQ(L"**** テスト実行を開始します ****\n" + ItemLine(L"\\A\\y.lnk") + ItemLine(L"\\A\\Sub\\z.lnk") +
                ItemLine(L"\\A\\x.lnk") + TotalOk(3), end.log);
  EXPECT_TRUE(end.closeShown);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead) << "the list is freed when the dialog closes";
  EXPECT_EQ("", Started(L"y")) << "a test run starts nothing";
  // A single item is listed whether or not it exists.
  end = RunAndClose(root_ + L"\\gone\\%s%n.lnk", D_LONG_LAUNCH_RUNMODE_TEST, L"正常処理しました");
  EXPECT_EQ(L"**** テスト実行を開始します ****\n" + ItemLine(L"\\gone\\%s%n.lnk") + TotalOk(1), end.log);
}

TEST_F(LaunchRun, AnEmptyFolderSaysSoAndClosesByItselfOnlyWithAutoClose) {
  const std::wstring folder = Folder(L"Empty", {});
  WriteBytes(folder + L"\\readme.txt", "not a shortcut");
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"処理対象ファイルがありませんでした");
  EXPECT_EQ(L"* 処理対象ファイルがありませんでした。\n", end.log) << "no totals follow";
  EXPECT_TRUE(end.closeShown);
  longAutoCloseProgressWindow = 1;  // nobody presses Close: the call returns by itself
  EXPECT_EQ(0, Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_TEST));
}

TEST_F(LaunchRun, ShortcutsStartWithTheirArgumentsFolderAndRunAsFlagAndKeepTheirProcesses) {
  const std::wstring work = temp_ / L"作業 folder", folder = root_ + L"\\Apps";
  MakeFolder(work);
  MakeFolder(folder);
  ASSERT_TRUE(MakeShortcut(folder + L"\\one.lnk", TestAppPath(), L"--tag one \"two words\" 100%", work));
  ASSERT_TRUE(MakeShortcut(folder + L"\\two.lnk", TestAppPath(), L"--tag two", temp_.Path(), 0, SLDF_RUNAS_USER));
  WriteBytes(folder + L"\\order.ini", "one.lnk\r\ntwo.lnk\r\n");
  bool processesKept = false;
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"正常処理しました", [&](HWND) {
    const LaunchItem* first = gLaunchItem_Launch_ListHead;  // the run is over, the list lives until Close
    processesKept = first && first->process && first->next && first->next->process &&
                    reinterpret_cast<INT_PTR>(first->instanceResult) > 32;
  });
  EXPECT_EQ(ItemLine(L"\\Apps\\one.lnk") + ItemLine(L"\\Apps\\two.lnk") + TotalOk(2), end.log);
  EXPECT_TRUE(processesKept);
  const std::wstring one = FromUtf8(ReadBytes(work + L"\\started-one.txt"));
  EXPECT_NE(std::wstring::npos, one.find(L"--tag one \"two words\" 100%\n" + work + L"\n")) << ToAnsi(one);
  EXPECT_NE("", Started(L"two"));
}

TEST_F(LaunchRun, AbortDuringTheThirdItemStopsAfterIt) {
  const std::wstring folder = Folder(L"Five", {L"item1", L"item2", L"item3", L"item4", L"item5"});
  // The third program keeps the run busy long enough to press Abort.
  ASSERT_TRUE(MakeShortcut(folder + L"\\item3.lnk", TestAppPath(), L"--tag item3 --idle-delay 1500", temp_.Path()));
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"\\Five\\item3.lnk ..... ", [](HWND dialog) {
    Press(dialog, IDC_LAUNCH_PROGRESS_ABORT);
    WaitForLog(dialog, L"処理を中断しました");
  });
  EXPECT_EQ(ItemLine(L"\\Five\\item1.lnk") + ItemLine(L"\\Five\\item2.lnk") + ItemLine(L"\\Five\\item3.lnk") +
                L"\n----------\n\n処理を中断しました。\n", end.log);
  EXPECT_TRUE(end.closeShown);
  EXPECT_EQ((std::vector<bool>{true, false, false}),
            (std::vector<bool>{!Started(L"item3").empty(), !Started(L"item4").empty(), !Started(L"item5").empty()}));
}

// The colour of the first character of `fragment` in the log; `automatic` tells whether it is the default colour.
COLORREF ColourAt(HWND dialog, const std::wstring& fragment, bool* automatic) {
  const size_t at = LogText(dialog).find(fragment);  // the control counts a line break as one character
  SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_LOG, EM_SETSEL, at, at + 1);
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_LOG, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  *automatic = (format.dwEffects & CFE_AUTOCOLOR) != 0;
  return format.crTextColor;
}

TEST_F(LaunchRun, FailuresAreCountedColouredAndTheBarStillReachesTheEnd) {
  const std::wstring folder = Folder(L"Mixed", {L"m1", L"m2", L"m3", L"m4", L"m5"});
  // m2 leads to a program that is not there (the shell gets the shortcut itself); m4 is no shortcut at all.
  ASSERT_TRUE(MakeShortcut(folder + L"\\m2.lnk", temp_ / L"no such program.exe"));
  WriteBytes(folder + L"\\m4.lnk", "not a shortcut");
  COLORREF ok = 0, error = 0;
  bool okAuto = true, errorAuto = true, afterAuto = false;
  ScopedTraceFlag flag(1);
  TraceRecorder recorder;
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"エラーが発生しています", [&](HWND dialog) {
    ok = ColourAt(dialog, L"[OK]", &okAuto);
    error = ColourAt(dialog, L"[ERROR]", &errorAuto);
    ColourAt(dialog, L"<ラウンチャーアイテムルート>\\Mixed\\m3", &afterAuto);
  });
  EXPECT_NE(std::wstring::npos, end.log.find(L"\n----------\n\nエラーが発生しています。処理結果を確認してください。\n"
                                             L" (処理件数 合計=5件, エラー=2件)\n")) << ToAnsi(end.log);
  EXPECT_EQ((std::vector<LRESULT>{5, 5}), (std::vector<LRESULT>{end.position, end.upper}));
  EXPECT_NE(std::wstring::npos, end.log.find(ItemLine(L"\\Mixed\\m3.lnk")));
  const size_t reason = end.log.find(L"\\Mixed\\m2.lnk ..... [ERROR] (");
  ASSERT_NE(std::wstring::npos, reason) << ToAnsi(end.log);
  EXPECT_NE(L')', end.log[reason + 28]) << "the reason is given";
  EXPECT_EQ((std::vector<COLORREF>{D_COLORREF_LAUNCH_RESULT_OK, D_COLORREF_LAUNCH_RESULT_ERROR}), (std::vector<COLORREF>{ok, error}));
  EXPECT_FALSE(okAuto || errorAuto);
  EXPECT_TRUE(afterAuto) << "text after a result is back in the default colour";
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_TRACE, L"シェルで起動します(ウィンドウは整列しません)( " + folder + L"\\m2.lnk )"));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_TRACE, L"シェルで起動します(ウィンドウは整列しません)( " + folder + L"\\m1.lnk )"));
}

TEST(ProgressLog, AnErrorWithoutSystemTextOrWithoutACodeIsDescribedByItsCode) {
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  wchar_t text[256];
  Launch_DescribeError(0x2000ABCD, text, 256);
  EXPECT_STREQ(L"Windows エラーコード 536914893 (0x2000ABCD)", text);
  Launch_DescribeError(0, text, 256);
  EXPECT_STREQ(L"Windows エラーコード 0 (0x00000000)", text);
}

// A run with automatic closing arranges by the settings alone (a windowless
// program takes no cell); one that confirms arranges as chosen in the chooser,
// which changes only that run, and moves each window down in launch order.
TEST_F(LaunchRun, RunsArrangeTheirWindowsByTheSettingsOrTheChooserAndAutoCloseAfterwards) {
  longWindowArrangementAvailable = longAutoCloseProgressWindow = 1;
  longAdjustLaunchedWindowPattern = 2;
  const std::wstring folder = Folder(L"Run", {L"r1", L"hidden", L"r2"});
  ASSERT_TRUE(MakeShortcut(folder + L"\\hidden.lnk", TestAppPath(), L"--tag hidden --hidden", temp_.Path()));
  bool closedByItself = false;
  DialogDriver watch(L"Launch Progress", [&](HWND dialog) {
    WaitForLog(dialog, L"正常処理しました");
    if (!(closedByItself = WaitUntil([dialog] { return !IsWindow(dialog); }, 3000))) Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
  });
  EXPECT_EQ(0, Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_LAUNCH));
  watch.Join();
  EXPECT_TRUE(closedByItself);
  const long width = area_.right - area_.left, height = area_.bottom - area_.top;
  const auto cells = [] {
    std::vector<long> cells;
    for (const wchar_t* title : {L"CorvantaTestApp r1", L"CorvantaTestApp r2"}) {
      RECT r = {};
      GetWindowRect(WaitForWindow(L"CorvantaTestApp", title, 5000), &r);
      cells.insert(cells.end(), {r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    return cells;
  };
  EXPECT_EQ((std::vector<long>{area_.left, area_.top, width / 2, height, area_.left + width / 2, area_.top, width / 2, height}), cells());
  CloseTestApps();

  longAdjustLaunchedWindowConfirmAtExecution = 1;
  std::vector<int> shown;
  DialogDriver chooser(kChooser, [&](HWND dialog) {
    for (int id = IDC_LAUNCH_ARRANGE_NONE; id <= IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL; ++id) {
      if (IsDlgButtonChecked(dialog, id) == BST_CHECKED || (id >= IDC_LAUNCH_ARRANGE_PICTURE_NONE && IsShown(dialog, id))) shown.push_back(id);
    }
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_VERTICAL, BM_CLICK, 0, 0);
    SendDlgItemMessageW(dialog, IDC_LAUNCH_ARRANGE_MOVE_BOTTOM, BM_CLICK, 0, 0);
    shown.push_back(IsShown(dialog, IDC_LAUNCH_ARRANGE_PICTURE_VERTICAL) && !IsShown(dialog, IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL));
    Press(dialog, IDCANCEL);  // what Escape sends: the chooser stays
    shown.push_back(!WaitUntil([dialog] { return !IsWindow(dialog); }, 300));
    Press(dialog, IDC_LAUNCH_ARRANGE_OK);
  });
  EXPECT_EQ(0, Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_LAUNCH));
  chooser.Join();
  EXPECT_EQ((std::vector<int>{IDC_LAUNCH_ARRANGE_HORIZONTAL, IDC_LAUNCH_ARRANGE_PICTURE_HORIZONTAL, true, true}), shown)
      << "the run's pattern shown, then vertical with its picture, then still open after Escape";
  EXPECT_EQ((std::vector<long>{1, 1, 2, 0}), (std::vector<long>{glong_Launch_RunPattern, glong_Launch_RunMoveBottom,
                                                                 longAdjustLaunchedWindowPattern, longAdjustLaunchedWindowMoveBottom}));
  EXPECT_EQ((std::vector<long>{area_.left, area_.top, width, height / 2, area_.left, area_.top + height / 2, width, height / 2}), cells());
  HWND r1 = FindWindowW(L"CorvantaTestApp", L"CorvantaTestApp r1"), r2 = FindWindowW(L"CorvantaTestApp", L"CorvantaTestApp r2");
  EXPECT_EQ(nullptr, GetWindow(r2, GW_HWNDNEXT)) << "the last one placed is the bottom window";
  EXPECT_EQ(r2, GetWindow(r1, GW_HWNDNEXT)) << "r1 lies right above r2";
}

}  // namespace
