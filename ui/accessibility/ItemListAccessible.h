// What assistive technology is given for the item list: a list named after
// its heading whose children (child id = item index + 1, as the list view's
// own events count them) are list items named by their text, described by
// the text of their second column, with their selection and focus, place,
// neighbours and hit test.
#pragma once

#include "framework/afxstr.h"
#include "ui/accessibility/AccessibleProxy.h"

class CItemListAccessible : public CAccessibleProxy {
public:
    CItemListAccessible(HWND list, const CString& name) : CAccessibleProxy(list, ROLE_SYSTEM_LIST), m_strName(name) {}

    STDMETHODIMP get_accChildCount(long* pcountChildren) override;
    STDMETHODIMP get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    STDMETHODIMP get_accName(VARIANT varChild, BSTR* pszName) override;
    STDMETHODIMP get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    STDMETHODIMP get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    STDMETHODIMP get_accState(VARIANT varChild, VARIANT* pvarState) override;
    STDMETHODIMP get_accFocus(VARIANT* pvarChild) override;
    STDMETHODIMP get_accSelection(VARIANT* pvarChildren) override;
    STDMETHODIMP accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild) override;
    STDMETHODIMP accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    STDMETHODIMP accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;

private:
    static constexpr int kSelf = -1;
    static constexpr int kInvalid = -2;
    int Count() const;
    // The item index a child id names, kSelf for the list, kInvalid otherwise.
    int ItemOf(const VARIANT& child) const;
    int NextItem(int start, UINT flags) const;
    CString ItemText(int item, int subItem) const;

    CString m_strName;
};
