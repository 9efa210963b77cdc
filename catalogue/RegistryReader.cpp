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

}  // namespace

BOOL ReadRegString(HKEY /*hive*/, const CString& key, const CString& valueName, CString& target)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS || !handle)
        return Report(key, valueName, FALSE);

    // One code unit more than the query may fill, so that a value without a
    // terminating NUL is still terminated inside the buffer.
    std::array<wchar_t, kRegValueBytes / sizeof(wchar_t) + 1> buffer{};
    DWORD bytes = kRegValueBytes;
    const LONG status = RegQueryValueExW(handle, valueName, nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS || bytes > kRegValueBytes)
        return Report(key, valueName, FALSE);

    buffer.at(bytes / sizeof(wchar_t)) = L'\0';
    target = buffer.data();
    return Report(key, valueName, TRUE);
}
