// The bottom layer: trace levels and frames, the log file, and bounded text at
// the exact edge of its buffer.  (The command words are proved end to end.)
#include <gtest/gtest.h>

#include "base/text.h"
#include "base/trace.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(Trace, LevelsCarryTheirPrefixesLevelOneNeedsTheFlagExactlyOneAndReportsUseTheirFrames) {
  const wchar_t* prefixes[] = {L"[WARNING]   ", L"[WARNING]   ", L"[ERROR]     ", L"[INFOMATION]", L"[QUESTION]  "};
  for (long flag : {1L, 0L, 2L}) {
    ScopedTraceFlag scoped(flag);
    TraceRecorder recorder;
    for (int level = 0; level <= 6; ++level) EXPECT_EQ(level == 0 || level == 6 ? -1 : 0, Trace(level, L"text"));
    std::wstring seen;
    for (const auto& record : recorder.Records()) seen += std::to_wstring(record.level) + record.prefix + record.text;
    std::wstring expected;
    for (int level = flag == 1 ? 1 : 2; level <= 5; ++level) expected += std::to_wstring(level) + prefixes[level - 1] + L"text";
    EXPECT_EQ(expected, seen) << flag;
  }
  TraceRecorder recorder;
  Trace_ReportError(TRACE_FRAME_EXTERNAL, L"RegisterHotKey()", ERROR_HOTKEY_ALREADY_REGISTERED);
  Trace_ReportError(TRACE_FRAME_STARTUP, L"CreateMutex()", ERROR_ALREADY_EXISTS);
  for (TraceFrame frame : {TRACE_FRAME_EXTERNAL, TRACE_FRAME_EXTERNAL_POLITE, TRACE_FRAME_STARTUP}) {
    Trace_ReportError(frame, L"X()", 0x2000ABCD);  // a customer code: the system has no text for it
  }
  Trace(TRACE_LEVEL_ERROR, std::wstring(5000, L'a').c_str());
  Tracef(TRACE_LEVEL_ERROR, L"DeleteFile( %ls )", L"C:\\a%s%n%d.lnk");
  const auto& records = recorder.Records();
  ASSERT_EQ(7u, records.size());
  const std::wstring head = L"外部処理異常終了( RegisterHotKey(), FormatMessage=", longForm = records[0].text;
  EXPECT_TRUE(longForm.find(head) == 0 && longForm.size() > head.size() + 2 && longForm.substr(longForm.size() - 2) == L" )");
  EXPECT_EQ(std::wstring::npos, longForm.find_first_of(L"\r\n")) << "one line";
  EXPECT_EQ(0u, records[1].text.find(L"外部処理異常終了( CreateMutex(), GetLastError="));
  EXPECT_EQ((std::vector<std::wstring>{L"外部処理異常終了( X() )", L"外部処理が異常終了しました( X() )", L"外部処理異常終了( X() )"}),
            (std::vector<std::wstring>{records[2].text, records[3].text, records[4].text}));
  EXPECT_EQ(1023u, records[5].text.size()) << "a long text is cut at the record's end";
  EXPECT_EQ(L"DeleteFile( C:\\a%s%n%d.lnk )", records[6].text);
}

TEST(Trace, LogFileTakesRecordsAsUtf8LinesUntilItIsCleared) {
  TempFolder folder;
  Trace_SetLogFile((folder / L"trace.log").c_str());
  Trace(TRACE_LEVEL_ERROR, L"一行目");
  Trace_SetLogFile(nullptr);
  Trace(TRACE_LEVEL_ERROR, L"not logged");
  const std::string bytes = ReadBytes(folder / L"trace.log");
  EXPECT_EQ("[ERROR]     \xe4\xb8\x80\xe8\xa1\x8c\xe7\x9b\xae\r\n", bytes.substr(24)) << "after the time stamp";
}

// What fits is whole; one character more is refused with an empty result (formatting cuts it).
TEST(Text, ResultsFitWholeUpToTheLastSlotAndOneCharacterMoreIsRefused) {
  wchar_t out[8];
  EXPECT_EQ(0, Text_JoinPath(out, 8, L"C:\\a", L"cd"));
  EXPECT_STREQ(L"C:\\a\\cd", out);
  EXPECT_EQ(-1, Text_JoinPath(out, 8, L"C:\\ab", L"cd"));
  EXPECT_STREQ(L"", out);
  EXPECT_EQ(0, Text_Copy(out, 8, L"1234567"));
  EXPECT_EQ(-1, Text_Copy(out, 8, L"12345678"));
  EXPECT_STREQ(L"", out);
  EXPECT_EQ(7, Text_Format(out, 8, L"%ls%d", L"abcdef", 7));
  EXPECT_EQ(-1, Text_Format(out, 8, L"%ls%d", L"abcdef", 78));
  EXPECT_STREQ(L"abcdef7", out);
}

}  // namespace
