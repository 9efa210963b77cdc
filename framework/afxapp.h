// CWinApp: the application object. The program defines exactly one; the
// framework's entry point calls its InitInstance, and when that returns FALSE
// the program ends without a message loop of the application's own.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // Offers the message to the windows from its target up to the main
    // window (a dialog hands it to the dialog manager); TRUE when consumed.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    const wchar_t* m_pszAppName;
};

CWinApp* AfxGetApp();
// The application's pre-translation, or the window chain's when there is no application object.
BOOL AfxPreTranslateMessage(MSG* pMsg);
// Registers a window class; TRUE when it is registered (now or before).
BOOL AfxRegisterClass(WNDCLASSW* lpWndClass);
// The framework's entry: runs the application object.
int AfxWinMain(HINSTANCE hInstance);
