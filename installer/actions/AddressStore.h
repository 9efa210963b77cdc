// The support and help addresses as the registry holds them (HKLM, 64-bit
// view): the value the launcher reads, and the record the package keeps in its
// own key from the first installation that writes an address: the value that
// installation replaced, or that there was none, and how many keys of the
// value's path it created. The uninstall puts that back.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace qvsetup {

// One address: the package property that gives it and the key of its value "URL".
struct Address {
    const wchar_t* property;
    const wchar_t* key;
    const wchar_t* record;  // the prefix of its record's value names in the package's key
};
constexpr std::array<Address, 2> kAddresses = {{
    {L"SUPPORTURL", L"Software\\Velmora\\Kivano\\SS", L"SupportURL"},
    {L"HELPURL", L"Software\\Velmora\\Kivano\\Help", L"HelpURL"},
}};

// A registry value exactly as stored (type and bytes), or its absence.
struct RegValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RegValue&) const = default;
};
RegValue StringValue(const std::wstring& text);

struct AddressState {
    RegValue live;          // what the launcher reads
    bool recorded = false;  // whether the package keeps a record:
    RegValue original;      //   the value before the first installation that wrote one
    DWORD createdKeys = 0;  //   the keys at the end of the path that installation created
};

// What an action makes of one address: its state afterwards, then the number of
// keys at the end of its path that are deleted if left empty.
struct AddressChange {
    bool change = false;
    AddressState to;
    DWORD dropKeys = 0;
};

// The address now; *missingKeys gets how many keys at the end of its path do not exist.
AddressState ReadAddress(const Address& address, DWORD* missingKeys);
bool WriteAddress(const Address& address, const AddressChange& change);
// Once no record is left, the package's own key goes, and its parent when empty.
void DropPackageKeyIfUnused();

}  // namespace qvsetup
