// Painting the main dialog: its paint handler is also its layout pass.
#include "app/KivanoDlg.h"

#include "app/StartupTrace.h"
#include "catalogue/CatalogueModel.h"
#include "framework/afxres.h"
#include "res/resource.h"
#include "ui/Canvas.h"
#include "ui/CaptionBox.h"
#include "ui/LayoutMetrics.h"

#include <array>
#include <cstring>
#include <vector>

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
        else if (m_nPendingParts != 0)
            ShowComposed(0);
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

namespace {

struct Strip {
    UINT id;
    RECT box;
};

// The images PaintStrips draws, in its order, each stretched to its box.
std::array<Strip, 4> StripsOf(const LayoutMetricsTable& m)
{
    const int gradientLeft = 2 * m.FooterButtonWidth;
    const int separatorLeft = m.ClientWidth - m.FooterButtonWidth - 2;
    const int footerBottom = m.FooterTop + m.FooterButtonHeight;
    return {{
        {IDB_TITLE_STRIP, {0, 0, m.ClientWidth - m.WordmarkWidth, m.TitleStripHeight}},
        {IDB_WORDMARK, {m.ClientWidth - m.WordmarkWidth, 0, m.ClientWidth, m.TitleStripHeight}},
        {IDB_FOOTER_GRADIENT,
         {gradientLeft, m.FooterTop, gradientLeft + m.ClientWidth - 3 * m.FooterButtonWidth - 2, footerBottom}},
        {IDB_FOOTER_SEPARATOR, {separatorLeft, m.FooterTop, separatorLeft + 2, footerBottom}},
    }};
}

// The lines the header paint draws below the columns, straight onto the
// window: the separator under the columns and the band above the footer.
RECT SeparatorBox(const LayoutMetricsTable& m)
{
    const int separator = m.ColumnTop + m.ColumnHeight + 4;
    return {0, separator, m.ClientWidth, separator + 1};
}

RECT FooterBandBox(const LayoutMetricsTable& m)
{
    const int band = m.DescriptionTop + m.DescriptionHeight;
    return {0, band, m.ClientWidth, band + m.HeaderBandHeight};
}

}  // namespace

void CKivanoDlg::PaintStrips()
{
    // Each image is drawn as DrawBitmapResource draws it, the base paint
    // handling after each; one window DC serves all four. From the back
    // buffer they are all shown at once.
    const std::array<Strip, 4> strips = StripsOf(LayoutMetrics);
    if (ShowComposed(kComposedStrips)) {
        for (size_t i = 0; i < strips.size(); ++i)
            CDialog::OnPaint();
        return;
    }
    CClientDC window(this);
    for (const Strip& strip : strips) {
        const RECT& b = strip.box;
        DrawBitmapResourceOn(&window, strip.id, b.left, b.top, b.right - b.left, b.bottom - b.top, -1, -1);
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
    if (!ShowComposed(kComposedHeader)) {
        CClientDC window(this);
        if (window.m_hDC)
            DrawHeaderOn(window);
    }
    PaintSelectionBar(0);
}

void CKivanoDlg::DrawHeaderOn(CDC& window)
{
    const LayoutMetricsTable& m = LayoutMetrics;
    const int W = m.ClientWidth;
    const int H = m.HeaderHeight + m.HeaderBandHeight;
    {
        CDC memory;
        CBitmap canvas;
        if (memory.CreateCompatibleDC(&window) && CreateCanvas(canvas, W, H)) {
            CSelect selectCanvas(memory, canvas.m_hObject);
            const int oldMemoryMode = memory.SetBkMode(TRANSPARENT);

            // Header panel, band and its line, in memory (shifted up by the title strip).
            memory.FillSolidRect(RECT{0, 0, W, m.HeaderHeight}, 0xE3EAE9);
            memory.FillSolidRect(RECT{0, m.HeaderHeight, W, H}, 0xD5DFDE);
            memory.FillSolidRect(RECT{0, H - 2, W, H - 1}, 0x9C9C9C);

            // Separator, footer band and its line, straight onto the window.
            window.FillSolidRect(SeparatorBox(m), 0xD5DFDE);
            const RECT band = FooterBandBox(m);
            window.FillSolidRect(band, 0xD5DFDE);
            window.FillSolidRect(RECT{0, band.top + 1, W, band.top + 2}, 0x9C9C9C);

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
}

void CKivanoDlg::PaintSelectionBar(int row)
{
    if (m_nPendingBarRow != kNoPendingBar) {
        m_nPendingBarRow = row;  // inside the paint handler's layout pass: drawn at its end
        return;
    }
    m_nBarRow = row;
    // A button whose face the composition just showed has had its redraw:
    // it holds the face as the button's own paint draws it.
    unsigned served = 0;
    if (ShowComposed(kComposedBar | kComposedButtons)) {
        served = m_nComposedButtons;
    } else {
        CClientDC window(this);
        if (window.m_hDC)
            DrawSelectionBarOn(window, row);
    }
    // While the dialog is hidden (it initialises) a redraw paints nothing:
    // none is asked for.
    const bool shown = ::IsWindowVisible(m_hWnd) != FALSE;
    for (int k = 0; k < 5; ++k) {
        if (!m_bCategoryPresent[k])
            continue;
        if (served & (1u << k))
            m_btnCategory[k].AnnounceCaption();
        else if (shown)
            m_btnCategory[k].RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void CKivanoDlg::DrawSelectionBarOn(CDC& target, int row)
{
    const LayoutMetricsTable& m = LayoutMetrics;
    CDC memory;
    CBitmap canvas;
    if (memory.CreateCompatibleDC(&target) && CreateCanvas(canvas, m.SelectionBarWidth, m.ColumnHeight)) {
        CSelect selectCanvas(memory, canvas.m_hObject);
        memory.FillSolidRect(RECT{0, 0, m.SelectionBarWidth, m.ColumnHeight}, 0x9EB1B6);
        const int t = row * (m.CategoryButtonHeight + m.CategoryButtonGap);
        memory.FillSolidRect(RECT{0, t, m.SelectionBarWidth, t + m.CategoryButtonHeight}, 0x3D4B50);
        target.BitBlt(m.SelectionBarLeft, m.ColumnTop, m.SelectionBarWidth, m.ColumnHeight, &memory, 0, 0, SRCCOPY);
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
        button.m_serveFace = [this, k](CDC& dc) { return ServeButtonPaint(k, dc); };
        button.SetFont(*m_pHeadingFont, TRUE);
    }
}

// --- The composition ---------------------------------------------------------
// What the dialog draws itself goes to its back buffer first and is shown
// from there with one BitBlt; a paint with no buffer (it could not be made)
// draws straight onto the window as the operations above describe.

bool CKivanoDlg::PrepareComposition()
{
    // Three areas hold what the window draws itself: the band above the
    // columns, the category buttons and the bar, the band below the columns.
    // Each of the window's drawing operations lies wholly inside one of them.
    const LayoutMetricsTable& m = LayoutMetrics;
    RECT client;
    GetClientRect(&client);
    const std::vector<RECT> areas = {
        {0, 0, client.right, m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight},
        {0, m.ColumnTop, m.SelectionBarLeft + m.SelectionBarWidth, m.ColumnTop + m.ColumnHeight},
        {0, m.ColumnTop + m.ColumnHeight + 4, client.right, client.bottom},
    };
    const CString texts =
        m_strTitle + L"\n" + m_strSubtitle + L"\n" + m_strCategoryHeading + L"\n" + m_strContentsHeading;
    bool made = false;
    if (!m_backBuffer.Ensure(areas, &made)) {
        m_nComposedParts = 0;
        return false;
    }
    // The decoration changes only with the layout (size, DPI) and its texts.
    if (!made && m_nComposedParts != 0 && texts == m_strComposedTexts &&
        std::memcmp(&m_composedMetrics, &LayoutMetrics, sizeof(LayoutMetricsTable)) == 0)
        return true;
    m_nComposedParts = 0;
    m_nComposedBarRow = -1;
    for (ComposedFace& composed : m_composedFaces)
        composed.drawn = false;
    const auto decoration = [this](CDC& buffer) {
        for (const Strip& strip : StripsOf(LayoutMetrics)) {
            const RECT& b = strip.box;
            DrawBitmapResourceOn(&buffer, strip.id, b.left, b.top, b.right - b.left, b.bottom - b.top, -1, -1);
        }
        DrawHeaderOn(buffer);
    };
    // The decoration lies in the bands above and below the columns.
    const bool drawn = m_backBuffer.Draw(decoration, &areas.front()) && m_backBuffer.Draw(decoration, &areas.back());
    if (!drawn)
        return false;
    m_artwork.Clear();  // what was drawn from it is in the buffer now
    m_composedMetrics = LayoutMetrics;
    m_strComposedTexts = texts;
    m_nComposedParts = kComposedStrips | kComposedHeader;
    return true;
}

void CKivanoDlg::ComposeBarAndButtons()
{
    // Only what changed since it was last drawn is drawn again. A face goes
    // into the buffer only where the layout puts the buttons, beside the bar,
    // so that it never covers the decoration there; the focus rectangle goes
    // over the focused button's face, as the button's own paint draws it.
    const LayoutMetricsTable& m = LayoutMetrics;
    const RECT column = {0, m.ColumnTop, m.SelectionBarLeft, m.ColumnTop + m.ColumnHeight};
    const RECT bar = {m.SelectionBarLeft, m.ColumnTop, m.SelectionBarLeft + m.SelectionBarWidth,
                      m.ColumnTop + m.ColumnHeight};
    if (m_nComposedBarRow != m_nBarRow) {
        m_backBuffer.Draw([this](CDC& buffer) { DrawSelectionBarOn(buffer, m_nBarRow); }, &bar);
        m_nComposedBarRow = m_nBarRow;
    }
    const HWND focus = ::GetFocus();
    m_nComposedButtons = 0;
    for (int k = 0; k < 5; ++k) {
        CBitmapButtonEx& button = m_btnCategory[k];
        ComposedFace& composed = m_composedFaces[k];
        RECT r;
        RECT inside;
        if (!m_bCategoryPresent[k] || button.m_hWnd == nullptr || !::GetWindowRect(button.m_hWnd, &r))
            continue;
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        if (!::IntersectRect(&inside, &r, &column) || !::EqualRect(&inside, &r))
            continue;
        const bool focused = focus == button.m_hWnd;
        const CBitmapButtonEx::FaceState face = button.CurrentFace();
        if (!composed.drawn || !(composed.face == face) || !::EqualRect(&composed.box, &r) ||
            composed.focused != focused) {
            composed.drawn = m_backBuffer.Draw(
                [&](CDC& buffer) {
                    button.DrawFace(buffer, r);
                    if (focused)
                        ::DrawFocusRect(buffer, &r);
                },
                &r);
            composed.face = face;
            composed.box = r;
            composed.focused = focused;
        }
        if (composed.drawn)
            m_nComposedButtons |= 1u << k;
    }
    m_nComposedParts |= kComposedBar | kComposedButtons;
}

bool CKivanoDlg::ServeButtonPaint(int k, CDC& dc)
{
    // A redraw after a state change serves itself from the composition when
    // that already holds the button's face as it is now.
    const ComposedFace& composed = m_composedFaces[k];
    CBitmapButtonEx& button = m_btnCategory[k];
    RECT r;
    if (m_bPaintDirect || !composed.drawn || composed.focused || !(composed.face == button.CurrentFace()) ||
        !::GetWindowRect(button.m_hWnd, &r))
        return false;
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return ::EqualRect(&r, &composed.box) && m_backBuffer.CopyTo(dc, r, 0, 0);
}

HRGN CKivanoDlg::ComposedRegion(unsigned parts) const
{
    const LayoutMetricsTable& m = LayoutMetrics;
    std::vector<RECT> boxes;
    if (parts & kComposedStrips) {
        for (const Strip& strip : StripsOf(m))
            boxes.push_back(strip.box);
    }
    if (parts & kComposedHeader) {
        boxes.push_back({0, m.TitleStripHeight, m.ClientWidth,
                         m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight});
        boxes.push_back(SeparatorBox(m));
        boxes.push_back(FooterBandBox(m));
        boxes.push_back({m.InfoIconLeft, m.InfoIconTop, m.InfoIconLeft + m.InfoIconWidth,
                         m.InfoIconTop + m.InfoIconHeight});
    }
    if (parts & kComposedBar)
        boxes.push_back({m.SelectionBarLeft, m.ColumnTop, m.SelectionBarLeft + m.SelectionBarWidth,
                         m.ColumnTop + m.ColumnHeight});
    for (int k = 0; k < 5 && (parts & kComposedButtons); ++k) {
        RECT r;
        if ((m_nComposedButtons & (1u << k)) && ::GetWindowRect(m_btnCategory[k].m_hWnd, &r)) {
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            boxes.push_back(r);
        }
    }
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    for (const RECT& box : boxes) {
        HRGN part = ::CreateRectRgnIndirect(&box);
        if (region && part)
            ::CombineRgn(region, region, part, RGN_OR);
        if (part)
            ::DeleteObject(part);
    }
    return region;
}

bool CKivanoDlg::ShowComposed(unsigned parts)
{
    // While the dialog initialises, nothing is in its place yet, and the
    // window not shown: it is drawn on directly, as before it has a buffer.
    if (m_bPaintDirect || !m_bLayoutReady || !PrepareComposition())
        return false;
    if (m_nPendingBarRow != kNoPendingBar) {
        m_nPendingParts |= parts;  // inside a layout pass: shown once, at its end
        return true;
    }
    parts |= m_nPendingParts;
    m_nPendingParts = 0;
    if (parts & (kComposedBar | kComposedButtons))
        ComposeBarAndButtons();
    CClientDC window(this);
    const HRGN region = ComposedRegion(parts);
    if (window.m_hDC && region)
        m_backBuffer.Show(window, region);
    if (region)
        ::DeleteObject(region);
    return true;
}

BOOL CKivanoDlg::OnEraseBkgnd(CDC* pDC)
{
    // Where the buffer holds the decoration (and the bar), the erase shows it
    // rather than the white background the decoration would be drawn over:
    // nothing flickers, and a part of the window uncovered on its own gets
    // its decoration back. The rest is erased with the dialog's brush.
    if (m_bPaintDirect || !m_bLayoutReady || pDC == nullptr || ::WindowFromDC(pDC->m_hDC) != m_hWnd ||
        !PrepareComposition())
        return static_cast<BOOL>(Default());
    const HRGN region = ComposedRegion(m_nComposedParts & (kComposedStrips | kComposedHeader | kComposedBar));
    if (region == nullptr)
        return static_cast<BOOL>(Default());
    const int saved = ::SaveDC(pDC->m_hDC);
    ::ExtSelectClipRgn(pDC->m_hDC, region, RGN_DIFF);
    Default();
    ::RestoreDC(pDC->m_hDC, saved);
    m_backBuffer.Show(*pDC, region);
    ::DeleteObject(region);
    return TRUE;
}
