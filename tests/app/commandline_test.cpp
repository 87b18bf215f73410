// Command words: prefix and case rules, and DEBUG anywhere.
#include <gtest/gtest.h>

#include "app/commandline.h"

namespace {

TEST(CommandLine, WordsAreCaseSensitivePrefixesAndDebugCountsAnywhere) {
  const struct {
    const wchar_t* line;
    CommandWord word;
    bool debug;
  } cases[] = {
      {L"QuitApplication", COMMAND_WORD_QUIT_APPLICATION, false},
      {L"QuitApplicationXYZ xxDEBUGxx", COMMAND_WORD_QUIT_APPLICATION, true},
      {L"DeleteSettingFiles DEBUG", COMMAND_WORD_DELETE_SETTING_FILES, true},
      {L"DEBUG QuitApplication", COMMAND_WORD_NONE, true},
      {L"quitapplication debug", COMMAND_WORD_NONE, false},
      {L" QuitApplication DEBU G", COMMAND_WORD_NONE, false},
      {L"QuitApplicatio", COMMAND_WORD_NONE, false},
      {L"deleteSettingFiles", COMMAND_WORD_NONE, false},
      {L"", COMMAND_WORD_NONE, false},
      {nullptr, COMMAND_WORD_NONE, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.word, CommandLine_GetCommandWord(c.line)) << (c.line ? c.line : L"(null)");
    EXPECT_EQ(c.debug, CommandLine_HasDebugWord(c.line)) << (c.line ? c.line : L"(null)");
  }
}

}  // namespace
