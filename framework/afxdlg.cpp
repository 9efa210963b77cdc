#include "framework/afxdlg.h"

#include "framework/afxapp.h"
#include "framework/afxgdi.h"
#include "framework/afxres.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    // Only the dialog's initialisation passes through here; once it is
    // attached, every other message reaches the object through its subclass
    // first, and whatever comes on to this procedure is the dialog manager's.
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    if (dialog == nullptr || !dialog->SubclassWindow(hWnd))
        return TRUE;
    RECT before;
    ::GetWindowRect(hWnd, &before);
    const BOOL result = dialog->OnInitDialog();
    dialog->CenterIfNotPlaced(before);
    return result;
}

void CDialog::CenterIfNotPlaced(const RECT& before)
{
    // A dialog that is still hidden after its initialisation, is no child,
    // has not been moved and has no enabled owner (a modal dialog's owner is
    // disabled before it is created) appears centred.
    if (m_hWnd == nullptr || (GetWindowLongPtrW(m_hWnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)) != 0)
        return;
    RECT after;
    ::GetWindowRect(m_hWnd, &after);
    if (after.left != before.left || after.top != before.top)
        return;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && IsWindowEnabled(owner))
        return;
    CenterWindow();
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    m_nModalResult = -1;
    m_bModalRunning = true;
    const bool ownerWasEnabled = owner && !EnableWindow(owner, FALSE);
    // The template comes from the resource module; the window belongs to the
    // program, whose window classes it uses, wherever the resources live.
    HINSTANCE resources = AfxGetResourceHandle();
    HRSRC found = FindResourceW(resources, MAKEINTRESOURCEW(m_nIDTemplate), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(resources, found) : nullptr;
    const auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    HWND hWnd = dialogTemplate ? CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner,
                                                            DialogProc, reinterpret_cast<LPARAM>(this))
                               : nullptr;
    if (hWnd == nullptr) {
        if (ownerWasEnabled)
            EnableWindow(owner, TRUE);
        m_bModalRunning = false;
        return -1;
    }

    // The dialog may have ended already inside its initialisation.
    if (m_bModalRunning)
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
    MSG msg;
    while (m_bModalRunning) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (!AfxPreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (owner && ownerWasEnabled)
        SetActiveWindow(owner);
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bModalRunning = false;
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (m_hWnd == nullptr)
        return FALSE;
    return IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnPaint()
{
    // A paint cycle validates the update region, then the message goes on to
    // default processing. For WM_PAINT that processing is itself a paint
    // cycle, and the region is empty by then: one is enough. The first call
    // for a WM_PAINT always runs its cycle, which also ends a paint of the
    // frame alone or an internal one; after it, and while another message is
    // handled, a cycle runs only when there is something to validate (one
    // with nothing would do nothing, and a pending frame paint keeps its
    // WM_PAINT).
    const AFX_CURRENT_MSG& current = AfxGetCurrentMessage();
    const bool firstForPaint = current.message == WM_PAINT && !current.painted;
    if (firstForPaint || ::GetUpdateRect(m_hWnd, nullptr, FALSE)) {
        CPaintDC dc(this);
        AfxNotePaintCycle();
    }
    if (current.message != WM_PAINT)
        Default();
}
