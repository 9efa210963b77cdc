// Choosing a category, and the description area following the mouse and focus.
#include "app/KivanoDlg.h"

#include "catalogue/CatalogueModel.h"

namespace {

// TME_CANCEL alone, as the selection asks for it. It names no kind of
// tracking, so it cancels nothing; under Wine it still costs six round trips
// to the server (the cursor and the window under it are looked up first), so
// it is asked only while the button has a leave notice of its own pending.
void CancelTracking(CBitmapButtonEx& button)
{
    if (button.m_bTracking) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_CANCEL, button.m_hWnd, 0};
        _TrackMouseEvent(&tme);
    }
    button.m_bTracking = 0;  // no leave notice is pending any more
}

}  // namespace

void CKivanoDlg::OnCategoryButton(int k)
{
    CBitmapButtonEx& button = m_btnCategory[k];
    CancelTracking(button);

    button.SendMessage(BM_SETSTATE, TRUE);
    button.m_crText = 0xFFFFFF;
    button.m_crBackground = 0x000000;
    for (int j = 0; j < 5; ++j) {
        if (j == k || !m_bCategoryPresent[j])
            continue;
        m_btnCategory[j].m_crText = 0x444444;
        m_btnCategory[j].m_crBackground = 0xFFFFFF;
        m_btnCategory[j].SendMessage(BM_SETSTATE, FALSE);
    }

    CurrentCategory = k;
    CurrentItem = -1;
    m_strDescription = Categories[static_cast<size_t>(k)].Text;
    FillItemList();
    m_listItems.SetSelectionMark(0);

    // Absent categories take no row beside the buttons.
    int row = 0;
    for (int j = 0; j < k; ++j) {
        if (m_bCategoryPresent[j])
            ++row;
    }
    PaintSelectionBar(row);
}

void CKivanoDlg::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    UpdateData(TRUE);
    const int index = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iItem;
    if (index != -1) {
        const CategoryInfo& category = Categories[static_cast<size_t>(CurrentCategory)];
        if (index >= 0 && index < static_cast<int>(category.Items.size())) {
            CurrentItem = index;
            m_strDescription = category.Items[static_cast<size_t>(index)].Description;
        }
    }
    UpdateData(FALSE);
    *pResult = 0;
}

int CKivanoDlg::CategoryOfSender(WPARAM sender) const
{
    for (int k = 0; k < 5; ++k) {
        if (sender == reinterpret_cast<WPARAM>(&m_btnCategory[k]))
            return k;
    }
    return -1;
}

LRESULT CKivanoDlg::OnButtonDescribe(WPARAM wParam, LPARAM)
{
    const int k = CategoryOfSender(wParam);
    if (k >= 0)
        m_strDescription = Categories[static_cast<size_t>(k)].Text;
    else if (wParam == reinterpret_cast<WPARAM>(&m_btnSupport))
        m_strDescription = SupportText;
    else if (wParam == reinterpret_cast<WPARAM>(&m_btnHelp))
        m_strDescription = HelpText;
    else if (wParam == reinterpret_cast<WPARAM>(&m_btnClose))
        m_strDescription = CloseText;
    UpdateData(FALSE);
    return 0;
}

LRESULT CKivanoDlg::OnButtonPress(WPARAM wParam, LPARAM)
{
    const int k = CategoryOfSender(wParam);
    if (k >= 0) {
        OnCategoryButton(k);
        m_nRememberedCategory = k;
    }
    return 0;
}

LRESULT CKivanoDlg::OnButtonLostFocus(WPARAM, LPARAM)
{
    // The selected category's button keeps its pushed look after the focus has left.
    for (int k = 0; k < 5; ++k) {
        CBitmapButtonEx& button = m_btnCategory[k];
        if (!m_bCategoryPresent[k] || !(button.GetState() & BST_PUSHED))
            continue;
        CancelTracking(button);
        button.SendMessage(BM_SETSTATE, TRUE);
    }
    return 0;
}
