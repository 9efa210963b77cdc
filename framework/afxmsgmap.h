// Message maps: a static table per class that binds messages to handlers and
// chains to the base class's table. Each entry carries a small function that
// unpacks the parameters and calls the handler with its usual signature.
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()                                       // void OnPaint()
//       ON_BN_CLICKED(IDC_X, OnX)                           // void OnX()
//   END_MESSAGE_MAP()
#pragma once

#include <windows.h>

class CWnd;
class CDC;

using AFX_PMSG = LRESULT (*)(CWnd* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message (WM_COMMAND / WM_NOTIFY match code and id too)
    UINT nCode;     // notification code
    UINT nID;       // first control id
    UINT nLastID;   // last control id
    AFX_PMSG pfn;   // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// All WM_CTLCOLOR* messages are looked up under this one pseudo message.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
// Messages reflected back to the control that caused them are looked up
// under their own number plus this base.
#define WM_REFLECT_BASE 0xBC00

#define DECLARE_MESSAGE_MAP()                                        \
public:                                                              \
    static const AFX_MSGMAP* GetThisMessageMap();                    \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                              \
    {                                                                            \
        using ThisClass = theClass;                                              \
        using TheBaseClass = baseClass;                                          \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                        \
            {0, 0, 0, 0, nullptr}                                                \
        };                                                                       \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                             \
    }

#define AFX_THIS(w) static_cast<ThisClass*>(w)
#define AFX_ENTRY(msg, code, id, last, body) \
    {msg, static_cast<UINT>(code), id, last, [](CWnd* w, WPARAM wParam, LPARAM lParam) -> LRESULT { \
        (void)w; (void)wParam; (void)lParam; body }},

// void OnPaint()
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, 0, 0, 0, AFX_THIS(w)->OnPaint(); return 0;)
// void OnClose()
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, 0, 0, 0, AFX_THIS(w)->OnClose(); return 0;)
// void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags), likewise the others
#define AFX_ON_KEY(msg, fn) AFX_ENTRY(msg, 0, 0, 0, AFX_THIS(w)->fn(static_cast<UINT>(wParam), \
    LOWORD(lParam), HIWORD(lParam)); return 0;)
#define ON_WM_KEYDOWN() AFX_ON_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_ON_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_SYSKEYDOWN() AFX_ON_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() AFX_ON_KEY(WM_SYSKEYUP, OnSysKeyUp)
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
#define ON_WM_CTLCOLOR() AFX_ENTRY(WM_CTLCOLOR, 0, 0, 0, \
    return AfxDispatchCtlColor(w, wParam, lParam, [](CWnd* t, CDC* dc, CWnd* from, UINT kind) { \
        return AFX_THIS(t)->OnCtlColor(dc, from, kind); });)
// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor), on the control, for its parent's WM_CTLCOLOR*
#define ON_WM_CTLCOLOR_REFLECT() AFX_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, \
    return AfxDispatchCtlColor(w, wParam, lParam, [](CWnd* t, CDC* dc, CWnd*, UINT kind) { \
        return AFX_THIS(t)->CtlColor(dc, kind); });)
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() AFX_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, \
    return reinterpret_cast<LRESULT>(AFX_THIS(w)->OnQueryDragIcon());)
// void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
#define ON_WM_ACTIVATE() AFX_ENTRY(WM_ACTIVATE, 0, 0, 0, \
    AFX_THIS(w)->OnActivate(LOWORD(wParam), CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam)), \
        HIWORD(wParam) ? TRUE : FALSE); return 0;)
// void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
#define ON_WM_DRAWITEM() AFX_ENTRY(WM_DRAWITEM, 0, 0, 0, \
    AFX_THIS(w)->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); return TRUE;)
// void OnSetFocus(CWnd* pOldWnd) / void OnKillFocus(CWnd* pNewWnd)
#define ON_WM_SETFOCUS() AFX_ENTRY(WM_SETFOCUS, 0, 0, 0, \
    AFX_THIS(w)->OnSetFocus(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(wParam))); return 0;)
#define ON_WM_KILLFOCUS() AFX_ENTRY(WM_KILLFOCUS, 0, 0, 0, \
    AFX_THIS(w)->OnKillFocus(CWnd::FromHandlePermanent(reinterpret_cast<HWND>(wParam))); return 0;)
// void OnLButtonDown(UINT nFlags, POINT point) / OnLButtonUp
#define AFX_ON_MOUSE(msg, fn) AFX_ENTRY(msg, 0, 0, 0, AFX_THIS(w)->fn(static_cast<UINT>(wParam), \
    POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}); return 0;)
#define ON_WM_LBUTTONDOWN() AFX_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
// LRESULT OnNcHitTest(POINT point), screen coordinates
#define ON_WM_NCHITTEST() AFX_ENTRY(WM_NCHITTEST, 0, 0, 0, return AFX_THIS(w)->OnNcHitTest( \
    POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});)
// BOOL OnEraseBkgnd(CDC* pDC)
#define ON_WM_ERASEBKGND() AFX_ENTRY(WM_ERASEBKGND, 0, 0, 0, \
    return AfxDispatchEraseBkgnd(w, wParam, [](CWnd* t, CDC* dc) { return AFX_THIS(t)->OnEraseBkgnd(dc); });)
// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(msg, fn) AFX_ENTRY(msg, 0, 0, 0, return AFX_THIS(w)->fn(wParam, lParam);)
// void fn(), for WM_COMMAND from control or menu id
#define ON_COMMAND(id, fn) AFX_ENTRY(WM_COMMAND, 0, id, id, AFX_THIS(w)->fn(); return 0;)
#define ON_BN_CLICKED(id, fn) AFX_ENTRY(WM_COMMAND, BN_CLICKED, id, id, AFX_THIS(w)->fn(); return 0;)
// void fn(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, fn) AFX_ENTRY(WM_NOTIFY, code, id, id, \
    LRESULT result = 0; AFX_THIS(w)->fn(reinterpret_cast<NMHDR*>(lParam), &result); return result;)

HBRUSH AfxCallCtlColor(CWnd* target, WPARAM wParam, LPARAM lParam,
                       HBRUSH (*call)(CWnd*, CDC*, CWnd*, UINT));
template <typename F>
LRESULT AfxDispatchCtlColor(CWnd* target, WPARAM wParam, LPARAM lParam, F call)
{
    return reinterpret_cast<LRESULT>(AfxCallCtlColor(target, wParam, lParam, call));
}
BOOL AfxCallEraseBkgnd(CWnd* target, WPARAM wParam, BOOL (*call)(CWnd*, CDC*));
template <typename F>
LRESULT AfxDispatchEraseBkgnd(CWnd* target, WPARAM wParam, F call)
{
    return AfxCallEraseBkgnd(target, wParam, call);
}
