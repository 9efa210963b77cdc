// Looking at another process's windows: texts, geometry, button states, focus.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/wait.h"

namespace qvtest {

// How long a message to another thread may take to be answered. A window
// that hangs fails at once (SMTO_ABORTIFHUNG); a busy one is waited for.
constexpr DWORD kMessageTimeoutMs = kDeadlineMs;

HWND Control(HWND dialog, int id);                       // GetDlgItem
std::wstring WindowText(HWND hwnd, DWORD timeoutMs = kMessageTimeoutMs);  // WM_GETTEXT
std::wstring WindowClass(HWND hwnd);
bool IsVisible(HWND hwnd);
RECT WindowRectOnScreen(HWND hwnd);
RECT ClientRectOnScreen(HWND hwnd);
POINT CenterOf(const RECT& rect);
LRESULT ButtonState(HWND button, DWORD timeoutMs = kMessageTimeoutMs);  // BM_GETSTATE, 0 on failure

// The keyboard focus and the active window of the GUI thread that owns `anyWindowOfThread`.
HWND FocusedWindow(HWND anyWindowOfThread);
HWND ActiveWindow(HWND anyWindowOfThread);
// The dialog control id of the focused window (0 when none has focus).
int FocusedControlId(HWND anyWindowOfThread);

// Polls until GetForegroundWindow() is `hwnd` (or its root owner is).
bool WaitForForeground(HWND hwnd, DWORD timeoutMs = kDeadlineMs);
bool WaitForText(HWND hwnd, const std::wstring& text, DWORD timeoutMs = kDeadlineMs);

}  // namespace qvtest
