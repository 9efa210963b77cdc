#include "ui/IconStrip.h"

#include <algorithm>

namespace {

int MaskStride(int width)
{
    return (width + 31) / 32 * 4;
}

// The format of a top-down bitmap of width x height at `bits` per pixel (1:
// black and white).
struct StripFormat {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

StripFormat TopDown(int width, int height, WORD bits)
{
    StripFormat format = {};
    format.header.biSize = sizeof(format.header);
    format.header.biWidth = width;
    format.header.biHeight = -height;
    format.header.biPlanes = 1;
    format.header.biBitCount = bits;
    format.header.biCompression = BI_RGB;
    format.colors[1] = RGBQUAD{255, 255, 255, 0};
    return format;
}

HBITMAP CreateStrip(int width, int height, WORD bits, void** pixels)
{
    StripFormat format = TopDown(width, height, bits);
    return ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS, pixels, nullptr, 0);
}

void DeleteIconBitmaps(ICONINFO& info)
{
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    info = {};
}

// The icon's bitmaps at size x size; false when there are none of that size.
bool IconBitmapsAt(HICON icon, int size, ICONINFO& info)
{
    info = {};
    BITMAP mask = {};
    if (!::GetIconInfo(icon, &info))
        return false;
    if (::GetObjectW(info.hbmMask, sizeof(mask), &mask) && mask.bmWidth == size &&
        mask.bmHeight == (info.hbmColor ? size : 2 * size))
        return true;
    DeleteIconBitmaps(info);
    // As ImageList_ReplaceIcon scales it.
    HICON copy = static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
    if (copy == nullptr)
        copy = static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, size, size, 0));
    if (copy == nullptr)
        return false;
    const bool got = ::GetIconInfo(copy, &info) != FALSE;
    ::DestroyIcon(copy);
    if (got && ::GetObjectW(info.hbmMask, sizeof(mask), &mask) && mask.bmWidth == size && mask.bmHeight == size)
        return true;
    DeleteIconBitmaps(info);
    return false;
}

}  // namespace

CIconStrip::CIconStrip(int size, int count, bool mirrored) : m_nSize(size), m_nCount(count), m_bMirrored(mirrored)
{
    if (size <= 0 || count <= 0)
        return;
    void* color = nullptr;
    void* mask = nullptr;
    if (m_dc.CreateCompatibleDC(nullptr) && m_color.Attach(CreateStrip(size * count, size, 32, &color)) &&
        m_mask.Attach(CreateStrip(size * count, size, 1, &mask))) {
        m_pColor = static_cast<DWORD*>(color);
        m_pMask = static_cast<BYTE*>(mask);
    }
}

bool CIconStrip::Put(int k, HICON icon)
{
    if (!Ok() || k < 0 || k >= m_nCount || icon == nullptr)
        return false;
    ICONINFO info;
    if (!IconBitmapsAt(icon, m_nSize, info))
        return false;
    const bool put = PutBits(k, info);
    DeleteIconBitmaps(info);
    return put;
}

bool CIconStrip::PutBits(int k, const ICONINFO& info)
{
    // ReplaceIcon takes only a 32-bit colour bitmap's bits as they are.
    BITMAP color = {};
    if (!info.hbmColor || !::GetObjectW(info.hbmColor, sizeof(color), &color) || color.bmBitsPixel != 32)
        return false;
    const int size = m_nSize;
    const int stride = MaskStride(size);
    std::vector<DWORD> pixels(static_cast<size_t>(size) * static_cast<size_t>(size));
    std::vector<BYTE> mask(static_cast<size_t>(stride) * static_cast<size_t>(size));
    StripFormat format = TopDown(size, size, 32);
    if (::GetDIBits(m_dc.m_hDC, info.hbmColor, 0, static_cast<UINT>(size), pixels.data(),
                    reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS) != size)
        return false;
    format.header.biBitCount = 1;
    if (::GetDIBits(m_dc.m_hDC, info.hbmMask, 0, static_cast<UINT>(size), mask.data(),
                    reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS) != size)
        return false;

    const int width = size * m_nCount;
    const int stripStride = MaskStride(width);
    for (int y = 0; y < size; ++y) {
        DWORD* row = m_pColor + static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(k * size);
        const DWORD* from = pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(size);
        if (m_bMirrored)
            std::reverse_copy(from, from + size, row);
        else
            std::copy_n(from, size, row);
        BYTE* maskRow = m_pMask + static_cast<size_t>(y) * static_cast<size_t>(stripStride);
        const BYTE* source = mask.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < size; ++x) {
            const int at = k * size + x;
            const int sx = m_bMirrored ? size - 1 - x : x;
            const BYTE bit = static_cast<BYTE>(0x80 >> (at % 8));
            if (source[sx / 8] & (0x80 >> (sx % 8)))
                maskRow[at / 8] = static_cast<BYTE>(maskRow[at / 8] | bit);
            else
                maskRow[at / 8] = static_cast<BYTE>(maskRow[at / 8] & ~bit);
        }
    }
    return true;
}

int CIconStrip::AddTo(CImageList& list)
{
    if (!Ok())
        return -1;
    ::GdiFlush();
    return ImageList_Add(list, m_color, m_mask);
}

bool CIconStrip::ReplaceIn(CImageList& list, int index)
{
    if (!Ok() || m_nCount != 1)
        return false;
    ::GdiFlush();
    return ImageList_Replace(list, index, m_color, m_mask) != FALSE;
}

bool MirrorImage(CImageList& list, int index)
{
    int cx = 0;
    int cy = 0;
    if (!ImageList_GetIconSize(list, &cx, &cy) || cx != cy)
        return false;
    const HICON icon = ImageList_GetIcon(list, index, ILD_TRANSPARENT);
    if (icon == nullptr)
        return false;
    CIconStrip strip(cx, 1, true);
    const bool put = strip.Put(0, icon);
    ::DestroyIcon(icon);
    return put && strip.ReplaceIn(list, index);
}

