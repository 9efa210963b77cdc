#include "tests/support/string_table.h"

#include <span>

namespace qvtest {

StringTables::StringTables(const std::wstring& module)
    : module_(LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))
{
}

StringTables::~StringTables()
{
    if (module_)
        FreeLibrary(module_);
}

namespace {

// A resource as 16-bit words, or nothing.
std::span<const WORD> ResourceWords(HMODULE module, const wchar_t* type, const wchar_t* name, LANGID language)
{
    HRSRC found = module ? FindResourceExW(module, type, name, language) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    return words ? std::span<const WORD>(words, SizeofResource(module, found) / sizeof(WORD))
                 : std::span<const WORD>();
}

}  // namespace

std::optional<std::vector<UINT>> StringTables::Filled(LANGID language) const
{
    const auto words = ResourceWords(module_, L"QVLANGSTATUS", MAKEINTRESOURCEW(1), language);
    if (words.size() < 2 || words.size() != 2u + words[1])
        return std::nullopt;
    return std::vector<UINT>(words.begin() + 2, words.end());
}

std::optional<std::wstring> StringTables::Find(UINT id, LANGID language) const
{
    const auto words = ResourceWords(module_, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    // Each of the 16 strings is its length followed by its characters.
    size_t at = 0;
    for (UINT skip = id % 16; skip > 0 && at < words.size(); --skip)
        at += 1u + words[at];
    if (at >= words.size() || words[at] == 0 || at + 1 + words[at] > words.size())
        return std::nullopt;
    return std::wstring(reinterpret_cast<const wchar_t*>(words.data()) + at + 1, words[at]);
}

}  // namespace qvtest
