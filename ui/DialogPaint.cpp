// Painting the main dialog: its paint handler is also its layout pass.
#include "app/KivanoDlg.h"

#include "app/StartupTrace.h"
#include "catalogue/CatalogueModel.h"
#include "framework/afxres.h"
#include "res/resource.h"
#include "ui/Canvas.h"
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

        // The header paints the selection bar at row 0 and the re-selection
        // paints it at the category's row: only the last one is drawn. The
        // list, arranged above and refilled by the re-selection, is brought up
        // to date once, after both.
        const int outerRow = m_nPendingBarRow;
        m_nPendingBarRow = -1;
        PaintStrips();
        PaintHeader();
        for (int k = 4; k >= 0; --k) {
            if (m_bCategoryPresent[k] && m_nRememberedCategory == k)
                OnCategoryButton(k);
        }
        const int row = m_nPendingBarRow;
        m_nPendingBarRow = outerRow;
        if (row >= 0)
            PaintSelectionBar(row);
        m_listItems.UpdateWindow();
        UpdateWindow();
        MarkStartup(StartupFirstPaint);
    }
    CDialog::OnPaint();
}

void CKivanoDlg::PlaceControl(CWnd& control, int x, int y, int w, int h)
{
    // A control already in place is left alone: moving a window to where it
    // is changes and repaints nothing, yet under Wine it still costs several
    // round trips to the window server, and every paint lays the window out.
    RECT now;
    POINT corner[2];
    if (::GetWindowRect(control.m_hWnd, &now)) {
        corner[0] = {now.left, now.top};
        corner[1] = {now.right, now.bottom};
        if (::ScreenToClient(m_hWnd, &corner[0]) && ::ScreenToClient(m_hWnd, &corner[1]) && corner[0].x == x &&
            corner[0].y == y && corner[1].x - corner[0].x == w && corner[1].y - corner[0].y == h)
            return;
    }
    control.MoveWindow(x, y, w, h);
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
    // Each image is drawn as DrawBitmapResource draws it, the base paint
    // handling after each; one window DC serves all four.
    const LayoutMetricsTable& m = LayoutMetrics;
    struct Strip {
        UINT id;
        int x, y, w, h;
    };
    const Strip strips[] = {
        {IDB_TITLE_STRIP, 0, 0, m.ClientWidth - m.WordmarkWidth, m.TitleStripHeight},
        {IDB_WORDMARK, m.ClientWidth - m.WordmarkWidth, 0, m.WordmarkWidth, m.TitleStripHeight},
        {IDB_FOOTER_GRADIENT, 2 * m.FooterButtonWidth, m.FooterTop, m.ClientWidth - 3 * m.FooterButtonWidth - 2,
         m.FooterButtonHeight},
        {IDB_FOOTER_SEPARATOR, m.ClientWidth - m.FooterButtonWidth - 2, m.FooterTop, 2, m.FooterButtonHeight},
    };
    CClientDC window(this);
    for (const Strip& strip : strips) {
        DrawBitmapResourceOn(&window, strip.id, strip.x, strip.y, strip.w, strip.h, -1, -1);
        CDialog::OnPaint();
    }
}

void CKivanoDlg::DrawBitmapResource(UINT id, int x, int y, int w, int h, int wOverride, int hOverride)
{
    {
        CClientDC window(this);
        DrawBitmapResourceOn(&window, id, x, y, w, h, wOverride, hOverride);
    }
    CDialog::OnPaint();
}

void CKivanoDlg::DrawBitmapResourceOn(CDC* pDC, UINT id, int x, int y, int w, int h, int wOverride,
                                      int hOverride)
{
    // Loaded once, then stretched onto the DC at every paint.
    m_artwork.Draw(*pDC, id, x, y, wOverride >= 0 ? wOverride : w, hOverride >= 0 ? hOverride : h);
}

void CKivanoDlg::PaintHeader()
{
    const LayoutMetricsTable& m = LayoutMetrics;
    const int W = m.ClientWidth;
    const int H = m.HeaderHeight + m.HeaderBandHeight;
    {
        CClientDC window(this);
        CDC memory;
        CBitmap canvas;
        if (window.m_hDC && memory.CreateCompatibleDC(&window) && CreateCanvas(canvas, W, H)) {
            CSelect selectCanvas(memory, canvas.m_hObject);
            const int oldMemoryMode = memory.SetBkMode(TRANSPARENT);

            // Header panel, band and its line, in memory (shifted up by the title strip).
            memory.FillSolidRect(RECT{0, 0, W, m.HeaderHeight}, 0xE3EAE9);
            memory.FillSolidRect(RECT{0, m.HeaderHeight, W, H}, 0xD5DFDE);
            memory.FillSolidRect(RECT{0, H - 2, W, H - 1}, 0x9C9C9C);

            // Separator, footer band and its line, straight onto the window.
            const int separator = m.ColumnTop + m.ColumnHeight + 4;
            window.FillSolidRect(RECT{0, separator, W, separator + 1}, 0xD5DFDE);
            const int f = m.DescriptionTop + m.DescriptionHeight;
            window.FillSolidRect(RECT{0, f, W, f + m.HeaderBandHeight}, 0xD5DFDE);
            window.FillSolidRect(RECT{0, f + 1, W, f + 2}, 0x9C9C9C);

            DrawBitmapResourceOn(&window, IDB_INFO_SIGN, m.InfoIconLeft, m.InfoIconTop, m.InfoIconWidth,
                                 m.InfoIconHeight, -1, -1);
            DrawBitmapResourceOn(&memory, IDB_HEADER_PERSON, m.HeaderIconLeft, m.HeaderIconTop,
                                 m.HeaderIconWidth, m.HeaderIconHeight, -1, -1);

            // Texts, boxes in window coordinates moved into the memory bitmap.
            struct Text {
                const CString& text;
                COLORREF color;
                RECT box;
            };
            const int shift = m.TitleStripHeight;
            const Text texts[] = {
                {m_strTitle, 0x333333,
                 {m.HeaderTextLeft, m.TitleTextTop, W - m.HeaderTextLeft, m.TitleTextTop + m.HeaderTextLineHeight}},
                {m_strSubtitle, 0x444444,
                 {m.HeaderTextLeft, m.SubtitleTextTop, W - m.HeaderTextLeft,
                  m.SubtitleTextTop + m.HeaderTextLineHeight}},
                {m_strCategoryHeading, 0x444444,
                 {m.CategoryHeadingLeft, m.HeadingTextTop, m.CategoryHeadingLeft + m.HeadingTextWidth,
                  m.HeadingTextTop + m.HeaderBandHeight - 2}},
                {m_strContentsHeading, 0x444444,
                 {m.ContentsHeadingLeft, m.HeadingTextTop, m.ContentsHeadingLeft + m.HeadingTextWidth,
                  m.HeadingTextTop + m.HeaderBandHeight - 2}},
            };
            {
                CSelect selectFont(memory, m_pHeadingFont ? m_pHeadingFont->m_hObject : nullptr);
                const COLORREF oldColor = memory.SetTextColor(0x333333);
                for (const Text& t : texts) {
                    RECT box = {t.box.left, t.box.top - shift, t.box.right, t.box.bottom - shift};
                    memory.SetTextColor(t.color);
                    memory.DrawText(t.text, -1, &box, 0);
                }
                memory.SetTextColor(oldColor);
            }
            memory.SetBkMode(oldMemoryMode);
            window.BitBlt(0, m.TitleStripHeight, W, H, &memory, 0, 0, SRCCOPY);
        }
    }
    PaintSelectionBar(0);
}

void CKivanoDlg::PaintSelectionBar(int row)
{
    if (m_nPendingBarRow != kNoPendingBar) {
        m_nPendingBarRow = row;  // inside the paint handler's layout pass: drawn at its end
        return;
    }
    const LayoutMetricsTable& m = LayoutMetrics;
    {
        CClientDC window(this);
        CDC memory;
        CBitmap canvas;
        if (window.m_hDC && memory.CreateCompatibleDC(&window) &&
            CreateCanvas(canvas, m.SelectionBarWidth, m.ColumnHeight)) {
            CSelect selectCanvas(memory, canvas.m_hObject);
            memory.FillSolidRect(RECT{0, 0, m.SelectionBarWidth, m.ColumnHeight}, 0x9EB1B6);
            const int t = row * (m.CategoryButtonHeight + m.CategoryButtonGap);
            memory.FillSolidRect(RECT{0, t, m.SelectionBarWidth, t + m.CategoryButtonHeight}, 0x3D4B50);
            window.BitBlt(m.SelectionBarLeft, m.ColumnTop, m.SelectionBarWidth, m.ColumnHeight, &memory, 0, 0,
                          SRCCOPY);
        }
    }
    for (int k = 0; k < 5; ++k) {
        if (m_bCategoryPresent[k])
            m_btnCategory[k].RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
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
        button.SetFont(*m_pHeadingFont, TRUE);
    }
}
