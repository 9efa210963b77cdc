#include "installer/actions/ActionLog.h"

#include <algorithm>

namespace qvsetup {

namespace {

// The property's first characters, or "" when it cannot be read.
void PropertyStart(MSIHANDLE install, const wchar_t* name, wchar_t (&start)[8])
{
    DWORD size = 8;
    const UINT status = MsiGetPropertyW(install, name, start, &size);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
        start[0] = L'\0';
    start[7] = L'\0';
}

bool StartsWith(const wchar_t* text, const wchar_t* start)
{
    const size_t length = wcslen(start);
    return CompareStringOrdinal(text, static_cast<int>(std::min(wcslen(text), length)), start,
                                static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

}  // namespace

void Log(MSIHANDLE install, const wchar_t* action, const std::wstring& text)
{
    // The installer formats a message, the values of its fields included (Wine's
    // does): "[id]" in an address would become a property's value. Every
    // character that formatting reads goes in as its escape, "[\x]".
    std::wstring line;
    for (const wchar_t c : std::wstring(action) + L": " + text) {
        if (c == L'[' || c == L']' || c == L'{' || c == L'}')
            line += std::wstring(L"[\\") + c + L"]";
        else
            line += c;
    }
    Record record(0);
    if (!record)
        return;
    MsiRecordSetStringW(record, 0, line.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

bool RemovesOrRollsBack(MSIHANDLE install)
{
    wchar_t start[8];
    PropertyStart(install, L"CustomActionData", start);
    if (StartsWith(start, L"remove") || StartsWith(start, L"undo"))
        return true;
    PropertyStart(install, L"REMOVE", start);
    return CompareStringOrdinal(start, -1, L"ALL", -1, TRUE) == CSTR_EQUAL;
}

}  // namespace qvsetup
