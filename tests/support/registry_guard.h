// One registry value set for a test and put back as it was afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qvtest {

// Which registry view a key is opened in. Default lets the system choose, which
// for a 64-bit test program is the 64-bit view.
enum class RegView { Default, Bits64, Bits32 };

REGSAM ViewFlag(RegView view);

// Reads without changing anything; false when the key or value is missing or of another type.
bool ReadRegString(HKEY root, const std::wstring& subKey, const std::wstring& name, std::wstring* out,
                   RegView view = RegView::Bits64);
bool ReadRegDword(HKEY root, const std::wstring& subKey, const std::wstring& name, DWORD* out,
                  RegView view = RegView::Bits64);
bool RegKeyExists(HKEY root, const std::wstring& subKey, RegView view = RegView::Bits64);

// Remembers the value `name` (empty = the key's default value) of root\subKey
// when constructed. Set*/Delete change it, creating missing keys; the
// destructor (or Restore) writes the remembered value back, or deletes the
// value and every key this guard created when there was none.
class RegistryValueGuard {
public:
    RegistryValueGuard(HKEY root, std::wstring subKey, std::wstring name, RegView view = RegView::Bits64);
    ~RegistryValueGuard();
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

    bool SetString(const std::wstring& data, DWORD type = REG_SZ);
    bool SetDword(DWORD data);
    bool Set(DWORD type, const void* data, DWORD size);
    bool Delete();
    void Restore();

    bool HadValue() const { return hadValue_; }

private:
    bool CreateKey(HKEY* key);

    HKEY root_;
    std::wstring subKey_;
    std::wstring name_;
    REGSAM view_;
    bool hadValue_ = false;
    DWORD oldType_ = REG_NONE;
    std::vector<BYTE> oldData_;
    std::wstring createdTop_;  // the highest key this guard created, if any
    bool touched_ = false;
};

}  // namespace qvtest
