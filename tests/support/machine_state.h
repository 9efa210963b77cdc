// Files, associations and settings a test puts on the machine, each removed
// again (and what was there before put back) when its guard goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/registry_guard.h"

namespace qvtest {

// Copies `source` to `target`, creating the missing folders. The destructor
// deletes the copy, puts back a file that was there before and removes the
// folders it created (deepest first, only when empty).
struct FileContents {
    std::string bytes;
};

class FileCopyGuard {
public:
    FileCopyGuard(const std::wstring& source, const std::wstring& target);
    // Writes `contents` instead of copying a file (documents, stand-in data).
    FileCopyGuard(const FileContents& contents, const std::wstring& target);
    ~FileCopyGuard();
    FileCopyGuard(const FileCopyGuard&) = delete;
    FileCopyGuard& operator=(const FileCopyGuard&) = delete;

    bool ok() const { return ok_; }
    const std::wstring& path() const { return target_; }

private:
    bool MakeRoom();  // creates the folders and moves an existing file aside

    std::wstring target_;
    std::wstring backup_;
    std::vector<std::wstring> createdFolders_;
    bool placed_ = false;  // the file at target_ is ours to delete
    bool ok_ = false;
};

// Creates `folder` and its missing parents; the created ones are appended to
// `created` (outermost first). True when the folder exists afterwards.
bool CreateFolders(const std::wstring& folder, std::vector<std::wstring>* created);

// The shell command line that opens a document or URL with `program`: "<program>" "%1".
std::wstring OpenCommandFor(const std::wstring& program);

// HKCR\<extension> (".kvtest") -> <progId> -> shell\open\command = "<program>" "%1".
class FileAssociation {
public:
    FileAssociation(const std::wstring& extension, const std::wstring& progId, const std::wstring& program);
    bool ok() const { return ok_; }

private:
    RegistryValueGuard command_;
    RegistryValueGuard extension_;
    bool ok_ = false;
};

// HKCR\<scheme> with an empty "URL Protocol" and shell\open\command = "<program>" "%1".
// Works for "http" and "https" too: their previous handler comes back afterwards.
class UrlSchemeAssociation {
public:
    UrlSchemeAssociation(const std::wstring& scheme, const std::wstring& program);
    bool ok() const { return ok_; }

private:
    RegistryValueGuard command_;
    RegistryValueGuard protocol_;
    RegistryValueGuard name_;
    bool ok_ = false;
};

// The DPI that processes started from now on see (HKCU\Control Panel\Desktop
// LogPixels); the previous setting comes back afterwards.
class DpiGuard {
public:
    explicit DpiGuard(DWORD dpi);
    bool ok() const { return ok_; }

private:
    RegistryValueGuard value_;
    bool ok_ = false;
};

}  // namespace qvtest
