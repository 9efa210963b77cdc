// What is on the screen: a copy of a window's client area (or any screen
// rectangle) taken with BitBlt from the screen DC into a 32-bit DIB section.
// The pixels are kept in memory; no GDI object outlives Take().
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qvtest {

struct Rgb {
    BYTE r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
};

class ScreenCapture {
public:
    // The client area of `hwnd` as it is shown on the screen now.
    static ScreenCapture OfClient(HWND hwnd);
    static ScreenCapture OfScreenRect(const RECT& screen);
    // What `draw` draws into a width x height 32-bit memory DC (origin 0, 0).
    static ScreenCapture OfDrawing(int width, int height, const std::function<bool(HDC)>& draw);

    bool ok() const { return width_ > 0 && height_ > 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    POINT origin() const { return origin_; }  // screen position of pixel (0, 0)

    // Pixel at (x, y) relative to the captured area; CLR_INVALID outside it.
    COLORREF PixelAt(int x, int y) const;
    Rgb RgbAt(int x, int y) const;
    // How many pixels inside `area` (capture coordinates) have exactly `color`.
    int CountColor(const RECT& area, COLORREF color) const;
    // The pixels of `area` row by row, each row read from its left end or,
    // mirrored, from its right end (CLR_INVALID outside the capture).
    std::vector<COLORREF> Pixels(const RECT& area, bool mirrored = false) const;
    // The smallest rectangle of `area` that holds every pixel not of
    // `background`; empty when there is none.
    RECT Bounds(const RECT& area, COLORREF background) const;
    // A rectangle of screen coordinates in the capture's.
    RECT FromScreen(const RECT& screen) const;

    // A 32-bit bottom-up .bmp, for looking at after a failure.
    bool SaveBmp(const std::wstring& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    POINT origin_{};
    std::vector<uint32_t> pixels_;  // top-down rows of 0x00RRGGBB
};

}  // namespace qvtest
