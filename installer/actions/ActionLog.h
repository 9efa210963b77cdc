// The custom actions' lines in the installer's log (msiexec /l*v), and the
// guard every entry point runs in.
#pragma once

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <exception>
#include <new>
#include <string>

#include "installer/actions/AddressDecision.h"

namespace qvsetup {

// An installer record, closed when it goes.
class Record {
public:
    explicit Record(UINT fields) : handle_(MsiCreateRecord(fields)) {}
    ~Record()
    {
        if (handle_)
            MsiCloseHandle(handle_);
    }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    operator MSIHANDLE() const { return handle_; }

private:
    MSIHANDLE handle_;
};

// One line "<action>: <text>" in the log, as an information message. Brackets
// and braces in the text (an address's) reach the log as they are.
void Log(MSIHANDLE install, const wchar_t* action, const std::wstring& text);

// Runs an entry point's body: no exception leaves it. One is logged and ends
// an installation's action (`mode` Install) with an installer error; an
// uninstall's or a rollback's goes on: nothing may block either.
template <typename Body>
UINT Guarded(MSIHANDLE install, const wchar_t* action, Mode mode, Body body) noexcept
{
    const wchar_t* what = nullptr;
    try {
        return body();
    } catch (const std::bad_alloc&) {
        what = L"ran out of memory";
    } catch (...) {
        what = L"ended on an unexpected error";
    }
    const bool goOn = mode != Mode::Install;
    if (Record record(3); record) {
        MsiRecordSetStringW(record, 0, L"[1]: [2]; [3]");
        MsiRecordSetStringW(record, 1, action);
        MsiRecordSetStringW(record, 2, what);
        MsiRecordSetStringW(record, 3, goOn ? L"the addresses are left as they are and the run goes on"
                                            : L"nothing more is changed and the installation stops");
        MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
    }
    return goOn ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

}  // namespace qvsetup
