#include "ui/Canvas.h"

#include <cstdlib>

#include "framework/afxres.h"

BOOL CreateCanvas(CBitmap& bitmap, int width, int height)
{
    if (width <= 0 || height <= 0)
        return FALSE;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

bool IsCanvasOf(const CBitmap& bitmap, int width, int height)
{
    BITMAP info = {};
    return bitmap.m_hObject != nullptr && bitmap.GetBitmap(&info) && info.bmWidth == width &&
           std::abs(info.bmHeight) == height;  // a top-down canvas may say its height negative
}

BOOL KeepCanvas(CBitmap& bitmap, int width, int height)
{
    if (IsCanvasOf(bitmap, width, height))
        return TRUE;
    bitmap.DeleteObject();
    return CreateCanvas(bitmap, width, height);
}

BOOL LoadArtwork(CBitmap& bitmap, UINT id)
{
    return bitmap.Attach(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void MatchLayout(CDC& memory, HDC target)
{
    const DWORD layout = target ? ::GetLayout(target) : 0;
    if (layout != GDI_ERROR && (layout & LAYOUT_RTL))
        memory.SetLayout(LAYOUT_RTL);
}

UINT ReadingOrderFlag(HDC dc)
{
    const DWORD layout = dc ? ::GetLayout(dc) : 0;
    return layout != GDI_ERROR && (layout & LAYOUT_RTL) ? DT_RTLREADING : 0;
}

void MatchReadingOrder(HDC dc, HWND control)
{
    if (dc == nullptr || !(::GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_RTLREADING))
        return;
    const UINT align = ::GetTextAlign(dc);
    if (align != GDI_ERROR && !(align & TA_RTLREADING))
        ::SetTextAlign(dc, align | TA_RTLREADING);
}
