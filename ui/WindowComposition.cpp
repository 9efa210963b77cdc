#include "ui/WindowComposition.h"

#include <array>
#include <cstring>
#include <vector>

#include "res/resource.h"
#include "ui/Canvas.h"

namespace {

struct Strip {
    UINT id;
    RECT box;
};

// The strips, in the order they are drawn, each stretched to its box.
std::array<Strip, CWindowComposition::kStripCount> StripsOf(const LayoutMetricsTable& m)
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

// The lines the header draws below the columns, straight onto the target:
// the separator under the columns and the band above the footer.
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

// --- The drawing routines -----------------------------------------------------

void CWindowComposition::DrawArtwork(CDC& dc, UINT id, int x, int y, int w, int h)
{
    // Loaded once, then stretched onto the DC at every draw. In a mirrored
    // window the pictures (the maker's wordmark, the header's person, the
    // information sign) keep their orientation at their mirrored places; the
    // strips and footer images are shading and mirror with the window.
    const bool picture = id == IDB_WORDMARK || id == IDB_HEADER_PERSON || id == IDB_INFO_SIGN;
    m_artwork.Draw(dc, id, x, y, w, h, picture);
}

void CWindowComposition::DrawStrip(CDC& dc, int i)
{
    const Strip strip = StripsOf(LayoutMetrics)[static_cast<size_t>(i)];
    const RECT& b = strip.box;
    DrawArtwork(dc, strip.id, b.left, b.top, b.right - b.left, b.bottom - b.top);
}

void CWindowComposition::DrawHeader(CDC& window)
{
    const LayoutMetricsTable& m = LayoutMetrics;
    const int W = m.ClientWidth;
    const int H = m.HeaderHeight + m.HeaderBandHeight;
    CDC memory;
    CBitmap canvas;
    if (!memory.CreateCompatibleDC(&window) || !CreateCanvas(canvas, W, H))
        return;
    CSelect selectCanvas(memory, canvas.m_hObject);
    MatchLayout(memory, window);
    const int oldMemoryMode = memory.SetBkMode(TRANSPARENT);

    // Header panel, band and its line, in memory (shifted up by the title strip).
    memory.FillSolidRect(RECT{0, 0, W, m.HeaderHeight}, 0xE3EAE9);
    memory.FillSolidRect(RECT{0, m.HeaderHeight, W, H}, 0xD5DFDE);
    memory.FillSolidRect(RECT{0, H - 2, W, H - 1}, 0x9C9C9C);

    // Separator, footer band and its line, straight onto the target.
    window.FillSolidRect(SeparatorBox(m), 0xD5DFDE);
    const RECT band = FooterBandBox(m);
    window.FillSolidRect(band, 0xD5DFDE);
    window.FillSolidRect(RECT{0, band.top + 1, W, band.top + 2}, 0x9C9C9C);

    DrawArtwork(window, IDB_INFO_SIGN, m.InfoIconLeft, m.InfoIconTop, m.InfoIconWidth, m.InfoIconHeight);
    DrawArtwork(memory, IDB_HEADER_PERSON, m.HeaderIconLeft, m.HeaderIconTop, m.HeaderIconWidth,
                m.HeaderIconHeight);

    // Texts, boxes in window coordinates moved into the memory bitmap.
    struct Text {
        const CString& text;
        COLORREF color;
        RECT box;
    };
    const int shift = m.TitleStripHeight;
    const Text texts[] = {
        {*m_scene.texts[0], 0x333333,
         {m.HeaderTextLeft, m.TitleTextTop, W - m.HeaderTextLeft, m.TitleTextTop + m.HeaderTextLineHeight}},
        {*m_scene.texts[1], 0x444444,
         {m.HeaderTextLeft, m.SubtitleTextTop, W - m.HeaderTextLeft, m.SubtitleTextTop + m.HeaderTextLineHeight}},
        {*m_scene.texts[2], 0x444444,
         {m.CategoryHeadingLeft, m.HeadingTextTop, m.CategoryHeadingLeft + m.HeadingTextWidth,
          m.HeadingTextTop + m.HeaderBandHeight - 2}},
        {*m_scene.texts[3], 0x444444,
         {m.ContentsHeadingLeft, m.HeadingTextTop, m.ContentsHeadingLeft + m.HeadingTextWidth,
          m.HeadingTextTop + m.HeaderBandHeight - 2}},
    };
    {
        const CFont* font = *m_scene.headingFont;
        CSelect selectFont(memory, font ? font->m_hObject : nullptr);
        const COLORREF oldColor = memory.SetTextColor(0x333333);
        for (const Text& t : texts) {
            RECT box = {t.box.left, t.box.top - shift, t.box.right, t.box.bottom - shift};
            memory.SetTextColor(t.color);
            memory.DrawText(t.text, -1, &box, ReadingOrderFlag(memory));
        }
        memory.SetTextColor(oldColor);
    }
    memory.SetBkMode(oldMemoryMode);
    window.BitBlt(0, m.TitleStripHeight, W, H, &memory, 0, 0, SRCCOPY);
}

void CWindowComposition::DrawBar(CDC& target, int row)
{
    const LayoutMetricsTable& m = LayoutMetrics;
    CDC memory;
    CBitmap canvas;
    if (!memory.CreateCompatibleDC(&target) || !CreateCanvas(canvas, m.SelectionBarWidth, m.ColumnHeight))
        return;
    CSelect selectCanvas(memory, canvas.m_hObject);
    MatchLayout(memory, target);
    memory.FillSolidRect(RECT{0, 0, m.SelectionBarWidth, m.ColumnHeight}, 0x9EB1B6);
    const int t = row * (m.CategoryButtonHeight + m.CategoryButtonGap);
    memory.FillSolidRect(RECT{0, t, m.SelectionBarWidth, t + m.CategoryButtonHeight}, 0x3D4B50);
    target.BitBlt(m.SelectionBarLeft, m.ColumnTop, m.SelectionBarWidth, m.ColumnHeight, &memory, 0, 0, SRCCOPY);
}

// --- The back buffer ----------------------------------------------------------

bool CWindowComposition::Prepare()
{
    // Three areas hold what the window draws itself: the band above the
    // columns, the category buttons and the bar, the band below the columns.
    // Each of the drawing operations above lies wholly inside one of them.
    const LayoutMetricsTable& m = LayoutMetrics;
    RECT client;
    m_scene.window->GetClientRect(&client);
    const std::vector<RECT> areas = {
        {0, 0, client.right, m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight},
        {0, m.ColumnTop, m.SelectionBarLeft + m.SelectionBarWidth, m.ColumnTop + m.ColumnHeight},
        {0, m.ColumnTop + m.ColumnHeight + 4, client.right, client.bottom},
    };
    const CString texts =
        *m_scene.texts[0] + L"\n" + *m_scene.texts[1] + L"\n" + *m_scene.texts[2] + L"\n" + *m_scene.texts[3];
    // A mirrored window's buffer is laid out as the window's DC is.
    const DWORD layout = (::GetWindowLongW(m_scene.window->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? LAYOUT_RTL : 0;
    bool made = false;
    if (!m_backBuffer.Ensure(areas, layout, &made)) {
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
        for (int i = 0; i < kStripCount; ++i)
            DrawStrip(buffer, i);
        DrawHeader(buffer);
    };
    // The decoration lies in the bands above and below the columns.
    if (!m_backBuffer.Draw(decoration, &areas.front()) || !m_backBuffer.Draw(decoration, &areas.back()))
        return false;
    m_artwork.Clear();  // what was drawn from it is in the buffer now
    m_composedMetrics = LayoutMetrics;
    m_strComposedTexts = texts;
    m_nComposedParts = kStrips | kHeader;
    return true;
}

void CWindowComposition::ComposeBarAndButtons()
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
        m_backBuffer.Draw([this](CDC& buffer) { DrawBar(buffer, m_nBarRow); }, &bar);
        m_nComposedBarRow = m_nBarRow;
    }
    const HWND focus = ::GetFocus();
    m_nComposedButtons = 0;
    for (int k = 0; k < 5; ++k) {
        CBitmapButtonEx& button = m_scene.buttons[k];
        ComposedFace& composed = m_composedFaces[k];
        RECT r;
        RECT inside;
        if (!m_scene.present[k] || button.m_hWnd == nullptr || !button.GetPlace(&r))
            continue;
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
    m_nComposedParts |= kBar | kButtons;
}

bool CWindowComposition::ServeButtonPaint(int k, CDC& dc)
{
    // A redraw after a state change serves itself from the composition when
    // that already holds the button's face as it is now.
    const ComposedFace& composed = m_composedFaces[k];
    CBitmapButtonEx& button = m_scene.buttons[k];
    RECT r;
    if (m_bDirect || !composed.drawn || composed.focused || !(composed.face == button.CurrentFace()) ||
        !button.GetPlace(&r))
        return false;
    return ::EqualRect(&r, &composed.box) && m_backBuffer.CopyTo(dc, r, 0, 0);
}

HRGN CWindowComposition::Region(unsigned parts) const
{
    const LayoutMetricsTable& m = LayoutMetrics;
    std::vector<RECT> boxes;
    if (parts & kStrips) {
        for (const Strip& strip : StripsOf(m))
            boxes.push_back(strip.box);
    }
    if (parts & kHeader) {
        boxes.push_back({0, m.TitleStripHeight, m.ClientWidth,
                         m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight});
        boxes.push_back(SeparatorBox(m));
        boxes.push_back(FooterBandBox(m));
        boxes.push_back({m.InfoIconLeft, m.InfoIconTop, m.InfoIconLeft + m.InfoIconWidth,
                         m.InfoIconTop + m.InfoIconHeight});
    }
    if (parts & kBar)
        boxes.push_back({m.SelectionBarLeft, m.ColumnTop, m.SelectionBarLeft + m.SelectionBarWidth,
                         m.ColumnTop + m.ColumnHeight});
    for (int k = 0; k < 5 && (parts & kButtons); ++k) {
        RECT r;
        if ((m_nComposedButtons & (1u << k)) && m_scene.buttons[k].GetPlace(&r))
            boxes.push_back(r);
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

bool CWindowComposition::Show(unsigned parts)
{
    // While the dialog initialises, nothing is in its place yet, and the
    // window not shown: it is drawn on directly, as before it has a buffer.
    if (m_bDirect || !*m_scene.layoutReady || !Prepare())
        return false;
    if (InPass()) {
        m_nPendingParts |= parts;  // shown once, at the pass's end
        return true;
    }
    parts |= m_nPendingParts;
    m_nPendingParts = 0;
    if (parts & (kBar | kButtons))
        ComposeBarAndButtons();
    CClientDC window(m_scene.window);
    const HRGN region = Region(parts);
    if (window.m_hDC && region)
        m_backBuffer.Show(window, region);
    if (region)
        ::DeleteObject(region);
    return true;
}

void CWindowComposition::ShowPending()
{
    if (m_nPendingParts != 0)
        Show(0);
}

bool CWindowComposition::Erase(CDC* pDC, const std::function<void()>& eraseRest)
{
    // Where the buffer holds the decoration (and the bar), the erase shows it
    // rather than the background the decoration would be drawn over: nothing
    // flickers, and a part of the window uncovered on its own gets its
    // decoration back. The rest is erased as usual.
    if (m_bDirect || !*m_scene.layoutReady || pDC == nullptr ||
        ::WindowFromDC(pDC->m_hDC) != m_scene.window->m_hWnd || !Prepare())
        return false;
    const HRGN region = Region(m_nComposedParts & (kStrips | kHeader | kBar));
    if (region == nullptr)
        return false;
    const int saved = ::SaveDC(pDC->m_hDC);
    ::ExtSelectClipRgn(pDC->m_hDC, region, RGN_DIFF);
    eraseRest();
    ::RestoreDC(pDC->m_hDC, saved);
    m_backBuffer.Show(*pDC, region);
    ::DeleteObject(region);
    return true;
}

// --- The layout pass ------------------------------------------------------------

int CWindowComposition::BeginPass()
{
    const int outer = m_nPassBarRow;
    m_nPassBarRow = -1;
    return outer;
}

int CWindowComposition::EndPass(int outer)
{
    const int row = m_nPassBarRow;
    m_nPassBarRow = outer;
    return row;
}
