// Polling with a deadline: GUI tests wait for another thread or process, never sleep blindly.
#pragma once

#include <windows.h>

namespace qvtest {

// The one deadline of every wait for something that must happen (a window,
// the focus, a paint, a category, a process end, a registry value, a file, a
// log line, an installer run). Such a wait ends as soon as its condition holds,
// so the deadline costs a passing run nothing; it is long because on a busy
// machine any of these can take seconds.
//
// A check that something does NOT happen waits a short window of its own
// instead, given where it is made: a busy machine can only make such a check
// pass, never fail.
inline constexpr DWORD kDeadlineMs = 20000;

// Calls `done` every `pollMs` until it returns true (true) or `timeoutMs` has
// passed (false). `done` is always called at least once, and once more at the end.
template <typename Predicate>
bool WaitUntil(Predicate done, DWORD timeoutMs = kDeadlineMs, DWORD pollMs = 10)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done())
            return true;
        if (GetTickCount64() >= deadline)
            return done();
        Sleep(pollMs);
    }
}

}  // namespace qvtest
