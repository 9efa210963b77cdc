#include "tests/support/window_probe.h"

#include "tests/support/wait.h"

namespace qvtest {

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::wstring WindowText(HWND hwnd, DWORD timeoutMs)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             timeoutMs, &copied))
        return {};
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

std::wstring WindowClass(HWND hwnd)
{
    wchar_t name[256];
    const int n = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, n > 0 ? n : 0);
}

bool IsVisible(HWND hwnd) { return hwnd && IsWindowVisible(hwnd); }

RECT WindowRectOnScreen(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

RECT ClientRectOnScreen(HWND hwnd)
{
    RECT rect{};
    GetClientRect(hwnd, &rect);
    MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

POINT CenterOf(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

LRESULT ButtonState(HWND button, DWORD timeoutMs)
{
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &state))
        return 0;
    return static_cast<LRESULT>(state);
}

namespace {

bool ThreadInfo(HWND anyWindowOfThread, GUITHREADINFO* info)
{
    info->cbSize = sizeof(*info);
    const DWORD thread = GetWindowThreadProcessId(anyWindowOfThread, nullptr);
    return thread != 0 && GetGUIThreadInfo(thread, info);
}

}  // namespace

HWND FocusedWindow(HWND anyWindowOfThread)
{
    GUITHREADINFO info{};
    return ThreadInfo(anyWindowOfThread, &info) ? info.hwndFocus : nullptr;
}

HWND ActiveWindow(HWND anyWindowOfThread)
{
    GUITHREADINFO info{};
    return ThreadInfo(anyWindowOfThread, &info) ? info.hwndActive : nullptr;
}

int FocusedControlId(HWND anyWindowOfThread)
{
    HWND focus = FocusedWindow(anyWindowOfThread);
    return focus ? GetDlgCtrlID(focus) : 0;
}

bool WaitForForeground(HWND hwnd, DWORD timeoutMs)
{
    return WaitUntil(
        [hwnd] {
            HWND foreground = GetForegroundWindow();
            return foreground == hwnd || (foreground && GetAncestor(foreground, GA_ROOTOWNER) == hwnd);
        },
        timeoutMs);
}

bool WaitForText(HWND hwnd, const std::wstring& text, DWORD timeoutMs)
{
    return WaitUntil([&] { return WindowText(hwnd) == text; }, timeoutMs, 20);
}

}  // namespace qvtest
