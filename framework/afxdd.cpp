#include "framework/afxdd.h"

#include "framework/afxwin.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr)
        rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    // A control attached by DDX_Control is found without a look-up of the
    // dialog's children, which under Wine is a request to its server.
    HWND control = pDX->m_pDlgWnd->AttachedChild(nIDC);
    if (control == nullptr)
        control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (control == nullptr)
        return;
    CWnd wnd;
    wnd.m_hWnd = control;
    CString current;
    wnd.GetWindowText(current);
    wnd.m_hWnd = nullptr;
    if (pDX->m_bSaveAndValidate)
        value = current;
    else if (!(current == value))
        ::SetWindowTextW(control, value);  // only a change is set: no repaint for the same text
}
