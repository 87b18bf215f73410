// The one test harness: temp folders and files, shortcuts, trace records,
// waiting for a condition, boxes and dialogs, the menu driver and real input,
// and child processes (the test program, copies of Corvanta.exe).
#ifndef CORVANTA_TESTS_SUPPORT_TEST_SUPPORT_H
#define CORVANTA_TESTS_SUPPORT_TEST_SUPPORT_H

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/handles.h"

namespace test {

// Polls `condition` every 10 ms until it holds or `timeoutMs` has passed; its last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A fresh folder under the temp folder, removed with all it holds (links are
// removed, never followed) at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};
void RemoveTree(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
inline void MakeFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
std::string ToAnsi(const std::wstring& text);  // the ANSI code page: 932 under the test locale
std::wstring FromAnsi(const std::string& text);
std::wstring FromUtf8(const std::string& text);

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

// Collects every trace record reported while it lives.
class TraceRecorder {
 public:
  struct Record { int level; std::wstring prefix, text; };
  TraceRecorder();
  ~TraceRecorder();
  const std::vector<Record>& Records() const { return records_; }
  bool Contains(int level, const std::wstring& fragment) const;  // some record of `level` holds `fragment`
  void Clear() { records_.clear(); }

 private:
  std::vector<Record> records_;
};
// Sets glong_WinMain_ForceTraceFlag for the scope.
class ScopedTraceFlag {
 public:
  explicit ScopedTraceFlag(long value);
  ~ScopedTraceFlag();

 private:
  long saved_;
};
void PumpMessages(DWORD milliseconds);  // runs the thread's message queue
// What the in-process tests of windows need: the ANSI code page for the C runtime, COM, the common controls,
// rich edit, and the program's own resources.
void PrepareUi();
// The seven stored settings in file order, then whether arrangement is available.
void SetSettings(const std::vector<long>& values);
std::vector<long> Settings();  // the seven stored ones
// The progress dialog's log with every line break as "\n"; waiting for `fragment` in it (false when the
// dialog went or the time ran out).
std::wstring ProgressLog(HWND dialog);
bool WaitForProgressLog(HWND dialog, const std::wstring& fragment, DWORD timeoutMs = 15000);

// The menu driver: the open popup menus ("#32768" windows) of a process, an
// entry's screen rectangle in one; real input.
std::vector<HWND> OpenMenus(DWORD processId = GetCurrentProcessId());
HWND FindOpenMenu();
HWND WaitForOpenMenu(DWORD timeoutMs);
bool WaitForNoOpenMenu(DWORD timeoutMs);
bool WaitForMenuCount(size_t count, DWORD timeoutMs, DWORD processId = GetCurrentProcessId());
bool MenuEntryRect(HWND menuWindow, int position, RECT* rect);
MENUITEMINFOW MenuEntry(HMENU menu, int position);  // its ID, data, submenu, type and state
void MouseAt(POINT point, DWORD button);  // moved there, with MOUSEEVENTF_LEFTDOWN/UP or 0
void ClickAt(POINT point);
void PressKey(WORD virtualKey);
void PressKeys(std::initializer_list<WORD> keys);  // with a pause after each

// Boxes and dialogs: a visible top-level window of this class and title (any when
// empty) and process (any when 0); a button pressed as its click arrives.
HWND FindTopLevelWindow(const wchar_t* windowClass, const std::wstring& title, DWORD processId);
HWND WaitForWindow(const wchar_t* windowClass, const std::wstring& title, DWORD timeoutMs, DWORD processId = 0);
void Press(HWND dialog, int id);
struct SeenMessageBox {
  bool found = false;
  std::wstring caption, text;  // the text is control 0xFFFF
  DWORD style = 0;             // the extended style (WS_EX_TOPMOST...)
  HWND owner = nullptr;
};
// Waits for a box with this caption, reads it, answers `button` and waits for it to go.
SeenMessageBox AnswerMessageBox(const std::wstring& caption, int button, DWORD timeoutMs, DWORD processId = 0);

// Runs `script` on a second thread with this process's dialog titled `caption`
// once it appears, while the test's thread runs that dialog modally.
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
// Answers a box of this process from a second thread; Wait() returns what was seen (AnswerBoxDuring does
// the same without waiting out the time when no box comes).
class AsyncMessageBoxAnswer {
 public:
  AsyncMessageBoxAnswer(std::wstring caption, int button, DWORD timeoutMs)
      : driver_(caption, [=](HWND) { seen_ = AnswerMessageBox(caption, button, timeoutMs, GetCurrentProcessId()); }) {}
  SeenMessageBox Wait() { return driver_.Join(), seen_; }

 private:
  SeenMessageBox seen_;
  DialogDriver driver_;
};
// Runs `action` on this thread while a second thread answers `button` to a box of this process captioned
// `caption` (any dialog when empty) that shows before the action has returned: what it saw, `found` false when none.
SeenMessageBox AnswerBoxDuring(const std::wstring& caption, int button, const std::function<void()>& action);

// A window of the thread that makes it: Pass() (from another thread) posts it a message and waits until that
// thread has handled it, so every message posted to that thread before has been handled too.  (A sent
// message jumps the queue and proves nothing.)
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
  bool Start(const std::wstring& exe, const std::wstring& arguments);  // in the exe's folder
  DWORD Wait(DWORD timeoutMs);                                         // the exit code, or kStillRunning
  DWORD Id() const { return id_; }
  void Kill();

 private:
  KernelHandle process_;
  DWORD id_ = 0;
};
DWORD RunProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs);  // to its end
HWND WaitForMainWindow(DWORD timeoutMs);  // a running Corvanta's, found by its title
bool WaitForNoMainWindow(DWORD timeoutMs);
std::wstring TestAppPath();  // corvanta_test_app.exe, which the launch tests start
void CloseTestApps();

}  // namespace test

#endif
