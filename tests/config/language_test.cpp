// What the resource instance decides in the settings module: the names of the
// first run's sample, and how deep the program's folder may lie.
#include <gtest/gtest.h>

#include "base/instance.h"
#include "config/config.h"
#include "config/config_paths.h"
#include "support/test_support.h"

namespace {

using namespace test;

// The English library mapped as the program maps it: resources only.
class ResourceInstances : public ::testing::Test {
 protected:
  void SetUp() override {
    english_ = LoadLibraryExW((BinFolder() + L"\\Corvanta_Lang_En.dll").c_str(), nullptr,
                              LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, english_);
    gHINSTANCE_WinMain_Instance = GetModuleHandleW(nullptr);
  }
  void TearDown() override {
    gHINSTANCE_WinMain_ResourceInstance = gHINSTANCE_WinMain_Instance;
    FreeLibrary(english_);
  }
  HMODULE english_ = nullptr;
};

size_t CountEntries(const std::wstring& folder) {
  size_t count = 0;
  WIN32_FIND_DATAW found;
  FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  for (bool more = search.Valid(); more; more = FindNextFileW(search.Get(), &found)) {
    if (found.cFileName[0] == L'.') continue;
    ++count;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) count += CountEntries(folder + L"\\" + found.cFileName);
  }
  return count;
}

TEST_F(ResourceInstances, TheFirstRunNamesItsSampleInTheLanguageOfTheResources) {
  CoInitialize(nullptr);
  TempFolder temp;
  gHINSTANCE_WinMain_ResourceInstance = english_;
  wcscpy_s(gTCHAR_Config_LauncherItemRootPath, (temp / L"en").c_str());
  ASSERT_EQ(0, Config_CreateDefaultLauncherItemRoot());
  EXPECT_EQ(10u, CountEntries(temp / L"en"));
  for (int notepads = 1; notepads <= 3; ++notepads) {
    const std::wstring folder = temp / L"en\\Samples\\Try " + std::to_wstring(notepads) + (notepads == 1 ? L" Notepad" : L" Notepads");
    for (int copy = 0; copy < notepads; ++copy) {
      const std::wstring shortcut = folder + L"\\notepad - Shortcut" + (copy ? L" (" + std::to_wstring(copy) + L")" : L"") + L".lnk";
      EXPECT_TRUE(FileExists(shortcut)) << shortcut;
    }
  }
  gHINSTANCE_WinMain_ResourceInstance = gHINSTANCE_WinMain_Instance;
  wcscpy_s(gTCHAR_Config_LauncherItemRootPath, (temp / L"ja").c_str());
  ASSERT_EQ(0, Config_CreateDefaultLauncherItemRoot());
  EXPECT_EQ(10u, CountEntries(temp / L"ja"));
  EXPECT_TRUE(FileExists(temp / L"ja\\サンプル\\とりあえずメモ帳3個\\notepad - ショートカット (2).lnk"));
  CoUninitialize();
}

// The longest folder the start-up accepts is exactly the longest whose paths all fit whole.
TEST_F(ResourceInstances, TheLongestProgramFolderIsTheLastThatComposesWhole) {
  for (HINSTANCE resources : {gHINSTANCE_WinMain_Instance, static_cast<HINSTANCE>(english_)}) {
    gHINSTANCE_WinMain_ResourceInstance = resources;
    const size_t longest = Config_GetLongestProgramFolder();
    ASSERT_GT(longest, 200u);
    const std::wstring folder = L"C:\\" + std::wstring(longest - 3, L'a');
    ConfigPaths paths;
    ASSERT_EQ(0, Config_ComposePaths((folder + L"\\Corvanta.exe").c_str(), &paths)) << longest;
    EXPECT_EQ(folder + L"\\", paths.moduleFolder);
    EXPECT_EQ(0u, std::wstring(paths.launcherItemRoot).find(folder + L"\\"));
    EXPECT_EQ(-1, Config_ComposePaths((folder + L"a\\Corvanta.exe").c_str(), &paths)) << longest;
  }
}

}  // namespace
