// Command words: prefix and case rules, and DEBUG anywhere.
#include <gtest/gtest.h>

#include "app/commandline.h"

namespace {

TEST(CommandLine, WordsArePrefixesAndWhateverFollowsIsIgnored) {
  EXPECT_EQ(COMMAND_WORD_QUIT_APPLICATION, CommandLine_GetCommandWord(L"QuitApplication"));
  EXPECT_EQ(COMMAND_WORD_QUIT_APPLICATION, CommandLine_GetCommandWord(L"QuitApplication now please"));
  EXPECT_EQ(COMMAND_WORD_QUIT_APPLICATION, CommandLine_GetCommandWord(L"QuitApplicationXYZ"));
  EXPECT_EQ(COMMAND_WORD_DELETE_SETTING_FILES, CommandLine_GetCommandWord(L"DeleteSettingFiles"));
  EXPECT_EQ(COMMAND_WORD_DELETE_SETTING_FILES, CommandLine_GetCommandWord(L"DeleteSettingFiles DEBUG"));
}

TEST(CommandLine, CaseLeadingBlanksAndPartialWordsMakeANormalStart) {
  EXPECT_EQ(COMMAND_WORD_NONE, CommandLine_GetCommandWord(L""));
  EXPECT_EQ(COMMAND_WORD_NONE, CommandLine_GetCommandWord(nullptr));
  EXPECT_EQ(COMMAND_WORD_NONE, CommandLine_GetCommandWord(L"quitapplication"));
  EXPECT_EQ(COMMAND_WORD_NONE, CommandLine_GetCommandWord(L" QuitApplication"));
  EXPECT_EQ(COMMAND_WORD_NONE, CommandLine_GetCommandWord(L"QuitApplicatio"));
  EXPECT_EQ(COMMAND_WORD_NONE, CommandLine_GetCommandWord(L"DEBUG QuitApplication"));
  EXPECT_EQ(COMMAND_WORD_NONE, CommandLine_GetCommandWord(L"deleteSettingFiles"));
}

TEST(CommandLine, DebugCountsAnywhereButOnlyInCapitals) {
  EXPECT_TRUE(CommandLine_HasDebugWord(L"DEBUG"));
  EXPECT_TRUE(CommandLine_HasDebugWord(L"QuitApplication DEBUG"));
  EXPECT_TRUE(CommandLine_HasDebugWord(L"xxDEBUGxx"));
  EXPECT_FALSE(CommandLine_HasDebugWord(L"debug"));
  EXPECT_FALSE(CommandLine_HasDebugWord(L"DEBU G"));
  EXPECT_FALSE(CommandLine_HasDebugWord(nullptr));
}

}  // namespace
