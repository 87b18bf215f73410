// Finding, reading and answering message boxes the way a user would.
#ifndef CORVANTA_TESTS_SUPPORT_MESSAGE_BOX_H
#define CORVANTA_TESTS_SUPPORT_MESSAGE_BOX_H

#include <windows.h>

#include <string>
#include <thread>

namespace test {

struct SeenMessageBox {
  bool found = false;
  std::wstring caption;
  std::wstring text;
  DWORD style = 0;  // the box window's extended style (WS_EX_TOPMOST...)
};

// Waits up to `timeoutMs` for a visible message box (class "#32770") with this
// caption (any caption when empty), of process `processId` when not 0; reads
// its text (control 0xFFFF) and answers it with `button` (IDOK, IDCANCEL...).
SeenMessageBox AnswerMessageBox(const std::wstring& caption, int button, DWORD timeoutMs, DWORD processId = 0);

// True when no such box appears within `milliseconds`.
bool NoMessageBoxFor(DWORD milliseconds, DWORD processId = 0);

// Answers a box from a second thread: for boxes that the test's own thread
// shows modally.  Wait() joins and returns what was seen.
class AsyncMessageBoxAnswer {
 public:
  AsyncMessageBoxAnswer(std::wstring caption, int button, DWORD timeoutMs);
  ~AsyncMessageBoxAnswer();
  AsyncMessageBoxAnswer(const AsyncMessageBoxAnswer&) = delete;
  AsyncMessageBoxAnswer& operator=(const AsyncMessageBoxAnswer&) = delete;
  SeenMessageBox Wait();

 private:
  SeenMessageBox seen_;
  std::thread thread_;
};

}  // namespace test

#endif
