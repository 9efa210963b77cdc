// Reading one text value from the machine's registry.
#pragma once

#include "framework/afxstr.h"

#include <windows.h>

// Longest value ReadRegString accepts, in bytes (256 UTF-16 code units).
constexpr DWORD kRegValueBytes = 512;

// Reads value `valueName` (empty: the default value) of `key` under
// HKEY_LOCAL_MACHINE into `target`. The read always goes to HKEY_LOCAL_MACHINE,
// whatever `hive` says. The value's registry type is not examined: its bytes
// are taken as UTF-16 text up to the first NUL or the end of the data (a
// trailing odd byte is dropped). A value larger than 512 bytes, a missing key
// or a missing value gives FALSE and leaves `target` unchanged.
BOOL ReadRegString(HKEY hive, const CString& key, const CString& valueName, CString& target);
