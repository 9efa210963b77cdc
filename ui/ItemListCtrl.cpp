#include "ui/ItemListCtrl.h"

#include "framework/afxgdi.h"
#include "ui/Canvas.h"
#include "ui/accessibility/ItemListAccessible.h"

BEGIN_MESSAGE_MAP(CItemListCtrl, CListCtrl)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_PAINT, OnPaintMessage)
    ON_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
END_MESSAGE_MAP()

LRESULT CItemListCtrl::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (CAccessibleProxy::AsksForClient(lParam)) {
        if (const LRESULT answer =
                CAccessibleProxy::Answer(new CItemListAccessible(m_hWnd, m_strAccessibleName), wParam))
            return answer;
    }
    return Default();
}

LRESULT CItemListCtrl::OnEraseBackground(WPARAM, LPARAM)
{
    if (!m_bBeginning)
        return Default();
    m_bErasePending = true;  // erased in memory, with the rest of the paint
    return TRUE;
}

LRESULT CItemListCtrl::OnPaintMessage(WPARAM wParam, LPARAM)
{
    if (wParam != 0)
        return Default();  // asked to paint onto a DC of the caller's
    PAINTSTRUCT paint;
    m_bBeginning = true;
    m_bErasePending = false;
    const HDC window = ::BeginPaint(m_hWnd, &paint);
    m_bBeginning = false;
    if (window == nullptr)
        return 0;

    // The canvas covers the part to paint, in the list's coordinates and
    // clipped to it, so the list view draws only the items that reach it.
    const RECT& box = paint.rcPaint;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    CDC memory;
    if (width <= 0 || height <= 0) {
        // nothing to paint
    } else if (memory.CreateCompatibleDC(nullptr) && KeepCanvas(m_canvas, width, height)) {
        CSelect selectCanvas(memory, m_canvas.m_hObject);
        MatchLayout(memory, window);  // a mirrored list draws as on its window
        MatchReadingOrder(memory, m_hWnd);
        // What the list draws over: the window as it is, unless the list's
        // erase, which fills all of it, comes first (reading the window back
        // is a round trip to the display).
        if (!m_bErasePending)
            ::BitBlt(memory, 0, 0, width, height, window, box.left, box.top, SRCCOPY);
        ::SetViewportOrgEx(memory, -box.left, -box.top, nullptr);
        ::IntersectClipRect(memory, box.left, box.top, box.right, box.bottom);
        if (m_bErasePending)
            DefWindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.m_hDC), 0);
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memory.m_hDC), 0);
        ::SetViewportOrgEx(memory, 0, 0, nullptr);
        ::BitBlt(window, box.left, box.top, width, height, memory, 0, 0, SRCCOPY);
    } else {
        MatchReadingOrder(window, m_hWnd);
        if (m_bErasePending)
            DefWindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(window), 0);
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(window), 0);
    }
    ::EndPaint(m_hWnd, &paint);
    return 0;
}
