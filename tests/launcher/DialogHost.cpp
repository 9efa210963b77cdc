#include "tests/launcher/DialogHost.h"

using qvtest::kDeadlineMs;

namespace {
constexpr UINT kRunCall = WM_APP + 1;
}

DialogHost::DialogHost()
{
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this] { Run(); });
    HANDLE waits[] = {m_ready, m_ended};
    WaitForMultipleObjects(2, waits, FALSE, kDeadlineMs);
    // Visible and painted: the first paint after initialisation lays the window out.
    if (m_hWnd && qvtest::WaitUntil([this] { return IsWindowVisible(m_hWnd) != FALSE; }))
        Settle();
}

DialogHost::~DialogHost()
{
    if (WaitForSingleObject(m_ended, 0) != WAIT_OBJECT_0 && m_hWnd)
        PostMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(m_ended, kDeadlineMs) != WAIT_OBJECT_0)
        TerminateProcess(GetCurrentProcess(), 0xDEAD);  // a hung dialog must not pass
    m_thread.join();
    CloseHandle(m_ready);
    CloseHandle(m_ended);
}

void DialogHost::Run()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CallWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorvaneTestCalls";
    RegisterClassW(&wc);
    m_callWindow = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(m_callWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    RegisterMainWindowClass();
    m_dialog = new CKivanoDlg;
    m_app.m_pMainWnd = m_dialog;

    // The timer reports the dialog once its initialisation has finished.
    SetTimer(m_callWindow, 1, 10, nullptr);
    m_result = m_dialog->DoModal();
    KillTimer(m_callWindow, 1);
    m_app.m_pMainWnd = nullptr;
    DestroyWindow(m_callWindow);
    SetEvent(m_ended);
}

LRESULT CALLBACK DialogHost::CallWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunCall) {
        (*reinterpret_cast<std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == WM_TIMER) {
        // Poll until the dialog is initialised, then tell the test.
        auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (host && host->m_dialog && host->m_dialog->m_bLayoutReady && host->m_dialog->m_hWnd) {
            host->m_hWnd = host->m_dialog->m_hWnd;
            KillTimer(hWnd, 1);
            SetEvent(host->m_ready);
        }
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

void DialogHost::Call(const std::function<void(CKivanoDlg&)>& f)
{
    std::function<void()> call = [&] { f(*m_dialog); };
    SendMessageW(m_callWindow, kRunCall, 0, reinterpret_cast<LPARAM>(&call));
}

void DialogHost::Settle()
{
    for (int i = 0; i < 3; ++i) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(m_hWnd, WM_NULL, 0, 0, SMTO_BLOCK, kDeadlineMs, &ignored);
        Sleep(20);
    }
}

bool DialogHost::WaitForEnd(DWORD timeoutMs)
{
    return WaitForSingleObject(m_ended, timeoutMs) == WAIT_OBJECT_0;
}
