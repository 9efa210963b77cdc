#include "framework/afxdlg.h"

#include "framework/afxapp.h"
#include "framework/afxgdi.h"
#include "framework/afxres.h"

#include <cstring>

namespace {

// Reads a dialog template front to back; a read past its end fails.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    size_t At() const { return m_at; }
    bool Skip(size_t bytes)
    {
        if (bytes > m_size - m_at)
            return false;
        m_at += bytes;
        return true;
    }
    template <typename T>
    bool Read(T& value)
    {
        if (sizeof(T) > m_size - m_at)
            return false;
        std::memcpy(&value, m_data + m_at, sizeof(T));
        m_at += sizeof(T);
        return true;
    }
    // A NUL-terminated string of WCHARs.
    bool SkipString()
    {
        WORD c = 0;
        do {
            if (!Read(c))
                return false;
        } while (c != 0);
        return true;
    }
    // A name-or-ordinal field: 0 (none), 0xFFFF and an ordinal, or a string.
    bool SkipNameOrOrdinal()
    {
        WORD first = 0;
        if (!Read(first))
            return false;
        if (first == 0xFFFF)
            return Skip(sizeof(WORD));
        m_at -= sizeof(WORD);
        return SkipString();
    }
    // Controls start on a DWORD boundary of the template.
    bool AlignToDword() { return Skip((4 - m_at % 4) % 4); }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
};

bool ProcessLaysOutRightToLeft()
{
    DWORD layout = 0;
    return ::GetProcessDefaultLayout(&layout) && (layout & LAYOUT_RTL) != 0;
}

}  // namespace

bool AfxAddControlExStyle(BYTE* dialogTemplate, size_t size, UINT id, DWORD exStyle)
{
    if (dialogTemplate == nullptr)
        return false;
    TemplateReader reader(dialogTemplate, size);
    WORD version = 0;
    WORD signature = 0;
    if (!reader.Read(version) || !reader.Read(signature))
        return false;
    const bool extended = version == 1 && signature == 0xFFFF;
    DWORD style = 0;
    WORD count = 0;
    if (extended) {
        if (!reader.Skip(2 * sizeof(DWORD)) || !reader.Read(style))  // help id, extended style
            return false;
    } else {
        std::memcpy(&style, dialogTemplate, sizeof(style));  // the two words just read
        if (!reader.Skip(sizeof(DWORD)))                      // extended style
            return false;
    }
    if (!reader.Read(count) || !reader.Skip(4 * sizeof(short)) || !reader.SkipNameOrOrdinal() ||
        !reader.SkipNameOrOrdinal() || !reader.SkipString())  // place, menu, class, title
        return false;
    if (style & DS_SETFONT) {
        if (!reader.Skip(extended ? 6 : 2) || !reader.SkipString())  // size (weight, italic, charset), face
            return false;
    }

    // Every control is read before any is changed.
    std::vector<size_t> matches;
    for (WORD i = 0; i < count; ++i) {
        if (!reader.AlignToDword())
            return false;
        const size_t exStyleAt = reader.At() + sizeof(DWORD);  // after the help id, or the style
        DWORD controlId = 0;
        if (extended) {
            if (!reader.Skip(3 * sizeof(DWORD) + 4 * sizeof(short)) || !reader.Read(controlId))
                return false;  // help id, extended style, style, place
        } else {
            WORD shortId = 0;
            if (!reader.Skip(2 * sizeof(DWORD) + 4 * sizeof(short)) || !reader.Read(shortId))
                return false;  // style, extended style, place
            controlId = shortId;
        }
        WORD extra = 0;
        if (!reader.SkipNameOrOrdinal() || !reader.SkipNameOrOrdinal() || !reader.Read(extra) ||
            !reader.Skip(extra))  // class, title, creation data
            return false;
        if (controlId == id)
            matches.push_back(exStyleAt);
    }
    for (const size_t at : matches) {
        DWORD value = 0;
        std::memcpy(&value, dialogTemplate + at, sizeof(value));
        value |= exStyle;
        std::memcpy(dialogTemplate + at, &value, sizeof(value));
    }
    return !matches.empty();
}

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
    // In a mirrored dialog the controls that read right to left are created
    // with that reading order (some controls, the edit control among them,
    // read it only at their creation): from a copy of the template that has it.
    std::vector<BYTE> copy;
    if (dialogTemplate && !m_rightToLeftReading.empty() && ProcessLaysOutRightToLeft()) {
        const auto* bytes = reinterpret_cast<const BYTE*>(dialogTemplate);
        copy.assign(bytes, bytes + SizeofResource(resources, found));
        bool changed = false;
        for (const UINT id : m_rightToLeftReading)
            changed = AfxAddControlExStyle(copy.data(), copy.size(), id, WS_EX_RTLREADING) || changed;
        if (changed)
            dialogTemplate = reinterpret_cast<const DLGTEMPLATE*>(copy.data());
    }
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
