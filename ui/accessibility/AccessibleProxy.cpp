#include "ui/accessibility/AccessibleProxy.h"

namespace {

// What a call on an object whose window has gone gets.
constexpr HRESULT kGone = RPC_E_DISCONNECTED;

// oleacc is not one of the system's known DLLs: rather than imported, which
// would let a copy beside the program be loaded at start, it is loaded from
// the system folder on the first request and kept for the process's life.
struct OleaccEntries {
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
};

const OleaccEntries& Oleacc()
{
    static const OleaccEntries entries = [] {
        OleaccEntries found;
        if (HMODULE oleacc = LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
            found.createStdAccessibleObject = reinterpret_cast<decltype(&CreateStdAccessibleObject)>(
                reinterpret_cast<void*>(GetProcAddress(oleacc, "CreateStdAccessibleObject")));
            found.lresultFromObject = reinterpret_cast<decltype(&LresultFromObject)>(
                reinterpret_cast<void*>(GetProcAddress(oleacc, "LresultFromObject")));
        }
        return found;
    }();
    return entries;
}

}  // namespace

CAccessibleProxy::CAccessibleProxy(HWND hWnd, LONG role) : m_hWnd(hWnd), m_nRole(role)
{
    // The interface's own identifier: the IID_IAccessible symbol some import
    // libraries carry is not one every oleacc accepts.
    void* standard = nullptr;
    const OleaccEntries& oleacc = Oleacc();
    if (oleacc.createStdAccessibleObject && oleacc.lresultFromObject &&
        SUCCEEDED(oleacc.createStdAccessibleObject(hWnd, OBJID_CLIENT, __uuidof(IAccessible), &standard)))
        m_pStandard = static_cast<IAccessible*>(standard);
}

CAccessibleProxy::~CAccessibleProxy()
{
    if (m_pStandard)
        m_pStandard->Release();
}

LRESULT CAccessibleProxy::Answer(CAccessibleProxy* object, WPARAM wParam)
{
    // Handing the object to another thread or process marshals it, which
    // needs COM on this thread: the first request sets it up (apartment-
    // threaded, as a window's thread is) for the rest of the thread's life,
    // and the calls then arrive through this thread's message loop.
    thread_local bool comReady = false;
    if (!comReady) {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        comReady = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }
    LRESULT result = 0;
    if (comReady && object->m_pStandard != nullptr) {
        result = Oleacc().lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
        if (result < 0)
            result = 0;
    }
    object->Release();
    return result;
}

HRESULT CAccessibleProxy::ReturnText(const wchar_t* text, BSTR* out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (text == nullptr || *text == L'\0')
        return S_FALSE;
    *out = SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CAccessibleProxy::ReturnLong(LONG value, VARIANT* out)
{
    if (out == nullptr)
        return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

// --- IUnknown ----------------------------------------------------------------

STDMETHODIMP CAccessibleProxy::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible))
        *ppv = static_cast<IAccessible*>(this);
    else if (riid == __uuidof(IOleWindow))
        *ppv = static_cast<IOleWindow*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CAccessibleProxy::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
}

ULONG STDMETHODCALLTYPE CAccessibleProxy::Release()
{
    const LONG count = InterlockedDecrement(&m_cRef);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

// --- IDispatch ---------------------------------------------------------------

STDMETHODIMP CAccessibleProxy::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 0;
    return Alive() ? S_OK : kGone;
}

STDMETHODIMP CAccessibleProxy::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAccessibleProxy::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CAccessibleProxy::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

// --- IOleWindow --------------------------------------------------------------

STDMETHODIMP CAccessibleProxy::GetWindow(HWND* phwnd)
{
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = Alive() ? m_hWnd : nullptr;
    return *phwnd ? S_OK : kGone;
}

STDMETHODIMP CAccessibleProxy::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// --- IAccessible -------------------------------------------------------------

#define QV_FORWARD(call) return Alive() ? m_pStandard->call : kGone;

STDMETHODIMP CAccessibleProxy::get_accParent(IDispatch** p) { QV_FORWARD(get_accParent(p)) }
STDMETHODIMP CAccessibleProxy::get_accChildCount(long* p) { QV_FORWARD(get_accChildCount(p)) }
STDMETHODIMP CAccessibleProxy::get_accChild(VARIANT c, IDispatch** p) { QV_FORWARD(get_accChild(c, p)) }
STDMETHODIMP CAccessibleProxy::get_accName(VARIANT c, BSTR* p) { QV_FORWARD(get_accName(c, p)) }
STDMETHODIMP CAccessibleProxy::get_accValue(VARIANT c, BSTR* p) { QV_FORWARD(get_accValue(c, p)) }
STDMETHODIMP CAccessibleProxy::get_accDescription(VARIANT c, BSTR* p) { QV_FORWARD(get_accDescription(c, p)) }
STDMETHODIMP CAccessibleProxy::get_accState(VARIANT c, VARIANT* p) { QV_FORWARD(get_accState(c, p)) }
STDMETHODIMP CAccessibleProxy::get_accHelp(VARIANT c, BSTR* p) { QV_FORWARD(get_accHelp(c, p)) }
STDMETHODIMP CAccessibleProxy::get_accHelpTopic(BSTR* f, VARIANT c, long* t) { QV_FORWARD(get_accHelpTopic(f, c, t)) }
STDMETHODIMP CAccessibleProxy::get_accKeyboardShortcut(VARIANT c, BSTR* p) { QV_FORWARD(get_accKeyboardShortcut(c, p)) }
STDMETHODIMP CAccessibleProxy::get_accFocus(VARIANT* p) { QV_FORWARD(get_accFocus(p)) }
STDMETHODIMP CAccessibleProxy::get_accSelection(VARIANT* p) { QV_FORWARD(get_accSelection(p)) }
STDMETHODIMP CAccessibleProxy::get_accDefaultAction(VARIANT c, BSTR* p) { QV_FORWARD(get_accDefaultAction(c, p)) }
STDMETHODIMP CAccessibleProxy::accSelect(long f, VARIANT c) { QV_FORWARD(accSelect(f, c)) }
STDMETHODIMP CAccessibleProxy::accLocation(long* x, long* y, long* w, long* h, VARIANT c) { QV_FORWARD(accLocation(x, y, w, h, c)) }
STDMETHODIMP CAccessibleProxy::accNavigate(long d, VARIANT s, VARIANT* e) { QV_FORWARD(accNavigate(d, s, e)) }
STDMETHODIMP CAccessibleProxy::accHitTest(long x, long y, VARIANT* c) { QV_FORWARD(accHitTest(x, y, c)) }
STDMETHODIMP CAccessibleProxy::accDoDefaultAction(VARIANT c) { QV_FORWARD(accDoDefaultAction(c)) }
STDMETHODIMP CAccessibleProxy::put_accName(VARIANT c, BSTR s) { QV_FORWARD(put_accName(c, s)) }
STDMETHODIMP CAccessibleProxy::put_accValue(VARIANT c, BSTR s) { QV_FORWARD(put_accValue(c, s)) }

#undef QV_FORWARD

STDMETHODIMP CAccessibleProxy::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    if (!Alive())
        return kGone;
    if (m_nRole == 0 || !IsSelf(varChild))
        return m_pStandard->get_accRole(varChild, pvarRole);
    return ReturnLong(m_nRole, pvarRole);
}
