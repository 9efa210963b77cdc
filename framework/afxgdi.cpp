#include "framework/afxgdi.h"
#include <cstdlib>

#include "framework/afxres.h"
#include "framework/afxwin.h"

namespace {
int g_liveObjects = 0;
int g_liveDCs = 0;

HGDIOBJ Counted(HGDIOBJ handle)
{
    if (handle)
        ++g_liveObjects;
    return handle;
}
}  // namespace

int AfxGdiLiveObjects() { return g_liveObjects; }
int AfxLiveDCs() { return g_liveDCs; }

// --- CGdiObject ---------------------------------------------------------------

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
    DeleteObject();
    m_hObject = Counted(handle);
    return m_hObject != nullptr;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    if (handle)
        --g_liveObjects;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    const BOOL deleted = ::DeleteObject(m_hObject);
    --g_liveObjects;
    m_hObject = nullptr;
    return deleted;
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont)
{
    return Attach(::CreateFontIndirectW(logFont));
}

BOOL CFont::CreatePointFont(int pointSize, const wchar_t* faceName, CDC* pDC)
{
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, faceName, LF_FACESIZE);

    // Tenths of a point to logical units of the DC (the screen's without one).
    HDC screen = pDC ? nullptr : ::GetDC(nullptr);
    HDC dc = pDC ? pDC->m_hDC : screen;
    POINT pt = {0, MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), pointSize, 720)};
    ::DPtoLP(dc, &pt, 1);
    POINT origin = {0, 0};
    ::DPtoLP(dc, &origin, 1);
    lf.lfHeight = -std::abs(static_cast<int>(pt.y - origin.y));
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return CreateFontIndirect(&lf);
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach(::CreateSolidBrush(color));
}

BOOL CBitmap::LoadBitmap(UINT id)
{
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)));
}

BOOL CBitmap::LoadBitmap(const wchar_t* name)
{
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), name));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, width, height));
}

// --- CDC ----------------------------------------------------------------------

CDC::~CDC()
{
    if (m_bOwned)
        DeleteDC();
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    if (m_bOwned)
        DeleteDC();
    m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    m_bOwned = m_hDC != nullptr;
    if (m_bOwned)
        ++g_liveDCs;
    return m_bOwned;
}

BOOL CDC::DeleteDC()
{
    if (!m_bOwned || m_hDC == nullptr)
        return FALSE;
    const BOOL deleted = ::DeleteDC(m_hDC);
    --g_liveDCs;
    m_hDC = nullptr;
    m_bOwned = false;
    return deleted;
}

POINT CDC::SetBrushOrg(int x, int y)
{
    POINT previous = {};
    ::SetBrushOrgEx(m_hDC, x, y, &previous);
    return previous;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color)
{
    CBrush brush(color);
    ::FillRect(m_hDC, &rect, brush);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    const RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(rect, color);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
    if (m_hDC)
        ++g_liveDCs;
}

CPaintDC::~CPaintDC()
{
    if (m_hDC) {
        ::EndPaint(m_hWnd, &m_ps);
        --g_liveDCs;
    }
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : CClientDC(pWnd->m_hWnd) {}

CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd)
{
    Attach(::GetDC(m_hWnd));
    if (m_hDC)
        ++g_liveDCs;
}

CClientDC::~CClientDC()
{
    if (m_hDC) {
        ::ReleaseDC(m_hWnd, m_hDC);
        --g_liveDCs;
    }
    Detach();
}
