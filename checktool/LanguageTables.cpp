#include "checktool/LanguageTables.h"

#include <cstring>

namespace {

const wchar_t kStatusType[] = L"QVLANGSTATUS";

// The bytes of resource (type, name) in exactly `language`; null when absent.
const BYTE* ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language, DWORD& size)
{
    size = 0;
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (data)
        size = SizeofResource(module, found);
    return data;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list)
{
    reinterpret_cast<std::vector<LANGID>*>(list)->push_back(language);
    return TRUE;
}

BOOL CALLBACK AddBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(list)->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// A block holds 16 strings, each a 16-bit length and that many characters.
void ReadBlock(const BYTE* data, DWORD size, UINT block, std::map<UINT, std::wstring>& strings)
{
    const size_t words = size / sizeof(WORD);
    size_t at = 0;
    for (UINT n = 0; n < 16 && at < words; ++n) {
        WORD length = 0;
        memcpy(&length, data + at * sizeof(WORD), sizeof(WORD));
        ++at;
        if (length > words - at)
            return;  // a malformed block: read no further
        if (length > 0) {
            std::wstring text(length, L'\0');
            memcpy(text.data(), data + at * sizeof(WORD), length * sizeof(WORD));
            strings[(block - 1) * 16 + n] = text;
        }
        at += length;
    }
}

TranslationStatus ReadStatus(HMODULE module, LANGID language)
{
    TranslationStatus status;
    DWORD size = 0;
    const BYTE* data = ResourceBytes(module, kStatusType, MAKEINTRESOURCEW(1), language, size);
    if (!data)
        return status;
    status.present = true;
    const size_t words = size / sizeof(WORD);
    std::vector<WORD> values(words);
    memcpy(values.data(), data, words * sizeof(WORD));
    if (size % sizeof(WORD) != 0 || words < 2 || words - 2 != values[1])
        return status;
    status.translated = values[0];
    for (size_t n = 2; n < words; ++n) {
        if (n > 2 && values[n] <= values[n - 1])
            return status;  // not ascending
        status.filled.push_back(values[n]);
    }
    status.readable = true;
    return status;
}

}  // namespace

std::vector<LANGID> ModuleLanguages(HMODULE module)
{
    std::vector<LANGID> languages;
    EnumResourceLanguagesW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(1), AddLanguage,  // RT_STRING
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

LanguageTable ReadLanguageTable(HMODULE module, LANGID language)
{
    LanguageTable table;
    table.language = language;
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, LOCALE_ALLOW_NEUTRAL_NAMES) > 0)
        table.locale = name;
    else if (language == kPseudoLocale)
        table.locale = L"qps-ploc";  // not every system's locale table knows them
    else if (language == kMirroredPseudoLocale)
        table.locale = L"qps-plocm";

    std::vector<UINT> blocks;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(6), AddBlock, reinterpret_cast<LONG_PTR>(&blocks));
    for (const UINT block : blocks) {
        DWORD size = 0;
        if (const BYTE* data = ResourceBytes(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), language, size))
            ReadBlock(data, size, block, table.strings);
    }
    table.status = ReadStatus(module, language);
    return table;
}
