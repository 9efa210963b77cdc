#include "installer/actions/ActionLog.h"

namespace qvsetup {

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

}  // namespace qvsetup
