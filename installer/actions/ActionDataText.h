// What one action hands the next through an installer property: the facts read
// before an older version is removed, and a plan as a deferred action's data
// (its CustomActionData). Only letters, digits and a few separators: an
// address with brackets, quotes, percent signs or "<=>" (which Wine's
// installer takes for a field separator in that data) comes through exactly.
#pragma once

#include <string>

#include "installer/actions/AddressDecision.h"

namespace qvsetup {

std::wstring EncodeFacts(const Facts& facts);
bool DecodeFacts(const std::wstring& text, Facts* facts);

// A plan without a failure. Empty when it changes nothing, so that the
// deferred action's condition skips it.
std::wstring EncodePlan(const Plan& plan);
// False (and *plan untouched) for a text that is not exactly a plan. The
// decisions' words are not part of the text.
bool DecodePlan(const std::wstring& text, Plan* plan);

}  // namespace qvsetup
