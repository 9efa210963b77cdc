#include "catalogue/FileExists.h"

namespace {

// Characters a directory search takes as a pattern: the wildcards and the
// platform's DOS wildcards.
bool HasWildcard(const CString& path)
{
    for (const wchar_t* c = path.GetString(); *c != L'\0'; ++c) {
        if (*c == L'*' || *c == L'?' || *c == L'<' || *c == L'>' || *c == L'"')
            return true;
    }
    return false;
}

}  // namespace

BOOL FileExists(const CString& path, WIN32_FIND_DATAW* found)
{
    // Reading the entry's attributes costs no round trip to Wine's server; a
    // directory search costs four. Where the attributes say that the file or
    // a folder on its path is not there, a search of a path without a
    // pattern finds nothing either, so that answer needs no search. Every
    // other answer (found, access denied, a file in use, ...) is the
    // search's to give: it may differ, for a folder that may not be listed.
    if (!HasWildcard(path)) {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!GetFileAttributesExW(path, GetFileExInfoStandard, &attributes)) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                return FALSE;
        }
    }
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(path, &data);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(search);
    if (found != nullptr)
        *found = data;
    return TRUE;
}
