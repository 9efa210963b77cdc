// The support and help addresses as the registry holds them (HKLM, 64-bit
// view): the value the launcher reads and the package's record of it
// (AddressDecision.h says what the record holds). Reading tells a value that
// is absent from one that could not be read; writing reports the first failure.
#pragma once

#include "installer/actions/AddressDecision.h"

namespace qvsetup {

// Every address's value, record and missing keys, and the package key's missing keys.
Facts ReadFacts();

// Writes the value and the record of `address` as `to` says: a record is made
// before the value changes and goes only once the value is back.
LSTATUS WriteAddress(const Address& address, const AddressState& to);

// Deletes HKLM\<path> if it exists and holds no value and no key; *removed says whether it did.
LSTATUS DropKeyIfEmpty(const std::wstring& path, bool* removed);

}  // namespace qvsetup
