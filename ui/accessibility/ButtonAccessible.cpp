#include "ui/accessibility/ButtonAccessible.h"

#include "framework/afxres.h"
#include "res/resource.h"
#include "ui/BitmapButtonEx.h"

CString CaptionAsShown(const CString& caption)
{
    std::wstring shown;
    const wchar_t* text = caption.GetString();
    for (int i = 0; text[i] != L'\0'; ++i) {
        if (text[i] == L'&') {
            if (text[i + 1] == L'\0')
                break;
            ++i;
        }
        shown += text[i];
    }
    return CString(shown);
}

const CBitmapButtonEx* CButtonAccessible::Button() const
{
    return Alive() ? dynamic_cast<const CBitmapButtonEx*>(CWnd::FromHandlePermanent(m_hWnd)) : nullptr;
}

STDMETHODIMP CButtonAccessible::get_accName(VARIANT varChild, BSTR* pszName)
{
    const CBitmapButtonEx* button = Button();
    if (button == nullptr || !IsSelf(varChild))
        return CAccessibleProxy::get_accName(varChild, pszName);
    return ReturnText(CaptionAsShown(button->m_strText), pszName);
}

STDMETHODIMP CButtonAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    const CBitmapButtonEx* button = Button();
    if (button == nullptr || !IsSelf(varChild))
        return CAccessibleProxy::get_accDescription(varChild, pszDescription);
    return ReturnText(button->m_strDescription, pszDescription);
}

STDMETHODIMP CButtonAccessible::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    const HRESULT hr = CAccessibleProxy::get_accState(varChild, pvarState);
    if (hr != S_OK || !IsSelf(varChild) || pvarState->vt != VT_I4)
        return hr;
    pvarState->lVal &= ~STATE_SYSTEM_PRESSED;
    if (::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED)
        pvarState->lVal |= STATE_SYSTEM_PRESSED;
    return S_OK;
}

STDMETHODIMP CButtonAccessible::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction)
{
    if (!Alive() || !IsSelf(varChild))
        return CAccessibleProxy::get_accDefaultAction(varChild, pszDefaultAction);
    return ReturnText(AfxLoadStringText(IDS_PRESS_ACTION).c_str(), pszDefaultAction);
}

STDMETHODIMP CButtonAccessible::accDoDefaultAction(VARIANT varChild)
{
    if (!Alive() || !IsSelf(varChild))
        return CAccessibleProxy::accDoDefaultAction(varChild);
    if (!IsWindowVisible(m_hWnd) || !IsWindowEnabled(m_hWnd))
        return E_FAIL;
    // Posted: the click runs once this call has returned to the caller.
    return ::PostMessageW(m_hWnd, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
}
