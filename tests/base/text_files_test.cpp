// Strict UTF-8, the test that tells a UTF-8 file from a Shift-JIS one.
#include <gtest/gtest.h>

#include "base/text_encoding.h"
#include "support/test_support.h"

namespace {

using namespace test;

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
    const std::string shiftJis = ToAnsi(name);
    EXPECT_FALSE(Text_IsStrictUtf8(shiftJis.data(), shiftJis.size())) << shiftJis;
  }
}

}  // namespace
