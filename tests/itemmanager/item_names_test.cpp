// The management dialog's rules that need no window, as tables.
#include <gtest/gtest.h>

#include <locale.h>

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
  struct Row {
    std::wstring name;
    ItemNameCheck expected;
  } const rows[] = {
      {L"Mail", ITEMNAME_OK},           {L"Tools 2.0", ITEMNAME_OK},     {L".hidden", ITEMNAME_OK},
      {L"CONSOLE", ITEMNAME_OK},        {L"COM0", ITEMNAME_OK},          {L"LPT10", ITEMNAME_OK},
      {L"メール", ITEMNAME_OK},         {longest, ITEMNAME_OK},          {longest + L"x", ITEMNAME_TOO_LONG},
      {L"", ITEMNAME_EMPTY},            {L".", ITEMNAME_DOTS_OR_BLANKS_ONLY},
      {L"..", ITEMNAME_DOTS_OR_BLANKS_ONLY}, {L" . ", ITEMNAME_DOTS_OR_BLANKS_ONLY},
      {L"Mail.", ITEMNAME_TRAILING_DOT_OR_BLANK}, {L"Mail ", ITEMNAME_TRAILING_DOT_OR_BLANK},
      {L"a\\b", ITEMNAME_RESERVED_CHARACTER},     {L"..\\x", ITEMNAME_RESERVED_CHARACTER},
      {L"a/b", ITEMNAME_RESERVED_CHARACTER},      {L"C:x", ITEMNAME_RESERVED_CHARACTER},
      {L"a*", ITEMNAME_RESERVED_CHARACTER},       {L"a?", ITEMNAME_RESERVED_CHARACTER},
      {L"\"a\"", ITEMNAME_RESERVED_CHARACTER},    {L"<a>", ITEMNAME_RESERVED_CHARACTER},
      {L"a|b", ITEMNAME_RESERVED_CHARACTER},      {L"a\tb", ITEMNAME_RESERVED_CHARACTER},
      {L"a\nb", ITEMNAME_RESERVED_CHARACTER},     {L"CON", ITEMNAME_DEVICE_NAME},
      {L"con.txt", ITEMNAME_DEVICE_NAME},         {L"Nul", ITEMNAME_DEVICE_NAME},
      {L"PRN .x", ITEMNAME_DEVICE_NAME},          {L"aux", ITEMNAME_DEVICE_NAME},
      {L"COM1", ITEMNAME_DEVICE_NAME},            {L"com9.lnk", ITEMNAME_DEVICE_NAME},
      {L"LPT1", ITEMNAME_DEVICE_NAME},            {L"lpt9", ITEMNAME_DEVICE_NAME},
  };
  for (const Row& row : rows) EXPECT_EQ(row.expected, ItemManager_CheckName(row.name.c_str())) << "'" << row.name << "'";
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

TEST(ItemRules, PathsBelowTheRootAndTargetNames) {
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
  const wchar_t* const targets[][2] = {{L"C:\\Tools\\editor.exe", L"editor"}, {L"C:\\Data\\Projects", L"Projects"},
                                       {L"C:\\", L""}, {L"\\\\server\\share\\a.b.txt", L"a.b"}};
  for (const auto& target : targets) {
    wchar_t base[D_SIZE_ITEMMANAGER_NAME];
    ItemManager_TargetBaseName(target[0], base, D_SIZE_ITEMMANAGER_NAME);
    EXPECT_STREQ(target[1], base) << target[0];
  }
}

TEST(ItemRules, TheAnsiCodePageHoldsJapaneseButNotHangulOrUmlauts) {
  setlocale(LC_ALL, ".ACP");
  EXPECT_TRUE(ItemManager_FitsAnsiCodePage(L"メール 2.lnk"));
  EXPECT_TRUE(ItemManager_FitsAnsiCodePage(L"表示"));  // a 0x5C trail byte
  EXPECT_FALSE(ItemManager_FitsAnsiCodePage(L"한글.lnk"));
  EXPECT_FALSE(ItemManager_FitsAnsiCodePage(L"Müller.lnk"));
}

}  // namespace
