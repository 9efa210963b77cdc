// Generated inputs for the robustness battery: paths, arguments and registry
// data built from the pieces that trouble path handling (the 259/260 limits,
// quotes, both slashes, "%" sequences, ".exe"/".cpl" fragments, non-BMP
// characters and unpaired surrogates). Deterministic for a given seed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace qvrobust {

// The seed and the number of cases of one battery: QUORVANE_FUZZ_SEED and
// QUORVANE_FUZZ_COUNT when set, else the defaults.
struct FuzzSettings {
    uint32_t seed;
    int count;
};
FuzzSettings ReadFuzzSettings(int defaultCount);

class FuzzText {
public:
    explicit FuzzText(uint32_t seed) : rng_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Below(100) < percent; }
    // A length near one of the limits (258..262, 519..521) or anywhere up to 1,000.
    int Length();
    // A text of roughly `length` code units built from troublesome pieces;
    // `real` (if not empty) may be used as its start, so that some texts
    // name things that exist.
    std::wstring Text(int length, const std::vector<std::wstring>& real = {});
    // Random bytes of `count`.
    std::vector<BYTE> Bytes(size_t count);

private:
    std::wstring Piece();
    std::mt19937 rng_;
};

// Printable form of a text for failure messages (non-ASCII as \uXXXX).
std::string Printable(const std::wstring& text);

}  // namespace qvrobust
