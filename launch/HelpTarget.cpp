#include "launch/HelpTarget.h"

namespace {

bool AsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// "scheme:" at the start: a letter, then letters, digits, '+', '-' or '.', then
// a colon. One letter before the colon is a drive ("C:"), not a scheme.
size_t SchemeLength(const std::wstring& value)
{
    if (value.empty() || !AsciiLetter(value[0]))
        return 0;
    size_t n = 1;
    while (n < value.size() && (AsciiLetter(value[n]) || (value[n] >= L'0' && value[n] <= L'9') ||
                                value[n] == L'+' || value[n] == L'-' || value[n] == L'.'))
        ++n;
    return n >= 2 && n < value.size() && value[n] == L':' ? n + 1 : 0;
}

}  // namespace

std::wstring HelpTargetProblem(const std::wstring& value)
{
    if (value.empty())
        return {};
    if (const size_t scheme = SchemeLength(value))
        return L"an address with the scheme \"" + value.substr(0, scheme) + L"\", not a file path";
    // A path that names no file: the search Help makes takes '*' and '?' as
    // wildcards, and no file name holds the others. "\\?\" is a path's prefix.
    const size_t from = value.rfind(L"\\\\?\\", 0) == 0 ? 4 : 0;
    for (size_t i = from; i < value.size(); ++i) {
        const wchar_t c = value[i];
        if (c < 0x20 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') {
            std::wstring shown = c < 0x20 ? L"character " + std::to_wstring(static_cast<unsigned>(c))
                                          : std::wstring(L"'") + c + L"'";
            return L"a text with " + shown + L", which no file path holds";
        }
    }
    return {};
}
