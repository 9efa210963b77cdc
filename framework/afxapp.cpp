#include "framework/afxapp.h"

#include "framework/afxwin.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const wchar_t* appName) : m_pszAppName(appName)
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

static BOOL WalkPreTranslateTree(HWND stop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd)) {
            if (wnd->PreTranslateMessage(pMsg))
                return TRUE;
        }
        if (hWnd == stop)
            break;
    }
    return FALSE;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    HWND mainWnd = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    return WalkPreTranslateTree(mainWnd, pMsg);
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    if (CWinApp* app = AfxGetApp())
        return app->PreTranslateMessage(pMsg);
    return WalkPreTranslateTree(nullptr, pMsg);
}

BOOL AfxRegisterClass(WNDCLASSW* lpWndClass)
{
    WNDCLASSW existing = {};
    if (GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing))
        return TRUE;
    return RegisterClassW(lpWndClass) != 0;
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    app->m_hInstance = hInstance;
    if (!app->InitInstance())
        return app->ExitInstance();
    // The program's life takes place in InitInstance; there is no loop of the
    // application's own.
    return app->ExitInstance();
}
