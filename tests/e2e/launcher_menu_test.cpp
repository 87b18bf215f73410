// The main job with the real Corvanta.exe: open the menu from the tray icon
// or the hotkey, walk it with the keyboard and the mouse, confirm, and watch
// the progress dialog start the chosen programs.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "e2e/e2e_support.h"
#include "resource.h"

namespace {

using namespace test;

constexpr UINT kTrayCallback = WM_USER + 100;
const wchar_t kRunCaption[] = L"ラウンチャーアイテム実行確認";

struct MenuSearch {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectMenus(HWND window, LPARAM parameter) {
  MenuSearch* search = reinterpret_cast<MenuSearch*>(parameter);
  wchar_t name[16];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && IsWindowVisible(window) && GetClassNameW(window, name, 16) > 0 &&
      lstrcmpW(name, L"#32768") == 0) {
    search->found.push_back(window);
  }
  return TRUE;
}

// The visible popup menu windows of `process`.
std::vector<HWND> OpenMenus(DWORD process) {
  MenuSearch search = {process, {}};
  EnumWindows(CollectMenus, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool WaitForMenuCount(DWORD process, size_t count, DWORD timeoutMs = kStartTimeoutMs) {
  DWORD start = GetTickCount();
  while (OpenMenus(process).size() != count) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

void Keys(std::initializer_list<WORD> keys) {
  for (WORD key : keys) {
    PressKey(key);
    Sleep(150);
  }
}

// A menu window's first entry: 15 pixels below its top edge.
POINT FirstEntryOf(HWND menu) {
  RECT rect = {};
  GetWindowRect(menu, &rect);
  return POINT{rect.left + 30, rect.top + 15};
}

HWND FindDialog(const wchar_t* caption, DWORD process, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    HWND dialog = FindWindowW(nullptr, caption);
    DWORD owner = 0;
    if (dialog != nullptr) GetWindowThreadProcessId(dialog, &owner);
    if ((dialog != nullptr && owner == process) || GetTickCount() - start > timeoutMs) return dialog;
    Sleep(20);
  }
}

std::wstring ProgressLog(HWND dialog) {
  wchar_t text[4096] = L"";
  SendMessageW(GetDlgItem(dialog, IDC_LAUNCH_PROGRESS_LOG), WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
  return text;
}

HWND FindProgressDialog(DWORD process, DWORD timeoutMs) { return FindDialog(L"Launch Progress", process, timeoutMs); }

// Waits for the run's totals (taking the arrangement chooser's preset with
// OK when it comes), returns the log and closes the dialog.
std::wstring FinishRun(DWORD process) {
  HWND dialog = FindProgressDialog(process, kStartTimeoutMs);
  if (dialog == nullptr) return L"(no progress dialog)";
  std::wstring log;
  DWORD start = GetTickCount();
  while ((log = ProgressLog(dialog)).find(L"処理件数") == std::wstring::npos && GetTickCount() - start < 20000) {
    HWND chooser = FindDialog(L"起動アプリケーションウィンドウの整列", process, 0);
    if (chooser != nullptr) PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDC_LAUNCH_ARRANGE_OK, BN_CLICKED), 0);
    Sleep(50);
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LAUNCH_PROGRESS_CLOSE, BN_CLICKED), 0);
  return log;
}

class LauncherMenuRun : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    program_.Settle();
    MakeFolder(program_.Root() + L"\\A");
    MakeAppShortcut(L"A\\b.lnk", L"b");
  }
  void TearDown() override {
    if (running_.Wait(0) == kStillRunning) {
      RunProgram(program_.Exe(), L"QuitApplication", kStartTimeoutMs);
      running_.Wait(kStartTimeoutMs);
    }
    CloseTestApps();
    CoUninitialize();
  }

  void MakeAppShortcut(const std::wstring& relative, const std::wstring& tag) {
    ASSERT_TRUE(MakeShortcut(program_.Root() + L"\\" + relative, BinFolder() + L"\\corvanta_test_app.exe"));
    // The test program takes its tag from the arguments: write them in.
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link));
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    file->Load((program_.Root() + L"\\" + relative).c_str(), STGM_READWRITE);
    link->SetArguments((L"--tag " + tag).c_str());
    link->SetWorkingDirectory(program_.Path(L"").c_str());
    file->Save(nullptr, TRUE);
    file->Release();
    link->Release();
  }

  void Start() {
    ASSERT_TRUE(StartAndWaitForMainWindow(running_, program_.Exe(), L"DEBUG"));
    window_ = FindWindowW(nullptr, L"Corvanta - MainWindow(デバッグ時のみ表示)");
  }

  void OpenFromTray() {
    PostMessageW(window_, kTrayCallback, 0, WM_RBUTTONDOWN);
    ASSERT_TRUE(WaitForMenuCount(running_.Id(), 1)) << "the tray menu opens";
    trayMenu_ = OpenMenus(running_.Id()).front();
  }

  // Highlights the root entry and opens its submenu (folder A highlighted).
  void OpenFolderA() {
    OpenFromTray();
    Keys({VK_DOWN, VK_RIGHT});
    ASSERT_TRUE(WaitForMenuCount(running_.Id(), 2)) << "the root submenu opens";
    for (HWND menu : OpenMenus(running_.Id())) {
      if (menu != trayMenu_) rootMenu_ = menu;
    }
  }

  bool Started(const std::wstring& tag) { return FileExists(program_.Path(L"started-" + tag + L".txt")); }

  InstalledProgram program_;
  ChildProcess running_;
  HWND window_ = nullptr;
  HWND trayMenu_ = nullptr;
  HWND rootMenu_ = nullptr;
};

TEST_F(LauncherMenuRun, EnterOnAShortcutConfirmsWithItsPathAndRunsIt) {
  Start();
  OpenFolderA();
  Keys({VK_RIGHT});
  ASSERT_TRUE(WaitForMenuCount(running_.Id(), 3)) << "folder A opens, filled on its highlight";
  Keys({VK_RETURN});
  SeenMessageBox box = AnswerMessageBox(kRunCaption, IDOK, kStartTimeoutMs, running_.Id());
  ASSERT_TRUE(box.found);
  EXPECT_EQ(L"以下のファイルを実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A\\b.lnk", box.text);
  EXPECT_EQ(0u, OpenMenus(running_.Id()).size()) << "the menu closed before the run";
  const std::wstring log = FinishRun(running_.Id());
  EXPECT_NE(std::wstring::npos, log.find(L"<ラウンチャーアイテムルート>\\A\\b.lnk ..... [OK]")) << log;
  EXPECT_TRUE(Started(L"b"));
}

TEST_F(LauncherMenuRun, AClickOnAFolderEntryRunsTheWholeFolder) {
  MakeAppShortcut(L"A\\c.lnk", L"c");
  Start();
  OpenFolderA();
  ASSERT_NE(nullptr, rootMenu_);
  SeenMessageBox box;
  std::thread answer([&] { box = AnswerMessageBox(kRunCaption, IDOK, kStartTimeoutMs, running_.Id()); });
  ClickAt(FirstEntryOf(rootMenu_));  // folder A, its only entry
  answer.join();
  ASSERT_TRUE(box.found);
  EXPECT_EQ(L"以下のフォルダ配下を実行します。\nよろしいですか？\n\n<ラウンチャーアイテムルート>\\A", box.text);
  const std::wstring log = FinishRun(running_.Id());
  EXPECT_NE(std::wstring::npos, log.find(L"合計=2件")) << log;
  EXPECT_EQ(0u, OpenMenus(running_.Id()).size()) << "the menu closed before the run";
  EXPECT_TRUE(Started(L"b"));
  EXPECT_TRUE(Started(L"c"));
}

TEST_F(LauncherMenuRun, CancelRunsNothingAndTheRootEntryIsNoChoice) {
  Start();
  OpenFolderA();
  Keys({VK_RIGHT});
  ASSERT_TRUE(WaitForMenuCount(running_.Id(), 3));
  Keys({VK_RETURN});
  ASSERT_TRUE(AnswerMessageBox(kRunCaption, IDCANCEL, kStartTimeoutMs, running_.Id()).found);
  EXPECT_EQ(nullptr, FindProgressDialog(running_.Id(), 500));
  EXPECT_FALSE(Started(L"b"));

  // Enter on the root entry itself closes the menu and runs nothing.
  OpenFromTray();
  Keys({VK_DOWN, VK_RETURN});
  EXPECT_TRUE(WaitForMenuCount(running_.Id(), 0));
  EXPECT_TRUE(NoMessageBoxFor(500, running_.Id()));
  EXPECT_EQ(nullptr, FindProgressDialog(running_.Id(), 200));
}

TEST_F(LauncherMenuRun, WithTheConfirmationSuppressedAChoiceRunsAtOnce) {
  std::vector<std::wstring> lines = DefaultSettingLines();
  std::replace(lines.begin(), lines.end(), std::wstring(L"SUPRESS_DIALOG_BEFORE_EXECUTE=0"),
               std::wstring(L"SUPRESS_DIALOG_BEFORE_EXECUTE=1"));
  program_.WriteSettings(lines);
  Start();
  OpenFolderA();
  Keys({VK_RETURN});  // folder A
  const std::wstring log = FinishRun(running_.Id());
  EXPECT_NE(std::wstring::npos, log.find(L"[OK]")) << log;
  EXPECT_TRUE(Started(L"b"));
  EXPECT_EQ(std::wstring::npos, program_.TraceLog().find(L"非ディレクトリです")) << "no confirmation was prepared";
}

TEST_F(LauncherMenuRun, TheHotkeyOpensTheMenu) {
  Start();
  INPUT inputs[6] = {};
  const WORD keys[3] = {VK_CONTROL, VK_SHIFT, 'Z'};
  for (int i = 0; i < 3; ++i) {
    inputs[i].type = inputs[5 - i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = inputs[5 - i].ki.wVk = keys[i];
    inputs[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  // Synthetic input now and then goes astray under Wine while no window has
  // the X focus yet: press again, a few times at most.
  bool opened = false;
  for (int attempt = 0; attempt < 4 && !opened; ++attempt) {
    SendInput(6, inputs, sizeof(INPUT));
    opened = WaitForMenuCount(running_.Id(), 1, 3000);
  }
  ASSERT_TRUE(opened) << "Ctrl+Shift+Z opens the menu\n" << program_.TraceLog();
  Keys({VK_ESCAPE});
  EXPECT_TRUE(WaitForMenuCount(running_.Id(), 0));
  EXPECT_NE(std::wstring::npos, program_.TraceLog().find(L"(int)wparam = 100"));
}

}  // namespace

namespace {

using namespace test;

// Not a check: draws the picture of the open menu for the documentation when
// CORVANTA_SCREENSHOT names a file (scripts/screenshot.sh sets it).
TEST(DocsScreenshot, OpenCascadingMenu) {
  char target[1024] = "";
  if (GetEnvironmentVariableA("CORVANTA_SCREENSHOT", target, sizeof(target)) == 0) {
    GTEST_SKIP() << "set CORVANTA_SCREENSHOT to a Unix path to take the picture";
  }
  CoInitialize(nullptr);
  InstalledProgram program;
  ChildProcess running;
  ASSERT_TRUE(running.Start(program.Exe(), L""));
  ASSERT_TRUE(AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).found);
  ASSERT_TRUE(AnswerMessageBox(L"初期設定", IDOK, kStartTimeoutMs, running.Id()).found);
  HWND window = WaitForMainWindow(kStartTimeoutMs);
  ASSERT_NE(nullptr, window);
  const std::wstring root = program.Root();
  // Folders only at the top, so whichever comes first opens with Right.
  MakeFolder(root + L"\\ツール");
  MakeShortcut(root + L"\\ツール\\メモ帳.lnk", L"C:\\windows\\notepad.exe");
  MakeShortcut(root + L"\\ツール\\レジストリ エディター.lnk", L"C:\\windows\\regedit.exe");
  MakeShortcut(root + L"\\ツール\\コマンド プロンプト.lnk", L"C:\\windows\\system32\\cmd.exe");
  MakeShortcut(root + L"\\ツール\\Wine 設定.lnk", L"C:\\windows\\system32\\winecfg.exe");

  INPUT move = {};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv(900, 65536, GetSystemMetrics(SM_CXSCREEN));
  move.mi.dy = MulDiv(120, 65536, GetSystemMetrics(SM_CYSCREEN));
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &move, sizeof(move));
  Sleep(200);
  PostMessageW(window, kTrayCallback, 0, WM_RBUTTONDOWN);
  ASSERT_TRUE(WaitForMenuCount(running.Id(), 1));
  Keys({VK_DOWN, VK_RIGHT});
  ASSERT_TRUE(WaitForMenuCount(running.Id(), 2));
  Keys({VK_RIGHT});
  ASSERT_TRUE(WaitForMenuCount(running.Id(), 3));
  Sleep(500);

  std::string command = std::string("/usr/bin/import -window root ") + target;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(CreateProcessA("Z:\\usr\\bin\\import", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  // A Unix program gives Wine no exit to wait for: wait for its picture.
  std::wstring windowsTarget = L"Z:" + std::wstring(target, target + strlen(target));
  for (wchar_t& c : windowsTarget) c = c == L'/' ? L'\\' : c;
  for (int i = 0; i < 100 && ReadBytes(windowsTarget).size() < 1000; ++i) Sleep(100);
  Sleep(500);
  Keys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
  RunProgram(program.Exe(), L"QuitApplication", kStartTimeoutMs);
  running.Wait(kStartTimeoutMs);
  CoUninitialize();
}

}  // namespace
