// A program's string tables read from its file, one language at a time, as a
// reader that must not depend on the thread's UI language reads them: the
// block of 16 counted strings filed under exactly that language.
#pragma once

#include <windows.h>

#include <string>

namespace qvtest {

class StringTables {
public:
    StringTables() = default;
    ~StringTables();
    StringTables(const StringTables&) = delete;
    StringTables& operator=(const StringTables&) = delete;

    bool Open(const std::wstring& module);  // loaded as a data file
    // String `id` of the table of `language`; empty when there is none.
    std::wstring Text(UINT id, LANGID language) const;
    // Whether the translation filed under `language` supplied string `id`:
    // its status (QVLANGSTATUS, which the string generator writes beside each
    // translation) is there and does not list the string as filled from English.
    bool Translated(UINT id, LANGID language) const;

private:
    HMODULE module_ = nullptr;
};

}  // namespace qvtest
