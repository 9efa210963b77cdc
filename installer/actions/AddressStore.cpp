#include "installer/actions/AddressStore.h"

namespace qvsetup {

namespace {

constexpr wchar_t kPackageKey[] = L"Software\\Velmora\\Quorvane";
constexpr wchar_t kValueName[] = L"URL";
// The installer runs as a 64-bit process, but the launcher's view is stated, not assumed.
constexpr REGSAM kView = KEY_WOW64_64KEY;

std::wstring OriginalName(const Address& address) { return std::wstring(address.record) + L".Original"; }
std::wstring CreatedKeysName(const Address& address) { return std::wstring(address.record) + L".CreatedKeys"; }

RegValue ReadValue(const wchar_t* path, const std::wstring& name)
{
    RegValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | kView, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    LSTATUS status = ERROR_MORE_DATA;
    // The value may grow between the two calls: ask again until it fits.
    while (status == ERROR_MORE_DATA) {
        status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            break;
        value.data.resize(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.data.data(), &size);
    }
    RegCloseKey(key);
    value.present = status == ERROR_SUCCESS;
    value.data.resize(value.present ? size : 0);
    return value;
}

bool WriteValue(const wchar_t* path, const std::wstring& name, const RegValue& value)
{
    HKEY key = nullptr;
    if (!value.present) {
        const LSTATUS open = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE | kView, &key);
        if (open == ERROR_FILE_NOT_FOUND)
            return true;
        if (open != ERROR_SUCCESS)
            return false;
        const LSTATUS status = RegDeleteValueW(key, name.c_str());
        RegCloseKey(key);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_SET_VALUE | kView, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(),
                                          static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | kView, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Deletes up to `count` keys from the end of `path`, deepest first, each only while it is empty.
void DropEmptyKeys(std::wstring path, DWORD count)
{
    for (; count > 0 && !path.empty(); --count) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | kView, &key) == ERROR_SUCCESS) {
            DWORD subkeys = 1, values = 1;
            RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr);
            RegCloseKey(key);
            if (subkeys != 0 || values != 0 || RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), kView, 0) != ERROR_SUCCESS)
                return;
        }
        const size_t slash = path.find_last_of(L'\\');
        path.resize(slash == std::wstring::npos ? 0 : slash);
    }
}

}  // namespace

RegValue StringValue(const std::wstring& text)
{
    RegValue value{true, REG_SZ, {}};
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    value.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return value;
}

AddressState ReadAddress(const Address& address, DWORD* missingKeys)
{
    AddressState state;
    state.live = ReadValue(address.key, kValueName);
    const RegValue created = ReadValue(kPackageKey, CreatedKeysName(address));
    state.recorded = created.present && created.type == REG_DWORD && created.data.size() == sizeof(DWORD);
    if (state.recorded) {
        CopyMemory(&state.createdKeys, created.data.data(), sizeof(DWORD));
        state.original = ReadValue(kPackageKey, OriginalName(address));
    }
    *missingKeys = 0;
    for (std::wstring path = address.key; !KeyExists(path); ++*missingKeys) {
        const size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos)
            break;
        path.resize(slash);
    }
    return state;
}

bool WriteAddress(const Address& address, const AddressChange& change)
{
    const AddressState& to = change.to;
    RegValue created;
    if (to.recorded) {
        created.present = true;
        created.type = REG_DWORD;
        const auto* bytes = reinterpret_cast<const BYTE*>(&to.createdKeys);
        created.data.assign(bytes, bytes + sizeof(DWORD));
    }
    // A record is made before the value changes and goes only once the value is back;
    // the value that marks it is written last and removed first, so it is never half there.
    bool ok = !to.recorded || (WriteValue(kPackageKey, OriginalName(address), to.original) &&
                               WriteValue(kPackageKey, CreatedKeysName(address), created));
    ok = ok && WriteValue(address.key, kValueName, to.live);
    ok = ok && (to.recorded || (WriteValue(kPackageKey, CreatedKeysName(address), created) &&
                                WriteValue(kPackageKey, OriginalName(address), RegValue{})));
    DropEmptyKeys(address.key, change.dropKeys);
    return ok;
}

void DropPackageKeyIfUnused()
{
    for (const Address& address : kAddresses) {
        DWORD missing = 0;
        if (ReadAddress(address, &missing).recorded)
            return;
    }
    if (KeyExists(kPackageKey))
        DropEmptyKeys(kPackageKey, 2);
}

}  // namespace qvsetup
