// The management dialog's rules that need no window, as tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "itemmanager/item_names.h"

namespace {

TEST(ItemRules, ButtonRuleFollowsListSizeAndSelectedPlace) {
  struct Row {
    int count, selected;
    bool itemCommands, upAndTop, downAndBottom;
  } const rows[] = {
      {0, -1, false, false, false}, {3, -1, false, false, false}, {3, 3, false, false, false},
      {1, 0, true, false, false},   {2, 0, true, false, true},    {2, 1, true, true, false},
      {5, 0, true, false, true},    {5, 2, true, true, true},     {5, 3, true, true, true},
      {5, 4, true, true, false},
  };
  for (const Row& row : rows) {
    const ItemButtonStates states = ItemManager_ButtonRule(row.count, row.selected);
    EXPECT_EQ(row.itemCommands, states.itemCommands) << row.count << " items, selected " << row.selected;
    EXPECT_EQ(row.upAndTop, states.upAndTop) << row.count << " items, selected " << row.selected;
    EXPECT_EQ(row.downAndBottom, states.downAndBottom) << row.count << " items, selected " << row.selected;
  }
}

TEST(ItemRules, TypedNamesAreRefusedForEachReason) {
  const std::wstring longest(251, L'x');
  const std::pair<ItemNameCheck, std::vector<std::wstring>> rows[] = {
      {ITEMNAME_OK, {L"Mail", L"Tools 2.0", L".hidden", L"CONSOLE", L"COM0", L"LPT10", L"メール", longest}},
      {ITEMNAME_TOO_LONG, {longest + L"x"}},
      {ITEMNAME_EMPTY, {L""}},
      {ITEMNAME_DOTS_OR_BLANKS_ONLY, {L".", L"..", L" . "}},
      {ITEMNAME_TRAILING_DOT_OR_BLANK, {L"Mail.", L"Mail "}},
      {ITEMNAME_RESERVED_CHARACTER,
       {L"a\\b", L"..\\x", L"a/b", L"C:x", L"a*", L"a?", L"\"a\"", L"<a>", L"a|b", L"a\tb", L"a\nb"}},
      {ITEMNAME_DEVICE_NAME, {L"CON", L"con.txt", L"Nul", L"PRN .x", L"aux", L"COM1", L"com9.lnk", L"LPT1", L"lpt9"}},
  };
  for (const auto& row : rows) {
    for (const std::wstring& name : row.second) EXPECT_EQ(row.first, ItemManager_CheckName(name.c_str())) << "'" << name << "'";
  }
}

TEST(ItemRules, DisplayNamesListOnlyFoldersAndExactShortcutsThatStayInTheirFolder) {
  struct Row {
    const wchar_t* fileName;
    bool isFolder;
    const wchar_t* display;  // nullptr: not listed
  } const rows[] = {
      {L"Mail.lnk", false, L"Mail"},    {L"Notes.old.lnk", false, L"Notes.old"}, {L"Mail", true, L"Mail"},
      {L"Tools 2.0", true, L"Tools 2.0"}, {L"x.lnk", true, L"x.lnk"},          {L".hidden.lnk", false, L".hidden"},
      {L"X.LNK", false, nullptr},       {L"readme.txt", false, nullptr},         {L"order.ini", false, nullptr},
      {L".lnk", false, nullptr},        {L"..lnk", false, nullptr},              {L"...lnk", false, nullptr},
      {L"...", true, nullptr},          {L"..", true, nullptr},
  };
  for (const Row& row : rows) {
    wchar_t display[D_SIZE_ITEMMANAGER_NAME] = L"";
    const bool listed = ItemManager_DisplayNameOf(row.fileName, row.isFolder, display, D_SIZE_ITEMMANAGER_NAME);
    EXPECT_EQ(row.display != nullptr, listed) << row.fileName;
    if (listed && row.display != nullptr) {
      EXPECT_STREQ(row.display, display) << row.fileName;
    }
  }
}

TEST(ItemRules, PathsBelowTheRoot) {
  const wchar_t root[] = L"C:\\Prog\\Root";
  struct Row {
    const wchar_t* path;
    const wchar_t* below;  // nullptr: outside
  } const rows[] = {
      {L"C:\\Prog\\Root\\Tools", L"\\Tools"}, {L"C:\\Prog\\Root", L""},         {L"C:\\Prog\\Root\\", L""},
      {L"c:\\prog\\root\\A\\B", L"\\A\\B"},   {L"C:\\Prog\\Root2", nullptr},     {L"C:\\Prog", nullptr},
      {L"D:\\Root\\Tools", nullptr},          {L"C:\\Prog\\Roo", nullptr},
  };
  for (const Row& row : rows) {
    wchar_t below[D_SIZE_ITEMMANAGER_PATH] = L"?";
    EXPECT_EQ(row.below != nullptr ? 0 : -1, ItemManager_BelowRoot(root, row.path, below, D_SIZE_ITEMMANAGER_PATH))
        << row.path;
    EXPECT_STREQ(row.below != nullptr ? row.below : L"", below) << row.path;
  }
}

}  // namespace
