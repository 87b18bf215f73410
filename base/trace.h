// Trace facility: every operation reports through Trace(); failures of system
// calls are turned into one of the fixed message frames below.
#ifndef CORVANTA_BASE_TRACE_H
#define CORVANTA_BASE_TRACE_H

#include <windows.h>

enum {
  TRACE_LEVEL_TRACE = 1,        // passes only while the forced trace flag is exactly 1
  TRACE_LEVEL_WARNING = 2,
  TRACE_LEVEL_ERROR = 3,
  TRACE_LEVEL_INFORMATION = 4,
  TRACE_LEVEL_QUESTION = 5,
};

// Set by the command word "DEBUG"; level-1 records pass only while it is 1.
extern long glong_WinMain_ForceTraceFlag;

// Reports one record.  0 for a known level (whether or not it passed), -1 otherwise.
int Trace(int level, const wchar_t* text);

// Formats into a 1024-character record buffer and reports it.  The format is
// always a literal of the program's: never pass text from disk as the format.
void Tracef(int level, const wchar_t* format, ...);

// Where finished records go.  The default sink writes to the debugger output
// and, once Trace_SetLogFile has named a file, appends to that file (UTF-8).
// Sinks never show anything to the user.
typedef void (*TraceSink)(int level, const wchar_t* prefix, const wchar_t* text, void* context);
void Trace_SetSink(TraceSink sink, void* context);   // nullptr restores the default
void Trace_SetLogFile(const wchar_t* path);          // nullptr stops file logging

// The fixed frames for a failed system call.  The long form carries the
// system's message text for the error; the short form is used when the system
// has none.
enum TraceFrame {
  TRACE_FRAME_EXTERNAL,         // "外部処理異常終了( %ls, FormatMessage=%ls )"
  TRACE_FRAME_EXTERNAL_POLITE,  // "外部処理が異常終了しました( %ls, FormatMessage=%ls )"
  TRACE_FRAME_STARTUP,          // "外部処理異常終了( %ls, GetLastError=%ls )"
};
// Reports `call` failing with `error` at level 3.
void Trace_ReportError(TraceFrame frame, const wchar_t* call, DWORD error);
// The same with the thread's last error code, read first thing.
void Trace_ReportLastError(TraceFrame frame, const wchar_t* call);
// Reports one of the program's own operations failing: "外部処理異常終了( %ls )".
void Trace_ReportOperationFailed(const wchar_t* operation);

// Reports entry now and exit when the scope ends, both at level 1.
class TraceScope {
 public:
  explicit TraceScope(const char* function);
  ~TraceScope();
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

 private:
  const char* function_;
};
#define TRACE_SCOPE() TraceScope traceScope_(__func__)

#endif
