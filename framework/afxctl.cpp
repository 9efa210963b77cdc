#include "framework/afxctl.h"

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CBitmapButton::LoadBitmaps(const wchar_t* up, const wchar_t* down, const wchar_t* focus,
                                const wchar_t* disabled)
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!m_bitmap.LoadBitmap(up))
        return FALSE;
    if (down)
        m_bitmapSel.LoadBitmap(down);
    if (focus)
        m_bitmapFocus.LoadBitmap(focus);
    if (disabled)
        m_bitmapDisabled.LoadBitmap(disabled);
    return TRUE;
}

BOOL CBitmapButton::AutoLoad(UINT nID, CWnd* pParent)
{
    if (!SubclassDlgItem(nID, pParent) && m_hWnd == nullptr)
        return FALSE;
    CString name;
    GetWindowText(name);
    if (!LoadBitmaps(name + L"U", name + L"D", name + L"F", name + L"X"))
        return FALSE;
    SizeToContent();
    return TRUE;
}

void CBitmapButton::SizeToContent()
{
    BITMAP info = {};
    if (m_bitmap.m_hObject == nullptr || !m_bitmap.GetBitmap(&info))
        return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, info.bmWidth, info.bmHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CBitmap& CBitmapButton::StateBitmap(UINT itemState)
{
    if ((itemState & ODS_SELECTED) && m_bitmapSel.m_hObject)
        return m_bitmapSel;
    if ((itemState & ODS_FOCUS) && m_bitmapFocus.m_hObject)
        return m_bitmapFocus;
    if ((itemState & ODS_DISABLED) && m_bitmapDisabled.m_hObject)
        return m_bitmapDisabled;
    return m_bitmap;
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CBitmap* bitmap = &StateBitmap(dis->itemState);
    CDC item;
    item.Attach(dis->hDC);
    CDC memory;
    if (memory.CreateCompatibleDC(&item)) {
        CSelect select(memory, bitmap->m_hObject);
        if (select.Selected()) {
            const RECT& r = dis->rcItem;
            item.BitBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, &memory, 0, 0, SRCCOPY);
        }
    }
    item.Detach();
}
