// CBitmapButtonEx: the owner-drawn push button of the main window.
//
// It paints one of two faces: the base class's state bitmaps with a caption
// on top (footer buttons), or a custom face of a solid background, a small
// icon and a word-wrapped caption (category buttons). It turns mouse hover
// into keyboard focus and reports focus gain, mouse presses and focus loss to
// its parent with the three private messages below (wParam: the sending
// button object, lParam 0). Assistive technology reads it as a push button
// named by its caption (CButtonAccessible) and is told when its pushed state
// or its caption changes.
#pragma once

#include <functional>

#include "framework/afxctl.h"
#include "ui/LayoutMetrics.h"

#define WM_BUTTON_DESCRIBE  (WM_USER + 10)  // posted: focus gained, or hovered while focused
#define WM_BUTTON_PRESS     (WM_USER + 11)  // sent: every left press and release, before the button's own
#define WM_BUTTON_LOSTFOCUS (WM_USER + 12)  // posted: focus lost

class CBitmapButtonEx : public CBitmapButton {
public:
    CBitmapButtonEx();
    ~CBitmapButtonEx() override;

    // --- Set by the dialog ---------------------------------------------------
    CString m_strText;                     // caption (not the window text)
    COLORREF m_crText = 0xFFFFFF;
    UINT m_nTextFormat = DT_WORDBREAK;     // DrawTextW format of the caption
    RECT m_rcTextMargins = {0, 0, 0, 0};   // left, top, right, bottom
    COLORREF m_crBackground = 0xFFFFFF;    // custom face; 0 also picks the selected icon
    int m_bBitmapFace = 0;                 // nonzero: state bitmaps; zero: custom face
    int m_bHasIcons = 0;                   // both icons below are loaded
    CBitmap m_bmpIconSelected;
    CBitmap m_bmpIconNormal;
    CFont* m_pFont;                        // owned: the custom face's caption font
    int m_bTracking = 0;                   // a mouse-leave notification is pending
    CString m_strDescription;              // what assistive technology reads as its description
    // Set by the owner: copies the custom face, as DrawFace draws it now, from
    // a composition that holds it onto the paint's DC; false when it holds
    // none. A paint that is served draws nothing itself.
    std::function<bool(CDC& dc)> m_serveFace;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    // Draws the custom face (background, icon and caption; no focus
    // rectangle) onto dc in `where`, exactly as the button's own paint does.
    void DrawFace(CDC& dc, const RECT& where);
    // What the custom face shows, to tell whether one drawn before still stands.
    struct FaceState {
        COLORREF background = 0;
        COLORREF text = 0;
        CString caption;
        UINT format = 0;
        RECT margins = {};
        int hasIcons = 0;
        bool operator==(const FaceState& other) const;
    };
    FaceState CurrentFace() const;
    // Tells assistive technology of a caption it has not heard yet, as the
    // paint that first shows it does.
    void AnnounceCaption();
    // Whether it has the keyboard focus, as its focus messages told it (what
    // GetFocus would answer, without asking Wine's server each time).
    bool HasFocus() const { return m_bHasFocus; }
    // The button's place in its parent's client area, as MoveWindow counts it
    // (from the right in a mirrored window): kept from its last move, asked of
    // the window when none was seen. Under Wine, asking where a control of a
    // mirrored window is costs a round trip to the server.
    bool GetPlace(RECT* rect) const;

    DECLARE_MESSAGE_MAP()

protected:
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    LRESULT OnNcHitTest(POINT point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetState(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);

private:
    void NotifyParent(UINT message, bool send);
    void KeepPushedAround(bool passToDefault);
    void PaintCustomFace();
    void DrawIconOn(CDC& dc, bool halftone);
    // Draws m_strText in box; wrapped captions are centred vertically, and
    // lifted one more pixel when `lift` is set.
    void DrawCaption(CDC& dc, RECT box, bool lift);
    void DrawFocusIfFocused();
    bool m_bPainting = false;
    bool m_bHasFocus = false;
    bool m_bPlaceKnown = false;
    RECT m_rcPlace = {};
    CString m_strAnnouncedText;  // the caption assistive technology was last told of

    // The custom face as drawn for the last two looks it had (a category
    // button is mostly selected or not), so that going back to one copies it
    // instead of drawing it again.
    struct KeptFace {
        FaceState face;
        HGDIOBJ font = nullptr;
        DWORD layout = 0;
        ButtonFaceMetricsTable metrics = {};
        CBitmap bitmap;
    };
    KeptFace* FindKeptFace(const FaceState& face, int width, int height, DWORD layout);
    KeptFace m_keptFaces[2];
    int m_nNextKeptFace = 0;  // the slot a new look takes
};
