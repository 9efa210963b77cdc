#include "checktool/LanguageCheck.h"

#include <algorithm>
#include <memory>

#include "catalogue/CatalogueModel.h"
#include "res/resource.h"

namespace {

const int kDpis[] = {96, 120, 144};

}  // namespace

bool PlaceOfString(UINT id, TextPlace& place, std::wstring& what)
{
    struct General {
        UINT id;
        TextPlace place;
        const wchar_t* what;
    };
    static const General general[] = {
        {IDS_TITLE, TextPlace::Title, L"title"},
        {IDS_SUBTITLE, TextPlace::Title, L"subtitle"},
        {IDS_CATEGORY_HEADING, TextPlace::Heading, L"category heading"},
        {IDS_CONTENTS_HEADING, TextPlace::Heading, L"contents heading"},
        {IDS_HELP_CAPTION, TextPlace::FooterCaption, L"Help button caption"},
        {IDS_HELP_TEXT, TextPlace::Description, L"Help button text"},
        {IDS_SUPPORT_CAPTION, TextPlace::FooterCaption, L"Web site button caption"},
        {IDS_SUPPORT_TEXT, TextPlace::Description, L"Web site button text"},
        {IDS_CLOSE_CAPTION, TextPlace::FooterCaption, L"Close button caption"},
        {IDS_CLOSE_TEXT, TextPlace::Description, L"Close button text"},
    };
    for (const General& g : general) {
        if (g.id == id) {
            place = g.place;
            what = g.what;
            return true;
        }
    }
    for (UINT k = 0; k < static_cast<UINT>(kCategoryCount); ++k) {
        if (id == IDS_CATEGORY_CAPTION_BASE + 1000 * k || id == IDS_CATEGORY_TEXT_BASE + 1000 * k) {
            const bool caption = id == IDS_CATEGORY_CAPTION_BASE + 1000 * k;
            place = caption ? TextPlace::CategoryCaption : TextPlace::Description;
            what = L"category " + std::to_wstring(k) + (caption ? L" caption" : L" text");
            return true;
        }
    }
    const bool name = id >= IDS_ITEM_NAME_BASE && id < IDS_ITEM_NAME_BASE + 100 * kCategoryCount;
    const bool description = id >= IDS_ITEM_DESCRIPTION_BASE && id < IDS_ITEM_DESCRIPTION_BASE + 100 * kCategoryCount;
    const UINT t = id % 10000;
    if ((name || description) && t % 100 < static_cast<UINT>(kRowsPerCategory)) {
        place = name ? TextPlace::ItemName : TextPlace::Description;
        what = L"row " + std::to_wstring(t / 100) + L"." + std::to_wstring(t % 100) +
               (name ? L" name" : L" description");
        return true;
    }
    return false;
}

const wchar_t* PlaceName(TextPlace place)
{
    switch (place) {
    case TextPlace::Title: return L"title";
    case TextPlace::Heading: return L"heading";
    case TextPlace::FooterCaption: return L"footer caption";
    case TextPlace::CategoryCaption: return L"category caption";
    case TextPlace::Description: return L"description";
    case TextPlace::ItemName: return L"item name";
    }
    return L"?";
}

int LanguagesCheck::MisfitCount() const
{
    int count = 0;
    for (const LanguageFit& language : languages)
        count += language.counted ? static_cast<int>(language.misfits.size()) : 0;
    return count;
}

int LanguagesCheck::UncountedMisfitCount() const
{
    int count = 0;
    for (const LanguageFit& language : languages)
        count += language.counted ? 0 : static_cast<int>(language.misfits.size());
    return count;
}

bool LanguagesCheck::StatusesReadable() const
{
    for (const LanguageFit& language : languages) {
        const TranslationStatus& status = language.table.status;
        if (status.present ? !status.readable : PRIMARYLANGID(language.table.language) != LANG_ENGLISH)
            return false;
    }
    return true;
}

bool CheckLanguages(HMODULE module, LanguagesCheck& out, std::wstring& error)
{
    DialogTemplate dialog;
    if (!ReadDialogTemplate(module, IDD_KIVANO_DIALOG, dialog) || dialog.pointSize == 0) {
        error = L"has no readable main window template with a font (dialog " + std::to_wstring(IDD_KIVANO_DIALOG) +
                L")";
        return false;
    }
    const std::vector<LANGID> languages = ModuleLanguages(module);
    if (languages.empty()) {
        error = L"has no string table";
        return false;
    }
    std::vector<std::unique_ptr<TextFitter>> fitters;
    for (const int dpi : kDpis) {
        fitters.push_back(std::make_unique<TextFitter>(dpi, dialog));
        if (!fitters.back()->ok()) {
            error = L"cannot be measured at " + std::to_wstring(dpi) +
                    L" DPI: the template lacks the list or the description control, or no list view could be made";
            return false;
        }
        DpiRules rules;
        rules.dpi = dpi;
        for (int p = 0; p < kTextPlaceCount; ++p)
            rules.rules[p] = fitters.back()->Rule(static_cast<TextPlace>(p));
        out.dpis.push_back(rules);
    }

    for (const LANGID language : languages) {
        LanguageFit fit;
        fit.table = ReadLanguageTable(module, language);
        fit.counted = language != kPseudoLocale && language != kMirroredPseudoLocale &&
                      (fit.table.status.present || PRIMARYLANGID(language) != LANG_ENGLISH);
        const std::vector<UINT>& filled = fit.table.status.filled;
        for (const auto& [id, text] : fit.table.strings) {
            TextCheck check;
            if (!PlaceOfString(id, check.place, check.what))
                continue;
            ++fit.measured;
            // A string filled from English is the English source's text, in
            // the same fonts and boxes: measured and listed with English.
            if (fit.table.status.readable && std::binary_search(filled.begin(), filled.end(), id))
                continue;
            check.id = id;
            check.text = text;
            for (const std::unique_ptr<TextFitter>& fitter : fitters) {
                const FitResult result = fitter->Check(check.place, text);
                if (!result.Fits())
                    check.misfits.push_back({fitter->Dpi(), result, fitter->Rule(check.place).maxLines,
                                             fitter->Rule(check.place).margin});
            }
            if (!check.misfits.empty())
                fit.misfits.push_back(check);
        }
        out.languages.push_back(fit);
    }
    return true;
}
