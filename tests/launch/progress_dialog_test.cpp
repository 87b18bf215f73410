// The progress dialog driven for real: test runs, launches through
// shortcuts, abort, failures, colours and automatic closing.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shlobj.h>

#include "app/handles.h"
#include "app/trace.h"
#include "app/winmain.h"
#include "config/config.h"
#include "launch/launch.h"
#include "launch/launch_fixture.h"
#include "launch/progress_log.h"
#include "launch/shell_launch.h"
#include "resource.h"

namespace {

using namespace test;

const wchar_t kCaption[] = L"Launch Progress";
const wchar_t kTestRunStart[] = L"**** テスト実行を開始します ****\n";
const wchar_t kNothingToRun[] = L"* 処理対象ファイルがありませんでした。\n";
const wchar_t kAborted[] = L"\n----------\n\n処理を中断しました。\n";

std::string Utf8(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], length, nullptr, nullptr);
  bytes.resize(length > 0 ? length - 1 : 0);
  return bytes;
}

std::wstring ItemLine(const std::wstring& relative, const std::wstring& result) {
  return L"<ラウンチャーアイテムルート>" + relative + L" ..... " + result + L"\n";
}

std::wstring TotalOk(int total) {
  return L"\n----------\n\n正常処理しました。\n (処理件数 合計=" + std::to_wstring(total) + L"件)\n";
}

std::wstring TotalErrors(int total, int errors) {
  return L"\n----------\n\nエラーが発生しています。処理結果を確認してください。\n (処理件数 合計=" + std::to_wstring(total) +
         L"件, エラー=" + std::to_wstring(errors) + L"件)\n";
}

// What the driver saw when the run was over, before it pressed Close.
struct RunEnd {
  std::wstring log;
  bool closeShown = false;
  bool abortShown = true;
  LRESULT position = -1;
  LRESULT upper = -1;
};

// Waits for `fragment`, records the dialog's state and presses Close.
std::function<void(HWND)> CloseAfter(const std::wstring& fragment, RunEnd* end) {
  return [fragment, end](HWND dialog) {
    WaitForLog(dialog, fragment, kDialogTimeoutMs);
    Sleep(50);
    end->log = LogText(dialog);
    end->closeShown = IsShown(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
    end->abortShown = IsShown(dialog, IDC_LAUNCH_PROGRESS_ABORT);
    end->position = SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETPOS, 0, 0);
    end->upper = SendDlgItemMessageW(dialog, IDC_LAUNCH_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0);
    Press(dialog, IDC_LAUNCH_PROGRESS_CLOSE);
  };
}

using ProgressDialog = LaunchTest;

TEST_F(ProgressDialog, TestRunListsEveryItemInRunOrderAndStaysOpenDespiteAutoClose) {
  longAutoCloseProgressWindow = 1;
  const std::wstring folder = Folder(L"A");
  Folder(L"A\\Sub");
  WriteBytes(folder + L"\\y.lnk", "");
  WriteBytes(folder + L"\\x.lnk", "");
  WriteBytes(folder + L"\\Sub\\z.lnk", "");
  WriteBytes(folder + L"\\order.ini", "y.lnk\r\nSub\r\nx.lnk\r\n");

  RunEnd end;
  DialogDriver driver(kCaption, CloseAfter(L"正常処理しました", &end));
  EXPECT_EQ(0, Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_TEST));
  driver.Join();
  ASSERT_TRUE(driver.Found());
  EXPECT_EQ(std::wstring(kTestRunStart) + ItemLine(L"\\A\\y.lnk", L"[OK]") + ItemLine(L"\\A\\Sub\\z.lnk", L"[OK]") +
                ItemLine(L"\\A\\x.lnk", L"[OK]") + TotalOk(3),
            end.log);
  EXPECT_TRUE(end.closeShown);
  EXPECT_FALSE(end.abortShown);
  EXPECT_EQ(3, end.position);
  EXPECT_EQ(3, end.upper);
  EXPECT_EQ(nullptr, gLaunchItem_Launch_ListHead) << "the list is freed when the dialog closes";
  EXPECT_EQ(0, glong_Launch_ItemCount);
}

TEST_F(ProgressDialog, TestRunOfOneItemListsItWhetherOrNotItExists) {
  const std::wstring missing = Root() + L"\\gone\\%s%n.lnk";
  RunEnd end;
  DialogDriver driver(kCaption, CloseAfter(L"正常処理しました", &end));
  Launch_RunWithProgress(nullptr, missing.c_str(), D_LONG_LAUNCH_RUNMODE_TEST);
  driver.Join();
  EXPECT_EQ(std::wstring(kTestRunStart) + ItemLine(L"\\gone\\%s%n.lnk", L"[OK]") + TotalOk(1), end.log);
}

TEST_F(ProgressDialog, EmptyFolderSaysSoAndClosesByItselfOnlyWithAutoClose) {
  const std::wstring folder = Folder(L"Empty");
  WriteBytes(folder + L"\\readme.txt", "not a shortcut");
  RunEnd end;
  {
    DialogDriver driver(kCaption, CloseAfter(kNothingToRun, &end));
    Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_LAUNCH);
  }
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
  RunEnd end;
  DialogDriver driver(kCaption, [&](HWND dialog) {
    WaitForLog(dialog, L"正常処理しました", kDialogTimeoutMs);
    // The run is over but the list lives until Close.
    processesRecorded = gLaunchItem_Launch_ListHead != nullptr && gLaunchItem_Launch_ListHead->process != nullptr &&
                        gLaunchItem_Launch_ListHead->next != nullptr &&
                        gLaunchItem_Launch_ListHead->next->process != nullptr &&
                        reinterpret_cast<INT_PTR>(gLaunchItem_Launch_ListHead->instanceResult) > 32;
    CloseAfter(L"", &end)(dialog);
  });
  Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_LAUNCH);
  driver.Join();
  EXPECT_EQ(ItemLine(L"\\Apps\\one.lnk", L"[OK]") + ItemLine(L"\\Apps\\two.lnk", L"[OK]") + TotalOk(2), end.log);
  EXPECT_TRUE(processesRecorded);

  // Each program ran where its shortcut says, with the shortcut's arguments.
  const std::string one = ReadBytes(work + L"\\started-one.txt");
  EXPECT_NE(std::string::npos, one.find("--tag one \"two words\" 100%")) << one;
  EXPECT_NE(std::string::npos, one.find("\n" + Utf8(work) + "\n")) << one;
  EXPECT_TRUE(FileExists(temp_ / L"started-two.txt"));
  EXPECT_NE(nullptr, WaitForTestApp(L"one", 5000));
}

TEST_F(ProgressDialog, AbortDuringTheThirdItemStopsAfterIt) {
  const std::wstring folder = Folder(L"Five");
  std::string order;
  for (int i = 1; i <= 5; ++i) {
    const std::wstring tag = L"item" + std::to_wstring(i);
    // The third program keeps the run busy long enough to press Abort.
    MakeAppShortcut(folder, tag + L".lnk", tag, i == 3 ? L"--idle-delay 1500" : L"");
    order += "item" + std::to_string(i) + ".lnk\r\n";
  }
  WriteBytes(folder + L"\\order.ini", order);

  RunEnd end;
  DialogDriver driver(kCaption, [&](HWND dialog) {
    WaitForLog(dialog, L"\\Five\\item3.lnk ..... ", kDialogTimeoutMs);
    Press(dialog, IDC_LAUNCH_PROGRESS_ABORT);
    CloseAfter(L"処理を中断しました", &end)(dialog);
  });
  Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_LAUNCH);
  driver.Join();
  EXPECT_EQ(ItemLine(L"\\Five\\item1.lnk", L"[OK]") + ItemLine(L"\\Five\\item2.lnk", L"[OK]") +
                ItemLine(L"\\Five\\item3.lnk", L"[OK]") + kAborted,
            end.log);
  EXPECT_TRUE(end.closeShown);
  EXPECT_TRUE(FileExists(temp_ / L"started-item3.txt"));
  EXPECT_FALSE(FileExists(temp_ / L"started-item4.txt"));
  EXPECT_FALSE(FileExists(temp_ / L"started-item5.txt"));
}

// The colour of the first character of `fragment` in the log.
COLORREF ColourAt(HWND dialog, const std::wstring& log, const std::wstring& fragment, bool* automatic) {
  HWND control = GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_LOG);
  const size_t at = log.find(fragment);
  if (at == std::wstring::npos) return CLR_INVALID;
  // The control counts a line break as one character, as LogText shows it.
  SendMessageW(control, EM_SETSEL, at, at + 1);
  CHARFORMAT2W format = {};
  format.cbSize = sizeof(format);
  SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  *automatic = (format.dwEffects & CFE_AUTOCOLOR) != 0;
  return format.crTextColor;
}

TEST_F(ProgressDialog, FailuresAreCountedColouredAndTheBarStillReachesTheEnd) {
  const std::wstring folder = Folder(L"Mixed");
  std::string order;
  for (int i = 1; i <= 5; ++i) {
    const std::wstring name = L"m" + std::to_wstring(i) + L".lnk";
    if (i == 2 || i == 4) {
      ASSERT_TRUE(MakeShortcut(folder + L"\\" + name, temp_ / L"no such program.exe"));
    } else {
      MakeAppShortcut(folder, name, L"m" + std::to_wstring(i));
    }
    order += "m" + std::to_string(i) + ".lnk\r\n";
  }
  WriteBytes(folder + L"\\order.ini", order);

  RunEnd end;
  COLORREF okColour = 0, errorColour = 0, afterColour = 0;
  bool okAuto = true, errorAuto = true, afterAuto = false;
  DialogDriver driver(kCaption, [&](HWND dialog) {
    WaitForLog(dialog, L"エラーが発生しています", kDialogTimeoutMs);
    const std::wstring log = LogText(dialog);
    okColour = ColourAt(dialog, log, L"[OK]", &okAuto);
    errorColour = ColourAt(dialog, log, L"[ERROR]", &errorAuto);
    afterColour = ColourAt(dialog, log, L"<ラウンチャーアイテムルート>\\Mixed\\m3", &afterAuto);
    CloseAfter(L"", &end)(dialog);
  });
  Launch_RunWithProgress(nullptr, folder.c_str(), D_LONG_LAUNCH_RUNMODE_LAUNCH);
  driver.Join();

  EXPECT_NE(std::wstring::npos, end.log.find(TotalErrors(5, 2))) << end.log;
  EXPECT_EQ(5, end.position);
  EXPECT_EQ(5, end.upper);
  EXPECT_NE(std::wstring::npos, end.log.find(ItemLine(L"\\Mixed\\m3.lnk", L"[OK]")));
  const size_t error = end.log.find(L"\\Mixed\\m2.lnk ..... [ERROR] (");
  ASSERT_NE(std::wstring::npos, error) << end.log;
  const size_t lineEnd = end.log.find(L"\n", error);
  EXPECT_EQ(L')', end.log[lineEnd - 1]) << "the reason is the system's text on the same line";
  EXPECT_GT(lineEnd - error, wcslen(L"\\Mixed\\m2.lnk ..... [ERROR] ()"));

  EXPECT_FALSE(okAuto);
  EXPECT_EQ(D_COLORREF_LAUNCH_RESULT_OK, okColour);
  EXPECT_FALSE(errorAuto);
  EXPECT_EQ(D_COLORREF_LAUNCH_RESULT_ERROR, errorColour);
  EXPECT_TRUE(afterAuto) << "text after a result is back in the default colour";
}

TEST_F(ProgressDialog, AShortcutMarkedRunAsAdministratorStartsWithItsProcess) {
  const std::wstring path = MakeAppShortcut(Folder(L"Admin"), L"admin.lnk", L"admin");
  {
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    ComPtr<IShellLinkDataList> data;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           link.ReceiveVoid())));
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())));
    ASSERT_TRUE(SUCCEEDED(file->Load(path.c_str(), STGM_READWRITE)));
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IShellLinkDataList, data.ReceiveVoid())));
    DWORD flags = 0;
    data->GetFlags(&flags);
    ASSERT_TRUE(SUCCEEDED(data->SetFlags(flags | SLDF_RUNAS_USER)));
    ASSERT_TRUE(SUCCEEDED(file->Save(path.c_str(), TRUE)));
  }
  ShellLaunchResult result = Launch_StartItem(path.c_str());
  EXPECT_GT(result.instanceResult, 32) << result.error;
  EXPECT_NE(nullptr, result.process);
  if (result.process != nullptr) CloseHandle(result.process);
  EXPECT_NE(nullptr, WaitForTestApp(L"admin", 5000));
}

TEST(ProgressLog, ErrorsWithoutSystemTextNameTheirCode) {
  gHINSTANCE_WinMain_ResourceInstance = GetModuleHandleW(nullptr);
  wchar_t text[256];
  Launch_DescribeError(0x2000ABCD, text, 256);
  EXPECT_STREQ(L"Windows エラーコード 536914893 (0x2000ABCD)", text);
  Launch_DescribeError(ERROR_FILE_NOT_FOUND, text, 256);
  EXPECT_EQ(nullptr, wcschr(text, L'\n'));
  EXPECT_NE(0u, wcslen(text));
  EXPECT_EQ(nullptr, wcsstr(text, L"エラーコード"));
}

}  // namespace
