// The progress dialog driven for real: test runs, launches through
// shortcuts, abort, failures, colours and automatic closing.
#include <windows.h>
#include <richedit.h>
#include <shlobj.h>

#include <regex>

#include "base/trace.h"
#include "app/winmain.h"
#include "config/config.h"
#include "launch/launch.h"
#include "launch/launch_fixture.h"
#include "launch/progress_log.h"
#include "launch/shell_launch.h"
#include "resource.h"

namespace {

using namespace test;
using ProgressDialog = LaunchTest;

const wchar_t kTestRunStart[] = L"**** テスト実行を開始します ****\n";
const wchar_t kNothingToRun[] = L"* 処理対象ファイルがありませんでした。\n";

std::wstring ItemLine(const std::wstring& relative, const std::wstring& result = L"[OK]") {
  return L"<ラウンチャーアイテムルート>" + relative + L" ..... " + result + L"\n";
}

std::wstring TotalOk(int total) {
  return L"\n----------\n\n正常処理しました。\n (処理件数 合計=" + std::to_wstring(total) + L"件)\n";
}

TEST_F(ProgressDialog, TestRunsListEveryItemInRunOrderAndStayOpenDespiteAutoClose) {
  longAutoCloseProgressWindow = 1;
  const std::wstring folder = Folder(L"A");
  Folder(L"A\\Sub");
  for (const wchar_t* name : {L"\\y.lnk", L"\\x.lnk", L"\\Sub\\z.lnk"}) WriteBytes(folder + name, "");
  WriteBytes(folder + L"\\order.ini", "y.lnk\r\nSub\r\nx.lnk\r\n");
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_TEST, L"正常処理しました");
  EXPECT_EQ(kTestRunStart + ItemLine(L"\\A\\y.lnk") + ItemLine(L"\\A\\Sub\\z.lnk") + ItemLine(L"\\A\\x.lnk") +
                TotalOk(3),
            end.log);
  EXPECT_TRUE(end.closeShown);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead) << "the list is freed when the dialog closes";

  // A single item is listed whether or not it exists.
  end = RunAndClose(root_ + L"\\gone\\%s%n.lnk", D_LONG_LAUNCH_RUNMODE_TEST, L"正常処理しました");
  EXPECT_EQ(kTestRunStart + ItemLine(L"\\gone\\%s%n.lnk") + TotalOk(1), end.log);
  EXPECT_TRUE(end.closeShown);
}

TEST_F(ProgressDialog, EmptyFolderSaysSoAndClosesByItselfOnlyWithAutoClose) {
  const std::wstring folder = Folder(L"Empty");
  WriteBytes(folder + L"\\readme.txt", "not a shortcut");
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, kNothingToRun);
  EXPECT_EQ(kNothingToRun, end.log) << "no totals follow";
  EXPECT_TRUE(end.closeShown);

  // With automatic closing nobody presses Close: the call returns by itself.
  longAutoCloseProgressWindow = 1;
  TraceRecorder recorder;
  EXPECT_EQ(0, Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_TEST));
  EXPECT_FALSE(recorder.Contains(TRACE_LEVEL_ERROR, L"DialogBox"));
}

TEST_F(ProgressDialog, LaunchesThroughShortcutsWithArgumentsAndWorkingFolder) {
  const std::wstring folder = Folder(L"Apps");
  const std::wstring work = temp_ / L"作業 folder";
  MakeFolder(work);
  MakeAppShortcut(folder, L"one.lnk", L"one", L"\"two words\" 100%", work);
  MakeAppShortcut(folder, L"two.lnk", L"two");
  WriteBytes(folder + L"\\order.ini", "one.lnk\r\ntwo.lnk\r\n");
  bool processesRecorded = false;
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"正常処理しました", [&](HWND) {
    // The run is over but the list lives until Close.
    const LaunchItem* first = gLaunchItem_Launch_ListHead;
    processesRecorded = first != nullptr && first->process != nullptr && first->next != nullptr &&
                        first->next->process != nullptr && reinterpret_cast<INT_PTR>(first->instanceResult) > 32;
  });
  EXPECT_EQ(ItemLine(L"\\Apps\\one.lnk") + ItemLine(L"\\Apps\\two.lnk") + TotalOk(2), end.log);
  EXPECT_TRUE(processesRecorded);
  // Each program ran where its shortcut says, with the shortcut's arguments.
  const std::string one = ReadBytes(work + L"\\started-one.txt");
  EXPECT_NE(std::string::npos, one.find("--tag one \"two words\" 100%")) << one;
  std::string utf8(work.size() * 3, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, work.c_str(), static_cast<int>(work.size()), &utf8[0],
                                  static_cast<int>(utf8.size()), nullptr, nullptr));
  EXPECT_NE(std::string::npos, one.find("\n" + utf8 + "\n")) << one;
  EXPECT_TRUE(FileExists(temp_ / L"started-two.txt"));
  EXPECT_NE(nullptr, WaitForTestApp(L"one"));
}

TEST_F(ProgressDialog, AbortDuringTheThirdItemStopsAfterIt) {
  const std::wstring folder = Folder(L"Five");
  std::string order;
  for (int i = 1; i <= 5; ++i) {
    const std::wstring tag = L"item" + std::to_wstring(i);
    // The third program keeps the run busy long enough to press Abort.
    MakeAppShortcut(folder, tag + L".lnk", tag, i == 3 ? L"--idle-delay 1500" : L"");
    order += ToAnsi(tag) + ".lnk\r\n";
  }
  WriteBytes(folder + L"\\order.ini", order);
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"\\Five\\item3.lnk ..... ", [](HWND dialog) {
    Press(dialog, IDC_LAUNCH_PROGRESS_ABORT);
    WaitForLog(dialog, L"処理を中断しました");
  });
  EXPECT_EQ(ItemLine(L"\\Five\\item1.lnk") + ItemLine(L"\\Five\\item2.lnk") + ItemLine(L"\\Five\\item3.lnk") +
                L"\n----------\n\n処理を中断しました。\n",
            end.log);
  EXPECT_TRUE(end.closeShown);
  EXPECT_TRUE(FileExists(temp_ / L"started-item3.txt"));
  EXPECT_FALSE(FileExists(temp_ / L"started-item4.txt"));
  EXPECT_FALSE(FileExists(temp_ / L"started-item5.txt"));
}

// The colour of the first character of `fragment` in the log; `automatic`
// tells whether it is the default colour.
COLORREF ColourAt(HWND dialog, const std::wstring& fragment, bool* automatic) {
  HWND control = GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_LOG);
  // The control counts a line break as one character, as LogText shows it.
  const size_t at = LogText(dialog).find(fragment);
  SendMessageW(control, EM_SETSEL, at, at + 1);
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  *automatic = (format.dwEffects & CFE_AUTOCOLOR) != 0;
  return format.crTextColor;
}

TEST_F(ProgressDialog, FailuresAreCountedColouredAndTheBarStillReachesTheEnd) {
  const std::wstring folder = Folder(L"Mixed");
  for (int i = 1; i <= 5; ++i) {
    const std::wstring name = L"m" + std::to_wstring(i) + L".lnk";
    if (i == 2 || i == 4) {
      ASSERT_TRUE(MakeShortcut(folder + L"\\" + name, temp_ / L"no such program.exe"));
    } else {
      MakeAppShortcut(folder, name, L"m" + std::to_wstring(i));
    }
  }
  WriteBytes(folder + L"\\order.ini", "m1.lnk\r\nm2.lnk\r\nm3.lnk\r\nm4.lnk\r\nm5.lnk\r\n");
  COLORREF ok = 0, error = 0;
  bool okAuto = true, errorAuto = true, afterAuto = false;
  RunEnd end = RunAndClose(folder, D_LONG_LAUNCH_RUNMODE_LAUNCH, L"エラーが発生しています", [&](HWND dialog) {
    ok = ColourAt(dialog, L"[OK]", &okAuto);
    error = ColourAt(dialog, L"[ERROR]", &errorAuto);
    ColourAt(dialog, L"<ラウンチャーアイテムルート>\\Mixed\\m3", &afterAuto);
  });
  EXPECT_NE(std::wstring::npos,
            end.log.find(L"\n----------\n\nエラーが発生しています。処理結果を確認してください。\n"
                         L" (処理件数 合計=5件, エラー=2件)\n"))
      << end.log;
  EXPECT_EQ(5, end.position);
  EXPECT_EQ(5, end.upper);
  EXPECT_NE(std::wstring::npos, end.log.find(ItemLine(L"\\Mixed\\m3.lnk")));
  // The reason, the system's text, on the same line.
  EXPECT_TRUE(std::regex_search(end.log, std::wregex(L"\\\\Mixed\\\\m2\\.lnk \\.{5} \\[ERROR\\] \\(.+\\)\n")))
      << end.log;
  EXPECT_FALSE(okAuto);
  EXPECT_EQ(D_COLORREF_LAUNCH_RESULT_OK, ok);
  EXPECT_FALSE(errorAuto);
  EXPECT_EQ(D_COLORREF_LAUNCH_RESULT_ERROR, error);
  EXPECT_TRUE(afterAuto) << "text after a result is back in the default colour";
}

TEST_F(ProgressDialog, AShortcutMarkedRunAsAdministratorStartsWithItsProcess) {
  const std::wstring path = MakeAppShortcut(Folder(L"Admin"), L"admin.lnk", L"admin", L"", L"", SLDF_RUNAS_USER);
  ShellLaunchResult result = Launch_StartItem(path.c_str());
  EXPECT_GT(result.instanceResult, 32) << result.error;
  EXPECT_NE(nullptr, result.process);
  if (result.process != nullptr) CloseHandle(result.process);
  EXPECT_NE(nullptr, WaitForTestApp(L"admin"));
}

TEST(ProgressLog, AnErrorWithoutSystemTextIsDescribedWithItsCode) {
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  wchar_t text[256];
  Launch_DescribeError(0x2000ABCD, text, 256);
  EXPECT_STREQ(L"Windows エラーコード 536914893 (0x2000ABCD)", text);
}

}  // namespace
