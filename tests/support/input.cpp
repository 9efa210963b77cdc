#include "tests/support/input.h"

#include <vector>

#include "tests/support/wait.h"
#include "tests/support/window_probe.h"

namespace qvtest {

namespace {

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    return input;
}

bool IsExtendedKey(WORD vk)
{
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_RMENU: case VK_RCONTROL:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// The absolute coordinate (0..65535) that lands in the middle of pixel `pixel`.
LONG Normalised(int pixel, int extent)
{
    return static_cast<LONG>(((2LL * pixel + 1) * 65536) / (2LL * extent));
}

}  // namespace

bool MoveMouseTo(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    INPUT move = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
                            Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
    SendInput(1, &move, sizeof(INPUT));
    return WaitUntil(
        [screen] {
            POINT now{};
            return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
        });
}

bool MoveMouseTo(int x, int y) { return MoveMouseTo(POINT{x, y}); }

void MoveMouseAway()
{
    MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

// The short pauses below pace the input as a hand gives it (a press, then its
// release a moment later); they wait for nothing.
void LeftClick()
{
    INPUT clicks[2] = {MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
    SendInput(1, &clicks[0], sizeof(INPUT));
    Sleep(30);
    SendInput(1, &clicks[1], sizeof(INPUT));
}

bool ClickAt(POINT screen)
{
    const bool moved = MoveMouseTo(screen);
    Sleep(30);
    LeftClick();
    return moved;
}

void PressKey(WORD virtualKey, unsigned modifiers)
{
    std::vector<INPUT> inputs;
    const WORD held[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
    const unsigned flags[] = {kShift, kCtrl, kAlt};
    for (int i = 0; i < 3; ++i)
        if (modifiers & flags[i])
            inputs.push_back(KeyInput(held[i], false));
    inputs.push_back(KeyInput(virtualKey, false));
    inputs.push_back(KeyInput(virtualKey, true));
    for (int i = 2; i >= 0; --i)
        if (modifiers & flags[i])
            inputs.push_back(KeyInput(held[i], true));
    for (INPUT& input : inputs) {
        SendInput(1, &input, sizeof(INPUT));
        Sleep(10);
    }
}

void TypeKeys(const std::wstring& keys)
{
    for (wchar_t c : keys) {
        const wchar_t upper = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
        PressKey(static_cast<WORD>(upper));
    }
}

bool BringToForeground(HWND hwnd, DWORD timeoutMs)
{
    return WaitUntil(
        [hwnd] {
            if (GetForegroundWindow() == hwnd)
                return true;
            SetForegroundWindow(hwnd);
            return WaitForForeground(hwnd, 100);  // then asked again
        },
        timeoutMs, 0);
}

bool Settle(HWND hwnd, DWORD extraMs)
{
    DWORD_PTR ignored = 0;
    const bool answered = SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored) != 0;
    Sleep(extraMs);
    SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
    return answered;
}

}  // namespace qvtest
