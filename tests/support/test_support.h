// The one test harness: files, shortcuts, traces, waiting, boxes and dialogs, menus and input, processes.
#ifndef CORVANTA_TESTS_SUPPORT_TEST_SUPPORT_H
#define CORVANTA_TESTS_SUPPORT_TEST_SUPPORT_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/handles.h"
#include "base/trace.h"

namespace test {

// Polls `condition` every 10 ms until it holds or `timeoutMs` has passed; its last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

void RemoveTree(const std::wstring& path);  // links are removed, never followed
// A fresh folder under the temp folder, removed with all it holds at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
inline void MakeFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
std::string ToAnsi(const std::wstring& text);  // the ANSI code page: 932 under the test locale
std::wstring FromAnsi(const std::string& bytes);
std::wstring FromUtf8(const std::string& bytes);

// The 24 lines of the default config.ini, written out independently of the program; with
// `key`'s value replaced (its line left out when `value` is null); as they lie on disk.
const std::vector<std::wstring>& DefaultSettingLines();
std::vector<std::wstring> SettingLinesWith(const std::wstring& key, const wchar_t* value);
std::string SettingFileBytes(const std::vector<std::wstring>& lines);

std::wstring BinFolder();  // where the tests, Corvanta.exe and Corvanta.dll are built
// The host's /bin/ln ("ln -s", making `path` lead to `target`) or /bin/rm ("rm -f") on Wine's Unix
// paths, as Windows calls would follow a link; Wine gives no exit code, so it waits for the effect.
bool Host(const std::wstring& command, const std::wstring& path, const std::wstring& target = L"");
std::wstring ShortcutTarget(const std::wstring& shortcutPath);
bool MakeShortcut(const std::wstring& shortcutPath, const std::wstring& target, const std::wstring& arguments = L"",
                  const std::wstring& directory = L"", DWORD linkFlags = 0);

class TraceRecorder {
 public:
  struct Record { int level; std::wstring prefix, text; };
  TraceRecorder() {
    Trace_SetSink([](int level, const wchar_t* prefix, const wchar_t* text, void* self) {
      static_cast<TraceRecorder*>(self)->records_.push_back(Record{level, prefix, text});
    }, this);
  }
  ~TraceRecorder() { Trace_SetSink(nullptr, nullptr); }
  const std::vector<Record>& Records() const { return records_; }
  bool Contains(int level, const std::wstring& fragment) const {  // in the text of a record of `level`
    for (const Record& record : records_) {
      if (record.level == level && record.text.find(fragment) != std::wstring::npos) return true;
    }
    return false;
  }
  void Clear() { records_.clear(); }

 private:
  std::vector<Record> records_;
};
struct ScopedTraceFlag {
  explicit ScopedTraceFlag(long value) : saved(glong_WinMain_ForceTraceFlag) { glong_WinMain_ForceTraceFlag = value; }
  ~ScopedTraceFlag() { glong_WinMain_ForceTraceFlag = saved; }
  const long saved;
};
void PumpMessages(DWORD milliseconds);
// For in-process tests of windows: the ANSI code page, COM, common controls, rich edit, the program's resources.
void PrepareUi();
// The seven stored settings in file order, then whether arrangement is available; Settings() the seven.
void SetSettings(const std::vector<long>& values);
std::vector<long> Settings();
// The progress dialog's log, line breaks as "\n"; waiting for `fragment` in it (false once the dialog went).
std::wstring ProgressLog(HWND dialog);
bool WaitForProgressLog(HWND dialog, const std::wstring& fragment, DWORD timeoutMs = 15000);

// The open popup menus ("#32768" windows) of a process, an entry's screen rectangle in one; real input.
std::vector<HWND> OpenMenus(DWORD processId = GetCurrentProcessId());
HWND FindOpenMenu();
HWND WaitForOpenMenu(DWORD timeoutMs);
inline bool WaitForMenuCount(size_t count, DWORD timeoutMs, DWORD processId = GetCurrentProcessId()) {
  return WaitUntil([=] { return OpenMenus(processId).size() == count; }, timeoutMs);
}
inline bool WaitForNoOpenMenu(DWORD timeoutMs) { return WaitForMenuCount(0, timeoutMs); }
bool MenuEntryRect(HWND menuWindow, int position, RECT* rect);
MENUITEMINFOW MenuEntry(HMENU menu, int position);  // its ID, data, submenu, type and state
void MouseAt(POINT point, DWORD button);  // moved there, with MOUSEEVENTF_LEFTDOWN/UP or 0
void ClickAt(POINT point);
void PressKey(WORD virtualKey);
void PressKeys(std::initializer_list<WORD> keys);  // with a pause after each

// A visible top-level window of this class, title and process (any when empty or 0); Press posts a click.
HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& title, DWORD timeoutMs, DWORD processId = 0);
inline void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
struct SeenMessageBox {
  bool found = false;
  std::wstring caption, text;
  DWORD style = 0;  // the extended style (WS_EX_TOPMOST...)
  HWND owner = nullptr;
};
// Waits for a box with this caption, reads it, answers `button` and waits for it to go.
SeenMessageBox AnswerMessageBox(const std::wstring& caption, int button, DWORD timeoutMs, DWORD processId = 0);

// Runs `script` on a second thread on this process's dialog `caption` while the test's thread runs it modally.
class DialogDriver {
 public:
  DialogDriver(std::wstring caption, std::function<void(HWND)> script);
  ~DialogDriver() { Join(); }
  void Join() { thread_.joinable() ? thread_.join() : void(); }
  void Finish() { stop_ = true, Join(); }  // a dialog not yet come is no longer awaited
  bool found = false;

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
// Runs `action` on this thread while a second thread answers `button` to a box of this process captioned
// `caption` (any dialog when empty) that shows before the action has returned: what it saw, `found` false when none.
SeenMessageBox AnswerBoxDuring(const std::wstring& caption, int button, const std::function<void()>& action);

// A window of the thread that makes it: Pass() (from another thread) posts it a message and waits until that
// thread has handled it, and so every message posted to that thread before (a sent one would jump the queue).
class QueueBarrier {
 public:
  QueueBarrier();
  ~QueueBarrier() { DestroyWindow(window_); }
  bool Pass() const;

 private:
  HWND window_;
};

constexpr DWORD kStillRunning = 0xFFFFFFF0;
class ChildProcess {
 public:
  ~ChildProcess() { Kill(); }
  // In `folder`, or the exe's own when empty.
  bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder = L"");
  DWORD Wait(DWORD timeoutMs);                                         // the exit code, or kStillRunning
  DWORD Id() const { return id_; }
  void Kill();

 private:
  KernelHandle process_;
  DWORD id_ = 0;
};
inline DWORD RunProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs) {  // to its end
  ChildProcess process;
  return process.Start(exe, arguments) ? process.Wait(timeoutMs) : kStillRunning;
}
HWND WaitForMainWindow(DWORD timeoutMs);  // a running Corvanta's, found by its title
inline std::wstring TestAppPath() { return BinFolder() + L"\\corvanta_test_app.exe"; }  // started by launch tests
void CloseTestApps();

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitMinusOne = 0xFFFFFFFF;
// A private copy of Corvanta.exe (and its hook library) in a temp folder.
class InstalledProgram {
 public:
  explicit InstalledProgram(const std::wstring& exeName = L"Corvanta.exe", const std::wstring& hookLibrary = L"")
      : exe_(folder_ / exeName), logName_(exeName.substr(0, exeName.find_last_of(L'.')) + L".trace.log") {
    CopyFileW((BinFolder() + L"\\Corvanta.exe").c_str(), exe_.c_str(), FALSE);
    const std::wstring library = hookLibrary.empty() ? BinFolder() + L"\\Corvanta.dll" : hookLibrary;
    CopyFileW(library.c_str(), Path(L"Corvanta.dll").c_str(), FALSE);
  }
  const std::wstring& Exe() const { return exe_; }
  std::wstring Path(const std::wstring& name) const { return folder_ / name; }
  std::wstring SettingFile() const { return Path(L"config.ini"); }
  std::wstring Root() const { return Path(L"ラウンチャーアイテムルート"); }
  void Settle() {  // a valid config.ini and an empty launcher item root: a start without boxes
    WriteBytes(SettingFile(), SettingFileBytes(DefaultSettingLines()));
    MakeFolder(Root());
  }
  std::wstring TraceLog() const { return FromUtf8(ReadBytes(Path(logName_))); }  // the DEBUG log, or empty

 private:
  TempFolder folder_;
  std::wstring exe_, logName_;
};

// Posts a right press on the tray icon to the main window: whether the tray menu opened, then the only menu open.
inline bool OpenTrayMenu(DWORD processId) {
  PostMessageW(WaitForMainWindow(0), WM_USER + 100, 0, WM_RBUTTONDOWN);
  return WaitForMenuCount(1, kStartTimeoutMs, processId);
}

inline bool StartAndWaitForMainWindow(ChildProcess& process, const std::wstring& exe, const std::wstring& arguments) {
  return process.Start(exe, arguments) && WaitForMainWindow(kStartTimeoutMs);
}

}  // namespace test

#endif
