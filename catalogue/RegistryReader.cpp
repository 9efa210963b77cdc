#include "catalogue/RegistryReader.h"

#include "catalogue/ProbeObserver.h"

#include <array>
#include <cwchar>
#include <iterator>

namespace {

// A key path beginning "Software\Wow6432Node\" reaches the 32-bit view.
RegistryView ViewOf(const CString& key)
{
    static const wchar_t prefix[] = L"Software\\Wow6432Node\\";
    const size_t length = std::size(prefix) - 1;
    return _wcsnicmp(key, prefix, length) == 0 ? RegistryView::Wow6432Node : RegistryView::Native;
}

BOOL Report(const CString& key, const CString& valueName, BOOL found)
{
    if (ProbeObserver)
        ProbeObserver->OnRegistryRead(key, valueName, ViewOf(key), found != FALSE);
    return found;
}

// Reads value `valueName` of the open key `handle` as text (see ReadRegString).
bool QueryText(HKEY handle, const CString& valueName, CString& target)
{
    // One code unit more than the query may fill, so that a value without a
    // terminating NUL is still terminated inside the buffer.
    std::array<wchar_t, kRegValueBytes / sizeof(wchar_t) + 1> buffer{};
    DWORD bytes = kRegValueBytes;
    const LONG status = RegQueryValueExW(handle, valueName, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (status != ERROR_SUCCESS || bytes > kRegValueBytes)
        return false;
    buffer.at(bytes / sizeof(wchar_t)) = L'\0';
    target = buffer.data();
    return true;
}

// Opens `subkey` of `parent` and reads the value; reported under `key`, the
// full path.
BOOL ReadUnder(HKEY parent, const CString& subkey, const CString& key, const CString& valueName, CString& target)
{
    HKEY handle = nullptr;
    if (parent == nullptr || RegOpenKeyExW(parent, subkey, 0, KEY_READ, &handle) != ERROR_SUCCESS || !handle)
        return Report(key, valueName, FALSE);
    const bool read = QueryText(handle, valueName, target);
    RegCloseKey(handle);
    return Report(key, valueName, read ? TRUE : FALSE);
}

}  // namespace

BOOL ReadRegString(HKEY /*hive*/, const CString& key, const CString& valueName, CString& target)
{
    return ReadUnder(HKEY_LOCAL_MACHINE, key, key, valueName, target);
}

CRegistryKey::~CRegistryKey()
{
    if (m_hKey != nullptr)
        RegCloseKey(m_hKey);
}

HKEY CRegistryKey::Handle()
{
    if (!m_bTried) {
        m_bTried = true;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_strPath, 0, KEY_READ, &m_hKey) != ERROR_SUCCESS)
            m_hKey = nullptr;
    }
    return m_hKey;
}

BOOL ReadRegString(CRegistryKey& key, const CString& subkey, const CString& valueName, CString& target)
{
    if (!subkey.IsEmpty())
        return ReadUnder(key.Handle(), subkey, key.Path() + L"\\" + subkey, valueName, target);
    const bool read = key.Handle() != nullptr && QueryText(key.Handle(), valueName, target);
    return Report(key.Path(), valueName, read ? TRUE : FALSE);
}
