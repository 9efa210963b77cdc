#include "tests/support/machine_snapshot.h"

namespace qvtest {

// Every file and folder under `folder` with its size and write time, skipping `skip`.
void ListFiles(const std::wstring& folder, const std::wstring& skip, MachineListing& out)
{
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (CompareStringOrdinal(path.c_str(), -1, skip.c_str(), -1, TRUE) == CSTR_EQUAL)
            continue;
        const bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        out[path] = isFolder ? L"<dir>"
                             : std::to_wstring((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) +
                                   L" " + std::to_wstring(data.ftLastWriteTime.dwLowDateTime) + L":" +
                                   std::to_wstring(data.ftLastWriteTime.dwHighDateTime);
        if (isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ListFiles(path, skip, out);
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

// Every key and value under root\path (64-bit view) with its type and data.
// Wine's own volatile record of the session's system parameters is left out:
// Wine fills it when the session's first window is made, whichever program
// makes it, and drops it when the session ends.
void ListRegistry(HKEY root, const std::wstring& path, MachineListing& out)
{
    if (CompareStringOrdinal(path.c_str(), -1, L"Software\\Wine\\Temporary System Parameters", -1, TRUE) ==
        CSTR_EQUAL)
        return;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    out[path] = L"<key>";
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        std::vector<BYTE> data(65536);
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        out[path + L":" + name] = std::to_wstring(type) + L" " +
                                  std::wstring(reinterpret_cast<const wchar_t*>(data.data()), size / 2);
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children)
        ListRegistry(root, path + L"\\" + child, out);
}

std::vector<std::wstring> Differences(const MachineListing& before,
                                      const MachineListing& after)
{
    std::vector<std::wstring> changes;
    for (const auto& [name, value] : after) {
        auto it = before.find(name);
        if (it == before.end())
            changes.push_back(L"new " + name);
        else if (it->second != value)
            changes.push_back(L"changed " + name);
    }
    for (const auto& [name, value] : before)
        if (!after.count(name))
            changes.push_back(L"gone " + name);
    return changes;
}

}  // namespace qvtest
