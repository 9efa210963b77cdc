// GDI wrappers.
//
// CGdiObject and its kinds (CFont, CBrush, CBitmap) own their handle: it is
// deleted in the destructor and when another is created in its place; they
// cannot be copied. CDC owns its handle only when it made it
// (CreateCompatibleDC); CPaintDC and CClientDC pair BeginPaint/EndPaint and
// GetDC/ReleaseDC with their own lifetime. CSelect puts an object into a DC
// and restores the previous one when it goes out of scope.
//
// Every GDI object and DC made through these classes is counted, so tests can
// check that drawing leaves nothing behind (AfxGdiLiveObjects, AfxLiveDCs).
#pragma once

#include <windows.h>

class CWnd;

int AfxGdiLiveObjects();
int AfxLiveDCs();

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    // Takes ownership of a handle made elsewhere (deleting any held one).
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    int GetObject(int size, void* buffer) const { return ::GetObjectW(m_hObject, size, buffer); }
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    // Size in tenths of a point, converted with pDC (the screen when null).
    BOOL CreatePointFont(int pointSize, const wchar_t* faceName, class CDC* pDC = nullptr);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(const wchar_t* name);
    BOOL CreateCompatibleBitmap(class CDC* pDC, int width, int height);
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    void Attach(HDC hDC) { m_hDC = hDC; m_bOwned = false; }
    HDC Detach() { HDC h = m_hDC; m_hDC = nullptr; m_bOwned = false; return h; }
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    operator HDC() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectObject(CGdiObject* object) { return ::SelectObject(m_hDC, object->m_hObject); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
    POINT SetBrushOrg(int x, int y);
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    DWORD GetLayout() const { return ::GetLayout(m_hDC); }
    DWORD SetLayout(DWORD layout) { return ::SetLayout(m_hDC, layout); }
    // Fills with a solid colour (through a brush made and deleted here).
    void FillSolidRect(const RECT& rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop)
    { return ::BitBlt(m_hDC, x, y, w, h, src->m_hDC, sx, sy, rop); }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop)
    { return ::StretchBlt(m_hDC, x, y, w, h, src->m_hDC, sx, sy, sw, sh, rop); }
    int DrawText(const wchar_t* text, int count, RECT* rect, UINT format)
    { return ::DrawTextW(m_hDC, text, count, rect, format); }
    void DrawFocusRect(const RECT* rect) { ::DrawFocusRect(m_hDC, rect); }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

protected:
    bool m_bOwned = false;  // made by CreateCompatibleDC: DeleteDC on destruction
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

// GetDC in the constructor, ReleaseDC in the destructor.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    explicit CClientDC(HWND hWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// Selects an object into a DC for the guard's lifetime.
class CSelect {
public:
    CSelect(CDC& dc, HGDIOBJ object) : m_dc(dc), m_previous(object ? dc.SelectObject(object) : nullptr) {}
    ~CSelect() { if (m_previous) m_dc.SelectObject(m_previous); }
    CSelect(const CSelect&) = delete;
    CSelect& operator=(const CSelect&) = delete;
    // FALSE when the object could not be selected.
    bool Selected() const { return m_previous != nullptr && m_previous != HGDI_ERROR; }

private:
    CDC& m_dc;
    HGDIOBJ m_previous;
};
