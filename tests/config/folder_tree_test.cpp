// Deleting a folder tree depth first: what goes, what a read-only file or a
// dot-name keeps, and that a link inside the tree never leads the deletion out.
#include <gtest/gtest.h>

#include "config/config.h"
#include "support/test_support.h"

namespace {

using namespace test;

TEST(FolderTree, AReadOnlyFileKeepsItsFoldersDotNamesStayAndLinksNeverLeadTheDeletionOut) {
  TempFolder temp;
  const std::wstring root = temp / L"root", outside = temp / L"outside";
  for (const wchar_t* folder : {L"", L"\\A", L"\\A\\B", L"\\A\\sibling", L"\\C", L"\\C\\深い", L"\\sub", L"\\.hidden"}) MakeFolder(root + folder);
  for (const wchar_t* file : {L"\\A\\B\\ro.lnk", L"\\A\\sibling\\x.lnk", L"\\A\\a.lnk", L"\\C\\order.ini",
                              L"\\C\\深い\\y.lnk", L"\\z.lnk", L"\\sub\\.keep", L"\\sub\\x.lnk", L"\\.hidden\\in.lnk"}) WriteBytes(root + file, "x");
  ASSERT_TRUE(SetFileAttributesW((root + L"\\A\\B\\ro.lnk").c_str(), FILE_ATTRIBUTE_READONLY));
  for (const std::wstring& folder : {outside, outside + L"\\inner", root + L"\\L", root + L"\\F"}) MakeFolder(folder);
  WriteBytes(outside + L"\\precious.lnk", "kept");
  // Wine shows a link to a folder as a reparse-point folder, one to a file as a plain file; each has a folder of
  // its own, as a folder is left at its first kept entry.  (A root that is a link: the item manager's trust test.)
  const std::pair<std::wstring, std::wstring> links[] = {{root + L"\\L\\link", outside + L"\\inner"},
                                                         {root + L"\\F\\filelink.lnk", outside + L"\\precious.lnk"}};
  for (const auto& link : links) ASSERT_TRUE(Host(L"ln -s", link.first, link.second)) << "no link made";
  // The folder holding the file fails; the levels above go on with their other entries.
  EXPECT_EQ(0, Config_DeleteFolderTree(root.c_str()));
  for (const auto& link : links) {
    if (GetFileAttributesW(link.first.c_str()) != INVALID_FILE_ATTRIBUTES) Host(L"rm -f", link.first);
  }
  for (const wchar_t* kept : {L"\\A\\B\\ro.lnk", L"\\sub\\.keep", L"\\.hidden\\in.lnk"}) EXPECT_TRUE(FileExists(root + kept)) << kept;
  for (const wchar_t* gone : {L"\\A\\sibling", L"\\A\\a.lnk", L"\\C", L"\\z.lnk", L"\\sub\\x.lnk"}) {
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((root + gone).c_str())) << gone;
  }
  EXPECT_TRUE(ReadBytes(outside + L"\\precious.lnk") == "kept" && FolderExists(outside + L"\\inner"));
}

}  // namespace
