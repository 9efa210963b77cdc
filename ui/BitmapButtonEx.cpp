#include "ui/BitmapButtonEx.h"

#include <commctrl.h>

#include <cstring>

#include "ui/accessibility/ButtonAccessible.h"
#include "ui/Canvas.h"
#include "ui/CaptionBox.h"
#include "ui/LayoutMetrics.h"

BEGIN_MESSAGE_MAP(CBitmapButtonEx, CBitmapButton)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_NCHITTEST()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_SYSKEYDOWN()
    ON_WM_SYSKEYUP()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(BM_SETSTATE, OnSetState)
    ON_MESSAGE(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
END_MESSAGE_MAP()

CBitmapButtonEx::CBitmapButtonEx() : m_pFont(new CFont)
{
    CFont point;
    point.CreatePointFont(90, L"Tahoma");
    LOGFONTW lf = {};
    point.GetObject(sizeof(lf), &lf);
    lf.lfWeight = 900;
    point.DeleteObject();
    m_pFont->CreateFontIndirect(&lf);
    ScaleButtonFaceMetrics();
}

CBitmapButtonEx::~CBitmapButtonEx()
{
    delete m_pFont;
}

void CBitmapButtonEx::NotifyParent(UINT message, bool send)
{
    HWND parent = ::GetParent(m_hWnd);
    const WPARAM self = reinterpret_cast<WPARAM>(this);
    if (send)
        ::SendMessageW(parent, message, self, 0);
    else
        ::PostMessageW(parent, message, self, 0);
}

LRESULT CBitmapButtonEx::OnWindowPosChanged(WPARAM, LPARAM lParam)
{
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (pos != nullptr && !(pos->flags & (SWP_NOMOVE | SWP_NOSIZE))) {
        m_rcPlace = {pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
        m_bPlaceKnown = true;
    } else if (pos != nullptr && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        m_bPlaceKnown = false;  // moved or resized, not both: asked again
    }
    return Default();
}

bool CBitmapButtonEx::GetPlace(RECT* rect) const
{
    if (m_bPlaceKnown) {
        *rect = m_rcPlace;
        return true;
    }
    if (!::GetWindowRect(m_hWnd, rect))
        return false;
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(rect), 2);
    return true;
}

void CBitmapButtonEx::OnSetFocus(CWnd*)
{
    m_bHasFocus = true;  // before the default handling, which may paint
    NotifyParent(WM_BUTTON_DESCRIBE, false);
    Default();
}

void CBitmapButtonEx::OnKillFocus(CWnd*)
{
    m_bHasFocus = false;
    NotifyParent(WM_BUTTON_LOSTFOCUS, false);
    Default();
}

void CBitmapButtonEx::OnLButtonDown(UINT, POINT)
{
    NotifyParent(WM_BUTTON_PRESS, true);
    Default();
}

void CBitmapButtonEx::OnLButtonUp(UINT, POINT)
{
    NotifyParent(WM_BUTTON_PRESS, true);
    Default();
}

LRESULT CBitmapButtonEx::OnNcHitTest(POINT)
{
    if (::GetForegroundWindow() == ::GetParent(m_hWnd) && !m_bTracking) {
        // Marked before asking: the request hit-tests the cursor, which sends
        // this very message again, and that nested one must find it tracking.
        m_bTracking = 1;
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 1};
        _TrackMouseEvent(&tme);
        const UINT state = GetState();
        if (state == 0 || state == BST_PUSHED)
            SetFocus();  // WM_SETFOCUS then announces the button
        else
            NotifyParent(WM_BUTTON_DESCRIBE, false);
    }
    return Default();
}

LRESULT CBitmapButtonEx::OnMouseLeave(WPARAM, LPARAM)
{
    m_bTracking = 0;
    ::SetFocus(::GetParent(m_hWnd));
    return 0;
}

// The dialog marks the selected category's button pushed; the button's own
// key handling may clear that, so a button that was pushed is pushed again.
void CBitmapButtonEx::KeepPushedAround(bool passToDefault)
{
    const UINT state = GetState();
    if (passToDefault)
        Default();
    if (state & BST_PUSHED)
        SendMessage(BM_SETSTATE, TRUE);
}

void CBitmapButtonEx::OnKeyDown(UINT nChar, UINT, UINT)
{
    KeepPushedAround(nChar != VK_SPACE);  // the space bar never presses the button
}

void CBitmapButtonEx::OnKeyUp(UINT, UINT, UINT) { KeepPushedAround(true); }
void CBitmapButtonEx::OnSysKeyDown(UINT, UINT, UINT) { KeepPushedAround(true); }
void CBitmapButtonEx::OnSysKeyUp(UINT, UINT, UINT) { KeepPushedAround(true); }

void CBitmapButtonEx::DrawIconOn(CDC& dc, bool halftone)
{
    if (!m_bHasIcons)
        return;
    CBitmap& icon = m_crBackground == 0 ? m_bmpIconSelected : m_bmpIconNormal;
    BITMAP info = {};
    if (!icon.GetBitmap(&info))
        return;
    CDC source;
    if (!source.CreateCompatibleDC(&dc))
        return;
    CSelect select(source, icon.m_hObject);
    if (!select.Selected())
        return;
    MatchLayout(source, dc);  // the icon the right way round in a mirrored window
    if (halftone) {
        dc.SetStretchBltMode(HALFTONE);
        dc.SetBrushOrg(0, 0);
    }
    const ButtonFaceMetricsTable& f = ButtonFaceMetrics;
    dc.StretchBlt(f.ButtonIconLeft, f.ButtonIconTop, f.ButtonIconWidth, f.ButtonIconHeight,
                  &source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}

void CBitmapButtonEx::DrawCaption(CDC& dc, RECT box, bool lift)
{
    if (m_strText.IsEmpty())
        return;
    const COLORREF oldColor = dc.SetTextColor(m_crText);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    if (m_nTextFormat & DT_WORDBREAK) {
        RECT measured = box;
        dc.DrawText(m_strText, -1, &measured, m_nTextFormat | ReadingOrderFlag(dc) | DT_CALCRECT);
        const int d = box.bottom - measured.bottom;
        if (d > 0)
            box.top += d / 2;
    }
    if (lift)
        box.top -= 1;
    dc.DrawText(m_strText, -1, &box, m_nTextFormat | ReadingOrderFlag(dc));
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColor);
}

void CBitmapButtonEx::DrawFocusIfFocused()
{
    if (!m_bHasFocus)
        return;
    RECT rc;
    GetClientRect(&rc);
    CClientDC dc(this);
    dc.DrawFocusRect(&rc);
}

void CBitmapButtonEx::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CDC item;
    item.Attach(dis->hDC);
    const RECT& r = dis->rcItem;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;

    if (m_bBitmapFace) {
        CBitmap* bitmap = &StateBitmap(dis->itemState);
        BITMAP info = {};
        CDC memory;
        bool drawn = false;
        if (bitmap->GetBitmap(&info) && memory.CreateCompatibleDC(&item)) {
            CSelect select(memory, bitmap->m_hObject);
            if (select.Selected()) {
                item.StretchBlt(r.left, r.top, width, height, &memory, 0, 0, info.bmWidth, info.bmHeight,
                                SRCCOPY);
                drawn = true;
            }
        }
        if (!drawn) {
            item.Detach();
            return;  // nothing at all, not even the focus rectangle
        }
        const RECT box = CaptionBox(r, m_rcTextMargins);
        DrawCaption(item, box, false);
    } else {
        CDC memory;
        CBitmap canvas;
        if (memory.CreateCompatibleDC(&item) && CreateCanvas(canvas, width, height)) {
            CSelect selectCanvas(memory, canvas.m_hObject);
            MatchLayout(memory, item);
            memory.FillSolidRect(r, m_crBackground);
            DrawIconOn(memory, true);
            {
                CSelect selectFont(memory, m_pFont->m_hObject);
                const RECT box = {r.left + m_rcTextMargins.left, r.top + m_rcTextMargins.top - 2,
                                  r.right + m_rcTextMargins.right, r.bottom + m_rcTextMargins.bottom};
                DrawCaption(memory, box, true);
            }
            item.BitBlt(r.left, r.top, width, height, &memory, r.left, r.top, SRCCOPY);
        }
    }
    if (::GetFocus() == m_hWnd)
        item.DrawFocusRect(&r);
    item.Detach();
}

CBitmapButtonEx::KeptFace* CBitmapButtonEx::FindKeptFace(const FaceState& face, int width, int height,
                                                           DWORD layout)
{
    for (KeptFace& kept : m_keptFaces) {
        if (IsCanvasOf(kept.bitmap, width, height) && kept.face == face && kept.font == m_pFont->m_hObject &&
            kept.layout == layout &&
            std::memcmp(&kept.metrics, &ButtonFaceMetrics, sizeof(ButtonFaceMetricsTable)) == 0)
            return &kept;
    }
    return nullptr;
}

void CBitmapButtonEx::DrawFace(CDC& dc, const RECT& where)
{
    const int width = where.right - where.left;
    const int height = where.bottom - where.top;
    if (dc.m_hDC == nullptr)
        return;
    const DWORD dcLayout = ::GetLayout(dc.m_hDC);
    const DWORD layout = dcLayout != GDI_ERROR ? (dcLayout & LAYOUT_RTL) : 0;
    const FaceState face = CurrentFace();
    KeptFace* kept = FindKeptFace(face, width, height, layout);
    if (kept == nullptr) {
        // A look not kept: drawn into the slot of the older one.
        kept = &m_keptFaces[m_nNextKeptFace];
        m_nNextKeptFace = (m_nNextKeptFace + 1) % 2;
        kept->font = nullptr;  // no look until drawn
        CDC memory;
        if (!memory.CreateCompatibleDC(&dc) || !KeepCanvas(kept->bitmap, width, height))
            return;
        CSelect selectCanvas(memory, kept->bitmap.m_hObject);
        MatchLayout(memory, dc);
        const RECT rc = {0, 0, width, height};
        memory.FillSolidRect(rc, m_crBackground);
        DrawIconOn(memory, false);
        {
            CSelect selectFont(memory, m_pFont->m_hObject);
            const RECT box = CaptionBox(rc, m_rcTextMargins);
            DrawCaption(memory, box, false);
        }
        kept->face = face;
        kept->font = m_pFont->m_hObject;
        kept->layout = layout;
        kept->metrics = ButtonFaceMetrics;
    }
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return;
    CSelect selectFace(memory, kept->bitmap.m_hObject);
    MatchLayout(memory, dc);
    dc.BitBlt(where.left, where.top, width, height, &memory, 0, 0, SRCCOPY);
}

bool CBitmapButtonEx::FaceState::operator==(const FaceState& other) const
{
    return background == other.background && text == other.text && caption == other.caption &&
           format == other.format && ::EqualRect(&margins, &other.margins) && hasIcons == other.hasIcons;
}

CBitmapButtonEx::FaceState CBitmapButtonEx::CurrentFace() const
{
    FaceState state;
    state.background = m_crBackground;
    state.text = m_crText;
    state.caption = m_strText;
    state.format = m_nTextFormat;
    state.margins = m_rcTextMargins;
    state.hasIcons = m_bHasIcons;
    return state;
}

void CBitmapButtonEx::PaintCustomFace()
{
    CPaintDC dc(this);
    if (dc.m_hDC && m_serveFace && m_serveFace(dc))
        return;
    RECT rc;
    GetClientRect(&rc);
    DrawFace(dc, rc);
}

void CBitmapButtonEx::AnnounceCaption()
{
    if (m_strText == m_strAnnouncedText)
        return;
    m_strAnnouncedText = m_strText;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CBitmapButtonEx::OnPaint()
{
    // Painting may erase, and erasing the custom face paints: one at a time.
    if (m_bPainting) {
        ValidateRect(m_hWnd, nullptr);
        return;
    }
    m_bPainting = true;
    // The caption is set directly by the dialog; the paint that shows a new
    // one is where its readers hear of it.
    AnnounceCaption();
    if (m_bBitmapFace)
        Default();  // the button asks its parent to draw it: WM_DRAWITEM reaches DrawItem
    else
        PaintCustomFace();
    DrawFocusIfFocused();
    m_bPainting = false;
}

BOOL CBitmapButtonEx::OnEraseBkgnd(CDC*)
{
    if (m_bBitmapFace)
        return static_cast<BOOL>(Default());
    if (!m_bPainting)
        OnPaint();
    return TRUE;
}

LRESULT CBitmapButtonEx::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (CAccessibleProxy::AsksForClient(lParam)) {
        if (const LRESULT answer = CAccessibleProxy::Answer(new CButtonAccessible(m_hWnd), wParam))
            return answer;
    }
    return Default();
}

LRESULT CBitmapButtonEx::OnSetState(WPARAM, LPARAM)
{
    // Pushed reads as pressed: a change of it is told to assistive technology.
    const UINT before = GetState() & BST_PUSHED;
    const LRESULT result = Default();
    if ((GetState() & BST_PUSHED) != before)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    return result;
}
