#include "catalogue/FileExists.h"

#include <cwctype>

namespace {

// Whether a search for `path` finds exactly the entry its attributes describe:
// a last component that is a plain name. A directory search treats wildcards
// as patterns, finds nothing for a path ending in a separator or in dots only,
// and answers for device names and streams in ways of its own; such paths are
// left to the search itself.
bool PlainLastComponent(const CString& path)
{
    const wchar_t* text = path.GetString();
    const int length = path.GetLength();
    int start = length;
    while (start > 0 && text[start - 1] != L'\\' && text[start - 1] != L'/')
        --start;
    if (start == length)
        return false;
    bool onlyDots = true;
    for (int i = start; i < length; ++i) {
        const wchar_t c = text[i];
        if (c == L'*' || c == L'?' || c == L':' || c == L'<' || c == L'>' || c == L'"')
            return false;
        onlyDots = onlyDots && c == L'.';
    }
    if (onlyDots || text[length - 1] == L'.' || text[length - 1] == L' ')
        return false;

    // Device names (CON, NUL, COM1, ...) are found in every folder, whatever
    // follows a dot.
    int stem = start;
    while (stem < length && text[stem] != L'.' && text[stem] != L' ')
        ++stem;
    wchar_t name[8] = {};
    if (stem - start > 7)
        return true;
    for (int i = start; i < stem; ++i)
        name[i - start] = static_cast<wchar_t>(std::towupper(text[i]));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (wcscmp(name, device) == 0)
            return false;
    }
    const bool port = (wcsncmp(name, L"COM", 3) == 0 || wcsncmp(name, L"LPT", 3) == 0) && stem - start == 4 &&
                      name[3] >= L'0' && name[3] <= L'9';
    return !port;
}

}  // namespace

BOOL FileExists(const CString& path, WIN32_FIND_DATAW* found)
{
    WIN32_FIND_DATAW data = {};
    if (PlainLastComponent(path)) {
        // The entry's attributes, read without a directory search: under Wine
        // a search is four round trips to the server, this is none.
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!GetFileAttributesExW(path, GetFileExInfoStandard, &attributes))
            return FALSE;
        data.dwFileAttributes = attributes.dwFileAttributes;
        data.ftCreationTime = attributes.ftCreationTime;
        data.ftLastAccessTime = attributes.ftLastAccessTime;
        data.ftLastWriteTime = attributes.ftLastWriteTime;
        data.nFileSizeHigh = attributes.nFileSizeHigh;
        data.nFileSizeLow = attributes.nFileSizeLow;
    } else {
        const HANDLE search = FindFirstFileW(path, &data);
        if (search == INVALID_HANDLE_VALUE)
            return FALSE;
        FindClose(search);
    }
    if (found != nullptr)
        *found = data;
    return TRUE;
}
