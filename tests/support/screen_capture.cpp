#include "tests/support/screen_capture.h"

#include <algorithm>
#include <cstring>

namespace qvtest {

ScreenCapture ScreenCapture::OfClient(HWND hwnd)
{
    RECT rect{};
    if (!hwnd || !GetClientRect(hwnd, &rect))
        return {};
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return OfScreenRect(rect);
}

ScreenCapture ScreenCapture::OfScreenRect(const RECT& screen)
{
    HDC screenDc = GetDC(nullptr);
    if (!screenDc)
        return {};
    ScreenCapture capture = OfDrawing(screen.right - screen.left, screen.bottom - screen.top, [&](HDC memory) {
        return BitBlt(memory, 0, 0, screen.right - screen.left, screen.bottom - screen.top, screenDc, screen.left,
                      screen.top, SRCCOPY) != FALSE;
    });
    capture.origin_ = POINT{screen.left, screen.top};
    ReleaseDC(nullptr, screenDc);
    return capture;
}

ScreenCapture ScreenCapture::OfDrawing(int width, int height, const std::function<bool(HDC)>& draw)
{
    ScreenCapture capture;
    if (width <= 0 || height <= 0)
        return capture;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC memoryDc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = memoryDc ? CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (dib && bits) {
        HGDIOBJ previous = SelectObject(memoryDc, dib);
        if (draw(memoryDc)) {
            GdiFlush();
            capture.width_ = width;
            capture.height_ = height;
            capture.pixels_.resize(static_cast<size_t>(width) * height);
            std::memcpy(capture.pixels_.data(), bits, capture.pixels_.size() * sizeof(uint32_t));
        }
        SelectObject(memoryDc, previous);
    }
    if (dib)
        DeleteObject(dib);
    if (memoryDc)
        DeleteDC(memoryDc);
    return capture;
}

COLORREF ScreenCapture::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    const uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

Rgb ScreenCapture::RgbAt(int x, int y) const
{
    const COLORREF c = PixelAt(x, y);
    return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}

int ScreenCapture::CountColor(const RECT& area, COLORREF color) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (PixelAt(x, y) == color)
                ++count;
    return count;
}

std::vector<COLORREF> ScreenCapture::Pixels(const RECT& area, bool mirrored) const
{
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(PixelAt(mirrored ? area.right - 1 - (x - area.left) : x, y));
    return pixels;
}

RECT ScreenCapture::Bounds(const RECT& area, COLORREF background) const
{
    RECT bounds{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (PixelAt(x, y) != background) {
                bounds = RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                              std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
            }
    return bounds.left < bounds.right ? bounds : RECT{};
}

RECT ScreenCapture::FromScreen(const RECT& screen) const
{
    return RECT{screen.left - origin_.x, screen.top - origin_.y, screen.right - origin_.x, screen.bottom - origin_.y};
}

bool ScreenCapture::SaveBmp(const std::wstring& path) const
{
    if (!ok())
        return false;
    const DWORD imageSize = static_cast<DWORD>(pixels_.size() * sizeof(uint32_t));
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + imageSize;
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = -height_;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = imageSize;

    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof(file), &written, nullptr) && written == sizeof(file);
    ok = ok && WriteFile(out, &header, sizeof(header), &written, nullptr) && written == sizeof(header);
    ok = ok && WriteFile(out, pixels_.data(), imageSize, &written, nullptr) && written == imageSize;
    CloseHandle(out);
    return ok;
}

}  // namespace qvtest
