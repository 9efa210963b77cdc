#include "ui/EditEx.h"

BEGIN_MESSAGE_MAP(CEditEx, CEdit)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CEditEx::CEditEx()
{
    m_brEditBack.CreateSolidBrush(m_crEditBack);
}

CEditEx::~CEditEx() = default;

HBRUSH CEditEx::CtlColor(CDC* pDC, UINT)
{
    pDC->SetTextColor(m_crEditText);
    pDC->SetBkColor(m_crEditBack);
    return m_brEditBack;
}
