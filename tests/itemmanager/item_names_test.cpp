// The management dialog's rules that need no window, as tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "itemmanager/item_names.h"

namespace {

TEST(ItemRules, TypedNamesAreRefusedForEachReason) {
  const std::wstring longest(251, L'x');
  const std::pair<ItemNameCheck, std::vector<std::wstring>> rows[] = {
      {ITEMNAME_OK, {L"Mail", L"Tools 2.0", L".hidden", L"CONSOLE", L"COM0", L"LPT10", L"メール", longest}},
      {ITEMNAME_TOO_LONG, {longest + L"x"}}, {ITEMNAME_EMPTY, {L""}}, {ITEMNAME_DOTS_OR_BLANKS_ONLY, {L".", L"..", L" . "}},
      {ITEMNAME_TRAILING_DOT_OR_BLANK, {L"Mail.", L"Mail "}},
      {ITEMNAME_RESERVED_CHARACTER, {L"a\\b", L"..\\x", L"a/b", L"C:x", L"a*", L"a?", L"\"a\"", L"<a>", L"a|b", L"a\tb", L"a\nb"}},
      {ITEMNAME_DEVICE_NAME, {L"CON", L"con.txt", L"Nul", L"PRN .x", L"aux", L"COM1", L"com9.lnk", L"LPT1", L"lpt9"}},
  };
  for (const auto& row : rows) {
    for (const std::wstring& name : row.second) EXPECT_EQ(row.first, ItemManager_CheckName(name.c_str())) << "'" << name << "'";
  }
}

TEST(ItemRules, DisplayNamesListOnlyFoldersAndExactShortcutsThatStayInTheirFolder) {
  const struct { const wchar_t* fileName; bool isFolder; const wchar_t* display; } rows[] = {  // "-": not listed
      {L"Mail.lnk", false, L"Mail"}, {L"Notes.old.lnk", false, L"Notes.old"}, {L"Mail", true, L"Mail"}, {L"x.lnk", true, L"x.lnk"},
      {L"Tools 2.0", true, L"Tools 2.0"}, {L".hidden.lnk", false, L".hidden"}, {L"X.LNK", false, L"-"}, {L"...", true, L"-"},
      {L"readme.txt", false, L"-"}, {L"order.ini", false, L"-"}, {L".lnk", false, L"-"}, {L"..lnk", false, L"-"},
      {L"...lnk", false, L"-"}, {L"..", true, L"-"},
  };
  for (const auto& row : rows) {
    wchar_t display[D_SIZE_ITEMMANAGER_NAME] = L"";
    const bool listed = ItemManager_DisplayNameOf(row.fileName, row.isFolder, display, D_SIZE_ITEMMANAGER_NAME);
    EXPECT_STREQ(row.display, listed ? display : L"-") << row.fileName;
  }
}

TEST(ItemRules, PathsBelowTheRoot) {
  const struct { const wchar_t* path; const wchar_t* below; } rows[] = {  // nullptr: outside the root
      {L"C:\\Prog\\Root\\Tools", L"\\Tools"}, {L"C:\\Prog\\Root", L""},         {L"C:\\Prog\\Root\\", L""},
      {L"c:\\prog\\root\\A\\B", L"\\A\\B"},   {L"C:\\Prog\\Root2", nullptr},     {L"C:\\Prog", nullptr},
      {L"D:\\Root\\Tools", nullptr},          {L"C:\\Prog\\Roo", nullptr},
  };
  for (const auto& row : rows) {
    wchar_t below[D_SIZE_ITEMMANAGER_PATH] = L"?";
    EXPECT_EQ(row.below ? 0 : -1, ItemManager_BelowRoot(L"C:\\Prog\\Root", row.path, below, D_SIZE_ITEMMANAGER_PATH)) << row.path;
    EXPECT_STREQ(row.below != nullptr ? row.below : L"", below) << row.path;
  }
}

}  // namespace
