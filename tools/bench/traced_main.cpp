// The launcher with its start-up marks recorded, for the benchmark's
// breakdown of the start-up. At exit it writes the performance counter's value
// at the first occurrence of each mark, one line per mark in the order of
// StartupMark (0 for a mark never reached), to the file named by the
// environment variable QUORVANE_STARTUP_TRACE; without it, nothing. Each
// mark also ends a span of the start-up phase in Wine's server trace.
#include "app/KivanoApp.h"
#include "app/StartupTrace.h"
#include "bench_stats.h"

#include <cstdio>

CKivanoApp theApp;

namespace {

LONGLONG g_marks[StartupMarkCount] = {};
const wchar_t* const kPhases[StartupMarkCount] = {
    L"process start to application object", L"dialog created", L"catalogue and footer texts",
    L"fonts and buttons", L"initial selections and list", L"initialisation returns", L"first laid-out paint",
};

void Record(StartupMark mark)
{
    if (g_marks[mark] != 0)
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    g_marks[mark] = now.QuadPart;
    TraceMark(std::wstring(L"start-up: ") + kPhases[mark]);
}

class Trace {
public:
    Trace() { g_pStartupRecorder = Record; }
    ~Trace()
    {
        g_pStartupRecorder = nullptr;
        wchar_t path[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"QUORVANE_STARTUP_TRACE", path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return;
        char text[StartupMarkCount * 24] = {};
        int used = 0;
        for (LONGLONG mark : g_marks)
            used += std::snprintf(text + used, sizeof(text) - static_cast<size_t>(used), "%lld\n", mark);
        const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(used), &written, nullptr);
        CloseHandle(file);
    }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
};

Trace g_trace;

}  // namespace
