// Helpers for tests that work on real folders, files and trace records.
#ifndef CORVANTA_TESTS_SUPPORT_TEST_SUPPORT_H
#define CORVANTA_TESTS_SUPPORT_TEST_SUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

namespace test {

// A fresh, empty folder under the temp folder, removed with everything in it
// (read-only files included; links are removed, never followed) at the end.
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

// Removes a tree without following links; used only for cleaning up.
void RemoveTree(const std::wstring& path);

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
void MakeFolder(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
// Text in the ANSI code page (932 under the test locale).
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

// The 24 lines of the default config.ini, written out independently of the program.
const std::vector<std::wstring>& DefaultSettingLines();
// Lines in the ANSI code page, each ending in CR LF: config.ini as it lies on disk.
std::string SettingFileBytes(const std::vector<std::wstring>& lines);

// The folder of the running test program (where Corvanta.exe and Corvanta.dll are built).
std::wstring BinFolder();

// The shortcut's target path, read back through the shell link object.
std::wstring ShortcutTarget(const std::wstring& shortcutPath);
// Creates a shortcut that only has a target path.
bool MakeShortcut(const std::wstring& shortcutPath, const std::wstring& target);

// Collects every trace record reported while it lives.
class TraceRecorder {
 public:
  struct Record {
    int level;
    std::wstring prefix;
    std::wstring text;
  };
  TraceRecorder();
  ~TraceRecorder();
  TraceRecorder(const TraceRecorder&) = delete;
  TraceRecorder& operator=(const TraceRecorder&) = delete;

  const std::vector<Record>& Records() const { return records_; }
  // True when some record of `level` contains `fragment`.
  bool Contains(int level, const std::wstring& fragment) const;
  void Clear() { records_.clear(); }

 private:
  static void Sink(int level, const wchar_t* prefix, const wchar_t* text, void* context);
  std::vector<Record> records_;
};

// Sets glong_WinMain_ForceTraceFlag for the scope and restores it after.
class ScopedTraceFlag {
 public:
  explicit ScopedTraceFlag(long value);
  ~ScopedTraceFlag();

 private:
  long saved_;
};

// Runs the thread's message queue for `milliseconds`.
void PumpMessages(DWORD milliseconds);

// Popup menus ("#32768" windows) of this process and real input to drive them.
// The visible menu window, or nullptr when no menu is open.
HWND FindOpenMenu();
// Polls up to `timeoutMs`; the menu window, or nullptr.
HWND WaitForOpenMenu(DWORD timeoutMs);
// Polls up to `timeoutMs`; true when no menu is open any more.
bool WaitForNoOpenMenu(DWORD timeoutMs);
// Screen rectangle of the entry at `position` of the menu shown in `menuWindow`.
bool MenuEntryRect(HWND menuWindow, int position, RECT* rect);
// Position of the entry with command `id` in the menu shown in `menuWindow`, or -1.
int MenuEntryPosition(HWND menuWindow, UINT id);
// A left click (move, press, release) at a screen point, through SendInput.
void ClickAt(POINT point);
// A key press and release, through SendInput.
void PressKey(WORD virtualKey);

}  // namespace test

#endif
