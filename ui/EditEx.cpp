#include "ui/EditEx.h"

#include "ui/Canvas.h"
#include "ui/accessibility/AccessibleProxy.h"

BEGIN_MESSAGE_MAP(CEditEx, CEdit)
    ON_WM_CTLCOLOR_REFLECT()
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
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
    MatchReadingOrder(pDC->m_hDC, m_hWnd);  // the DC the control draws its text with
    return m_brEditBack;
}

LRESULT CEditEx::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (CAccessibleProxy::AsksForClient(lParam)) {
        if (const LRESULT answer =
                CAccessibleProxy::Answer(new CAccessibleProxy(m_hWnd, ROLE_SYSTEM_STATICTEXT), wParam))
            return answer;
    }
    return Default();
}

LRESULT CEditEx::OnSetText(WPARAM, LPARAM lParam)
{
    // The dialog passes its description on at every list fill, mostly
    // unchanged; only a new text is announced, once it shows.
    CString before;
    GetWindowText(before);
    const bool changed = !(before == reinterpret_cast<const wchar_t*>(lParam));
    const LRESULT result = Default();
    if (changed && result)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    return result;
}
