// Dialog data exchange: DoDataExchange moves values between a dialog's
// members and its controls, in the direction the exchange object says.
#pragma once

#include <windows.h>

#include "framework/afxstr.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// Attaches control nIDC to rControl the first time; later exchanges leave it alone.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Moves the window text of control nIDC; towards the control it is set only
// when it differs from what the control shows.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
