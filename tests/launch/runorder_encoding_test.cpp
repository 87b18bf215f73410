// Texts from outside the program: order.ini as today's editors save it (the
// ANSI code page, UTF-8 with or without a byte-order mark, UTF-16 with its
// mark), and the system's reason for a launch that failed.
#include <gtest/gtest.h>

#include "launch/launch.h"
#include "launch/progress_log.h"
#include "launch/shell_launch.h"
#include "support/test_support.h"

namespace {

using namespace test;

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

// The system's text for a file that is no program holds an insert: the log names the item there.
TEST(LaunchError, TheReasonNamesTheItemWhereTheSystemTextHasAnInsert) {
  CoInitialize(nullptr);
  TempFolder temp;
  WriteBytes(temp / L"偽物.exe", "not a program");
  const std::wstring shortcut = temp / L"偽物.lnk";
  ASSERT_TRUE(MakeShortcut(shortcut, temp / L"偽物.exe"));
  const ShellLaunchResult result = Launch_StartItem(shortcut.c_str());
  EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), result.error);
  wchar_t reason[1024];
  Launch_DescribeError(result.error, reason, 1024, shortcut.c_str());
  EXPECT_TRUE(wcsstr(reason, shortcut.c_str()) != nullptr && wcschr(reason, L'%') == nullptr) << ToAnsi(reason);
  CoUninitialize();
}

}  // namespace
