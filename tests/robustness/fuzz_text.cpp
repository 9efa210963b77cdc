#include "tests/robustness/fuzz_text.h"

#include <cstdio>
#include <cstdlib>

namespace qvrobust {

FuzzSettings ReadFuzzSettings(int defaultCount)
{
    FuzzSettings settings{20240611u, defaultCount};
    wchar_t value[32] = {};
    if (GetEnvironmentVariableW(L"QUORVANE_FUZZ_SEED", value, 32) > 0 && value[0])
        settings.seed = static_cast<uint32_t>(wcstoul(value, nullptr, 10));
    if (GetEnvironmentVariableW(L"QUORVANE_FUZZ_COUNT", value, 32) > 0 && value[0])
        settings.count = static_cast<int>(wcstol(value, nullptr, 10));
    return settings;
}

int FuzzText::Length()
{
    static const int edges[] = {0, 1, 258, 259, 260, 261, 262, 255, 256, 257, 519, 520, 521};
    if (Chance(40))
        return edges[Below(static_cast<int>(std::size(edges)))];
    return Below(1001);
}

std::wstring FuzzText::Piece()
{
    static const wchar_t* const pieces[] = {
        L"\\", L"/", L"\\\\", L"\"", L"\" ", L" ", L"%", L"%%", L"%PROGRAMFILES%", L"%SystemRoot%",
        L"%NOSUCHVARIABLE%", L"%PROGRAMFILES", L".exe", L".EXE", L".Exe", L".cpl", L".CPL", L".exe\" /s",
        L"Program Files", L"Program Files (x86)", L"system32", L"C:", L"C:\\", L"\\\\?\\", L"..", L".",
        L"*", L"?", L":", L"Velmora", L"a", L"notepad", L" /x", L"\t", L"\xD83D\xDE00",  // a non-BMP character
        L"\xD800",  // an unpaired high surrogate
        L"\xDC00",  // an unpaired low surrogate
        L"\x00E9\x00DF", L"\xFFFF", L"\x4E2D\x6587",
    };
    if (Chance(20)) {
        std::wstring run(static_cast<size_t>(1 + Below(40)), static_cast<wchar_t>(L'a' + Below(26)));
        return run;
    }
    return pieces[Below(static_cast<int>(std::size(pieces)))];
}

std::wstring FuzzText::Text(int length, const std::vector<std::wstring>& real)
{
    std::wstring text;
    // A quarter of the texts that may start with a real name are exactly that name.
    if (!real.empty() && Chance(25))
        return real[static_cast<size_t>(Below(static_cast<int>(real.size())))];
    if (!real.empty() && Chance(50))
        text = real[static_cast<size_t>(Below(static_cast<int>(real.size())))];
    while (static_cast<int>(text.size()) < length)
        text += Piece();
    // Most texts are cut to the exact length; some keep a piece split in two.
    if (static_cast<int>(text.size()) > length && (Chance(80) || length == 0))
        text.resize(static_cast<size_t>(length));
    return text;
}

std::vector<BYTE> FuzzText::Bytes(size_t count)
{
    std::vector<BYTE> bytes(count);
    for (BYTE& b : bytes)
        b = static_cast<BYTE>(Chance(15) ? 0 : Below(256));
    return bytes;
}

std::string Printable(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

}  // namespace qvrobust
