// Polling with a deadline: GUI tests wait for another process, never sleep blindly.
#pragma once

#include <windows.h>

namespace qvtest {

// Calls `done` every `pollMs` until it returns true (true) or `timeoutMs` has
// passed (false). `done` is always called at least once, and once more at the end.
template <typename Predicate>
bool WaitUntil(Predicate done, DWORD timeoutMs, DWORD pollMs = 10)
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
