// The existence test shared by path resolution, the footer commands and the
// item list.
#pragma once

#include "framework/afxstr.h"

#include <windows.h>

// TRUE when a directory search for `path` yields an entry (a folder counts).
// The path is used as given: not normalised, relative paths are taken against
// the current directory.
// When the path exists and `found` is given, it receives what the search
// reported of the entry (attributes, size, times).
BOOL FileExists(const CString& path, WIN32_FIND_DATAW* found = nullptr);
