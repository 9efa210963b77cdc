// Which string table a user's UI language chooses: the parents Windows gives
// as a table over locales, and the choice among the tables a module carries.
#include "CatalogueTestMachine.h"
#include "catalogue/StringTableChoice.h"
#include "framework/afxres.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The tables of the launcher with every language Windows ships, by the locale
// names their LANGIDs have (regional variants under their regions).
const std::vector<std::wstring> kEveryTable = {
    L"en-US", L"de", L"fr", L"es", L"it", L"pt-BR", L"nl", L"pl", L"ru", L"tr", L"ja-JP", L"ko-KR", L"zh-CN",
    L"zh-TW", L"ar", L"he", L"bg", L"hr", L"cs", L"da", L"et", L"fi", L"el", L"hu", L"lv", L"lt", L"nb-NO",
    L"ro", L"sr-Latn-RS", L"sk", L"sl", L"sv", L"uk", L"th", L"en-GB", L"fr-CA", L"es-MX", L"pt-PT"};

// The first sixteen, before the regional variants and the others.
const std::vector<std::wstring> kFirstSixteen = {L"en-US", L"de", L"fr", L"es", L"it", L"pt-BR", L"nl", L"pl",
                                                 L"ru", L"tr", L"ja-JP", L"ko-KR", L"zh-CN", L"zh-TW", L"ar",
                                                 L"he"};

struct Choice {
    const wchar_t* locale;
    const wchar_t* every;    // the table chosen among kEveryTable; empty: none, English
    const wchar_t* sixteen;  // ... among kFirstSixteen
};

std::wstring Chosen(const std::wstring& locale, const std::vector<std::wstring>& tables)
{
    const int n = ChooseTable(locale, tables);
    return n < 0 ? L"" : tables[static_cast<size_t>(n)];
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST(StringTableChoice, LocalesTakeTheirTableOrTheParentWindowsGives)
{
    const Choice cases[] = {
        // A table of the language's own, whatever the region.
        {L"de-DE", L"de", L"de"}, {L"de-AT", L"de", L"de"}, {L"de-CH", L"de", L"de"},
        {L"fr-FR", L"fr", L"fr"}, {L"fr-BE", L"fr", L"fr"}, {L"ar-EG", L"ar", L"ar"},
        {L"he-IL", L"he", L"he"}, {L"ja-JP", L"ja-JP", L"ja-JP"}, {L"th-TH", L"th", L""},
        {L"uk-UA", L"uk", L""}, {L"hr-HR", L"hr", L""}, {L"hr-BA", L"hr", L""}, {L"fi-FI", L"fi", L""},
        // Regional variants filed under their regions; the others' regions.
        {L"en-US", L"en-US", L"en-US"}, {L"en-GB", L"en-GB", L""}, {L"en-AU", L"en-GB", L""},
        {L"en-NZ", L"en-GB", L""}, {L"en-IE", L"en-GB", L""}, {L"en-IN", L"en-GB", L""},
        {L"en-ZA", L"en-GB", L""}, {L"en-029", L"en-GB", L""}, {L"EN-au", L"en-GB", L""},
        {L"en-CA", L"", L""}, {L"en-PR", L"", L""},
        {L"fr-CA", L"fr-CA", L"fr"}, {L"fr-CH", L"fr", L"fr"},
        {L"es-ES", L"es", L"es"}, {L"es-MX", L"es-MX", L"es"}, {L"es-AR", L"es-MX", L"es"},
        {L"es-419", L"es-MX", L"es"}, {L"es-CO", L"es-MX", L"es"}, {L"es-US", L"es-MX", L"es"},
        {L"es-GQ", L"es", L"es"},
        {L"pt-BR", L"pt-BR", L"pt-BR"}, {L"pt-PT", L"pt-PT", L""}, {L"pt-AO", L"pt-PT", L""},
        {L"pt-MZ", L"pt-PT", L""},
        {L"nb-NO", L"nb-NO", L""}, {L"nn-NO", L"nb-NO", L""}, {L"no", L"nb-NO", L""},
        {L"sr-Latn-RS", L"sr-Latn-RS", L""}, {L"sr-Latn-ME", L"sr-Latn-RS", L""},
        {L"sr-Cyrl-RS", L"sr-Latn-RS", L""},
        {L"zh-CN", L"zh-CN", L"zh-CN"}, {L"zh-SG", L"zh-CN", L"zh-CN"}, {L"zh-TW", L"zh-TW", L"zh-TW"},
        {L"zh-HK", L"zh-TW", L"zh-TW"}, {L"zh-MO", L"zh-TW", L"zh-TW"}, {L"zh-Hant-HK", L"zh-TW", L"zh-TW"},
        // Interface packs: the language pack they are installed over.
        {L"ca-ES", L"es", L"es"}, {L"ca-ES-valencia", L"es", L"es"}, {L"eu-ES", L"es", L"es"},
        {L"gl-ES", L"es", L"es"}, {L"quz-PE", L"es-MX", L"es"}, {L"be-BY", L"ru", L"ru"},
        {L"lb-LU", L"fr", L"fr"}, {L"cy-GB", L"en-GB", L""}, {L"ug-CN", L"zh-CN", L"zh-CN"},
        // No table and no parent but English.
        {L"fa-IR", L"", L""}, {L"is-IS", L"", L""}, {L"af-ZA", L"", L""}, {L"", L"", L""},
    };
    for (const Choice& c : cases) {
        EXPECT_EQ(Chosen(c.locale, kEveryTable), c.every) << Narrow(c.locale) << " among every table";
        EXPECT_EQ(Chosen(c.locale, kFirstSixteen), c.sixteen) << Narrow(c.locale) << " among the first sixteen";
    }
}

TEST(StringTableChoice, ChainsGoFromTheLanguageThroughItsParentsOnce)
{
    const std::vector<std::pair<std::wstring, std::vector<std::wstring>>> chains = {
        {L"de-AT", {L"de-AT", L"de"}},
        {L"es-AR", {L"es-AR", L"es-MX", L"es"}},
        {L"en-AU", {L"en-AU", L"en-GB", L"en"}},
        {L"zh-MO", {L"zh-MO", L"zh-HK", L"zh-TW"}},
        {L"nn-NO", {L"nn-NO", L"nn", L"nb-NO"}},
        {L"ca-ES-valencia", {L"ca-ES-valencia", L"ca-ES", L"ca", L"es-ES", L"es"}},
        {L"sr-Latn-ME", {L"sr-Latn-ME", L"sr-Latn", L"sr-Latn-RS"}},
        {L"de_AT", {L"de_AT", L"de"}},
        {L"fa-IR", {L"fa-IR", L"fa"}},
    };
    for (const auto& [tag, chain] : chains)
        EXPECT_EQ(LanguageChain(tag), chain) << Narrow(tag);
    // Every chain ends at the root, with no tag twice.
    for (const std::wstring tag : {L"zh", L"zh-Hans", L"zh-CN", L"nb", L"nb-SJ", L"sr", L"sr-Latn-RS", L"pt",
                                   L"en", L"es-MX-x-test"}) {
        const std::vector<std::wstring> chain = LanguageChain(tag);
        ASSERT_FALSE(chain.empty());
        EXPECT_LT(chain.size(), 8u) << Narrow(tag);
        EXPECT_TRUE(LanguageParent(chain.back()).empty() ||
                    std::find(chain.begin(), chain.end(), LanguageParent(chain.back())) != chain.end())
            << Narrow(tag);
    }
    EXPECT_EQ(LanguageChain(L"a-b-c-d-e-f-g-h-i-j").size(), 8u) << "a chain is at most eight tags long";
}

// The test module carries US English, British English (strings 14 and 18) and
// Mexican Spanish (15 and 18): the UI language's table is chosen, and strings
// are then read from exactly that table.
TEST(StringTableChoice, ModuleTablesAreChosenAndReadExactly)
{
    StringModule strings{L"catalogue_strings.dll"};
    ASSERT_TRUE(strings.Loaded());
    const HMODULE module = AfxGetResourceHandle();
    std::vector<std::wstring> names;
    for (const StringTableLanguage& table : StringTableLanguages(module))
        names.push_back(table.name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"en-US", L"en-GB", L"es-MX"}));

    EXPECT_EQ(ChooseStringTable(module, L"en-AU"), 0x0809);
    EXPECT_EQ(ChooseStringTable(module, L"es-AR"), 0x080A);
    EXPECT_EQ(ChooseStringTable(module, L"es-ES"), 0x0409);  // no table for Spain's Spanish
    EXPECT_EQ(ChooseStringTable(module, L"fr-FR"), 0x0409);
    EXPECT_EQ(ChooseStringTable(module, L""), 0x0409);

    AfxSetResourceLanguage(0x0809);
    EXPECT_EQ(AfxLoadStringText(IDS_HELP_CAPTION), L"Help (GB)");
    EXPECT_EQ(AfxLoadStringText(IDS_CLOSE_CAPTION), L"Close (GB)");
    AfxSetResourceLanguage(0x080A);
    EXPECT_EQ(AfxLoadStringText(IDS_CLOSE_CAPTION), L"Cerrar");
    EXPECT_EQ(AfxLoadStringText(IDS_HELP_TEXT), L"Como empezar.");
    EXPECT_EQ(AfxLoadStringText(IDS_HELP_CAPTION), L"") << "read from another table";
    EXPECT_EQ(AfxLoadStringText(64999), L"");
    AfxSetResourceLanguage(0);
    EXPECT_EQ(AfxLoadStringText(IDS_CLOSE_CAPTION), L"Close");
}
