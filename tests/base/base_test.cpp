// The bottom layer: trace levels and frames, the log file, and bounded text.
#include <gtest/gtest.h>

#include "base/text.h"
#include "base/trace.h"
#include "support/test_support.h"

namespace {

using test::ScopedTraceFlag;
using test::TraceRecorder;

TEST(Trace, LevelsCarryTheirPrefixesAndLevelOneNeedsTheFlagExactlyOne) {
  const wchar_t* prefixes[] = {L"[WARNING]   ", L"[WARNING]   ", L"[ERROR]     ", L"[INFOMATION]", L"[QUESTION]  "};
  for (long flag : {1L, 0L, 2L, -1L}) {
    SCOPED_TRACE(flag);
    ScopedTraceFlag scoped(flag);
    TraceRecorder recorder;
    for (int level = 0; level <= 6; ++level) EXPECT_EQ(level == 0 || level == 6 ? -1 : 0, Trace(level, L"text"));
    Tracef(TRACE_LEVEL_TRACE, L"%ls", L"formatted");
    const int first = flag == 1 ? 1 : 2;
    ASSERT_EQ(static_cast<size_t>(6 - first + (flag == 1)), recorder.Records().size());
    for (int level = first; level <= 5; ++level) {
      const TraceRecorder::Record& record = recorder.Records()[level - first];
      EXPECT_EQ(level, record.level);
      EXPECT_EQ(prefixes[level - 1], record.prefix);
      EXPECT_EQ(L"text", record.text);
    }
  }
}

TEST(Trace, ReportsUseTheLongFormOnOneLineOrTheShortFormAndNeverOverrunOrReadDirectives) {
  const DWORD noText = 0x2000ABCD;  // a customer-defined code: the system has no text for it
  TraceRecorder recorder;
  Trace_ReportError(TRACE_FRAME_EXTERNAL, L"RegisterHotKey()", ERROR_HOTKEY_ALREADY_REGISTERED);
  Trace_ReportError(TRACE_FRAME_STARTUP, L"CreateMutex()", ERROR_ALREADY_EXISTS);
  Trace_ReportError(TRACE_FRAME_EXTERNAL, L"RegisterHotKey()", noText);
  Trace_ReportError(TRACE_FRAME_EXTERNAL_POLITE, L"PropertySheet", noText);
  Trace_ReportError(TRACE_FRAME_STARTUP, L"CreateMutex()", noText);
  EXPECT_EQ(0, Trace(TRACE_LEVEL_ERROR, std::wstring(5000, L'a').c_str()));
  Tracef(TRACE_LEVEL_ERROR, L"DeleteFile( %ls )", L"C:\\a%s%n%d.lnk");
  const auto& records = recorder.Records();
  ASSERT_EQ(7u, records.size());
  const std::wstring head = L"外部処理異常終了( RegisterHotKey(), FormatMessage=", longForm = records[0].text;
  EXPECT_EQ(0u, longForm.find(head));
  EXPECT_GT(longForm.size(), head.size() + 2) << "no system text";
  EXPECT_EQ(L" )", longForm.substr(longForm.size() - 2));
  EXPECT_EQ(std::wstring::npos, longForm.find_first_of(L"\r\n"));
  EXPECT_EQ(0u, records[1].text.find(L"外部処理異常終了( CreateMutex(), GetLastError="));
  EXPECT_EQ(L"外部処理異常終了( RegisterHotKey() )", records[2].text);
  EXPECT_EQ(L"外部処理が異常終了しました( PropertySheet )", records[3].text);
  EXPECT_EQ(L"外部処理異常終了( CreateMutex() )", records[4].text);
  EXPECT_EQ(1023u, records[5].text.size()) << "a long text is cut at the record's end";
  EXPECT_EQ(L"DeleteFile( C:\\a%s%n%d.lnk )", records[6].text);
}

TEST(Trace, LogFileTakesRecordsAsUtf8LinesUntilItIsCleared) {
  test::TempFolder folder;
  const std::wstring log = folder / L"trace.log";
  Trace_SetLogFile(log.c_str());
  Trace(TRACE_LEVEL_ERROR, L"一行目");
  Trace(TRACE_LEVEL_INFORMATION, L"second");
  Trace_SetLogFile(nullptr);
  Trace(TRACE_LEVEL_ERROR, L"not logged");
  const std::string bytes = test::ReadBytes(log);
  EXPECT_NE(std::string::npos, bytes.find("[ERROR]     \xe4\xb8\x80\xe8\xa1\x8c\xe7\x9b\xae\r\n"));
  EXPECT_NE(std::string::npos, bytes.find("[INFOMATION]second\r\n"));
  EXPECT_EQ(std::string::npos, bytes.find("not logged"));
}

// Each helper at the exact edge of its buffer: what fits is whole, one more
// character is refused with an empty result (or, for formatting, cut).
TEST(Text, ResultsFitWholeUpToTheLastSlotAndOneCharacterMoreIsRefused) {
  wchar_t out[8];
  const struct {
    const wchar_t *folder, *name;
    size_t capacity;
    int result;
    const wchar_t* joined;
  } joins[] = {{L"C:\\a", L"cd", 8, 0, L"C:\\a\\cd"}, {L"C:\\ab", L"cd", 8, -1, L""},
               {L"", L"", 2, 0, L"\\"}, {L"a", L"", 2, -1, L""}, {L"a", L"b", 0, -1, nullptr}};
  for (const auto& join : joins) {
    wmemset(out, L'#', 8);
    EXPECT_EQ(join.result, Text_JoinPath(out, join.capacity, join.folder, join.name)) << join.folder << join.name;
    if (join.joined != nullptr) EXPECT_STREQ(join.joined, out);
  }
  EXPECT_EQ(0, Text_Copy(out, 8, L"1234567"));
  EXPECT_STREQ(L"1234567", out);
  EXPECT_EQ(-1, Text_Copy(out, 8, L"12345678"));
  EXPECT_STREQ(L"", out);
  EXPECT_EQ(7, Text_Format(out, 8, L"%ls%d", L"abcdef", 7));
  EXPECT_EQ(-1, Text_Format(out, 8, L"%ls%d", L"abcdef", 78));
  EXPECT_STREQ(L"abcdef7", out) << "cut at the buffer's end";
}

}  // namespace
