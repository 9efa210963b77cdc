// Painting the main dialog: its paint handler is also its layout pass.
#include "app/KivanoDlg.h"

#include "app/StartupTrace.h"
#include "catalogue/CatalogueModel.h"
#include "framework/afxres.h"
#include "res/resource.h"
#include "ui/Canvas.h"
#include "ui/WindowComposition.h"
#include "ui/CaptionBox.h"
#include "ui/LayoutMetrics.h"


void CKivanoDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
        RECT rect;
        GetClientRect(&rect);
        const int x = (rect.right - rect.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rect.bottom - rect.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    if (m_bLayoutReady) {
        LayOutControls();

        // The header puts the selection bar on row 0 and the re-selection on
        // the category's row: the composition shows its parts once, at the
        // pass's end, with the bar on the last row. The list, arranged above
        // and refilled by the re-selection, is brought up to date once, after
        // both.
        m_composition.BeginPass();
        PaintStrips();
        PaintHeader();
        for (int k = 4; k >= 0; --k) {
            if (m_bCategoryPresent[k] && m_nRememberedCategory == k)
                OnCategoryButton(k);
        }
        m_composition.EndPass();
        m_listItems.UpdateWindow();
        UpdateWindow();
        MarkStartup(StartupFirstPaint);
    }
    CDialog::OnPaint();
}

void CKivanoDlg::LayOutControls()
{
    const LayoutMetricsTable& m = LayoutMetrics;
    PlaceControl(m_wndDescription, m.DescriptionTextLeft, m.DescriptionTextTop, m.DescriptionTextWidth,
                 m.DescriptionTextHeight);

    m_listItems.SetIconSpacing(m.IconSpacingX, m.IconSpacingY);
    PlaceControl(m_listItems, m.ListLeft, m.ColumnTop, m.ListWidth, m.ListHeight);
    m_listItems.Arrange(LVA_DEFAULT);

    // Present buttons stacked without holes.
    int y = m.ColumnTop;
    for (int k = 0; k < 5; ++k) {
        if (!m_bCategoryPresent[k])
            continue;
        PlaceControl(m_btnCategory[k], m.CategoryButtonLeft, y, m.CategoryButtonWidth, m.CategoryButtonHeight);
        y += m.CategoryButtonGap + m.CategoryButtonHeight;
    }
    PlaceControl(m_btnSupport, m.SupportButtonLeft, m.FooterTop, m.FooterButtonWidth, m.FooterButtonHeight);
    PlaceControl(m_btnHelp, m.HelpButtonLeft, m.FooterTop, m.FooterButtonWidth, m.FooterButtonHeight);
    PlaceControl(m_btnClose, m.CloseButtonLeft, m.FooterTop, m.FooterButtonWidth, m.FooterButtonHeight);
}

void CKivanoDlg::PlaceControl(CWnd& control, int x, int y, int w, int h)
{
    // A control already in place is left alone: moving a window to where it
    // is changes and repaints nothing, yet under Wine it still costs several
    // round trips to the window server, and every paint lays the window out.
    // Where this pass put a control last is kept: nothing else moves them.
    // Asking where a control is costs a round trip of its own in a mirrored
    // window under Wine, once the window has been resized (it then maps its
    // children's places through the server).
    const RECT wanted = {x, y, x + w, y + h};
    const int slot = control.GetDlgCtrlID() - IDC_ITEM_LIST;
    RECT* placed = slot >= 0 && slot < kPlacedControls ? &m_rcPlaced[slot] : nullptr;
    if (placed != nullptr && ::EqualRect(placed, &wanted))
        return;
    // The place is mapped as a rectangle: in a mirrored window that mapping
    // swaps its sides, so that its left is the control's left edge as
    // MoveWindow counts it, from the right (two single points would give the
    // right edge for the left).
    RECT now;
    bool there = false;
    if (::GetWindowRect(control.m_hWnd, &now)) {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
        there = ::EqualRect(&now, &wanted) != FALSE;
    }
    if (!there && !::MoveWindow(control.m_hWnd, x, y, w, h, TRUE))
        return;
    if (placed != nullptr)
        *placed = wanted;
}

void CKivanoDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    PaintStrips();
    CWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

HBRUSH CKivanoDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH brush = CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
    pDC->SetBkMode(OPAQUE);
    if (pWnd != nullptr && pWnd->m_hWnd == m_hWnd)
        return m_brBackground;
    return brush;
}

void CKivanoDlg::PaintStrips()
{
    // The base paint handling first: it validates what the window had to
    // paint, and its erase shows what the composition keeps. Then the title
    // strip, the wordmark and the footer images.
    CDialog::OnPaint();
    m_composition.Show(CWindowComposition::kStrips);
}

void CKivanoDlg::PaintHeader()
{
    m_composition.Show(CWindowComposition::kHeader);
    PaintSelectionBar(0);
}

void CKivanoDlg::PaintSelectionBar(int row)
{
    // The category buttons beside the bar are shown (or redraw themselves) with it.
    m_composition.SetBarRow(row);
    m_composition.Show(CWindowComposition::kBar | CWindowComposition::kButtons);
}

CWindowComposition::Scene CKivanoDlg::CompositionScene()
{
    CWindowComposition::Scene scene;
    scene.texts[0] = m_strTitle;
    scene.texts[1] = m_strSubtitle;
    scene.texts[2] = m_strCategoryHeading;
    scene.texts[3] = m_strContentsHeading;
    scene.headingFont = m_pHeadingFont ? static_cast<HFONT>(m_pHeadingFont->m_hObject) : nullptr;
    for (int k = 0; k < 5; ++k)
        scene.buttons[static_cast<size_t>(k)] = m_bCategoryPresent[k] ? &m_btnCategory[k] : nullptr;
    return scene;
}

void CKivanoDlg::SetUpCategoryButtons()
{
    for (int k = 0; k < 5; ++k) {
        if (!m_bCategoryPresent[k]) {
            ::ShowWindow(::GetDlgItem(m_hWnd, IDC_CATEGORY0 + k), SW_HIDE);
            continue;
        }
        CBitmapButtonEx& button = m_btnCategory[k];
        button.AutoLoad(IDC_CATEGORY0 + k, this);
        button.m_bBitmapFace = 0;
        if (LoadArtwork(button.m_bmpIconNormal, IDB_CATEGORY_ICON_BASE + 2 * k) &&
            LoadArtwork(button.m_bmpIconSelected, IDB_CATEGORY_ICON_BASE + 2 * k + 1))
            button.m_bHasIcons = 1;
        button.m_rcTextMargins = CategoryCaptionMargins(LayoutMetrics);
        button.m_strText = Categories[static_cast<size_t>(k)].Caption;
        button.m_strDescription = Categories[static_cast<size_t>(k)].Text;
        button.m_crText = 0x444444;
        button.m_serveFace = [this, k](CDC& dc) { return m_composition.ShowFace(k, dc); };
        button.SetFont(*m_pHeadingFont, TRUE);
    }
}

BOOL CKivanoDlg::OnEraseBkgnd(CDC* pDC)
{
    // Where the composition holds the decoration, the erase shows it; the
    // rest is erased with the dialog's brush.
    if (m_composition.Erase(pDC, [this] { Default(); }))
        return TRUE;
    return static_cast<BOOL>(Default());
}
