// Texts from outside the program: the system's reasons for failures, whose
// texts hold inserts, and order.ini as today's editors save it (the ANSI code
// page, UTF-8 with or without a byte-order mark, UTF-16 with its mark).
#include <gtest/gtest.h>

#include <regex>

#include "base/system_message.h"
#include "base/text_encoding.h"
#include "launch/launch.h"
#include "launch/progress_log.h"
#include "support/test_support.h"

namespace {

using namespace test;

// 193 is the text a folder of real shortcuts logged with a bare %1; 317 has %1 and %2; 2 has none.
// A launch's reason fills them with the item's path; the trace, which has no file, drops them.
TEST(SystemMessage, FillsEveryInsertWithThePathOrDropsItAndNeverShowsAPercentSign) {
  const std::wstring path = L"C:\\ルート\\壊れた.lnk";
  for (DWORD error : {193ul, 317ul, 2ul}) {
    wchar_t raw[1024] = L"", text[1024] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, raw, 1024, nullptr);
    raw[wcscspn(raw, L"\r\n")] = L'\0';
    ASSERT_NE(L'\0', raw[0]) << error;
    Launch_DescribeError(error, text, 1024, path.c_str());
    EXPECT_EQ(std::regex_replace(std::wstring(raw), std::wregex(L"%[0-9]+(![^!]*!)?"), path), text) << error;
    EXPECT_EQ(wcslen(text), Text_SystemMessage(error, nullptr, text, 1024));
    const std::wstring dropped = text;
    EXPECT_TRUE(!dropped.empty() && dropped[0] != L' ' && dropped.find_first_of(L"%\r\n") == std::wstring::npos &&
                dropped.find(L"  ") == std::wstring::npos) << ToAnsi(dropped);
  }
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

TEST(RunOrderEncoding, EveryEncodingAnEditorSavesYieldsTheSameNamesInTheSameOrder) {
  // Kana, kanji with a Shift-JIS trail byte 0x5C (表, ソ), half-width katakana; with CR LF one 511-character line.
  const std::string utf8 =
      "う.lnk\r\nあ\r\n予定表.lnk\r\nソフト\r\nﾊﾝｶｸ.lnk\r\nplain.lnk\r\n" + std::string(506, 'x') + ".lnk\r\n";
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
    std::wstring read;
    for (const RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) {
      read += entry->name + std::wstring(L"\r\n");
      EXPECT_EQ(temp / entry->name, entry->fullPath) << file.encoding;
    }
    RunOrder_Free(list);
    EXPECT_EQ(text, read) << file.encoding;
  }
}

}  // namespace
