#include "tests/support/machine_state.h"

#include <windows.h>

#include "tests/support/test_paths.h"
#include "tests/support/wait.h"

namespace qvtest {

namespace {
// Folders a guard created but could not remove yet because another guard's
// file still lay in them. Every guard that goes retries them, so guards may
// be destroyed in any order and still leave no folder behind.
std::vector<std::wstring>& LeftoverFolders()
{
    static std::vector<std::wstring> folders;
    return folders;
}

void RemoveFolders(const std::vector<std::wstring>& createdDeepestLast)
{
    std::vector<std::wstring>& leftovers = LeftoverFolders();
    for (auto it = createdDeepestLast.rbegin(); it != createdDeepestLast.rend(); ++it) {
        if (!RemoveDirectoryW(it->c_str()) && GetLastError() == ERROR_DIR_NOT_EMPTY)
            leftovers.push_back(*it);
    }
    for (bool removedOne = true; removedOne;) {
        removedOne = false;
        for (auto it = leftovers.begin(); it != leftovers.end();) {
            if (RemoveDirectoryW(it->c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
                GetLastError() == ERROR_PATH_NOT_FOUND) {
                it = leftovers.erase(it);
                removedOne = true;
            } else {
                ++it;
            }
        }
    }
}
}  // namespace

bool CreateFolders(const std::wstring& folder, std::vector<std::wstring>* created)
{
    if (folder.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring parent = FolderOf(folder);
    if (parent.empty() || parent == folder || !CreateFolders(parent, created))
        return false;
    if (!CreateDirectoryW(folder.c_str(), nullptr))
        return GetLastError() == ERROR_ALREADY_EXISTS;
    created->push_back(folder);
    return true;
}

bool FileCopyGuard::MakeRoom()
{
    if (!CreateFolders(FolderOf(target_), &createdFolders_))
        return false;
    if (GetFileAttributesW(target_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        backup_ = target_ + L".qvtest-saved";
        if (!MoveFileExW(target_.c_str(), backup_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            backup_.clear();
            return false;
        }
    }
    return true;
}

FileCopyGuard::FileCopyGuard(const std::wstring& source, const std::wstring& target) : target_(target)
{
    ok_ = MakeRoom() && CopyFileW(source.c_str(), target_.c_str(), FALSE);
    placed_ = ok_;
}

FileCopyGuard::FileCopyGuard(const FileContents& contents, const std::wstring& target) : target_(target)
{
    if (!MakeRoom())
        return;
    HANDLE file = CreateFileW(target_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    placed_ = true;
    DWORD written = 0;
    ok_ = WriteFile(file, contents.bytes.data(), static_cast<DWORD>(contents.bytes.size()), &written, nullptr) &&
          written == contents.bytes.size();
    CloseHandle(file);
}

FileCopyGuard::~FileCopyGuard()
{
    if (placed_) {
        // A program started from the copy may still be ending and hold its image open.
        SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
        WaitUntil([this] { return DeleteFileW(target_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; },
                  kDeadlineMs, 50);
    }
    if (!backup_.empty())
        MoveFileExW(backup_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING);
    RemoveFolders(createdFolders_);
}

std::wstring OpenCommandFor(const std::wstring& program) { return L"\"" + program + L"\" \"%1\""; }

FileAssociation::FileAssociation(const std::wstring& extension, const std::wstring& progId,
                                 const std::wstring& program)
    : command_(HKEY_CLASSES_ROOT, progId + L"\\shell\\open\\command", L""),
      extension_(HKEY_CLASSES_ROOT, extension, L"")
{
    ok_ = command_.SetString(OpenCommandFor(program)) && extension_.SetString(progId);
}

UrlSchemeAssociation::UrlSchemeAssociation(const std::wstring& scheme, const std::wstring& program)
    : command_(HKEY_CLASSES_ROOT, scheme + L"\\shell\\open\\command", L""),
      protocol_(HKEY_CLASSES_ROOT, scheme, L"URL Protocol"),
      name_(HKEY_CLASSES_ROOT, scheme, L"")
{
    ok_ = command_.SetString(OpenCommandFor(program)) && protocol_.SetString(L"") &&
          name_.SetString(L"URL:" + scheme);
}

DpiGuard::DpiGuard(DWORD dpi) : value_(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels")
{
    ok_ = value_.SetDword(dpi);
}

}  // namespace qvtest
