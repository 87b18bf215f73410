// Strings from a language library that lacks some of them.
#include <gtest/gtest.h>

#include "base/instance.h"
#include "base/text.h"
#include "resource.h"
#include "support/test_support.h"

namespace {

TEST(TextLoadString, TakesTheProgramsOwnTextOnlyWhereTheLibraryHasNone) {
  HMODULE older = LoadLibraryW((test::BinFolder() + L"\\..\\fakes\\older_language\\Corvanta_Lang_En.dll").c_str());
  ASSERT_NE(nullptr, older);
  const HINSTANCE program = GetModuleHandleW(nullptr);
  struct Case {
    HINSTANCE resources;
    UINT id;
    const wchar_t* expected;
  } cases[] = {
      {older, IDS_CONFIG_NOT_FOUND_CAPTION, L"Initial Setup"},  // the library's own
      {older, IDS_CONFIG_LAUNCHER_ITEM_ROOT, L"Launcher Items"},
      {older, IDS_MAINWINDOW_HELP_MISSING_CAPTION, L"ヘルプ"},  // added later: the program's
      {older, IDS_CONFIG_HELP_FILE_NAME, L"CorvantaHelp.chm"},
      {older, 199, L""},  // nobody's
      {program, 199, L""},
      {program, IDS_MAINWINDOW_MENU_HELP, L"ヘルプ"},
  };
  gHINSTANCE_WinMain_Instance = program;
  for (const Case& c : cases) {
    gHINSTANCE_WinMain_ResourceInstance = c.resources;
    wchar_t text[D_SIZE_RESOURCE];
    wmemset(text, L'x', D_SIZE_RESOURCE);
    Text_LoadString(c.id, text, D_SIZE_RESOURCE);
    EXPECT_STREQ(c.expected, text) << c.id;
  }
  gHINSTANCE_WinMain_ResourceInstance = program;
  FreeLibrary(older);
}

}  // namespace
