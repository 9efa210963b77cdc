#include "framework/afxwin.h"

#include <commctrl.h>

#include <unordered_map>

#include "framework/afxdd.h"
#include "framework/afxgdi.h"

namespace {

// The windows attached on this thread (a window's messages arrive on the
// thread that made it): the object and the procedure it took over from. An
// entry whose object went before its window only passes messages on.
struct Attached {
    CWnd* wnd;
    WNDPROC super;
};
// The table is made with the thread's first attached window and freed with
// its last, so that nothing of it is left to tear down when the thread ends
// (windows can still be receiving messages while a thread's storage goes).
using AttachedTable = std::unordered_map<HWND, Attached>;
thread_local AttachedTable* t_attached = nullptr;

Attached* FindAttached(HWND hWnd)
{
    if (hWnd == nullptr || t_attached == nullptr)
        return nullptr;
    const auto found = t_attached->find(hWnd);
    return found == t_attached->end() ? nullptr : &found->second;
}

void AddAttached(HWND hWnd, const Attached& attached)
{
    if (t_attached == nullptr)
        t_attached = new AttachedTable;
    (*t_attached)[hWnd] = attached;
}

void RemoveAttached(HWND hWnd)
{
    if (t_attached == nullptr)
        return;
    t_attached->erase(hWnd);
    if (t_attached->empty()) {
        delete t_attached;
        t_attached = nullptr;
    }
}

thread_local AFX_CURRENT_MSG t_current = {};

// GetDlgItem and GetParent hand out objects for windows nobody has attached.
// They live in a small ring, valid until the ring comes round again, which is
// long enough for the comparisons and one-shot calls the program makes.
CWnd* TemporaryWnd(HWND hWnd)
{
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* attached = CWnd::FromHandlePermanent(hWnd))
        return attached;
    thread_local CWnd ring[16];
    thread_local unsigned next = 0;
    CWnd* wnd = &ring[next++ % 16];
    wnd->m_hWnd = hWnd;
    return wnd;
}

}  // namespace

const CWnd CWnd::wndTop;

const AFX_CURRENT_MSG& AfxGetCurrentMessage()
{
    return t_current;
}

void AfxNotePaintCycle()
{
    t_current.painted = true;
}

CWnd::~CWnd()
{
    // The window outlives a wrapper only when someone forgot to destroy it:
    // detach so its messages no longer reach a dead object. Unless another
    // subclass went on top of ours, the old procedure is put back.
    Attached* attached = FindAttached(m_hWnd);
    if (attached == nullptr || attached->wnd != this)
        return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == AttachedWndProc) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(attached->super));
        RemoveAttached(m_hWnd);
    } else {
        attached->wnd = nullptr;
    }
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr)
        return FALSE;
    if (Attached* attached = FindAttached(hWnd)) {
        if (attached->wnd != nullptr)
            return FALSE;
        attached->wnd = this;  // still subclassed from an earlier object
        m_hWnd = hWnd;
        return TRUE;
    }
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AttachedWndProc)));
    if (previous == nullptr)
        return FALSE;
    AddAttached(hWnd, {this, previous});
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (pParent == nullptr)
        return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    const Attached* attached = FindAttached(hWnd);
    return attached ? attached->wnd : nullptr;
}

HWND CWnd::AttachedChild(int nID) const
{
    if (m_hWnd == nullptr || t_attached == nullptr)
        return nullptr;
    for (const auto& [hWnd, attached] : *t_attached) {
        if (attached.wnd != nullptr && ::GetParent(hWnd) == m_hWnd && ::GetDlgCtrlID(hWnd) == nID)
            return hWnd;
    }
    return nullptr;
}

LRESULT CALLBACK CWnd::AttachedWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Attached* found = FindAttached(hWnd);
    if (found == nullptr)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    const Attached attached = *found;
    if (message == WM_NCDESTROY) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == AttachedWndProc)
            SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(attached.super));
        RemoveAttached(hWnd);
        if (attached.wnd)
            attached.wnd->m_hWnd = nullptr;
        return CallWindowProcW(attached.super, hWnd, message, wParam, lParam);
    }
    if (attached.wnd == nullptr)
        return CallWindowProcW(attached.super, hWnd, message, wParam, lParam);
    const AFX_CURRENT_MSG saved = t_current;
    t_current = {hWnd, message, wParam, lParam, false};
    const LRESULT result = attached.wnd->WindowProc(message, wParam, lParam);
    t_current = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The procedure the window had before it was attached.
    const Attached* attached = FindAttached(m_hWnd);
    if (attached == nullptr)
        return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    return CallWindowProcW(attached->super, m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const AFX_CURRENT_MSG& msg = t_current;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT key = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        key = WM_CTLCOLOR;
    else if (message >= WM_REFLECT_BASE + WM_CTLCOLORMSGBOX && message <= WM_REFLECT_BASE + WM_CTLCOLORSTATIC)
        key = WM_REFLECT_BASE + WM_CTLCOLOR;

    UINT code = 0;
    UINT id = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY && lParam != 0) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }

    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn != nullptr; ++e) {
            if (e->nMessage != key)
                continue;
            if ((message == WM_COMMAND || message == WM_NOTIFY) &&
                (e->nCode != code || id < e->nID || id > e->nLastID))
                continue;
            *pResult = e->pfn(this, wParam, lParam);
            return TRUE;
        }
    }
    return FALSE;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    using ThisClass = CWnd;
    static const AFX_MSGMAP_ENTRY entries[] = {
        ON_WM_DRAWITEM()
        ON_WM_CTLCOLOR()
        {0, 0, 0, 0, nullptr}
    };
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // Reflected messages are looked up in the control's own map.
    LRESULT result = 0;
    if (!OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, &result))
        return FALSE;
    if ((message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) && result == 0)
        return FALSE;  // a reflected colour handler that gives no brush leaves it to the parent
    if (pResult)
        *pResult = result;
    return TRUE;
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct != nullptr) {
        if (CWnd* control = FromHandlePermanent(lpDrawItemStruct->hwndItem)) {
            const AFX_CURRENT_MSG& msg = t_current;
            LRESULT result = 0;
            if (control->OnChildNotify(WM_DRAWITEM, msg.wParam, msg.lParam, &result))
                return;
        }
    }
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    const AFX_CURRENT_MSG& msg = t_current;
    if (pWnd != nullptr && pWnd != this) {
        if (CWnd* control = FromHandlePermanent(pWnd->m_hWnd)) {
            LRESULT result = 0;
            if (control->OnChildNotify(msg.message, msg.wParam, msg.lParam, &result))
                return reinterpret_cast<HBRUSH>(result);
        }
    }
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return TemporaryWnd(::GetDlgItem(m_hWnd, nID));
}

CWnd* CWnd::GetParent() const
{
    return TemporaryWnd(::GetParent(m_hWnd));
}

CWnd* CWnd::GetFocus()
{
    return TemporaryWnd(::GetFocus());
}

CWnd* CWnd::SetFocus()
{
    return TemporaryWnd(::SetFocus(m_hWnd));
}

BOOL CWnd::SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT flags)
{
    HWND after = pInsertAfter ? pInsertAfter->m_hWnd : nullptr;  // &wndTop is HWND_TOP (null)
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    const bool child = (GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_CHILD) != 0;
    HWND parent = child ? ::GetParent(m_hWnd) : nullptr;
    HWND center = pAlternateOwner ? pAlternateOwner->m_hWnd : child ? parent : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area;    // where the window has to stay, in the coordinates it is moved in
    RECT around;  // what it is centred on, in the same coordinates
    if (child) {
        ::GetClientRect(parent, &area);
        around = area;
        if (center != nullptr && center != parent) {
            ::GetWindowRect(center, &around);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&around), 2);
        }
    } else {
        if (center == ::GetDesktopWindow() || (center && (!::IsWindowVisible(center) || ::IsIconic(center))))
            center = nullptr;
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        if (!GetMonitorInfoW(MonitorFromWindow(center ? center : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        area = monitor.rcWork;
        around = area;
        if (center)
            ::GetWindowRect(center, &around);
    }
    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    if (!child) {
        // Inside the work area; a window larger than it keeps its top-left corner (and title bar) there.
        x = x + width > area.right ? area.right - width : x;
        y = y + height > area.bottom ? area.bottom - height : y;
        x = x < area.left ? area.left : x;
        y = y < area.top ? area.top : y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::GetWindowText(CString& text) const
{
    const int length = GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        text.Empty();
        return;
    }
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    text = CString(buffer);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

HBRUSH AfxCallCtlColor(CWnd* target, WPARAM wParam, LPARAM lParam,
                       HBRUSH (*call)(CWnd*, CDC*, CWnd*, UINT))
{
    UINT message = t_current.message;
    if (message >= WM_REFLECT_BASE)
        message -= WM_REFLECT_BASE;
    const UINT kind = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC
                          ? message - WM_CTLCOLORMSGBOX : CTLCOLOR_STATIC;
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    CWnd* from = TemporaryWnd(reinterpret_cast<HWND>(lParam));
    HBRUSH brush = call(target, &dc, from, kind);
    dc.Detach();
    return brush;
}

BOOL AfxCallEraseBkgnd(CWnd* target, WPARAM wParam, BOOL (*call)(CWnd*, CDC*))
{
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    const BOOL result = call(target, &dc);
    dc.Detach();
    return result;
}
