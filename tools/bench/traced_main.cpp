// The launcher with its start-up marks recorded, for the benchmark's
// breakdown of the start-up: at exit it hands the first occurrence of each
// StartupMark to the driver (startup_marks.h). Each mark also ends a span of
// the start-up phase in Wine's server trace.
#include "app/KivanoApp.h"
#include "app/StartupTrace.h"
#include "bench_stats.h"
#include "startup_marks.h"

static_assert(CStartupMarks::kCount == StartupMarkCount, "one noted mark per start-up mark");

CKivanoApp theApp;

namespace {

CStartupMarks g_marks;
const wchar_t* const kPhases[StartupMarkCount] = {
    L"process start to application object", L"dialog created", L"catalogue and footer texts",
    L"fonts and buttons", L"initial selections and list", L"initialisation returns", L"first laid-out paint",
};

void Record(StartupMark mark)
{
    if (g_marks.Note(mark))
        TraceMark(std::wstring(L"start-up: ") + kPhases[mark]);
}

class Trace {
public:
    Trace() { g_pStartupRecorder = Record; }
    ~Trace()
    {
        g_pStartupRecorder = nullptr;
        g_marks.Write();
    }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
};

Trace g_trace;

}  // namespace
