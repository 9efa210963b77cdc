// Real input, as a user gives it: the system's input queue (SendInput and
// SetCursorPos) reaches whatever window is under the mouse or in the foreground.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "tests/support/wait.h"

namespace qvtest {

// Modifier keys held during a key press.
enum Modifiers : unsigned { kNoModifier = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

// Moves the mouse to a screen point: SetCursorPos, then an absolute
// SendInput move so that the window under it gets WM_MOUSEMOVE. True when the
// cursor ends on the point.
bool MoveMouseTo(POINT screen);
bool MoveMouseTo(int x, int y);
// Moves the mouse off every window of interest (the screen's bottom-right corner).
void MoveMouseAway();
// Left button down and up at the current position.
void LeftClick();
// Moves to the point, then clicks.
bool ClickAt(POINT screen);

// One key press (down, up) with modifiers, e.g. PressKey(VK_F4, kAlt), PressKey(VK_TAB, kShift).
void PressKey(WORD virtualKey, unsigned modifiers = kNoModifier);
// Letters and digits typed one after another ('A'..'Z' as the unshifted key).
void TypeKeys(const std::wstring& keys);

// Makes `hwnd` the foreground window (SetForegroundWindow, retried) and polls
// until the system reports it so. Needed before PressKey reaches it.
bool BringToForeground(HWND hwnd, DWORD timeoutMs = kDeadlineMs);

// Waits until the thread owning `hwnd` has processed everything queued so far
// (a WM_NULL round trip) and then a little longer for follow-up messages. What
// must follow an action is still waited for (WaitUntil): on a busy machine a
// follow-up can come later. Settle suits checks that something did NOT happen.
bool Settle(HWND hwnd, DWORD extraMs = 50);

}  // namespace qvtest
