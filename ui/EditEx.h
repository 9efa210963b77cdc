// CEditEx: the description area, black text on an opaque white background.
// Assistive technology reads it as static text named by what it shows, and
// is told each time that text really changes.
#pragma once

#include "framework/afxctl.h"

class CEditEx : public CEdit {
public:
    CEditEx();
    ~CEditEx() override;

    COLORREF m_crEditText = 0x000000;
    COLORREF m_crEditBack = 0xFFFFFF;
    CBrush m_brEditBack;

    // The parent's WM_CTLCOLOR for this control, reflected back to it.
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

    DECLARE_MESSAGE_MAP()

protected:
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
};
