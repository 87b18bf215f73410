// The bottom layer: trace levels and frames, bounded text at the exact edge of its buffer, and strings
// from a language library that lacks some.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(Trace, LevelsCarryTheirPrefixesLevelOneNeedsTheFlagExactlyOneAndReportsUseTheirFrames) {
  const std::wstring fromTwo = L"2[WARNING]   text3[ERROR]     text4[INFOMATION]text5[QUESTION]  text";
  for (long flag : {1L, 0L, 2L}) {
    ScopedTraceFlag scoped(flag);
    TraceRecorder recorder;
    for (int level = 0; level <= 6; ++level) EXPECT_EQ(level == 0 || level == 6 ? -1 : 0, Trace(level, L"text"));
    std::wstring seen;
    for (const auto& record : recorder.Records()) seen += std::to_wstring(record.level) + record.prefix + record.text;
    EXPECT_EQ(flag == 1 ? L"1[WARNING]   text" + fromTwo : fromTwo, seen) << flag;
  }
  // A frame's long form holds the system's text (here with its insert %1 dropped, as no file is at hand) on one
  // line; a code without a text leaves the short form. A text is never a format, and is cut at the record's end.
  TraceRecorder recorder;
  for (TraceFrame frame : {TRACE_FRAME_EXTERNAL, TRACE_FRAME_EXTERNAL_POLITE, TRACE_FRAME_STARTUP}) {
    for (DWORD error : {193ul, 0x2000ABCDul}) Trace_ReportError(frame, L"X()", error);
  }
  const std::wstring path = L"C:\\a%s%n%d" + std::wstring(5000, L'a');
  Tracef(TRACE_LEVEL_ERROR, L"DeleteFile( %ls )", path.c_str());
  const std::wregex systemText(L"=[^ %\r\n]+( [^ %\r\n]+)* \\)$");  // no insert, no stray blank: "*"
  std::vector<std::wstring> texts;
  for (const auto& record : recorder.Records()) texts.push_back(std::regex_replace(record.text, systemText, L"=* )"));
  const std::vector<std::wstring> expected = {
      L"外部処理異常終了( X(), FormatMessage=* )", L"外部処理異常終了( X() )",
      L"外部処理が異常終了しました( X(), FormatMessage=* )", L"外部処理が異常終了しました( X() )",
      L"外部処理異常終了( X(), GetLastError=* )", L"外部処理異常終了( X() )", (L"DeleteFile( " + path).substr(0, 1023)};
  EXPECT_EQ(expected, texts);
}

// What fits is whole; one character more is refused with an empty result (formatting cuts it).
TEST(Text, ResultsFitWholeUpToTheLastSlotAndOneCharacterMoreIsRefused) {
  wchar_t out[8];
  const auto result = [&out](int code) { return std::to_wstring(code) + L" " + out; };
  const std::vector<std::wstring> seen = {  // in order: each call's result and what it left in `out`
      result(Text_JoinPath(out, 8, L"C:\\a", L"cd")),          result(Text_JoinPath(out, 8, L"C:\\ab", L"cd")),
      result(Text_Copy(out, 8, L"1234567")),                   result(Text_Copy(out, 8, L"12345678")),
      result(Text_Format(out, 8, L"%ls%d", L"abcdef", 7)),     result(Text_Format(out, 8, L"%ls%d", L"abcdef", 78))};
  EXPECT_EQ((std::vector<std::wstring>{L"0 C:\\a\\cd", L"-1 ", L"0 1234567", L"-1 ", L"7 abcdef7", L"-1 abcdef7"}), seen);
}

// A language library of an earlier release lacks the strings added since: the program's own text stands in.
TEST(TextLoadString, TakesTheProgramsOwnTextOnlyWhereTheLibraryHasNone) {
  HMODULE older = LoadLibraryW((BinFolder() + L"\\..\\fakes\\older_language\\Corvanta_Lang_En.dll").c_str());
  ASSERT_NE(nullptr, older);
  gHINSTANCE_WinMain_Instance = GetModuleHandleW(nullptr);
  gHINSTANCE_WinMain_ResourceInstance = older;
  std::vector<std::wstring> texts;
  for (UINT id : {IDS_CONFIG_NOT_FOUND_CAPTION, IDS_MAINWINDOW_HELP_MISSING_CAPTION, 199}) {  // 199 is nobody's
    wchar_t text[D_SIZE_RESOURCE];
    wmemset(text, L'x', D_SIZE_RESOURCE);
    Text_LoadString(id, text, D_SIZE_RESOURCE);
    texts.emplace_back(text, wcsnlen(text, D_SIZE_RESOURCE));
  }
  gHINSTANCE_WinMain_ResourceInstance = gHINSTANCE_WinMain_Instance;
  FreeLibrary(older);
  EXPECT_EQ((std::vector<std::wstring>{L"Initial Setup", L"ヘルプ", L""}), texts);
}

// Every string of the program has an English text in the English library, with no Japanese left in it and
// the same holes (%s, %d...) in the same order: a hole too few or too many would garble or crash a message.
TEST(EnglishLibrary, HasEveryStringInEnglishWithTheSameHoles) {
  HMODULE english = LoadLibraryExW((BinFolder() + L"\\Corvanta_Lang_En.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, english);
  const std::wregex hole(L"[^%]*(%.|$)");  // a text's holes alone, in order: "%s%d"
  const auto holes = [&hole](const wchar_t* text) { return std::regex_replace(std::wstring(text), hole, L"$1"); };
  int compared = 0;
  for (UINT id = 100; id < 200; ++id) {
    wchar_t japanese[1024] = L"", text[1024] = L"";
    if (LoadStringW(GetModuleHandleW(nullptr), id, japanese, 1024) == 0) continue;
    ++compared;
    EXPECT_TRUE(LoadStringW(english, id, text, 1024) > 0 && std::none_of(text, text + wcslen(text), [](wchar_t c) { return c >= 0x3000; }))
        << id << ": none, or not English";
    EXPECT_EQ(holes(japanese), holes(text)) << id;
  }
  EXPECT_GT(compared, 60);
  FreeLibrary(english);
}

}  // namespace
