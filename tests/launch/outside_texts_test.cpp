// Texts from outside the program: the system's reasons for failures, whose
// texts hold inserts, and order.ini as today's editors save it (the ANSI code
// page, UTF-8 with or without a byte-order mark, UTF-16 with its mark).
#include <gtest/gtest.h>

#include <regex>

#include "base/system_message.h"
#include "base/trace.h"
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
  wchar_t text[8] = L"x";
  EXPECT_EQ(0u, Text_SystemMessage(0x2000ABCD, path.c_str(), text, 8));
  EXPECT_STREQ(L"", text);
  TraceRecorder recorder;
  Trace_ReportError(TRACE_FRAME_EXTERNAL, L"CreateProcess()", ERROR_BAD_EXE_FORMAT);
  ASSERT_EQ(1u, recorder.Records().size());
  EXPECT_EQ(std::wstring::npos, recorder.Records()[0].text.find(L'%')) << ToAnsi(recorder.Records()[0].text);
}

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr));
  return bytes;
}

TEST(RunOrderEncoding, EveryEncodingAnEditorSavesYieldsTheSameNamesInTheSameOrder) {
  const std::vector<std::wstring> names = {L"う.lnk", L"あ", L"予定表.lnk", L"ソフト", L"ﾊﾝｶｸ.lnk", L"plain.lnk",
                                           std::wstring(506, L'x') + L".lnk"};  // with CR LF, one 511-character piece
  std::wstring text;
  for (const auto& name : names) text += name + L"\r\n";
  std::string utf16 = "\xFF\xFE";
  for (wchar_t c : text) utf16 += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  const struct { const char* encoding; std::string bytes; } files[] = {
      {"ANSI (Shift-JIS)", ToAnsi(text)}, {"UTF-8 with BOM", "\xEF\xBB\xBF" + Utf8(text)},
      {"UTF-8 without BOM", Utf8(text)}, {"UTF-16 LE with BOM", utf16}};
  TempFolder temp;
  for (const auto& file : files) {
    WriteBytes(temp / L"order.ini", file.bytes);
    RunOrderEntry* list = nullptr;
    ASSERT_EQ(0, RunOrder_Read(temp.Path().c_str(), &list));
    std::vector<std::wstring> read;
    for (const RunOrderEntry* entry = list; entry != nullptr; entry = entry->next) read.push_back(entry->name);
    EXPECT_EQ(0, list != nullptr ? wcscmp(list->fullPath, (temp / names[0]).c_str()) : -1) << file.encoding;
    RunOrder_Free(list);
    EXPECT_EQ(names, read) << file.encoding;
  }
}

}  // namespace
