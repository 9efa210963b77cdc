#include "tests/support/registry_guard.h"

namespace qvtest {

REGSAM ViewFlag(RegView view)
{
    switch (view) {
    case RegView::Bits64: return KEY_WOW64_64KEY;
    case RegView::Bits32: return KEY_WOW64_32KEY;
    default: return 0;
    }
}

namespace {

bool ReadRaw(HKEY root, const std::wstring& subKey, const std::wstring& name, REGSAM view, DWORD* type,
             std::vector<BYTE>* data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        data->assign(size, 0);
        status = RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace

bool ReadRegString(HKEY root, const std::wstring& subKey, const std::wstring& name, std::wstring* out, RegView view)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadRaw(root, subKey, name, ViewFlag(view), &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    out->assign(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    while (!out->empty() && out->back() == L'\0')
        out->pop_back();
    return true;
}

bool ReadRegDword(HKEY root, const std::wstring& subKey, const std::wstring& name, DWORD* out, RegView view)
{
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadRaw(root, subKey, name, ViewFlag(view), &type, &data) || type != REG_DWORD || data.size() != 4)
        return false;
    CopyMemory(out, data.data(), 4);
    return true;
}

bool RegKeyExists(HKEY root, const std::wstring& subKey, RegView view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | ViewFlag(view), &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

RegistryValueGuard::RegistryValueGuard(HKEY root, std::wstring subKey, std::wstring name, RegView view)
    : root_(root), subKey_(std::move(subKey)), name_(std::move(name)), view_(ViewFlag(view))
{
    hadValue_ = ReadRaw(root_, subKey_, name_, view_, &oldType_, &oldData_);
}

RegistryValueGuard::~RegistryValueGuard() { Restore(); }

bool RegistryValueGuard::CreateKey(HKEY* key)
{
    if (createdTop_.empty()) {
        // Remember the highest missing key so that Restore removes exactly what we add.
        size_t pos = 0;
        for (;;) {
            pos = subKey_.find(L'\\', pos + 1);
            const std::wstring prefix = subKey_.substr(0, pos);
            HKEY probe = nullptr;
            if (RegOpenKeyExW(root_, prefix.c_str(), 0, KEY_QUERY_VALUE | view_, &probe) != ERROR_SUCCESS) {
                createdTop_ = prefix;
                break;
            }
            RegCloseKey(probe);
            if (pos == std::wstring::npos)
                break;
        }
    }
    return RegCreateKeyExW(root_, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view_, nullptr, key, nullptr) ==
           ERROR_SUCCESS;
}

bool RegistryValueGuard::Set(DWORD type, const void* data, DWORD size)
{
    touched_ = true;
    HKEY key = nullptr;
    if (!CreateKey(&key))
        return false;
    const LSTATUS status = RegSetValueExW(key, name_.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool RegistryValueGuard::SetString(const std::wstring& data, DWORD type)
{
    return Set(type, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

bool RegistryValueGuard::SetDword(DWORD data) { return Set(REG_DWORD, &data, sizeof(data)); }

bool RegistryValueGuard::Delete()
{
    touched_ = true;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE | view_, &key) != ERROR_SUCCESS)
        return true;  // no key, no value
    const LSTATUS status = RegDeleteValueW(key, name_.c_str());
    RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

void RegistryValueGuard::Restore()
{
    if (!touched_)
        return;
    touched_ = false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE | view_, &key) == ERROR_SUCCESS) {
        if (hadValue_)
            RegSetValueExW(key, name_.c_str(), 0, oldType_, oldData_.data(), static_cast<DWORD>(oldData_.size()));
        else
            RegDeleteValueW(key, name_.c_str());
        RegCloseKey(key);
    }
    if (createdTop_.empty())
        return;
    // Deepest first; a key that something else has filled meanwhile stays.
    for (std::wstring path = subKey_; path.size() >= createdTop_.size();) {
        RegDeleteKeyExW(root_, path.c_str(), view_, 0);
        const size_t slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos)
            break;
        path.resize(slash);
    }
    createdTop_.clear();
}

}  // namespace qvtest
