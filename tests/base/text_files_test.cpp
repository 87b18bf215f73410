// System texts with inserts, and the encodings of files users edit.
#include <gtest/gtest.h>

#include <regex>

#include "base/system_message.h"
#include "base/text_encoding.h"
#include "base/trace.h"
#include "support/test_support.h"

namespace {

using namespace test;

// The system's raw text with its inserts as they stand.
std::wstring RawText(DWORD error) {
  wchar_t text[1024] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 1024, nullptr);
  text[wcscspn(text, L"\r\n")] = L'\0';
  return text;
}

// 193 is the text a folder of real shortcuts logged with a bare %1; 317 has %1 and %2; 2 has none.
TEST(SystemMessage, FillsEveryInsertWithThePathOrDropsItAndNeverShowsAPercentSign) {
  const std::wstring path = L"C:\\ルート\\壊れた.lnk";
  for (DWORD error : {193ul, 317ul, 2ul}) {
    const std::wstring raw = RawText(error);
    ASSERT_FALSE(raw.empty()) << error;
    wchar_t text[1024];
    const size_t length = Text_SystemMessage(error, path.c_str(), text, 1024);
    EXPECT_EQ(wcslen(text), length);
    EXPECT_EQ(std::regex_replace(raw, std::wregex(L"%[0-9]+(![^!]*!)?"), path), text) << error;
    Text_SystemMessage(error, nullptr, text, 1024);
    const std::wstring dropped = text;
    EXPECT_EQ(std::wstring::npos, dropped.find(L'%')) << error;
    EXPECT_TRUE(!dropped.empty() && dropped[0] != L' ' && dropped.find(L"  ") == std::wstring::npos) << dropped;
  }
  wchar_t text[8] = L"x";
  EXPECT_EQ(0u, Text_SystemMessage(0x2000ABCD, path.c_str(), text, 8));
  EXPECT_STREQ(L"", text);
  TraceRecorder recorder;
  Trace_ReportError(TRACE_FRAME_EXTERNAL, L"CreateProcess()", ERROR_BAD_EXE_FORMAT);
  ASSERT_EQ(1u, recorder.Records().size());
  EXPECT_EQ(std::wstring::npos, recorder.Records()[0].text.find(L'%')) << recorder.Records()[0].text;
}

std::string ToUtf8(const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

TEST(Utf8, OnlyWellFormedSequencesPassAndNoJapaneseNameInShiftJisDoes) {
  const struct { const char* bytes; bool valid; } cases[] = {
      {"plain", true}, {"\xC3\xA9", true}, {"\xE3\x81\x82", true}, {"\xED\x9F\xBF", true},  // U+D7FF
      {"\xF0\x9F\x98\x80", true}, {"\xF4\x8F\xBF\xBF", true},                                // U+10FFFF
      {"\xC0\xAF", false}, {"\xC1\xBF", false}, {"\xE0\x9F\xBF", false}, {"\xF0\x8F\xBF\xBF", false},  // overlong
      {"\xED\xA0\x80", false}, {"\xED\xBF\xBF", false},                                      // surrogates
      {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false},                              // past U+10FFFF
      {"\xE3\x81", false}, {"\x80", false}, {"\xE3\x81\x41", false}, {"a\xC3", false}};      // cut or broken
  for (const auto& c : cases) EXPECT_EQ(c.valid, Text_IsStrictUtf8(c.bytes, strlen(c.bytes))) << c.bytes;
  // Kana, kanji, half-width katakana, and names whose Shift-JIS trail byte is 0x5C (表, ソ, 能, 十).
  for (const wchar_t* name : {L"あいう", L"メモ帳", L"表計算", L"ソフト", L"能力開発", L"十月", L"ﾊﾝｶｸｶﾅ", L"予定表.lnk",
                              L"とりあえずメモ帳1個", L"ドキュメント", L"申請書 (2)", L"ー・「」"}) {
    const std::string shiftJis = ToAnsi(name), utf8 = ToUtf8(name);
    EXPECT_FALSE(Text_IsStrictUtf8(shiftJis.data(), shiftJis.size())) << shiftJis;
    EXPECT_TRUE(Text_IsStrictUtf8(utf8.data(), utf8.size())) << utf8;
  }
}

}  // namespace
