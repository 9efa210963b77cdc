// CItemListCtrl: the item list (control 155), a list view that assistive
// technology reads as a list named after its heading, with the items read by
// their names (CItemListAccessible).
#pragma once

#include "framework/afxcmn.h"

class CItemListCtrl : public CListCtrl {
public:
    CString m_strAccessibleName;  // the list's name for assistive technology

    DECLARE_MESSAGE_MAP()

protected:
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
};
