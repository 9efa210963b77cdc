// The string tables of a launcher's resources, one per language, read exactly
// as the module holds them (no fallback between languages), with the
// translation status the string generator writes beside each translation.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct TranslationStatus {
    bool present = false;   // the language has a status resource
    bool readable = false;  // ... and it is well formed
    int translated = 0;     // strings the translation supplied
    std::vector<UINT> filled;  // translatable strings filled from English, ascending
};

struct LanguageTable {
    LANGID language = 0;
    std::wstring locale;  // the locale name of the language, or empty
    std::map<UINT, std::wstring> strings;  // every non-empty string, by identifier
    TranslationStatus status;
};

// The pseudo-locale qps-ploc: every English text lengthened and marked, to
// find texts that are not translated and to see the layout under longer text.
inline constexpr LANGID kPseudoLocale = 0x0501;
// The mirrored pseudo-locale qps-plocm: the English texts in a window read
// right to left, to see what mirrors and what must not.
inline constexpr LANGID kMirroredPseudoLocale = 0x09FF;

// The languages of string block 1 (strings 0 to 15, which every language
// has), in the order the module lists them.
std::vector<LANGID> ModuleLanguages(HMODULE module);

LanguageTable ReadLanguageTable(HMODULE module, LANGID language);
