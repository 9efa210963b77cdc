#include "catalogue/StringTableChoice.h"

#include <cwctype>

namespace {

// Parents Windows gives a tag, where they are not the tag less its last
// subtag. An empty parent ends the chain there (a table filed under a region
// whose tag would otherwise lead back to itself).
struct TagParent {
    const wchar_t* tag;
    const wchar_t* parent;
};
const TagParent kTagParents[] = {
    // Norwegian Nynorsk is an interface pack over Bokmal; Bokmal's table is
    // filed under Norway.
    {L"nn", L"nb-NO"},
    {L"no", L"nb-NO"},
    {L"nb", L"nb-NO"},
    {L"nb-NO", L""},
    // Traditional Chinese for Hong Kong and Macao is Taiwan's; the two
    // Chinese tables are filed under their regions.
    {L"zh-HK", L"zh-TW"},
    {L"zh-MO", L"zh-HK"},
    {L"zh-Hant", L"zh-TW"},
    {L"zh-SG", L"zh-CN"},
    {L"zh-Hans", L"zh-CN"},
    {L"zh", L"zh-CN"},
    {L"zh-CN", L""},
    {L"zh-TW", L""},
    // Serbian: the Latin table, filed under Serbia; the Cyrillic interface
    // pack is installed over it.
    {L"sr-Cyrl-RS", L"sr-Latn-RS"},
    {L"sr-Latn", L"sr-Latn-RS"},
    {L"sr", L"sr-Latn-RS"},
    {L"sr-Latn-RS", L""},
    // Interface packs and the language pack they are installed over.
    {L"ca", L"es-ES"},  // Catalan and Valencian
    {L"eu", L"es-ES"},  // Basque
    {L"gl", L"es-ES"},  // Galician
    {L"quz", L"es-MX"},  // Quechua
    {L"quc", L"es-MX"},  // K'iche'
    {L"be", L"ru-RU"},  // Belarusian
    {L"ky", L"ru-RU"},  // Kyrgyz
    {L"tt", L"ru-RU"},  // Tatar
    {L"tg", L"ru-RU"},  // Tajik
    {L"tk", L"ru-RU"},  // Turkmen
    {L"lb", L"fr-FR"},  // Luxembourgish
    {L"wo", L"fr-FR"},  // Wolof
    {L"ug", L"zh-CN"},  // Uyghur
    {L"cy", L"en-GB"},  // Welsh
    {L"gd", L"en-GB"},  // Scottish Gaelic
};

// Regions of a language whose parent is another region's variant: every
// region listed, or (`except`) every region but those listed.
struct RegionParent {
    const wchar_t* language;
    const wchar_t* parent;
    bool except;
    const wchar_t* regions;  // blank-separated, with a blank at each end
};
const RegionParent kRegionParents[] = {
    // British English for English outside the United States, its
    // territories and Canada (whose spelling takes -ize).
    {L"en", L"en-GB", true, L" US AS GU MP PR UM VI CA GB "},
    // Mexican Spanish for Latin America and the Caribbean (419), and the
    // United States.
    {L"es", L"es-MX", false, L" 419 AR BO BR BZ CL CO CR CU DO EC GT HN NI PA PE PR PY SV US UY VE "},
    // European Portuguese everywhere but Brazil.
    {L"pt", L"pt-PT", true, L" BR PT "},
};

std::wstring Lower(const std::wstring& text)
{
    std::wstring out = text;
    for (wchar_t& ch : out)
        ch = static_cast<wchar_t>(std::towlower(ch));
    return out;
}

bool SameTag(const std::wstring& a, const std::wstring& b)
{
    return Lower(a) == Lower(b);
}

std::vector<std::wstring> Subtags(const std::wstring& tag)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t n = 0; n <= tag.size(); ++n) {
        if (n == tag.size() || tag[n] == L'-' || tag[n] == L'_') {
            parts.push_back(tag.substr(start, n - start));
            start = n + 1;
        }
    }
    return parts;
}

bool IsRegion(const std::wstring& subtag)
{
    const auto all = [&subtag](auto test) {
        for (const wchar_t ch : subtag)
            if (!test(ch))
                return false;
        return true;
    };
    return (subtag.size() == 2 && all([](wchar_t ch) { return std::iswalpha(ch) != 0; })) ||
           (subtag.size() == 3 && all([](wchar_t ch) { return ch >= L'0' && ch <= L'9'; }));
}

// The parent a region rule gives a tag of a language and a region (with or
// without a script), or null.
const wchar_t* RegionRuleParent(const std::vector<std::wstring>& parts)
{
    if (parts.size() < 2 || parts.size() > 3 || !IsRegion(parts.back()) ||
        (parts.size() == 3 && parts[1].size() != 4))
        return nullptr;
    const std::wstring language = Lower(parts.front());
    std::wstring region = parts.back();
    for (wchar_t& ch : region)
        ch = static_cast<wchar_t>(std::towupper(ch));
    for (const RegionParent& rule : kRegionParents) {
        if (language != rule.language)
            continue;
        const bool listed = std::wstring(rule.regions).find(L" " + region + L" ") != std::wstring::npos;
        return listed != rule.except ? rule.parent : nullptr;
    }
    return nullptr;
}

}  // namespace

std::wstring LanguageParent(const std::wstring& tag)
{
    for (const TagParent& entry : kTagParents) {
        if (SameTag(tag, entry.tag))
            return entry.parent;
    }
    const std::vector<std::wstring> parts = Subtags(tag);
    if (const wchar_t* parent = RegionRuleParent(parts))
        return parent;
    if (parts.size() < 2)
        return std::wstring();
    return tag.substr(0, tag.size() - parts.back().size() - 1);
}

std::vector<std::wstring> LanguageChain(const std::wstring& tag)
{
    std::vector<std::wstring> chain;
    for (std::wstring at = tag; !at.empty() && chain.size() < 8; at = LanguageParent(at)) {
        for (const std::wstring& seen : chain) {
            if (SameTag(seen, at))
                return chain;
        }
        chain.push_back(at);
    }
    return chain;
}

int ChooseTable(const std::wstring& tag, const std::vector<std::wstring>& tables)
{
    for (const std::wstring& candidate : LanguageChain(tag)) {
        for (size_t n = 0; n < tables.size(); ++n) {
            if (!tables[n].empty() && SameTag(tables[n], candidate))
                return static_cast<int>(n);
        }
    }
    return -1;
}

std::wstring UserUiLanguage()
{
    // The first of the user's preferred UI languages: a list of names, each
    // ending with a null, the list with another.
    ULONG count = 0;
    ULONG size = 0;
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 1 && size < 4096) {
        std::wstring names(size, L'\0');
        if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size) && count > 0)
            return std::wstring(names.c_str());
    }
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0) > 0)
        return name;
    return std::wstring();
}

namespace {

BOOL CALLBACK AddTableLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list)
{
    StringTableLanguage table;
    table.language = language;
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, LOCALE_ALLOW_NEUTRAL_NAMES) > 0)
        table.name = name;
    reinterpret_cast<std::vector<StringTableLanguage>*>(list)->push_back(table);
    return TRUE;
}

}  // namespace

std::vector<StringTableLanguage> StringTableLanguages(HMODULE module)
{
    // Block 1 holds strings 0 to 15, which every table has (string 9 says
    // how the table reads).
    std::vector<StringTableLanguage> tables;
    EnumResourceLanguagesW(module, RT_STRING, MAKEINTRESOURCEW(1), AddTableLanguage,
                           reinterpret_cast<LONG_PTR>(&tables));
    return tables;
}

LANGID ChooseStringTable(HMODULE module, const std::wstring& tag)
{
    const std::vector<StringTableLanguage> tables = StringTableLanguages(module);
    std::vector<std::wstring> names;
    for (const StringTableLanguage& table : tables)
        names.push_back(table.name);
    const int chosen = ChooseTable(tag, names);
    if (chosen >= 0)
        return tables[static_cast<size_t>(chosen)].language;
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    for (const StringTableLanguage& table : tables) {
        if (table.language == english)
            return english;
    }
    return 0;  // no English table to fall back on: the system's loader chooses
}
