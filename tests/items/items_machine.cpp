#include "tests/items/items_machine.h"

#include <algorithm>

namespace itemstest {

std::wstring StandinExePath()
{
    return qvtest::WindowsPathFromUnix(QV_STANDIN_EXE);
}

Installation::~Installation()
{
    while (!files_.empty())
        files_.pop_back();
    // A folder shared by several files may outlive the guard that made it.
    for (auto it = newFolders_.rbegin(); it != newFolders_.rend(); ++it)
        RemoveDirectoryW(it->c_str());
}

void Installation::NoteNewFolders(const std::wstring& target)
{
    std::vector<std::wstring> missing;
    for (std::wstring folder = qvtest::FolderOf(target); folder.size() > 3 && !qvtest::FileExists(folder);
         folder = qvtest::FolderOf(folder))
        missing.insert(missing.begin(), folder);
    for (const std::wstring& folder : missing)
        if (std::find(newFolders_.begin(), newFolders_.end(), folder) == newFolders_.end())
            newFolders_.push_back(folder);
}

bool Installation::Copy(const std::wstring& source, const std::wstring& target)
{
    Remove(target);
    NoteNewFolders(target);
    auto guard = std::make_unique<qvtest::FileCopyGuard>(source, target);
    const bool ok = guard->ok();
    files_.emplace_back(target, std::move(guard));
    return ok;
}

bool Installation::Write(const std::string& bytes, const std::wstring& target)
{
    Remove(target);
    NoteNewFolders(target);
    auto guard = std::make_unique<qvtest::FileCopyGuard>(qvtest::FileContents{bytes}, target);
    const bool ok = guard->ok();
    files_.emplace_back(target, std::move(guard));
    return ok;
}

void Installation::Remove(const std::wstring& target)
{
    files_.erase(std::remove_if(files_.begin(), files_.end(), [&](const auto& f) { return f.first == target; }),
                 files_.end());
}

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return text;
}

}  // namespace itemstest
