#include "app/KivanoApp.h"

#include "app/KivanoDlg.h"
#include "app/StartupTrace.h"
#include "catalogue/StringTableChoice.h"
#include "framework/afxres.h"
#include "res/resource.h"
#include "ui/LayoutMetrics.h"

bool ReadsRightToLeft()
{
    CString order;
    return order.LoadString(IDS_READING_ORDER) && order == L"RTL";
}

void RegisterMainWindowClass()
{
    // The main dialog's template names this copy of the system dialog class.
    WNDCLASSW wc = {};
    GetClassInfoW(nullptr, L"#32770", &wc);
    wc.lpszClassName = KIVANO_WINDOW_CLASS;
    AfxRegisterClass(&wc);
}

BOOL CKivanoApp::InitInstance()
{
    MarkStartup(StartupInitInstance);
    // DLLs come from the system folder only, never from the current or the
    // program's folder, whatever lies there: the entry point has restricted
    // the search (framework/afxload.h).
    SetProcessDPIAware();
    HWND desktop = GetDesktopWindow();
    if (HDC dc = GetDC(desktop)) {
        ScreenDpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(desktop, dc);
    }

    // Another copy runs: bring its window to the front and end.
    if (HANDLE running = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, KIVANO_MUTEX_NAME)) {
        CloseHandle(running);
        if (HWND window = FindWindowW(KIVANO_WINDOW_CLASS, nullptr))
            SetForegroundWindow(window);
        return FALSE;
    }
    // A marker only: never owned, never waited on. Without it the copy runs unguarded.
    HANDLE marker = CreateMutexW(nullptr, FALSE, KIVANO_MUTEX_NAME);

    // Every text comes from one string table: the user's UI language's, or
    // the first along the parents Windows gives that language, or English.
    AfxSetResourceLanguage(ChooseStringTable(AfxGetResourceHandle(), UserUiLanguage()));

    // A string table read right to left mirrors the window, as the system
    // mirrors its own programs in such a language: decided by the table the
    // program actually uses, before any window exists.
    if (ReadsRightToLeft())
        SetProcessDefaultLayout(LAYOUT_RTL);

    RegisterMainWindowClass();

    {
        CKivanoDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        if (marker)
            CloseHandle(marker);
        m_pMainWnd = nullptr;
    }
    return FALSE;
}

BOOL CKivanoApp::PreTranslateMessage(MSG* pMsg)
{
    if (m_pMainWnd != nullptr && pMsg->message == WM_KEYDOWN &&
        (pMsg->wParam == VK_LEFT || pMsg->wParam == VK_UP || pMsg->wParam == VK_RIGHT || pMsg->wParam == VK_DOWN)) {
        for (int id = IDC_CATEGORY0; id <= IDC_CATEGORY4; ++id) {
            CWnd* button = m_pMainWnd->GetDlgItem(id);
            if (button != nullptr && button->m_hWnd == pMsg->hwnd) {
                m_pMainWnd->SendMessage(WM_KEYDOWN, pMsg->wParam, pMsg->lParam);
                return TRUE;
            }
        }
    }
    return CWinApp::PreTranslateMessage(pMsg);
}
