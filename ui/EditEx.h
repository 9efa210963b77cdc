// CEditEx: the description area, black text on an opaque white background.
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
};
