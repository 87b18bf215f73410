// What the resource instance decides in the settings module: the names of the
// first run's sample, and how deep the program's folder may lie.  The English
// library is mapped as the program maps it: resources only.
#include <gtest/gtest.h>

#include "base/instance.h"
#include "config/config.h"
#include "config/config_paths.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(ResourceLanguage, NamesTheSampleAndBoundsTheProgramFolderAsItsPathsComposeWhole) {
  PrepareUi();
  const HINSTANCE english = LoadLibraryExW((BinFolder() + L"\\Corvanta_Lang_En.dll").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, english);
  TempFolder temp;
  const struct { HINSTANCE resources; const wchar_t *root, *shortcut, *other; } cases[] = {
      {english, L"en", L"\\Samples\\Try 3 Notepads\\notepad - Shortcut (2).lnk", L"\\サンプル"},
      {gHINSTANCE_WinMain_Instance, L"ja", L"\\サンプル\\とりあえずメモ帳3個\\notepad - ショートカット (2).lnk", L"\\Samples"}};
  for (const auto& c : cases) {
    gHINSTANCE_WinMain_ResourceInstance = c.resources;
    wcscpy_s(gTCHAR_Config_LauncherItemRootPath, (temp / c.root).c_str());
    ASSERT_EQ(0, Config_CreateDefaultLauncherItemRoot()) << c.root;
    EXPECT_TRUE(FileExists(temp / c.root + c.shortcut) && !FolderExists(temp / c.root + c.other)) << c.root;
    // The longest folder the start-up accepts is exactly the longest whose paths all fit whole.
    const std::wstring folder = L"C:\\" + std::wstring(Config_GetLongestProgramFolder() - 3, L'a');
    ConfigPaths paths;
    ASSERT_EQ(0, Config_ComposePaths((folder + L"\\Corvanta.exe").c_str(), &paths)) << c.root;
    EXPECT_EQ(-1, Config_ComposePaths((folder + L"a\\Corvanta.exe").c_str(), &paths)) << c.root;
  }
  gHINSTANCE_WinMain_ResourceInstance = gHINSTANCE_WinMain_Instance;
  FreeLibrary(english);
}

}  // namespace
