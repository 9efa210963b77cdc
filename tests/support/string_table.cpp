#include "tests/support/string_table.h"

namespace qvtest {

StringTables::~StringTables()
{
    if (module_)
        FreeLibrary(module_);
}

bool StringTables::Open(const std::wstring& module)
{
    if (module_)
        FreeLibrary(module_);
    module_ = LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    return module_ != nullptr;
}

std::wstring StringTables::Text(UINT id, LANGID language) const
{
    HRSRC block = module_ ? FindResourceExW(module_, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language) : nullptr;
    HGLOBAL loaded = block ? LoadResource(module_, block) : nullptr;
    const auto* words = loaded ? static_cast<const wchar_t*>(LockResource(loaded)) : nullptr;
    const size_t size = words ? SizeofResource(module_, block) / sizeof(wchar_t) : 0;
    // Each of the 16 strings is its length followed by its characters.
    size_t at = 0;
    for (UINT skip = id % 16; skip > 0 && at < size; --skip)
        at += 1u + words[at];
    if (at >= size || at + 1 + words[at] > size)
        return std::wstring();
    return std::wstring(words + at + 1, words[at]);
}

bool StringTables::Translated(UINT id, LANGID language) const
{
    HRSRC found = module_ ? FindResourceExW(module_, L"QVLANGSTATUS", MAKEINTRESOURCEW(1), language) : nullptr;
    HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    const size_t size = words ? SizeofResource(module_, found) / sizeof(WORD) : 0;
    // Translated count, filled count, then the filled identifiers.
    if (size < 2 || size != 2u + words[1])
        return false;
    for (size_t n = 2; n < size; ++n) {
        if (words[n] == id)
            return false;
    }
    return true;
}

}  // namespace qvtest
