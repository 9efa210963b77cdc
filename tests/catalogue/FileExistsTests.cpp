// The existence test answers exactly as a directory search of the same path,
// whether or not it could skip the search.
#include "CatalogueTestMachine.h"
#include "catalogue/FileExists.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The directory search itself: found, and the name of what it found.
std::pair<bool, std::wstring> Search(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return {false, L""};
    FindClose(search);
    return {true, data.cFileName};
}

// Takes the right to list `folder` from everyone; false where it cannot.
bool DenyListing(const std::wstring& folder)
{
    EXPLICIT_ACCESSW deny = {};
    deny.grfAccessPermissions = FILE_LIST_DIRECTORY;
    deny.grfAccessMode = DENY_ACCESS;
    deny.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    deny.Trustee.ptstrName = const_cast<wchar_t*>(L"EVERYONE");
    PACL acl = nullptr;
    if (SetEntriesInAclW(1, &deny, nullptr, &acl) != ERROR_SUCCESS)
        return false;
    const DWORD set = SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr);
    LocalFree(acl);
    return set == ERROR_SUCCESS;
}

}  // namespace

TEST(FileExistsOnMachine, AnswersAsTheDirectorySearchInEveryCase)
{
    const std::wstring root = L"C:\\QvExistsTest";
    ScratchFiles files;
    files.Folder(root);
    files.Folder(root + L"\\sub");
    files.File(root + L"\\file.txt");
    files.Folder(root + L"\\locked");
    files.File(root + L"\\locked\\inner.txt");
    const bool denied = DenyListing(root + L"\\locked");
    const std::wstring tooLong = root + L"\\" + std::wstring(300, L'a');
    const std::wstring cases[] = {
        root + L"\\file.txt", root + L"\\sub", root + L"\\none.txt", root + L"\\nofolder\\file.txt",
        root + L"\\file.txt\\below", root + L"\\locked\\inner.txt", root + L"\\locked\\none.txt",
        root + L"\\locked", root + L"\\file.txt.", root + L"\\file.txt ", root + L"\\none.txt.",
        root + L"\\sub\\", root + L"\\nofolder\\", root + L"\\fil*.txt", root + L"\\fil?.txt",
        root + L"\\file<txt", root + L"\\fil>.txt", root + L"\\file\"txt", root + L"\\no*.txt",
        L"C:\\QvNone*\\file.txt", tooLong, tooLong + L"\\file.txt", root + L"\\NUL", root + L"\\nofolder\\NUL",
        root + L"\\file.txt:stream", L"", L"QvExistsRelative.txt", L"C:\\", L"\\\\?\\" + root + L"\\file.txt",
    };
    for (const std::wstring& path : cases) {
        SCOPED_TRACE(testing::Message() << "path " << testing::PrintToString(path.substr(0, 60)));
        const auto [searched, name] = Search(path);
        WIN32_FIND_DATAW data = {};
        const bool exists = FileExists(CString(path.c_str()), &data) != FALSE;
        EXPECT_EQ(exists, searched);
        if (exists && searched) {
            EXPECT_EQ(std::wstring(data.cFileName), name);
        }
    }
    // The answers that matter for the quick answer, so that the cases above
    // really cover both ways.
    EXPECT_TRUE(Search(root + L"\\file.txt").first);
    EXPECT_FALSE(Search(root + L"\\nofolder\\file.txt").first);
    if (!denied)
        std::wcerr << L"note: listing a folder could not be denied here\n";
}
