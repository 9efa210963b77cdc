#include "ui/accessibility/ItemListAccessible.h"

#include <commctrl.h>

#include <vector>

namespace {

// A child id (or nothing) in a VARIANT, as S_OK or S_FALSE.
HRESULT ReturnChild(int item, VARIANT* out)
{
    VariantInit(out);
    if (item < 0)
        return S_FALSE;
    out->vt = VT_I4;
    out->lVal = item + 1;
    return S_OK;
}

}  // namespace

int CItemListAccessible::Count() const
{
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CItemListAccessible::ItemOf(const VARIANT& child) const
{
    if (child.vt != VT_I4)
        return kInvalid;
    if (child.lVal == CHILDID_SELF)
        return kSelf;
    return child.lVal >= 1 && child.lVal <= Count() ? child.lVal - 1 : kInvalid;
}

int CItemListAccessible::NextItem(int start, UINT flags) const
{
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

CString CItemListAccessible::ItemText(int item, int subItem) const
{
    // The list copies at most the buffer's size; grow it until the text fits.
    for (size_t size = 256; size <= 65536; size *= 4) {
        std::vector<wchar_t> buffer(size, L'\0');
        LVITEMW request = {};
        request.iSubItem = subItem;
        request.pszText = buffer.data();
        request.cchTextMax = static_cast<int>(size);
        const size_t copied = static_cast<size_t>(
            ::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request)));
        if (copied + 1 < size)
            return CString(buffer.data(), static_cast<int>(copied));
    }
    return CString();
}

STDMETHODIMP CItemListAccessible::get_accChildCount(long* pcountChildren)
{
    if (!Alive())
        return CAccessibleProxy::get_accChildCount(pcountChildren);
    if (pcountChildren == nullptr)
        return E_POINTER;
    *pcountChildren = Count();
    return S_OK;
}

STDMETHODIMP CItemListAccessible::get_accChild(VARIANT varChild, IDispatch** ppdispChild)
{
    if (!Alive())
        return CAccessibleProxy::get_accChild(varChild, ppdispChild);
    if (ppdispChild == nullptr)
        return E_POINTER;
    *ppdispChild = nullptr;
    return ItemOf(varChild) >= 0 ? S_FALSE : E_INVALIDARG;  // items are simple elements
}

STDMETHODIMP CItemListAccessible::get_accName(VARIANT varChild, BSTR* pszName)
{
    const int item = Alive() ? ItemOf(varChild) : kInvalid;
    if (item == kSelf)
        return ReturnText(m_strName, pszName);
    if (item < 0)
        return Alive() ? E_INVALIDARG : CAccessibleProxy::get_accName(varChild, pszName);
    return ReturnText(ItemText(item, 0), pszName);
}

STDMETHODIMP CItemListAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    const int item = Alive() ? ItemOf(varChild) : kInvalid;
    if (item < 0)
        return CAccessibleProxy::get_accDescription(varChild, pszDescription);
    return ReturnText(ItemText(item, 1), pszDescription);
}

STDMETHODIMP CItemListAccessible::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    const int item = Alive() ? ItemOf(varChild) : kInvalid;
    if (item < 0)
        return CAccessibleProxy::get_accRole(varChild, pvarRole);
    return ReturnLong(ROLE_SYSTEM_LISTITEM, pvarRole);
}

STDMETHODIMP CItemListAccessible::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    const int item = Alive() ? ItemOf(varChild) : kInvalid;
    if (item < 0)
        return CAccessibleProxy::get_accState(varChild, pvarState);
    if (pvarState == nullptr)
        return E_POINTER;
    const UINT state = static_cast<UINT>(
        ::SendMessageW(m_hWnd, LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED | LVIS_FOCUSED));
    LONG result = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (state & LVIS_SELECTED)
        result |= STATE_SYSTEM_SELECTED;
    if ((state & LVIS_FOCUSED) && ::GetFocus() == m_hWnd)
        result |= STATE_SYSTEM_FOCUSED;
    if (!IsWindowVisible(m_hWnd))
        result |= STATE_SYSTEM_INVISIBLE;
    return ReturnLong(result, pvarState);
}

STDMETHODIMP CItemListAccessible::get_accFocus(VARIANT* pvarChild)
{
    if (!Alive() || ::GetFocus() != m_hWnd)
        return CAccessibleProxy::get_accFocus(pvarChild);
    if (pvarChild == nullptr)
        return E_POINTER;
    const int focused = NextItem(-1, LVNI_FOCUSED);
    if (focused >= 0)
        return ReturnChild(focused, pvarChild);
    return ReturnLong(CHILDID_SELF, pvarChild);
}

STDMETHODIMP CItemListAccessible::get_accSelection(VARIANT* pvarChildren)
{
    if (!Alive())
        return CAccessibleProxy::get_accSelection(pvarChildren);
    if (pvarChildren == nullptr)
        return E_POINTER;
    return ReturnChild(NextItem(-1, LVNI_SELECTED), pvarChildren);  // one selected item at most
}

STDMETHODIMP CItemListAccessible::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                              VARIANT varChild)
{
    const int item = Alive() ? ItemOf(varChild) : kInvalid;
    if (item < 0)
        return CAccessibleProxy::accLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varChild);
    if (!pxLeft || !pyTop || !pcxWidth || !pcyHeight)
        return E_POINTER;
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    if (!::SendMessageW(m_hWnd, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&bounds)))
        return E_FAIL;
    MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    *pxLeft = bounds.left;
    *pyTop = bounds.top;
    *pcxWidth = bounds.right - bounds.left;
    *pcyHeight = bounds.bottom - bounds.top;
    return S_OK;
}

STDMETHODIMP CItemListAccessible::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt)
{
    const int start = Alive() ? ItemOf(varStart) : kInvalid;
    const bool intoItems = start == kSelf && (navDir == NAVDIR_FIRSTCHILD || navDir == NAVDIR_LASTCHILD);
    if (start == kInvalid || (start == kSelf && !intoItems))
        return CAccessibleProxy::accNavigate(navDir, varStart, pvarEndUpAt);
    if (pvarEndUpAt == nullptr)
        return E_POINTER;
    const int count = Count();
    int end = -1;
    switch (navDir) {
    case NAVDIR_FIRSTCHILD: end = intoItems && count > 0 ? 0 : -1; break;
    case NAVDIR_LASTCHILD: end = intoItems ? count - 1 : -1; break;
    case NAVDIR_NEXT: end = start + 1 < count ? start + 1 : -1; break;
    case NAVDIR_PREVIOUS: end = start - 1; break;
    // Items stand in rows of icons: the list knows its neighbours on the screen.
    case NAVDIR_UP: end = NextItem(start, LVNI_ABOVE); break;
    case NAVDIR_DOWN: end = NextItem(start, LVNI_BELOW); break;
    case NAVDIR_LEFT: end = NextItem(start, LVNI_TOLEFT); break;
    case NAVDIR_RIGHT: end = NextItem(start, LVNI_TORIGHT); break;
    default: return E_INVALIDARG;
    }
    return ReturnChild(end, pvarEndUpAt);
}

STDMETHODIMP CItemListAccessible::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    if (Alive() && pvarChild != nullptr) {
        LVHITTESTINFO hit = {};
        hit.pt = POINT{xLeft, yTop};
        ScreenToClient(m_hWnd, &hit.pt);
        const int item = static_cast<int>(::SendMessageW(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (item >= 0 && (hit.flags & LVHT_ONITEM))
            return ReturnChild(item, pvarChild);
    }
    return CAccessibleProxy::accHitTest(xLeft, yTop, pvarChild);
}
