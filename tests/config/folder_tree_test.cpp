// Deleting a folder tree depth first: what goes, what a read-only file or a
// dot-name keeps, and that a link inside the tree never leads the deletion out
// of it.
#include <gtest/gtest.h>

#include <string>

#include "app/trace.h"
#include "config/config.h"
#include "support/test_support.h"

namespace {

using test::FileExists;
using test::FolderExists;
using test::MakeFolder;
using test::WriteBytes;

// Starts a Unix program of the host (Wine runs an ELF binary given a Z: path).
// Wine gives no usable exit code for it, so callers wait for its effect.
bool StartUnix(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = program + L" " + arguments;
  std::wstring image = L"Z:" + program;
  for (wchar_t& c : image) c = c == L'/' ? L'\\' : c;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(image.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// Waits up to five seconds for `path` to exist (or, with `exists` false, to be gone).
bool WaitForPath(const std::wstring& path, bool exists) {
  for (int i = 0; i < 250; ++i) {
    if ((GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == exists) return true;
    Sleep(20);
  }
  return false;
}

// The Unix path of a Windows path, through Wine's own conversion.
std::wstring UnixPath(const std::wstring& path) {
  typedef char*(CDECL * ToUnix)(const wchar_t*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return std::wstring();
  char* unix = toUnix(path.c_str());
  if (unix == nullptr) return std::wstring();
  int length = MultiByteToWideChar(CP_UTF8, 0, unix, -1, nullptr, 0);
  std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, unix, -1, &wide[0], length);
  HeapFree(GetProcessHeap(), 0, unix);
  return wide;
}

// A symbolic link at `link` to `target`, or an explanation of why there is none.
std::wstring MakeSymbolicLink(const std::wstring& link, const std::wstring& target) {
  std::wstring unixLink = UnixPath(link), unixTarget = UnixPath(target);
  if (unixLink.empty() || unixTarget.empty()) return L"no wine_get_unix_file_name (not Wine?)";
  // The command line is split at blanks; the temp folder's paths have none.
  if ((unixLink + unixTarget).find(L' ') != std::wstring::npos) return L"a blank in the temp path";
  if (!StartUnix(L"/bin/ln", L"-s " + unixTarget + L" " + unixLink)) return L"/bin/ln cannot be started";
  // Wine shows a link to a folder as a reparse-point folder and a link to a
  // file as a plain file.
  if (!WaitForPath(link, true)) return L"/bin/ln -s made no link";
  return std::wstring();
}

// Removes a link left behind without following it (through the Windows calls,
// Wine would delete what the link points at).
void RemoveLinkItself(const std::wstring& link) {
  if (GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (StartUnix(L"/bin/rm", L"-f " + UnixPath(link))) WaitForPath(link, false);
}

class FolderTree : public ::testing::Test {
 protected:
  test::TempFolder temp_;
  const std::wstring root_ = temp_ / L"root";
};

TEST_F(FolderTree, WholeTreeWithOrderFilesAndSubfoldersGoes) {
  for (const wchar_t* folder : {L"", L"\\サンプル", L"\\サンプル\\深い", L"\\空"}) MakeFolder(root_ + folder);
  for (const wchar_t* file : {L"\\order.ini", L"\\a.lnk", L"\\サンプル\\order.ini", L"\\サンプル\\深い\\b.lnk",
                              L"\\サンプル\\深い\\order.ini"}) {
    WriteBytes(root_ + file, "x");
  }
  EXPECT_EQ(0, Config_DeleteFolderTree(root_.c_str()));
  EXPECT_FALSE(FolderExists(root_));
  EXPECT_TRUE(FolderExists(temp_.Path())) << "the folder above the root is not touched";
}

TEST_F(FolderTree, MissingFolderIsNoError) {
  EXPECT_EQ(0, Config_DeleteFolderTree(root_.c_str()));
}

TEST_F(FolderTree, ReadOnlyFileKeepsItsFolderAndAncestorsOnly) {
  for (const wchar_t* folder : {L"", L"\\A", L"\\A\\B", L"\\A\\sibling", L"\\C"}) MakeFolder(root_ + folder);
  for (const wchar_t* file : {L"\\A\\B\\ro.lnk", L"\\A\\sibling\\x.lnk", L"\\A\\a.lnk", L"\\C\\y.lnk", L"\\z.lnk"}) {
    WriteBytes(root_ + file, "x");
  }
  ASSERT_TRUE(SetFileAttributesW((root_ + L"\\A\\B\\ro.lnk").c_str(), FILE_ATTRIBUTE_READONLY));

  test::TraceRecorder recorder;
  // The folder holding the file fails; the levels above go on with their other
  // entries and still report reaching their own (failing) removal.
  EXPECT_EQ(-1, Config_DeleteFolderTree((root_ + L"\\A\\B").c_str()));
  EXPECT_TRUE(recorder.Contains(3, L"外部処理異常終了( DeleteFile"));
  EXPECT_EQ(0, Config_DeleteFolderTree(root_.c_str()));

  EXPECT_TRUE(FileExists(root_ + L"\\A\\B\\ro.lnk"));
  EXPECT_TRUE(FolderExists(root_ + L"\\A\\B"));
  EXPECT_TRUE(FolderExists(root_ + L"\\A"));
  EXPECT_TRUE(FolderExists(root_));
  EXPECT_FALSE(FolderExists(root_ + L"\\A\\sibling"));
  EXPECT_FALSE(FileExists(root_ + L"\\A\\a.lnk"));
  EXPECT_FALSE(FolderExists(root_ + L"\\C"));
  EXPECT_FALSE(FileExists(root_ + L"\\z.lnk"));
}

TEST_F(FolderTree, DotNamesAreKeptWithTheirAncestors) {
  for (const wchar_t* folder : {L"", L"\\sub", L"\\.hidden", L"\\gone"}) MakeFolder(root_ + folder);
  for (const wchar_t* file : {L"\\sub\\.keep", L"\\sub\\x.lnk", L"\\.hidden\\inner.lnk", L"\\gone\\y.lnk"}) {
    WriteBytes(root_ + file, "x");
  }
  EXPECT_EQ(0, Config_DeleteFolderTree(root_.c_str()));
  EXPECT_TRUE(FileExists(root_ + L"\\sub\\.keep"));
  EXPECT_TRUE(FileExists(root_ + L"\\.hidden\\inner.lnk")) << "a dot-folder is never entered";
  EXPECT_FALSE(FileExists(root_ + L"\\sub\\x.lnk"));
  EXPECT_FALSE(FolderExists(root_ + L"\\gone"));
}

TEST_F(FolderTree, LinksAreNeverFollowedOutOfTheTree) {
  const std::wstring outside = temp_ / L"outside";
  MakeFolder(outside);
  MakeFolder(outside + L"\\inner");
  WriteBytes(outside + L"\\precious.lnk", "precious");
  WriteBytes(outside + L"\\inner\\deep.lnk", "deep");
  const std::wstring emptyOutside = temp_ / L"empty";  // removable through a link that leads there
  MakeFolder(emptyOutside);
  for (const wchar_t* folder : {L"", L"\\sub", L"\\files"}) MakeFolder(root_ + folder);
  WriteBytes(root_ + L"\\own.lnk", "own");

  const std::wstring folderLink = root_ + L"\\sub\\link", fileLink = root_ + L"\\files\\filelink.lnk";
  const std::wstring rootLink = temp_ / L"rootlink";
  std::wstring failure = MakeSymbolicLink(folderLink, outside);
  if (failure.empty()) failure = MakeSymbolicLink(fileLink, outside + L"\\precious.lnk");
  if (failure.empty()) failure = MakeSymbolicLink(rootLink, emptyOutside);
  if (!failure.empty()) {
    for (const std::wstring& link : {folderLink, fileLink, rootLink}) RemoveLinkItself(link);
    GTEST_SKIP() << "cannot create a symbolic link here: " << failure;
  }

  Config_DeleteFolderTree(root_.c_str());  // the result depends on whether the platform can remove the link
  Config_DeleteFolderTree(rootLink.c_str());
  EXPECT_FALSE(FileExists(root_ + L"\\own.lnk")) << "the tree's own files still go";
  EXPECT_EQ("precious", test::ReadBytes(outside + L"\\precious.lnk"));
  EXPECT_EQ("deep", test::ReadBytes(outside + L"\\inner\\deep.lnk"));
  EXPECT_TRUE(FolderExists(outside + L"\\inner"));
  EXPECT_TRUE(FolderExists(emptyOutside)) << "the root given as a link is not followed";

  for (const std::wstring& link : {folderLink, fileLink, rootLink}) RemoveLinkItself(link);
}

}  // namespace
