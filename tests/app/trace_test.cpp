// The trace facility: levels, prefixes, the forced-trace rule, failure frames.
#include <gtest/gtest.h>

#include "app/trace.h"
#include "support/test_support.h"

namespace {

using test::ScopedTraceFlag;
using test::TraceRecorder;

TEST(Trace, EachLevelCarriesItsTwelveCharacterPrefix) {
  ScopedTraceFlag flag(1);
  TraceRecorder recorder;
  for (int level = 1; level <= 5; ++level) EXPECT_EQ(0, Trace(level, L"text"));
  ASSERT_EQ(5u, recorder.Records().size());
  const wchar_t* expected[] = {L"[WARNING]   ", L"[WARNING]   ", L"[ERROR]     ", L"[INFOMATION]", L"[QUESTION]  "};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(expected[i], recorder.Records()[i].prefix) << "level " << i + 1;
    EXPECT_EQ(12u, recorder.Records()[i].prefix.size());
    EXPECT_EQ(L"text", recorder.Records()[i].text);
  }
}

TEST(Trace, LevelOnePassesOnlyWhileTheFlagIsExactlyOne) {
  for (long value : {0L, 2L, -1L}) {
    ScopedTraceFlag flag(value);
    TraceRecorder recorder;
    EXPECT_EQ(0, Trace(TRACE_LEVEL_TRACE, L"hidden"));
    EXPECT_EQ(0, Trace(TRACE_LEVEL_ERROR, L"shown"));
    ASSERT_EQ(1u, recorder.Records().size()) << "flag " << value;
    EXPECT_EQ(L"shown", recorder.Records()[0].text);
  }
}

TEST(Trace, UnknownLevelsReturnMinusOneAndProduceNothing) {
  ScopedTraceFlag flag(1);
  TraceRecorder recorder;
  EXPECT_EQ(-1, Trace(0, L"x"));
  EXPECT_EQ(-1, Trace(6, L"x"));
  EXPECT_TRUE(recorder.Records().empty());
}

TEST(Trace, OverlongTextIsCutAtTheRecordNotOverrun) {
  TraceRecorder recorder;
  std::wstring longText(5000, L'a');
  EXPECT_EQ(0, Trace(TRACE_LEVEL_ERROR, longText.c_str()));
  ASSERT_EQ(1u, recorder.Records().size());
  EXPECT_EQ(1023u, recorder.Records()[0].text.size());
}

TEST(Trace, PercentSignsInTracedNamesAreNotDirectives) {
  TraceRecorder recorder;
  Tracef(TRACE_LEVEL_ERROR, L"DeleteFile( %ls )", L"C:\\a%s%n%d.lnk");
  ASSERT_EQ(1u, recorder.Records().size());
  EXPECT_EQ(L"DeleteFile( C:\\a%s%n%d.lnk )", recorder.Records()[0].text);
}

TEST(TraceFailureReport, LongFormCarriesTheSystemTextOnOneLine) {
  TraceRecorder recorder;
  Trace_ReportError(TRACE_FRAME_EXTERNAL, L"RegisterHotKey()", ERROR_HOTKEY_ALREADY_REGISTERED);
  ASSERT_EQ(1u, recorder.Records().size());
  const std::wstring& text = recorder.Records()[0].text;
  EXPECT_EQ(TRACE_LEVEL_ERROR, recorder.Records()[0].level);
  EXPECT_EQ(0u, text.find(L"外部処理異常終了( RegisterHotKey(), FormatMessage="));
  EXPECT_EQ(L" )", text.substr(text.size() - 2));
  EXPECT_GT(text.size(), wcslen(L"外部処理異常終了( RegisterHotKey(), FormatMessage= )"));
  EXPECT_EQ(std::wstring::npos, text.find(L'\n'));
}

TEST(TraceFailureReport, EachFrameFallsBackToItsShortFormWithoutSystemText) {
  // A customer-defined code: the system has no text for it.
  const DWORD noText = 0x2000ABCD;
  TraceRecorder recorder;
  Trace_ReportError(TRACE_FRAME_EXTERNAL, L"RegisterHotKey()", noText);
  Trace_ReportError(TRACE_FRAME_EXTERNAL_POLITE, L"PropertySheet", noText);
  Trace_ReportError(TRACE_FRAME_STARTUP, L"CreateMutex()", noText);
  ASSERT_EQ(3u, recorder.Records().size());
  EXPECT_EQ(L"外部処理異常終了( RegisterHotKey() )", recorder.Records()[0].text);
  EXPECT_EQ(L"外部処理が異常終了しました( PropertySheet )", recorder.Records()[1].text);
  EXPECT_EQ(L"外部処理異常終了( CreateMutex() )", recorder.Records()[2].text);
}

TEST(TraceFailureReport, StartupFrameNamesGetLastError) {
  TraceRecorder recorder;
  Trace_ReportError(TRACE_FRAME_STARTUP, L"CreateMutex()", ERROR_ALREADY_EXISTS);
  ASSERT_EQ(1u, recorder.Records().size());
  EXPECT_EQ(0u, recorder.Records()[0].text.find(L"外部処理異常終了( CreateMutex(), GetLastError="));
}

TEST(TraceLogFile, RecordsAppendAsUtf8LinesAndNothingWithoutAFile) {
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

}  // namespace
