#include "ui/ItemListCtrl.h"

#include "ui/accessibility/ItemListAccessible.h"

BEGIN_MESSAGE_MAP(CItemListCtrl, CListCtrl)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

LRESULT CItemListCtrl::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (CAccessibleProxy::AsksForClient(lParam)) {
        if (const LRESULT answer =
                CAccessibleProxy::Answer(new CItemListAccessible(m_hWnd, m_strAccessibleName), wParam))
            return answer;
    }
    return Default();
}
