// Deleting a folder tree depth first: what goes, what a read-only file or a
// dot-name keeps, and that a link inside the tree never leads the deletion out
// of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "base/trace.h"
#include "config/config.h"
#include "support/test_support.h"

namespace {

using test::FileExists;
using test::FolderExists;
using test::MakeFolder;
using test::WriteBytes;

class FolderTree : public ::testing::Test {
 protected:
  test::TempFolder temp_;
  const std::wstring root_ = temp_ / L"root";
};

TEST_F(FolderTree, ReadOnlyFileKeepsItsFolderAndAncestorsAndDotNamesStay) {
  for (const wchar_t* folder : {L"", L"\\A", L"\\A\\B", L"\\A\\sibling", L"\\C", L"\\C\\深い", L"\\sub", L"\\.hidden"}) {
    MakeFolder(root_ + folder);
  }
  for (const wchar_t* file : {L"\\A\\B\\ro.lnk", L"\\A\\sibling\\x.lnk", L"\\A\\a.lnk", L"\\C\\order.ini",
                              L"\\C\\深い\\y.lnk", L"\\z.lnk", L"\\sub\\.keep", L"\\sub\\x.lnk", L"\\.hidden\\in.lnk"}) {
    WriteBytes(root_ + file, "x");
  }
  ASSERT_TRUE(SetFileAttributesW((root_ + L"\\A\\B\\ro.lnk").c_str(), FILE_ATTRIBUTE_READONLY));

  test::TraceRecorder recorder;
  // The folder holding the file fails; the levels above go on with their other entries.
  EXPECT_EQ(0, Config_DeleteFolderTree(root_.c_str()));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"外部処理異常終了( DeleteFile"));
  for (const wchar_t* kept : {L"\\A\\B\\ro.lnk", L"\\sub\\.keep", L"\\.hidden\\in.lnk"}) {
    EXPECT_TRUE(FileExists(root_ + kept)) << kept;  // a dot-folder is never entered
  }
  for (const wchar_t* gone : {L"\\A\\sibling", L"\\A\\a.lnk", L"\\C", L"\\z.lnk", L"\\sub\\x.lnk"}) {
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root_ + gone).c_str())) << gone;
  }
  EXPECT_EQ(-1, Config_DeleteFolderTree((root_ + L"\\A\\B").c_str()));
  EXPECT_EQ(0, Config_DeleteFolderTree((root_ + L"\\missing").c_str()));
}

// Starts a host program: Wine runs an ELF binary given a Z: path, but gives no
// usable exit code, so callers wait for its effect.
void RunUnix(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = program + L" " + arguments, image = L"Z:" + program;
  std::replace(image.begin(), image.end(), L'/', L'\\');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (CreateProcessW(image.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

bool WaitForPath(const std::wstring& path, bool exists) {
  for (int i = 0; i < 250; ++i, Sleep(20)) {
    if ((GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == exists) return true;
  }
  return false;
}

// The host path of a Windows path through Wine's own conversion; empty when
// there is none or it holds a blank (the host command line is split at blanks).
std::wstring UnixPath(const std::wstring& path) {
  typedef char*(CDECL * ToUnix)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = toUnix != nullptr ? toUnix(path.c_str()) : nullptr;
  if (unix == nullptr) return std::wstring();
  std::wstring wide(unix, unix + strlen(unix));  // an ASCII temp path, or one that makes no link
  HeapFree(GetProcessHeap(), 0, unix);
  return wide.find(L' ') == std::wstring::npos ? wide : std::wstring();
}

TEST_F(FolderTree, LinksAreNeverFollowedOutOfTheTree) {
  const std::wstring outside = temp_ / L"outside", emptyOutside = temp_ / L"empty";
  MakeFolder(outside);
  MakeFolder(outside + L"\\inner");
  MakeFolder(emptyOutside);  // removable through a link that leads there
  WriteBytes(outside + L"\\precious.lnk", "precious");
  WriteBytes(outside + L"\\inner\\deep.lnk", "deep");
  for (const wchar_t* folder : {L"", L"\\sub", L"\\files"}) MakeFolder(root_ + folder);
  WriteBytes(root_ + L"\\own.lnk", "own");
  // Wine shows a link to a folder as a reparse-point folder and a link to a file as a plain file.
  const std::pair<std::wstring, std::wstring> links[] = {
      {root_ + L"\\sub\\link", outside}, {root_ + L"\\files\\filelink.lnk", outside + L"\\precious.lnk"},
      {temp_ / L"rootlink", emptyOutside}};
  bool made = true;
  for (const auto& link : links) {
    const std::wstring unixLink = UnixPath(link.first), unixTarget = UnixPath(link.second);
    if (!unixLink.empty() && !unixTarget.empty()) RunUnix(L"/bin/ln", L"-s " + unixTarget + L" " + unixLink);
    made = made && WaitForPath(link.first, true);
  }
  if (made) {
    Config_DeleteFolderTree(root_.c_str());  // the result depends on whether the platform can remove the link
    Config_DeleteFolderTree(links[2].first.c_str());
    EXPECT_FALSE(FileExists(root_ + L"\\own.lnk")) << "the tree's own files still go";
    EXPECT_EQ("precious", test::ReadBytes(outside + L"\\precious.lnk"));
    EXPECT_EQ("deep", test::ReadBytes(outside + L"\\inner\\deep.lnk"));
    EXPECT_TRUE(FolderExists(emptyOutside)) << "the root given as a link is not followed";
  }
  // Links left behind go through the host: Windows calls would delete what they point at.
  for (const auto& link : links) {
    if (GetFileAttributesW(link.first.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    RunUnix(L"/bin/rm", L"-f " + UnixPath(link.first));
    WaitForPath(link.first, false);
  }
  if (!made) GTEST_SKIP() << "cannot create symbolic links here (not Wine, or a blank in the temp path)";
}

}  // namespace
