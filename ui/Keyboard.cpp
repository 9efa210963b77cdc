// Enter presses whatever has the focus; the arrow keys step through the
// present categories.
#include "app/KivanoDlg.h"

#include "catalogue/CatalogueModel.h"
#include "res/resource.h"

void CKivanoDlg::OnOK()
{
    // The dialog has no IDOK control and no default button, so Enter always
    // arrives here, whichever control has the focus.
    HWND focus = ::GetFocus();
    const int id = focus ? ::GetDlgCtrlID(focus) : 0;
    if (id == IDC_ITEM_LIST) {
        LaunchSelectedItem();
    } else if (id >= IDC_CATEGORY0 && id <= IDC_CATEGORY4) {
        OnCategoryButton(id - IDC_CATEGORY0);
        m_nRememberedCategory = id - IDC_CATEGORY0;
    } else if (id == IDC_HELP_BUTTON) {
        OnHelpButton();
    } else if (id == IDC_SUPPORT_BUTTON) {
        OnSupportButton();
    } else if (id == IDC_CLOSE_BUTTON) {
        OnClose();
        CDialog::OnCancel();
    }
}

void CKivanoDlg::OnKeyDown(UINT nChar, UINT, UINT)
{
    int n = CurrentCategory;
    int step = 0;
    if (nChar == VK_LEFT || nChar == VK_UP)
        step = 4;  // previous, wrapping from 0 to 4
    else if (nChar == VK_RIGHT || nChar == VK_DOWN)
        step = 1;  // next, wrapping from 4 to 0
    if (step != 0) {
        int candidate = n;
        for (int tries = 0; tries < 5; ++tries) {
            candidate = (candidate + step) % 5;
            if (m_bCategoryPresent[candidate]) {
                n = candidate;
                break;
            }
        }
        CurrentCategory = n;
    }
    SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CATEGORY0 + n, BN_CLICKED), 0);
    if (CWnd* button = GetDlgItem(IDC_CATEGORY0 + n))
        button->SetFocus();
    Default();
}
