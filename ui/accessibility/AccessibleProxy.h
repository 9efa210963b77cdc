// CAccessibleProxy: what assistive technology (screen readers, and UI
// Automation through its MSAA bridge) is given for a control's client area.
//
// It answers as the system's standard object for the window answers (its
// place, parent, focus, navigation), except for the role it is made with and
// whatever a derived class answers itself. A control hands one out from its
// WM_GETOBJECT handler with Answer(). Calls arrive on the window's own thread;
// once the window is gone every call fails as disconnected.
#pragma once

#include <windows.h>

#include <oleacc.h>

class CAccessibleProxy : public IAccessible, public IOleWindow {
public:
    // role 0: the standard object's role.
    explicit CAccessibleProxy(HWND hWnd, LONG role = 0);
    CAccessibleProxy(const CAccessibleProxy&) = delete;
    CAccessibleProxy& operator=(const CAccessibleProxy&) = delete;

    // The WM_GETOBJECT answer for OBJID_CLIENT: `object` (whose creation
    // reference is taken over) marshalled for the asker; 0 when that fails,
    // and the window then leaves the request to its default processing.
    static LRESULT Answer(CAccessibleProxy* object, WPARAM wParam);
    // Whether a WM_GETOBJECT's lParam asks for the client area.
    static bool AsksForClient(LPARAM lParam) { return static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT); }

    // --- IUnknown ------------------------------------------------------------
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // --- IDispatch: no type information --------------------------------------
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
    // --- IOleWindow ----------------------------------------------------------
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override;
    // --- IAccessible: the standard object's answers, the role excepted --------
    STDMETHODIMP get_accParent(IDispatch** ppdispParent) override;
    STDMETHODIMP get_accChildCount(long* pcountChildren) override;
    STDMETHODIMP get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    STDMETHODIMP get_accName(VARIANT varChild, BSTR* pszName) override;
    STDMETHODIMP get_accValue(VARIANT varChild, BSTR* pszValue) override;
    STDMETHODIMP get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    STDMETHODIMP get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    STDMETHODIMP get_accState(VARIANT varChild, VARIANT* pvarState) override;
    STDMETHODIMP get_accHelp(VARIANT varChild, BSTR* pszHelp) override;
    STDMETHODIMP get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* pvarChild) override;
    STDMETHODIMP get_accSelection(VARIANT* pvarChildren) override;
    STDMETHODIMP get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    STDMETHODIMP accSelect(long flagsSelect, VARIANT varChild) override;
    STDMETHODIMP accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild) override;
    STDMETHODIMP accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    STDMETHODIMP accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    STDMETHODIMP accDoDefaultAction(VARIANT varChild) override;
    STDMETHODIMP put_accName(VARIANT varChild, BSTR szName) override;
    STDMETHODIMP put_accValue(VARIANT varChild, BSTR szValue) override;

protected:
    virtual ~CAccessibleProxy();

    static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    // The window is still there (and the standard object was made).
    bool Alive() const { return m_pStandard != nullptr && IsWindow(m_hWnd); }
    // A text for the caller: S_OK with a copy, or S_FALSE and null when empty.
    static HRESULT ReturnText(const wchar_t* text, BSTR* out);
    // A number (a role, a state, a child id) for the caller, as S_OK.
    static HRESULT ReturnLong(LONG value, VARIANT* out);

    HWND m_hWnd;
    IAccessible* m_pStandard = nullptr;  // the system's object for the client area

private:
    LONG m_nRole;
    LONG m_cRef = 1;
};
