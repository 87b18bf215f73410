// Deleting a folder tree depth first: what goes, what a read-only file or a
// dot-name keeps, and that a link inside the tree never leads the deletion out.
#include <gtest/gtest.h>

#include "base/trace.h"
#include "config/config.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(FolderTree, ReadOnlyFileKeepsItsFolderAndAncestorsAndDotNamesStay) {
  TempFolder temp;
  const std::wstring root = temp / L"root";
  for (const wchar_t* folder : {L"", L"\\A", L"\\A\\B", L"\\A\\sibling", L"\\C", L"\\C\\深い", L"\\sub", L"\\.hidden"}) {
    MakeFolder(root + folder);
  }
  for (const wchar_t* file : {L"\\A\\B\\ro.lnk", L"\\A\\sibling\\x.lnk", L"\\A\\a.lnk", L"\\C\\order.ini",
                              L"\\C\\深い\\y.lnk", L"\\z.lnk", L"\\sub\\.keep", L"\\sub\\x.lnk", L"\\.hidden\\in.lnk"}) {
    WriteBytes(root + file, "x");
  }
  ASSERT_TRUE(SetFileAttributesW((root + L"\\A\\B\\ro.lnk").c_str(), FILE_ATTRIBUTE_READONLY));
  TraceRecorder recorder;
  // The folder holding the file fails; the levels above go on with their other entries.
  EXPECT_EQ(0, Config_DeleteFolderTree(root.c_str()));
  EXPECT_TRUE(recorder.Contains(TRACE_LEVEL_ERROR, L"外部処理異常終了( DeleteFile"));
  for (const wchar_t* kept : {L"\\A\\B\\ro.lnk", L"\\sub\\.keep", L"\\.hidden\\in.lnk"}) EXPECT_TRUE(FileExists(root + kept)) << kept;
  for (const wchar_t* gone : {L"\\A\\sibling", L"\\A\\a.lnk", L"\\C", L"\\z.lnk", L"\\sub\\x.lnk"}) {
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root + gone).c_str())) << gone;
  }
  EXPECT_EQ(-1, Config_DeleteFolderTree((root + L"\\A\\B").c_str()));
  EXPECT_EQ(0, Config_DeleteFolderTree((root + L"\\missing").c_str()));
}

// The host's /bin/ln and /bin/rm on Wine's Unix paths (Windows calls would
// delete what a link points at); Wine gives no exit code: wait for the effect.
bool Host(const std::wstring& command, const std::wstring& path, const std::wstring& target = L"") {
  const auto unixPath = [](const std::wstring& windowsPath) {
    typedef char*(CDECL * ToUnix)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix(windowsPath.c_str());
    std::wstring wide(unix, unix + strlen(unix));  // an ASCII temp path
    HeapFree(GetProcessHeap(), 0, unix);
    return wide;
  };
  std::wstring commandLine = L"/bin/" + command + L" " + (target.empty() ? L"" : unixPath(target) + L" ") + unixPath(path);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (CreateProcessW((L"Z:\\bin\\" + command.substr(0, 2)).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                     nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  return WaitUntil([&] { return (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == (target.size() > 0); }, 5000);
}

TEST(FolderTree, LinksAreNeverFollowedOutOfTheTree) {
  TempFolder temp;
  const std::wstring root = temp / L"root", outside = temp / L"outside", emptyOutside = temp / L"empty";
  for (const std::wstring& folder : {root, root + L"\\sub", root + L"\\files", outside, outside + L"\\inner", emptyOutside}) {
    MakeFolder(folder);
  }
  WriteBytes(outside + L"\\precious.lnk", "precious");
  WriteBytes(outside + L"\\inner\\deep.lnk", "deep");
  WriteBytes(root + L"\\own.lnk", "own");
  // Wine shows a link to a folder as a reparse-point folder and a link to a file as a plain file.
  const std::pair<std::wstring, std::wstring> links[] = {{root + L"\\sub\\link", outside},
                                                         {root + L"\\files\\filelink.lnk", outside + L"\\precious.lnk"},
                                                         {temp / L"rootlink", emptyOutside}};
  for (const auto& link : links) ASSERT_TRUE(Host(L"ln -s", link.first, link.second)) << "no link made";
  Config_DeleteFolderTree(root.c_str());  // the result depends on whether the platform can remove the link
  Config_DeleteFolderTree(links[2].first.c_str());
  for (const auto& link : links) {
    if (GetFileAttributesW(link.first.c_str()) != INVALID_FILE_ATTRIBUTES) Host(L"rm -f", link.first);
  }
  EXPECT_FALSE(FileExists(root + L"\\own.lnk")) << "the tree's own files still go";
  EXPECT_EQ("precious", ReadBytes(outside + L"\\precious.lnk"));
  EXPECT_EQ("deep", ReadBytes(outside + L"\\inner\\deep.lnk"));
  EXPECT_TRUE(FolderExists(emptyOutside)) << "the root given as a link is not followed";
}

}  // namespace
