#include "tests/paint/paint_support.h"

#include <cstdio>

namespace painttest {

using namespace qvtest;

const StandIn kConnect[3] = {
    {L"%PROGRAMFILES%\\Velmora\\ConnectionManager\\ConnectionManager.exe", L"Wireless Connection Manager"},
    {L"%PROGRAMFILES%\\Velmora\\HotspotHelper\\HotspotHelper.EXE", L"Mobile Hotspot"},
    {L"%PROGRAMFILES%\\Velmora\\VpnConnect\\VpnConnect.exe", L"Secure VPN"},
};
const StandIn kSecure[1] = {
    {L"%PROGRAMFILES%\\Velmora\\SecureEraser\\SecureEraser.exe", L"Secure File Eraser"},
};
const StandIn kProtect[1] = {
    {L"%PROGRAMFILES%\\Velmora\\RecoveryMedia\\RecoveryMedia.exe", L"Recovery Media Creator"},
};
const StandIn kOptimize[3] = {
    {L"%PROGRAMFILES%\\Velmora\\PowerOptimizer\\PowerOptimizer.exe", L"Battery Optimizer"},
    {L"%PROGRAMFILES%\\Velmora\\SystemDiagnostics\\SystemDiagnostics.exe", L"System Diagnostics"},
    {L"%PROGRAMFILES%\\Velmora\\DriverUpdater\\DriverUpdater.exe", L"Driver Updater"},
};

StandIns::StandIns(const std::vector<std::wstring>& catalogueProgramPaths)
{
    const std::wstring recorder = RecorderExePath();
    if (recorder.empty()) {
        ok_ = false;
        return;
    }
    for (const std::wstring& path : catalogueProgramPaths) {
        wchar_t expanded[MAX_PATH];
        const DWORD n = ExpandEnvironmentStringsW(path.c_str(), expanded, MAX_PATH);
        if (n == 0 || n > MAX_PATH) {
            ok_ = false;
            continue;
        }
        files_.push_back(std::make_unique<FileCopyGuard>(recorder, std::wstring(expanded)));
        ok_ = ok_ && files_.back()->ok();
    }
}

std::vector<std::wstring> ListTexts(HWND list)
{
    ListViewProbe probe(list);
    std::vector<std::wstring> texts;
    const int count = probe.Count();
    for (int i = 0; i < count; ++i)
        texts.push_back(probe.ItemText(i));
    return texts;
}

RECT ChildRectInClient(HWND parent, HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SameImage(const ScreenCapture& a, const ScreenCapture& b)
{
    if (!a.ok() || !b.ok() || a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.PixelAt(x, y) != b.PixelAt(x, y))
                return false;
    return true;
}

ScreenCapture StableCapture(HWND hwnd, DWORD timeoutMs)
{
    ScreenCapture previous;
    ScreenCapture latest;
    const bool stable = WaitUntil(
        [&] {
            Settle(hwnd, 100);
            previous = latest;
            latest = ScreenCapture::OfClient(hwnd);
            return SameImage(previous, latest);
        },
        timeoutMs, 50);
    return stable ? latest : ScreenCapture();
}

std::wstring SaveCapture(const ScreenCapture& capture, const std::wstring& name)
{
    const std::wstring path = JoinPath(TestExeFolder(), name);
    return capture.SaveBmp(path) ? path : std::wstring();
}

void MoveMouseOutside(HWND hwnd)
{
    const RECT window = WindowRectOnScreen(hwnd);
    const POINT corners[] = {{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}, {0, 0},
                             {GetSystemMetrics(SM_CXSCREEN) - 1, 0}, {0, GetSystemMetrics(SM_CYSCREEN) - 1}};
    for (const POINT& corner : corners) {
        if (!PtInRect(&window, corner)) {
            MoveMouseTo(corner);
            return;
        }
    }
}

bool Near(COLORREF actual, COLORREF expected, int tolerance)
{
    return abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

std::string Hex(COLORREF color)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%06lX", static_cast<unsigned long>(color & 0xFFFFFF));
    return text;
}

// --- OtherWindow ----------------------------------------------------------------

OtherWindow::OtherWindow()
{
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    if (thread_)
        WaitForSingleObject(ready_, kDeadlineMs);
}

OtherWindow::~OtherWindow()
{
    if (hwnd_)
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    if (thread_) {
        if (WaitForSingleObject(thread_, kDeadlineMs) != WAIT_OBJECT_0)
            PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, kDeadlineMs);
        CloseHandle(thread_);
    }
    if (ready_)
        CloseHandle(ready_);
}

DWORD WINAPI OtherWindow::Run(void* param)
{
    auto* self = static_cast<OtherWindow*>(param);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = L"QvPaintTestOtherWindow";
    RegisterClassW(&wc);
    // A small window in the screen's bottom-left corner, clear of the launcher.
    self->hwnd_ = CreateWindowW(wc.lpszClassName, L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                GetSystemMetrics(SM_CYSCREEN) - 120, 160, 100, nullptr, nullptr, wc.hInstance,
                                nullptr);
    SetEvent(self->ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    self->hwnd_ = nullptr;
    return 0;
}

}  // namespace painttest
