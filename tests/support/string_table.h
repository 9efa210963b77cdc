// A program's string tables read from its file, one language at a time, as a
// reader that must not depend on the thread's UI language reads them: the
// block of 16 counted strings for that exact language.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qvtest {

class StringTables {
public:
    explicit StringTables(const std::wstring& module);  // loaded as a data file
    ~StringTables();
    StringTables(const StringTables&) = delete;
    StringTables& operator=(const StringTables&) = delete;

    bool ok() const { return module_ != nullptr; }
    // String `id` of the table filed under exactly `language`; nothing when
    // that language has no such block or the string is empty.
    std::optional<std::wstring> Find(UINT id, LANGID language) const;
    // The same, or an empty text.
    std::wstring Text(UINT id, LANGID language) const { return Find(id, language).value_or(L""); }
    // The identifiers of the strings the build filled from English, from the
    // language's QVLANGSTATUS resource (translated count, filled count, the
    // filled identifiers); nothing when it has none or it is malformed.
    std::optional<std::vector<UINT>> Filled(LANGID language) const;

private:
    HMODULE module_ = nullptr;
};

}  // namespace qvtest
