// Texts from outside the program: the system's reasons for failures, whose
// texts hold inserts, and order.ini as today's editors save it (the ANSI code
// page, UTF-8 with or without a byte-order mark, UTF-16 with its mark).
#include <gtest/gtest.h>

#include <regex>

#include "base/text_encoding.h"
#include "launch/launch.h"
#include "launch/progress_log.h"
#include "support/test_support.h"

namespace {

using namespace test;

// A launch's reason fills every insert with the item's path (317 has %1 and %2). Code 0 has a text too
// ("completed successfully"), which would read as nonsense after a failure: it is given as a bare code.
TEST(SystemMessage, FillsEveryInsertWithThePathAndGivesCodeZeroAsACode) {
  const std::wstring path = L"C:\\ルート\\壊れた.lnk";
  wchar_t raw[1024] = L"", text[1024] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 317, 0, raw, 1024, nullptr);
  raw[wcscspn(raw, L"\r\n")] = L'\0';
  ASSERT_NE(L'\0', raw[0]);
  Launch_DescribeError(317, text, 1024, path.c_str());
  EXPECT_EQ(std::regex_replace(std::wstring(raw), std::wregex(L"%[0-9]+(![^!]*!)?"), path), text);
  Launch_DescribeError(0, text, 1024, path.c_str());
  EXPECT_STREQ(L"Windows エラーコード 0 (0x00000000)", text);
}

// Only well-formed UTF-8 is read as UTF-8; anything else is the ANSI code page.
TEST(RunOrderEncoding, OnlyWellFormedSequencesAreUtf8) {
  const struct { const char* bytes; bool valid; } cases[] = {
      {"\xE0\xA0\x80", true}, {"\xED\x9F\xBF", true}, {"\xF0\x9F\x98\x80", true}, {"\xF4\x8F\xBF\xBF", true},  // edges
      {"\xC0\xAF", false}, {"\xE0\x9F\xBF", false}, {"\xF0\x8F\xBF\xBF", false},                          // overlong
      {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false},  // surrogate, past U+10FFFF
      {"\xE3\x81", false}, {"\x80", false}, {"\xE3\x81\x41", false}, {"a\xC3", false}};      // cut or broken
  for (const auto& c : cases) EXPECT_EQ(c.valid, Text_IsStrictUtf8(c.bytes, strlen(c.bytes))) << c.bytes;
}

// One text saved in every encoding an editor offers. A line ends at CR LF, LF or a lone CR (what follows
// that CR is lost), keeps its blanks, and is read in pieces of 511 characters: a line of exactly 511 leaves
// its line end for a second, empty piece. Shift-JIS trail bytes 0x5C (表, ソ) are no backslashes.
TEST(RunOrder, LinesAreCutAtTheirEndAndIn511CharacterPiecesAlikeInEveryEncoding) {
  const std::string utf8 = "  padded .lnk \r\n\r\nlf-only\ncr\rmid\r\n" + std::string(600, 'a') + "\r\n" +
                           std::string(511, 'c') + "\r\n" + std::string(506, 'x') + ".lnk\r\n" +
                           "う.lnk\r\n予定表.lnk\r\nソフト\r\nﾊﾝｶｸ.lnk\r\n表計算.lnk";
  const std::vector<std::wstring> expected = {
      L"  padded .lnk ", L"", L"lf-only", L"cr", std::wstring(511, L'a'), std::wstring(89, L'a'),
      std::wstring(511, L'c'), L"", std::wstring(506, L'x') + L".lnk", L"う.lnk", L"予定表.lnk", L"ソフト", L"ﾊﾝｶｸ.lnk",
      L"表計算.lnk"};
  const std::wstring text = FromUtf8(utf8);
  std::string utf16 = "\xFF\xFE";
  for (wchar_t c : text) utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  const struct { const char* encoding; std::string bytes; } files[] = {
      {"ANSI (Shift-JIS)", ToAnsi(text)}, {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8}, {"UTF-8 without BOM", utf8},
      {"UTF-16 LE with BOM", utf16}};
  TempFolder temp;
  for (const auto& file : files) {
    WriteBytes(temp / L"order.ini", file.bytes);
    RunOrderEntry* list = nullptr;
    ASSERT_EQ(0, RunOrder_Read(temp.Path().c_str(), &list));
    std::vector<std::wstring> names;
    for (const RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) names.push_back(entry->name);
    RunOrder_Free(list);
    EXPECT_EQ(expected, names) << file.encoding;
  }
}

}  // namespace
