// Trace facility and failure reporting.
#include "base/trace.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "base/system_message.h"
#include "base/text.h"

long glong_WinMain_ForceTraceFlag = 0;

namespace {

constexpr size_t kPrefixCapacity = 16;

TraceSink gSink = nullptr;
void* gSinkContext = nullptr;
wchar_t gLogFilePath[MAX_PATH + 1] = L"";

// One line "yyyy-mm-dd hh:mm:ss.mmm <prefix><text>" appended to the log file as
// UTF-8.  The file is opened per record so nothing stays open and a crash
// loses nothing already reported.
void AppendToLogFile(const wchar_t* prefix, const wchar_t* text) {
  if (gLogFilePath[0] == L'\0') return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t line[D_SIZE_MESSAGE + 64];
  Text_Format(line, ARRAYSIZE(line), L"%04u-%02u-%02u %02u:%02u:%02u.%03u %ls%ls\r\n",
              now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond,
              now.wMilliseconds, prefix, text);
  char utf8[(D_SIZE_MESSAGE + 64) * 3];
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof(utf8), nullptr, nullptr);
  if (bytes <= 1) return;
  HANDLE file = CreateFileW(gLogFilePath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, utf8, static_cast<DWORD>(bytes - 1), &written, nullptr);
  CloseHandle(file);
}

void DefaultSink(int, const wchar_t* prefix, const wchar_t* text, void*) {
  wchar_t line[D_SIZE_MESSAGE + kPrefixCapacity + 16];
  Text_Format(line, ARRAYSIZE(line), L"Corvanta: %ls%ls\n", prefix, text);
  OutputDebugStringW(line);
  AppendToLogFile(prefix, text);
}

}  // namespace

int Trace(int level, const wchar_t* text) {
  // Level-1 records are dropped before anything is prepared: they are
  // reported in every loop over entries.
  if (level == TRACE_LEVEL_TRACE && glong_WinMain_ForceTraceFlag != 1) return 0;
  wchar_t prefix[kPrefixCapacity];
  wchar_t record[D_SIZE_MESSAGE];
  memset(prefix, 0, sizeof(prefix));
  memset(record, 0, sizeof(record));
  switch (level) {
    case TRACE_LEVEL_TRACE:
      if (glong_WinMain_ForceTraceFlag != 1) return 0;
      Text_Copy(prefix, kPrefixCapacity, L"[WARNING]   ");
      break;
    case TRACE_LEVEL_WARNING:
      Text_Copy(prefix, kPrefixCapacity, L"[WARNING]   ");
      break;
    case TRACE_LEVEL_ERROR:
      Text_Copy(prefix, kPrefixCapacity, L"[ERROR]     ");
      break;
    case TRACE_LEVEL_INFORMATION:
      Text_Copy(prefix, kPrefixCapacity, L"[INFOMATION]");
      break;
    case TRACE_LEVEL_QUESTION:
      Text_Copy(prefix, kPrefixCapacity, L"[QUESTION]  ");
      break;
    default:
      return -1;
  }
  // A text longer than the record is cut at the record's end, never overrun.
  if (text != nullptr) Text_Format(record, D_SIZE_MESSAGE, L"%ls", text);
  if (gSink != nullptr) {
    gSink(level, prefix, record, gSinkContext);
  } else {
    DefaultSink(level, prefix, record, nullptr);
  }
  return 0;
}

void Tracef(int level, const wchar_t* format, ...) {
  if (level == TRACE_LEVEL_TRACE && glong_WinMain_ForceTraceFlag != 1) return;
  wchar_t text[D_SIZE_MESSAGE];
  va_list args;
  va_start(args, format);
  Text_FormatV(text, D_SIZE_MESSAGE, format, args);
  va_end(args);
  Trace(level, text);
}

void Trace_SetSink(TraceSink sink, void* context) {
  gSink = sink;
  gSinkContext = context;
}

void Trace_SetLogFile(const wchar_t* path) {
  if (path == nullptr || Text_Copy(gLogFilePath, ARRAYSIZE(gLogFilePath), path) != 0) {
    gLogFilePath[0] = L'\0';
  }
}

void Trace_ReportError(TraceFrame frame, const wchar_t* call, DWORD error) {
  static const wchar_t* const kLongForms[] = {
      L"外部処理異常終了( %ls, FormatMessage=%ls )",
      L"外部処理が異常終了しました( %ls, FormatMessage=%ls )",
      L"外部処理異常終了( %ls, GetLastError=%ls )",
  };
  static const wchar_t* const kShortForms[] = {
      L"外部処理異常終了( %ls )",
      L"外部処理が異常終了しました( %ls )",
      L"外部処理異常終了( %ls )",
  };
  // No file is at hand here: inserts in the system's text are dropped.
  wchar_t systemText[D_SIZE_MESSAGE];
  if (Text_SystemMessage(error, nullptr, systemText, D_SIZE_MESSAGE) > 0) {
    Tracef(TRACE_LEVEL_ERROR, kLongForms[frame], call, systemText);
  } else {
    Tracef(TRACE_LEVEL_ERROR, kShortForms[frame], call);
  }
}

void Trace_ReportLastError(TraceFrame frame, const wchar_t* call) {
  Trace_ReportError(frame, call, GetLastError());
}

void Trace_ReportOperationFailed(const wchar_t* operation) {
  Tracef(TRACE_LEVEL_ERROR, L"外部処理異常終了( %ls )", operation);
}

TraceScope::TraceScope(const char* function) : function_(function) {
  if (glong_WinMain_ForceTraceFlag == 1) Tracef(TRACE_LEVEL_TRACE, L"%hs() 開始", function_);
}

TraceScope::~TraceScope() {
  if (glong_WinMain_ForceTraceFlag == 1) Tracef(TRACE_LEVEL_TRACE, L"%hs() 終了", function_);
}
