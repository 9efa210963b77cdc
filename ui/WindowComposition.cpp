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
constexpr int kStripCount = 4;

// The strips, in the order they are drawn, each stretched to its box.
std::array<Strip, kStripCount> StripsOf(const LayoutMetricsTable& m)
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

RECT HeaderPanelBox(const LayoutMetricsTable& m)
{
    return {0, m.TitleStripHeight, m.ClientWidth, m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight};
}

RECT InfoSignBox(const LayoutMetricsTable& m)
{
    return {m.InfoIconLeft, m.InfoIconTop, m.InfoIconLeft + m.InfoIconWidth, m.InfoIconTop + m.InfoIconHeight};
}

RECT BarBox(const LayoutMetricsTable& m)
{
    return {m.SelectionBarLeft, m.ColumnTop, m.SelectionBarLeft + m.SelectionBarWidth, m.ColumnTop + m.ColumnHeight};
}

// Where the `present` category buttons stand, stacked from the top of the column.
RECT ButtonColumnBox(const LayoutMetricsTable& m, int present)
{
    return {m.CategoryButtonLeft, m.ColumnTop, m.CategoryButtonLeft + m.CategoryButtonWidth,
            m.ColumnTop + present * (m.CategoryButtonHeight + m.CategoryButtonGap)};
}

// The decoration's pieces, in the order a paint draws them: the strips, then
// the header's. Each is drawn by one routine (DrawPiece) wholly inside its box.
struct Piece {
    CWindowComposition::Part part;
    RECT box;
};
constexpr int kPieceCount = kStripCount + 4;
enum : int { kHeaderPanel = kStripCount, kSeparator, kFooterBand, kInfoSign };

std::array<Piece, kPieceCount> PiecesOf(const LayoutMetricsTable& m)
{
    const std::array<Strip, kStripCount> strips = StripsOf(m);
    return {{
        {CWindowComposition::kStrips, strips[0].box},
        {CWindowComposition::kStrips, strips[1].box},
        {CWindowComposition::kStrips, strips[2].box},
        {CWindowComposition::kStrips, strips[3].box},
        {CWindowComposition::kHeader, HeaderPanelBox(m)},
        {CWindowComposition::kHeader, SeparatorBox(m)},
        {CWindowComposition::kHeader, FooterBandBox(m)},
        {CWindowComposition::kHeader, InfoSignBox(m)},
    }};
}

}  // namespace

// --- The scene ------------------------------------------------------------------

void CWindowComposition::SetScene(const Scene& scene)
{
    // The decoration is drawn with its texts (the font is the one the header
    // is drawn with next); a face belongs to its button. The bar and the
    // other faces lie beside the decoration, not under it: they stand.
    for (int i = 0; i < 4; ++i) {
        if (!(scene.texts[i] == m_scene.texts[i]))
            m_nComposedParts &= ~static_cast<unsigned>(kStrips | kHeader);
    }
    for (int k = 0; k < kCategoryButtons; ++k) {
        if (scene.buttons[static_cast<size_t>(k)] != m_scene.buttons[static_cast<size_t>(k)]) {
            m_composedFaces[k].drawn = false;
            m_nComposedButtons &= ~(1u << k);
        }
    }
    m_scene = scene;
    m_bHasScene = true;
}

// --- The drawing routines -----------------------------------------------------

void CWindowComposition::Draw(CDC& dc, Part part)
{
    switch (part) {
    case kStrips:
    case kHeader: {
        const std::array<Piece, kPieceCount> pieces = PiecesOf(LayoutMetrics);
        for (int i = 0; i < kPieceCount; ++i) {
            if (pieces[static_cast<size_t>(i)].part == part)
                DrawPiece(dc, i);
        }
        break;
    }
    case kBar:
        DrawBar(dc, m_nBarRow);
        break;
    case kButtons:
        break;  // a face is the button's own drawing (CBitmapButtonEx::DrawFace)
    }
}

void CWindowComposition::DrawArtwork(CDC& dc, UINT id, int x, int y, int w, int h)
{
    // Loaded once, then stretched onto the DC at every draw. In a mirrored
    // window the pictures (the maker's wordmark, the header's person, the
    // information sign) keep their orientation at their mirrored places; the
    // strips and footer images are shading and mirror with the window.
    const bool picture = id == IDB_WORDMARK || id == IDB_HEADER_PERSON || id == IDB_INFO_SIGN;
    m_artwork.Draw(dc, id, x, y, w, h, picture);
}

void CWindowComposition::DrawPiece(CDC& dc, int i)
{
    const LayoutMetricsTable& m = LayoutMetrics;
    if (i < kStripCount) {
        const Strip strip = StripsOf(m)[static_cast<size_t>(i)];
        const RECT& b = strip.box;
        DrawArtwork(dc, strip.id, b.left, b.top, b.right - b.left, b.bottom - b.top);
        return;
    }
    switch (i) {
    case kHeaderPanel:
        DrawHeaderPanel(dc);
        break;
    case kSeparator:
        dc.FillSolidRect(SeparatorBox(m), 0xD5DFDE);
        break;
    case kFooterBand: {
        // The band above the footer and its line.
        const RECT band = FooterBandBox(m);
        dc.FillSolidRect(band, 0xD5DFDE);
        dc.FillSolidRect(RECT{0, band.top + 1, m.ClientWidth, band.top + 2}, 0x9C9C9C);
        break;
    }
    case kInfoSign:
        DrawArtwork(dc, IDB_INFO_SIGN, m.InfoIconLeft, m.InfoIconTop, m.InfoIconWidth, m.InfoIconHeight);
        break;
    default:
        break;
    }
}

void CWindowComposition::DrawHeaderPanel(CDC& window)
{
    // Panel, band, line, picture and texts, composed in memory (shifted up by
    // the title strip) and copied onto the target at once.
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

    memory.FillSolidRect(RECT{0, 0, W, m.HeaderHeight}, 0xE3EAE9);
    memory.FillSolidRect(RECT{0, m.HeaderHeight, W, H}, 0xD5DFDE);
    memory.FillSolidRect(RECT{0, H - 2, W, H - 1}, 0x9C9C9C);
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
        {m_scene.texts[0], 0x333333,
         {m.HeaderTextLeft, m.TitleTextTop, W - m.HeaderTextLeft, m.TitleTextTop + m.HeaderTextLineHeight}},
        {m_scene.texts[1], 0x444444,
         {m.HeaderTextLeft, m.SubtitleTextTop, W - m.HeaderTextLeft, m.SubtitleTextTop + m.HeaderTextLineHeight}},
        {m_scene.texts[2], 0x444444,
         {m.CategoryHeadingLeft, m.HeadingTextTop, m.CategoryHeadingLeft + m.HeadingTextWidth,
          m.HeadingTextTop + m.HeaderBandHeight - 2}},
        {m_scene.texts[3], 0x444444,
         {m.ContentsHeadingLeft, m.HeadingTextTop, m.ContentsHeadingLeft + m.HeadingTextWidth,
          m.HeadingTextTop + m.HeaderBandHeight - 2}},
    };
    {
        CSelect selectFont(memory, m_scene.headingFont);
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
    // The buffer holds only what the window draws itself, each in an area of
    // its own: the title strip with the header, the bar, the present category
    // buttons, the separator below the columns, the information sign, and
    // the footer with its band. The description between them is the
    // control's, and a category's row without a button holds nothing. Each
    // drawing operation lies wholly inside one of them.
    if (!m_bHasScene)
        return false;
    const LayoutMetricsTable& m = LayoutMetrics;
    RECT client;
    m_window.GetClientRect(&client);
    int present = 0;
    for (const CBitmapButtonEx* button : m_scene.buttons)
        present += button != nullptr ? 1 : 0;
    std::vector<RECT> areas = {
        {0, 0, client.right, m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight},
        BarBox(m),
        SeparatorBox(m),
        InfoSignBox(m),
        {0, FooterBandBox(m).top, client.right, client.bottom},
    };
    if (present > 0)
        areas.push_back(ButtonColumnBox(m, present));
    // A mirrored window's buffer is laid out as the window's DC is.
    const DWORD layout = (::GetWindowLongW(m_window.m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? LAYOUT_RTL : 0;
    bool made = false;
    if (!m_backBuffer.Ensure(areas, layout, &made)) {
        m_nComposedParts = 0;
        return false;
    }
    // A new buffer holds nothing; another layout (size, DPI) makes all it held stale.
    if (made || std::memcmp(&m_composedMetrics, &LayoutMetrics, sizeof(LayoutMetricsTable)) != 0) {
        m_nComposedParts = 0;
        m_nComposedBarRow = -1;
        for (ComposedFace& composed : m_composedFaces)
            composed.drawn = false;
    }
    if (m_nComposedParts & kHeader)
        return true;
    // Each piece of the decoration is drawn once, into the area holding it.
    const std::array<Piece, kPieceCount> pieces = PiecesOf(m);
    for (int i = 0; i < kPieceCount; ++i) {
        if (!m_backBuffer.Draw([this, i](CDC& buffer) { DrawPiece(buffer, i); }, &pieces[static_cast<size_t>(i)].box))
            return false;
    }
    m_artwork.Clear();  // what was drawn from it is in the buffer now
    m_composedMetrics = LayoutMetrics;
    m_nComposedParts |= kStrips | kHeader;
    return true;
}

unsigned CWindowComposition::ComposeBarAndButtons()
{
    // Only what changed since it was last drawn is drawn again. A face goes
    // into the buffer only where the layout puts the buttons, beside the bar,
    // so that it never covers the decoration there; the focus rectangle goes
    // over the focused button's face, as the button's own paint draws it.
    const LayoutMetricsTable& m = LayoutMetrics;
    int present = 0;
    for (const CBitmapButtonEx* button : m_scene.buttons)
        present += button != nullptr ? 1 : 0;
    const RECT column = ButtonColumnBox(m, present);
    const RECT bar = BarBox(m);
    if (m_nComposedBarRow != m_nBarRow) {
        m_backBuffer.Draw([this](CDC& buffer) { Draw(buffer, kBar); }, &bar);
        m_nComposedBarRow = m_nBarRow;
    }
    m_nComposedButtons = 0;
    unsigned fresh = 0;
    for (int k = 0; k < kCategoryButtons; ++k) {
        CBitmapButtonEx* button = m_scene.buttons[static_cast<size_t>(k)];
        ComposedFace& composed = m_composedFaces[k];
        RECT r;
        RECT inside;
        if (button == nullptr || button->m_hWnd == nullptr || !button->GetPlace(&r))
            continue;
        if (!::IntersectRect(&inside, &r, &column) || !::EqualRect(&inside, &r))
            continue;
        const bool focused = button->HasFocus();
        const CBitmapButtonEx::FaceState face = button->CurrentFace();
        if (!composed.drawn || !(composed.face == face) || !::EqualRect(&composed.box, &r) ||
            composed.focused != focused) {
            composed.drawn = m_backBuffer.Draw(
                [&](CDC& buffer) {
                    button->DrawFace(buffer, r);
                    if (focused)
                        ::DrawFocusRect(buffer, &r);
                },
                &r);
            composed.face = face;
            composed.box = r;
            composed.focused = focused;
            fresh |= composed.drawn ? 1u << k : 0u;
        }
        if (composed.drawn)
            m_nComposedButtons |= 1u << k;
    }
    m_nComposedParts |= kBar | kButtons;
    return fresh;
}

HRGN CWindowComposition::Region(unsigned parts) const
{
    const LayoutMetricsTable& m = LayoutMetrics;
    std::vector<RECT> boxes;
    for (const Piece& piece : PiecesOf(m)) {
        if (parts & piece.part)
            boxes.push_back(piece.box);
    }
    if (parts & kBar)
        boxes.push_back(BarBox(m));
    for (int k = 0; k < kCategoryButtons && (parts & kButtons); ++k) {
        const CBitmapButtonEx* button = m_scene.buttons[static_cast<size_t>(k)];
        RECT r;
        if ((m_nComposedButtons & (1u << k)) && button != nullptr && button->GetPlace(&r))
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

// --- Showing ----------------------------------------------------------------------

void CWindowComposition::Show(unsigned parts)
{
    if (m_nPassDepth > 0) {
        m_nPendingParts |= parts;  // shown once, at the pass's end
        return;
    }
    parts |= m_nPendingParts;
    m_nPendingParts = 0;
    if (!Prepare()) {
        DrawStraight(parts);
        return;
    }
    const unsigned fresh = (parts & (kBar | kButtons)) ? ComposeBarAndButtons() : 0;
    {
        CClientDC window(&m_window);
        const HRGN region = Region(parts);
        if (window.m_hDC && region)
            m_backBuffer.Show(window, region);
        if (region)
            ::DeleteObject(region);
    }
    if (parts & kButtons)
        FinishButtons(m_nComposedButtons, fresh);
}

void CWindowComposition::DrawStraight(unsigned parts)
{
    if (parts & (kStrips | kHeader | kBar)) {
        CClientDC window(&m_window);
        for (const Part part : {kStrips, kHeader, kBar}) {
            if (window.m_hDC && (parts & part))
                Draw(window, part);
        }
    }
    if (parts & kButtons)
        FinishButtons(0, 0);
}

void CWindowComposition::FinishButtons(unsigned shownFaces, unsigned freshFaces)
{
    const bool visible = ::IsWindowVisible(m_window.m_hWnd) != FALSE;
    for (int k = 0; k < kCategoryButtons; ++k) {
        CBitmapButtonEx* button = m_scene.buttons[static_cast<size_t>(k)];
        if (button == nullptr)
            continue;
        if (shownFaces & (1u << k)) {
            button->AnnounceCaption();
            // A face drawn anew is a look the button was asked to repaint
            // for (its pushed state or focus changed): the paint it has
            // pending would copy what was just shown.
            if (freshFaces & (1u << k))
                ::ValidateRect(button->m_hWnd, nullptr);
        } else if (visible)
            button->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

bool CWindowComposition::ShowFace(int k, CDC& dc)
{
    // A redraw after a state change serves itself from the buffer when that
    // already holds the button's face as it is now.
    if (k < 0 || k >= kCategoryButtons)
        return false;
    const ComposedFace& composed = m_composedFaces[k];
    const CBitmapButtonEx* button = m_scene.buttons[static_cast<size_t>(k)];
    RECT r;
    if (button == nullptr || !composed.drawn || composed.focused || !(composed.face == button->CurrentFace()) ||
        !button->GetPlace(&r))
        return false;
    return ::EqualRect(&r, &composed.box) && m_backBuffer.CopyTo(dc, r, 0, 0);
}

bool CWindowComposition::Erase(CDC* pDC, const std::function<void()>& eraseRest)
{
    // Where the buffer holds the decoration (and the bar), the erase shows it
    // rather than the background the decoration would be drawn over: nothing
    // flickers, and a part of the window uncovered on its own gets its
    // decoration back. The rest is erased as usual.
    if (pDC == nullptr || ::WindowFromDC(pDC->m_hDC) != m_window.m_hWnd || !Prepare())
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

void CWindowComposition::EndPass()
{
    if (m_nPassDepth > 0 && --m_nPassDepth == 0 && m_nPendingParts != 0)
        Show(0);
}
