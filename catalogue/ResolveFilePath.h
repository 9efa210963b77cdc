// Finding where a program, Control Panel file or icon file lives on this machine.
#pragma once

#include "framework/afxstr.h"

#include <windows.h>

// Turns `path` (a full path or a bare file name, environment variables
// unexpanded) into the first candidate that exists, trying the 64-bit places
// and their 32-bit counterparts in a fixed order. `directory` (empty, or a
// folder usually ending in a backslash) is searched for bare names only.
// On TRUE, `path` is the candidate exactly as tested (it may be relative or
// hold a doubled backslash); on FALSE it is left as it came in.
BOOL ResolveFilePath(CString& path, const CString& directory);
