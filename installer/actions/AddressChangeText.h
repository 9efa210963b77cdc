// The changes of the addresses as the text a deferred custom action receives
// (its CustomActionData). Only digits, hexadecimal and a few separators: an
// address with brackets, quotes, percent signs or "<=>" (which Wine's
// installer takes for a field separator in that data) comes through exactly.
#pragma once

#include <string>
#include <vector>

#include "installer/actions/AddressStore.h"

namespace qvsetup {

// Empty when nothing changes, so that the action's condition skips it.
std::wstring EncodeChanges(const std::vector<AddressChange>& changes);
// One change per address; false (and nothing else) for a text that is not exactly that.
bool DecodeChanges(const std::wstring& text, std::vector<AddressChange>* changes);

}  // namespace qvsetup
