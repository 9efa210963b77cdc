// Writing a catalogue check as plain text or as JSON.
#pragma once

#include "checktool/CatalogueCheck.h"

#include <string>

std::wstring FormatText(const CatalogueCheck& check);

// JSON text; every character outside printable ASCII is written as a \u
// escape, so the result is plain ASCII.
std::wstring FormatJson(const CatalogueCheck& check);

// A JSON string literal with its quotes.
std::wstring JsonString(const std::wstring& text);
// "name": value, the value already JSON.
std::wstring JsonField(const wchar_t* name, const std::wstring& value);
std::wstring JsonBool(bool value);
