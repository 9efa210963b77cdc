// Which of the launcher's string tables a user reads: the table of the user's
// UI language, else the first table along that language's parents as Windows
// gives them for its display languages, else English. The parents are the
// locale's own (de-AT to de, sr-Latn-RS to sr-Latn) except where Windows
// names another: English regions outside the United States take British
// English, Latin American Spanish regions Mexican Spanish, Portuguese regions
// outside Brazil European Portuguese, Norwegian Nynorsk Bokmal, Hong Kong and
// Macao Traditional Chinese (Taiwan), and the languages Windows offers only
// as interface packs the language pack they are installed over.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The parent of a language tag ("de-AT", "es-419", "sr-Latn-RS"), compared
// without regard to case; empty at the root (a tag of one subtag, or one
// Windows gives no parent but English).
std::wstring LanguageParent(const std::wstring& tag);

// `tag`, then its parents in order, each once (at most eight tags).
std::vector<std::wstring> LanguageChain(const std::wstring& tag);

// The index in `tables` (the locale names of the tables a program carries)
// of the first table along `tag`'s chain, or -1: none, English.
int ChooseTable(const std::wstring& tag, const std::vector<std::wstring>& tables);

// The user's UI language as a locale name; empty if the system does not say.
std::wstring UserUiLanguage();

// The languages (LANGIDs) of `module`'s string tables and their locale names
// (empty for a language the system's locale table does not know).
struct StringTableLanguage {
    LANGID language = 0;
    std::wstring name;
};
std::vector<StringTableLanguage> StringTableLanguages(HMODULE module);

// The LANGID of the table `module` shows a user whose UI language is `tag`:
// the table ChooseTable picks, else US English.
LANGID ChooseStringTable(HMODULE module, const std::wstring& tag);
