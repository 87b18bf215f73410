#include "support/message_box.h"

#include <vector>

namespace test {
namespace {

struct Search {
  const std::wstring* caption;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
  Search* search = reinterpret_cast<Search*>(parameter);
  wchar_t className[32];
  if (!IsWindowVisible(window) || GetClassNameW(window, className, ARRAYSIZE(className)) == 0 ||
      lstrcmpW(className, L"#32770") != 0) {
    return TRUE;
  }
  if (search->processId != 0) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
  }
  if (!search->caption->empty()) {
    wchar_t title[512];
    GetWindowTextW(window, title, ARRAYSIZE(title));
    if (*search->caption != title) return TRUE;
  }
  search->found = window;
  return FALSE;
}

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> text(length + 2, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  return text.data();
}

HWND FindMessageBox(const std::wstring& caption, DWORD processId) {
  Search search = {&caption, processId, nullptr};
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

SeenMessageBox AnswerMessageBox(const std::wstring& caption, int button, DWORD timeoutMs, DWORD processId) {
  SeenMessageBox seen;
  DWORD start = GetTickCount();
  HWND box = nullptr;
  while ((box = FindMessageBox(caption, processId)) == nullptr) {
    if (GetTickCount() - start > timeoutMs) return seen;
    Sleep(20);
  }
  seen.found = true;
  seen.caption = WindowText(box);
  HWND text = GetDlgItem(box, 0xFFFF);
  if (text != nullptr) seen.text = WindowText(text);
  seen.style = static_cast<DWORD>(GetWindowLongPtrW(box, GWL_EXSTYLE));
  // Posted, not sent: the box may belong to another process or to a thread
  // that is busy, and a posted click never deadlocks the test.
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  while (IsWindow(box) && GetTickCount() - start < timeoutMs + 5000) Sleep(10);
  return seen;
}

bool NoMessageBoxFor(DWORD milliseconds, DWORD processId) {
  const std::wstring any;
  DWORD start = GetTickCount();
  do {
    if (FindMessageBox(any, processId) != nullptr) return false;
    Sleep(20);
  } while (GetTickCount() - start < milliseconds);
  return true;
}

AsyncMessageBoxAnswer::AsyncMessageBoxAnswer(std::wstring caption, int button, DWORD timeoutMs)
    : thread_([this, caption, button, timeoutMs] {
        seen_ = AnswerMessageBox(caption, button, timeoutMs, GetCurrentProcessId());
      }) {}

AsyncMessageBoxAnswer::~AsyncMessageBoxAnswer() {
  if (thread_.joinable()) thread_.join();
}

SeenMessageBox AsyncMessageBoxAnswer::Wait() {
  if (thread_.joinable()) thread_.join();
  return seen_;
}

}  // namespace test
