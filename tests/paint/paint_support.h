// Helpers of the painting and button tests: stand-in utilities on the
// machine, the launcher started as its own process, captures that have
// settled, and the geometry of the window in client coordinates.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/gui_support.h"
#include "ui/LayoutMetrics.h"

namespace painttest {

// A recorder.exe copy at each catalogue path given (environment variables
// expanded in this 64-bit process); everything is removed again afterwards.
class StandIns {
public:
    explicit StandIns(const std::vector<std::wstring>& catalogueProgramPaths);
    bool ok() const { return ok_; }

private:
    std::vector<std::unique_ptr<qvtest::FileCopyGuard>> files_;
    bool ok_ = true;
};

// Catalogue program paths of the shipped rows, by category, with the names the
// list shows for them.
struct StandIn {
    const wchar_t* program;
    const wchar_t* name;
};
extern const StandIn kConnect[3];   // category 0
extern const StandIn kSecure[1];    // category 1
extern const StandIn kProtect[1];   // category 2
extern const StandIn kOptimize[3];  // category 3

template <size_t N>
void AddPrograms(std::vector<std::wstring>* paths, const StandIn (&rows)[N])
{
    for (const StandIn& row : rows)
        paths->push_back(row.program);
}

template <size_t N>
std::vector<std::wstring> NamesOf(const StandIn (&rows)[N])
{
    std::vector<std::wstring> names;
    for (const StandIn& row : rows)
        names.push_back(row.name);
    return names;
}

// The texts of the items a list view shows, in order.
std::vector<std::wstring> ListTexts(HWND list);

// Rectangle of a child window in its parent's client coordinates.
RECT ChildRectInClient(HWND parent, HWND child);

// Captures the client area of `hwnd` until two captures taken a moment apart
// are identical (the window has finished painting); the last one, or an
// empty capture on timeout.
qvtest::ScreenCapture StableCapture(HWND hwnd, DWORD timeoutMs = qvtest::kDeadlineMs);
bool SameImage(const qvtest::ScreenCapture& a, const qvtest::ScreenCapture& b);

// Saves a capture into the test program's folder (the build tree).
std::wstring SaveCapture(const qvtest::ScreenCapture& capture, const std::wstring& name);

// Moves the mouse to a screen corner outside the window.
void MoveMouseOutside(HWND hwnd);

// Whether a pixel is close to a colour (every channel within `tolerance`).
bool Near(COLORREF actual, COLORREF expected, int tolerance);
std::string Hex(COLORREF color);

// Count of pixels in `area` that satisfy `test`.
template <typename Test>
int CountPixels(const qvtest::ScreenCapture& capture, const RECT& area, Test test)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (test(capture.PixelAt(x, y)))
                ++count;
    return count;
}

inline bool IsDark(COLORREF c) { return GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60; }
inline bool IsWhite(COLORREF c) { return c == RGB(255, 255, 255); }
inline bool IsLight(COLORREF c) { return GetRValue(c) > 0xC0 && GetGValue(c) > 0xC0 && GetBValue(c) > 0xC0; }
// A shade of grey: what black text anti-aliased on white can produce.
inline bool IsNeutral(COLORREF c)
{
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return abs(r - g) <= 24 && abs(g - b) <= 24 && abs(r - b) <= 24;
}

// A window of this test program that can take the foreground from the
// launcher; it pumps its own messages on a thread of its own.
class OtherWindow {
public:
    OtherWindow();
    ~OtherWindow();
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    HANDLE thread_ = nullptr;
    HANDLE ready_ = nullptr;
    DWORD threadId_ = 0;
    HWND hwnd_ = nullptr;
    static DWORD WINAPI Run(void* self);
};

}  // namespace painttest
