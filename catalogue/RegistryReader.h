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

// A key of HKEY_LOCAL_MACHINE kept open for reads of it and below it. It is
// opened at the first read; a key that cannot be opened is not tried again.
// Meant for the span of one catalogue load, over which the registry is taken
// as it was at the first read.
class CRegistryKey {
public:
    explicit CRegistryKey(const CString& path) : m_strPath(path) {}
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    const CString& Path() const { return m_strPath; }
    // The open key, or null when it cannot be opened.
    HKEY Handle();

private:
    CString m_strPath;
    HKEY m_hKey = nullptr;
    bool m_bTried = false;
};

// The same as ReadRegString for the key "<key's path>\<subkey>" (`subkey`
// empty: the key itself), with the same result and the same report to the
// probe observer; only what lies below the kept key is opened.
BOOL ReadRegString(CRegistryKey& key, const CString& subkey, const CString& valueName, CString& target);
