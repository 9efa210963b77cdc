// Runs the launcher's main dialog inside a test program, on a thread of its
// own with the application object's pre-translation, so that a test can
// drive it with real input and also look at its members and the catalogue.
//
// Everything that touches the dialog's state goes through Call(), which runs
// the code on the dialog's thread between two of its messages.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

#include "app/KivanoApp.h"
#include "app/KivanoDlg.h"
#include "tests/support/wait.h"

class DialogHost {
public:
    // Starts the dialog and waits until it is initialised and shown.
    DialogHost();
    // Ends the dialog (if still running) and joins its thread.
    ~DialogHost();
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    HWND Window() const { return m_hWnd; }
    HWND Control(int id) const { return GetDlgItem(m_hWnd, id); }
    // Runs f on the dialog's thread with the dialog object.
    void Call(const std::function<void(CKivanoDlg&)>& f);
    // Waits until the dialog has handled everything queued so far.
    void Settle();
    // Waits (at most timeoutMs) for DoModal to return; TRUE when it did. The
    // dialog object stays alive for inspection until the host is destroyed.
    bool WaitForEnd(DWORD timeoutMs = qvtest::kDeadlineMs);
    INT_PTR Result() const { return m_result; }
    // The dialog object; only for reading after WaitForEnd().
    CKivanoDlg& Dialog() { return *m_dialog; }

private:
    void Run();
    static LRESULT CALLBACK CallWindowProc(HWND, UINT, WPARAM, LPARAM);

    CKivanoApp m_app;
    CKivanoDlg* m_dialog = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_callWindow = nullptr;
    HANDLE m_ready = nullptr;
    HANDLE m_ended = nullptr;
    INT_PTR m_result = -1;
    std::thread m_thread;
};
