// Writing a language check as plain text or as JSON (the catalogue report's
// JSON writer: plain ASCII, every other character a \u escape).
#pragma once

#include "checktool/LanguageCheck.h"

#include <string>

std::wstring FormatLanguagesText(const LanguagesCheck& check);
std::wstring FormatLanguagesJson(const LanguagesCheck& check);

// "0x0409"
std::wstring LangIdText(LANGID language);
