// CWnd: a window handle with the framework's message dispatch.
//
// A CWnd does not own its window. Attaching (SubclassWindow, SubclassDlgItem,
// or a dialog's creation) subclasses the window so that its messages pass
// through the object's message map; whatever the map does not handle goes on
// to the window's own procedure, as does Default() from inside a handler.
// The subclass is removed when the window is destroyed. Attached windows are
// found from their handles in a table of the thread's own memory, since every
// message looks its window up.
#pragma once

#include <windows.h>

#include "framework/afxmsgmap.h"
#include "framework/afxstr.h"

class CDataExchange;
class CDC;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // --- Attaching -----------------------------------------------------------
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // The object attached to hWnd, or null when none is.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // This window's child of identifier nID that an object is attached to,
    // or null: found among the attached windows, without asking the window
    // manager for the list of children as GetDlgItem does.
    HWND AttachedChild(int nID) const;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // --- Message processing --------------------------------------------------
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Default processing of the message now being handled by this window.
    LRESULT Default();
    // Called on the control for messages its parent reflects back to it
    // (WM_DRAWITEM, WM_CTLCOLOR*); TRUE when the control handled it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // --- Data exchange -------------------------------------------------------
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // --- Thin wrappers -------------------------------------------------------
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::SendMessageW(m_hWnd, msg, wParam, lParam); }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    { return ::PostMessageW(m_hWnd, msg, wParam, lParam); }
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const;
    static CWnd* GetFocus();
    CWnd* SetFocus();
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void MoveWindow(int x, int y, int w, int h, BOOL bRepaint = TRUE)
    { ::MoveWindow(m_hWnd, x, y, w, h, bRepaint); }
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT flags);
    // Centres a child window on its parent's client area and a pop-up on its
    // owner, or, when it has none (or the owner is hidden or minimised), on the
    // work area of its monitor; a pop-up is kept inside that work area.
    // pAlternateOwner names another window to centre on (the desktop window:
    // the work area).
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessageW(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    BOOL RedrawWindow(const RECT* rect, HRGN region, UINT flags)
    { return ::RedrawWindow(m_hWnd, rect, region, flags); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    void SetFont(HFONT font, BOOL bRedraw = TRUE)
    { ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), bRedraw); }
    BOOL DestroyWindow();

    static const CWnd wndTop;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the map chain; TRUE with *pResult when handled.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

public:
    // Default handlers of the base map: reflection to the control first.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

private:
    static LRESULT CALLBACK AttachedWndProc(HWND, UINT, WPARAM, LPARAM);
};

// The message the calling thread is handling right now, for Default().
struct AFX_CURRENT_MSG {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool painted;  // a paint cycle has run for it (see CDialog::OnPaint)
};
const AFX_CURRENT_MSG& AfxGetCurrentMessage();
// Notes that a paint cycle has run for the current message.
void AfxNotePaintCycle();
