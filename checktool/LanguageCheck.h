// Checking that every text of every language in a launcher's resources fits
// where the window shows it, at 96, 120 and 144 DPI, and that a wrapped text
// breaks into lines as the language's typography allows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "checktool/LanguageTables.h"
#include "checktool/TextFitter.h"

// One DPI of the check and the boxes it measured against.
struct DpiRules {
    int dpi = 0;
    PlaceRule rules[kTextPlaceCount];
};

struct TextMisfit {
    int dpi = 0;
    FitResult fit;
    int maxLines = 0;
    int margin = 0;  // the room the place's box had to leave
};

// A shown text that does not fit at one or more of the DPIs.
struct TextCheck {
    UINT id = 0;
    std::wstring what;  // e.g. "row 0.3 name"
    TextPlace place = TextPlace::Title;
    std::wstring text;
    std::vector<TextMisfit> misfits;
};

struct LanguageFit {
    LanguageTable table;
    // Whether its misfits decide the outcome: those of the translations do;
    // the English source's texts are used as written, and the pseudo-locale
    // is lengthened on purpose, so theirs are shown but not counted.
    bool counted = true;
    int measured = 0;  // shown texts in the table (those filled from English are measured with English)
    std::vector<TextCheck> misfits;
};

struct LanguagesCheck {
    std::wstring executable;
    std::vector<DpiRules> dpis;
    std::vector<LanguageFit> languages;

    // Texts that do not fit, in the counted languages and in the others.
    int MisfitCount() const;
    int UncountedMisfitCount() const;
    // Every non-English language's translation status is present and readable.
    bool StatusesReadable() const;
};

// The place where the launcher shows string `id`, and what it is; false for
// strings it does not show (registry keys, programs, screen-reader texts).
bool PlaceOfString(UINT id, TextPlace& place, std::wstring& what);

// Checks every language of `module`; false, with `error` set, when the module
// has no string table or no usable main window template.
bool CheckLanguages(HMODULE module, LanguagesCheck& out, std::wstring& error);

const wchar_t* PlaceName(TextPlace place);
