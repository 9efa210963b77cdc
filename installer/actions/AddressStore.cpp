#include "installer/actions/AddressStore.h"

namespace qvsetup {

namespace {

// The installer runs as a 64-bit process, but the launcher's view is stated, not assumed.
constexpr REGSAM kView = KEY_WOW64_64KEY;

std::wstring OriginalName(const Address& address) { return std::wstring(address.record) + L".Original"; }
std::wstring CreatedKeysName(const Address& address) { return std::wstring(address.record) + L".CreatedKeys"; }

bool NotFound(LSTATUS status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

ValueRead ReadValue(const std::wstring& path, const std::wstring& name)
{
    ValueRead read;
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | kView, &key);
    if (status != ERROR_SUCCESS) {
        read.error = NotFound(status) ? ERROR_SUCCESS : status;
        return read;
    }
    DWORD size = 0;
    status = ERROR_MORE_DATA;
    // The value may grow between the two calls: ask again until it fits.
    while (status == ERROR_MORE_DATA) {
        status = RegQueryValueExW(key, name.c_str(), nullptr, &read.value.type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            break;
        read.value.data.resize(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &read.value.type, read.value.data.data(), &size);
    }
    RegCloseKey(key);
    read.value.present = status == ERROR_SUCCESS;
    read.value.data.resize(read.value.present ? size : 0);
    if (!read.value.present)
        read.value.type = REG_NONE;
    read.error = status == ERROR_SUCCESS || NotFound(status) ? ERROR_SUCCESS : status;
    return read;
}

RecordRead ReadRecord(const Address& address)
{
    RecordRead record;
    const ValueRead created = ReadValue(kPackageKey, CreatedKeysName(address));
    if (created.error != ERROR_SUCCESS) {
        record.error = created.error;
        return record;
    }
    if (!created.value.present) {
        // Only the earlier package's copy of its address, or nothing.
        const ValueRead earlier = ReadValue(kPackageKey, address.record);
        record.error = earlier.error;
        if (earlier.error == ERROR_SUCCESS && earlier.value.present)
            record.kind = RecordKind::Earlier;
        return record;
    }
    // A count of another type or size is a damaged record, not a missing one.
    if (created.value.type != REG_DWORD || created.value.data.size() != sizeof(DWORD)) {
        record.error = ERROR_INVALID_DATA;
        return record;
    }
    const ValueRead original = ReadValue(kPackageKey, OriginalName(address));
    if (original.error != ERROR_SUCCESS) {
        record.error = original.error;
        return record;
    }
    record.kind = RecordKind::Current;
    CopyMemory(&record.createdKeys, created.value.data.data(), sizeof(DWORD));
    record.original = original.value;
    return record;
}

// How many keys at the end of `path` do not exist. A key that cannot be opened
// for another reason exists: the package never counts it as one it created.
DWORD MissingKeys(std::wstring path)
{
    DWORD missing = 0;
    for (;;) {
        HKEY key = nullptr;
        const LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | kView, &key);
        if (status == ERROR_SUCCESS)
            RegCloseKey(key);
        const size_t slash = path.find_last_of(L'\\');
        if (!NotFound(status) || slash == std::wstring::npos)
            return missing;
        ++missing;
        path.resize(slash);
    }
}

LSTATUS WriteValue(const std::wstring& path, const std::wstring& name, const RegValue& value)
{
    HKEY key = nullptr;
    if (!value.present) {
        const LSTATUS open = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE | kView, &key);
        if (NotFound(open))
            return ERROR_SUCCESS;
        if (open != ERROR_SUCCESS)
            return open;
        const LSTATUS status = RegDeleteValueW(key, name.c_str());
        RegCloseKey(key);
        return NotFound(status) ? ERROR_SUCCESS : status;
    }
    LSTATUS status =
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | kView, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    return status;
}

}  // namespace

Facts ReadFacts()
{
    Facts facts;
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        facts.addresses[i].live = ReadValue(kAddresses[i].key, kValueName);
        facts.addresses[i].record = ReadRecord(kAddresses[i]);
        facts.addresses[i].missingKeys = MissingKeys(kAddresses[i].key);
    }
    facts.packageKeyMissing = MissingKeys(kPackageKey);
    return facts;
}

LSTATUS WriteAddress(const Address& address, const AddressState& to)
{
    RegValue created;
    if (to.recorded) {
        created.present = true;
        created.type = REG_DWORD;
        const auto* bytes = reinterpret_cast<const BYTE*>(&to.createdKeys);
        created.data.assign(bytes, bytes + sizeof(DWORD));
    }
    // The count marks the record: written last and removed first, so a record is never half there.
    LSTATUS status = ERROR_SUCCESS;
    if (to.recorded) {
        status = WriteValue(kPackageKey, OriginalName(address), to.original);
        if (status == ERROR_SUCCESS)
            status = WriteValue(kPackageKey, CreatedKeysName(address), created);
    }
    if (status == ERROR_SUCCESS)
        status = WriteValue(address.key, kValueName, to.live);
    if (status == ERROR_SUCCESS && !to.recorded) {
        status = WriteValue(kPackageKey, CreatedKeysName(address), created);
        if (status == ERROR_SUCCESS)
            status = WriteValue(kPackageKey, OriginalName(address), RegValue{});
    }
    return status;
}

LSTATUS DropKeyIfEmpty(const std::wstring& path, bool* removed)
{
    *removed = false;
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | kView, &key);
    if (NotFound(status))
        return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS)
        return status;
    DWORD subkeys = 0, values = 0;
    status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                              nullptr, nullptr);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || subkeys != 0 || values != 0)
        return status;
    status = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), kView, 0);
    *removed = status == ERROR_SUCCESS;
    return status;
}

}  // namespace qvsetup
