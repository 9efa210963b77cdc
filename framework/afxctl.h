// Standard controls: CButton, CBitmapButton, CEdit.
#pragma once

#include "framework/afxgdi.h"
#include "framework/afxwin.h"

class CButton : public CWnd {
public:
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight); }
    // Owner-drawn buttons draw here; the parent reflects WM_DRAWITEM to it.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// An owner-drawn button painted from up to four bitmaps: up, down (selected),
// focused and disabled. It owns the bitmaps.
class CBitmapButton : public CButton {
public:
    // TRUE when the up bitmap loaded; the others are optional.
    BOOL LoadBitmaps(const wchar_t* up, const wchar_t* down = nullptr,
                     const wchar_t* focus = nullptr, const wchar_t* disabled = nullptr);
    // Attaches dialog control nID, loads the bitmaps named after its window
    // text followed by U, D, F and X, and sizes the control to the up bitmap.
    // FALSE when there is no up bitmap; the control stays attached.
    BOOL AutoLoad(UINT nID, CWnd* pParent);
    void SizeToContent();
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    // The bitmap for an item state: down when selected, else focused, else
    // disabled, each only if loaded; otherwise up.
    CBitmap& StateBitmap(UINT itemState);

    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};

class CEdit : public CWnd {
};
