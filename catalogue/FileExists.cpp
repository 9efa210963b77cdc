#include "catalogue/FileExists.h"

BOOL FileExists(const CString& path, WIN32_FIND_DATAW* found)
{
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(path, &data);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    FindClose(search);
    if (found != nullptr)
        *found = data;
    return TRUE;
}
