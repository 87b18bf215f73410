// The bottom layer: trace levels and frames, the log file, bounded text at the
// exact edge of its buffer, and strings from a language library that lacks some.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/instance.h"
#include "base/text.h"
#include "base/trace.h"
#include "resource.h"
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
  for (TraceFrame frame : {TRACE_FRAME_EXTERNAL, TRACE_FRAME_EXTERNAL_POLITE, TRACE_FRAME_STARTUP}) Trace_ReportError(frame, L"X()", 0x2000ABCD);
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
  EXPECT_EQ("[ERROR]     \xe4\xb8\x80\xe8\xa1\x8c\xe7\x9b\xae\r\n", ReadBytes(folder / L"trace.log").substr(24)) << "after the time stamp";
}

// What fits is whole; one character more is refused with an empty result (formatting cuts it).
TEST(Text, ResultsFitWholeUpToTheLastSlotAndOneCharacterMoreIsRefused) {
  wchar_t out[8];
  std::vector<std::wstring> seen;
  const auto result = [&](int code) { seen.push_back(std::to_wstring(code) + L" " + out); };
  result(Text_JoinPath(out, 8, L"C:\\a", L"cd"));
  result(Text_JoinPath(out, 8, L"C:\\ab", L"cd"));
  result(Text_Copy(out, 8, L"1234567"));
  result(Text_Copy(out, 8, L"12345678"));
  result(Text_Format(out, 8, L"%ls%d", L"abcdef", 7));
  result(Text_Format(out, 8, L"%ls%d", L"abcdef", 78));
  EXPECT_EQ((std::vector<std::wstring>{L"0 C:\\a\\cd", L"-1 ", L"0 1234567", L"-1 ", L"7 abcdef7", L"-1 abcdef7"}), seen);
}

TEST(TextLoadString, TakesTheProgramsOwnTextOnlyWhereTheLibraryHasNone) {
  HMODULE older = LoadLibraryW((BinFolder() + L"\\..\\fakes\\older_language\\Corvanta_Lang_En.dll").c_str());
  ASSERT_NE(nullptr, older);
  const HINSTANCE program = GetModuleHandleW(nullptr);
  const struct {
    HINSTANCE resources;
    UINT id;
    const wchar_t* expected;
  } cases[] = {{older, IDS_CONFIG_NOT_FOUND_CAPTION, L"Initial Setup"}, {older, IDS_CONFIG_LAUNCHER_ITEM_ROOT, L"Launcher Items"},
               {older, IDS_MAINWINDOW_HELP_MISSING_CAPTION, L"ヘルプ"},  // added later: the program's
               {older, IDS_CONFIG_HELP_FILE_NAME, L"CorvantaHelp.chm"}, {older, 199, L""}, {program, 199, L""},  // 199 is nobody's
               {program, IDS_MAINWINDOW_MENU_HELP, L"ヘルプ"}};
  gHINSTANCE_WinMain_Instance = program;
  for (const auto& c : cases) {
    gHINSTANCE_WinMain_ResourceInstance = c.resources;
    wchar_t text[D_SIZE_RESOURCE];
    wmemset(text, L'x', D_SIZE_RESOURCE);
    Text_LoadString(c.id, text, D_SIZE_RESOURCE);
    EXPECT_STREQ(c.expected, text) << c.id;
  }
  gHINSTANCE_WinMain_ResourceInstance = program;
  FreeLibrary(older);
}

// Every string of the program has an English text in the English library, with no Japanese left in it and
// the same holes (%s, %d...) in the same order: a hole too few or too many would garble or crash a message.
TEST(EnglishLibrary, HasEveryStringInEnglishWithTheSameHoles) {
  HMODULE english = LoadLibraryExW((BinFolder() + L"\\Corvanta_Lang_En.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, english);
  const auto holes = [](const wchar_t* text) {
    std::wstring found;
    for (const wchar_t* c = text; (c = wcschr(c, L'%')) != nullptr; c += 2) found += c[1];
    return found;
  };
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
