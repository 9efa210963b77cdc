// CItemListCtrl: the item list (control 155), a list view that assistive
// technology reads as a list named after its heading, with the items read by
// their names (CItemListAccessible).
//
// It paints in memory and shows the result with one BitBlt: the list view
// draws its background and items onto a copy of what the window shows, so
// the pixels come out as if drawn on the window, without the window server's
// round trips that drawing icons onto the window costs under Wine (three for
// each of the two display bitmaps every icon is drawn through).
#pragma once

#include "framework/afxcmn.h"
#include "framework/afxgdi.h"

class CItemListCtrl : public CListCtrl {
public:
    CString m_strAccessibleName;  // the list's name for assistive technology

    DECLARE_MESSAGE_MAP()

protected:
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaintMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);

private:
    bool m_bBeginning = false;     // inside BeginPaint of OnPaintMessage
    bool m_bErasePending = false;  // BeginPaint asked for the background
    CBitmap m_canvas;              // owned: the memory the list paints into, kept between paints
};
