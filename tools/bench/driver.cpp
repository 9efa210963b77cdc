// Start-up and footprint of the launcher, measured from outside.
//
//   bench_driver RUNS EXE_A CLASS_A EXE_B CLASS_B EXE_C CLASS_C EXE_D CLASS_D [TRACED_EXE]
//
// Starts the four programs in turn (rotating which goes first) RUNS times
// after one unrecorded warm-up round: the launcher (a), the launcher with a
// worst-case catalogue (b), the floor of one list view (c) and the floor of
// the launcher's own window (d). With TRACED_EXE (the launcher built with its
// start-up marks recorded, window class as A's) a fifth takes its turn too,
// and its marks give the breakdown of the start-up into phases; the floor (d)
// then hands over its own marks at the same boundaries, for its breakdown
// beside the launcher's. A start is timed from just before
// CreateProcessW to the moment its main window (found by class and process)
// is visible, the process waits for input, a WM_NULL round trip has gone
// through and neither the window nor any child has a pending paint, twice in
// a row. Then the program is closed with WM_CLOSE and its exit awaited before
// the next start. For program A the private bytes and working set of the idle
// process are read with GetProcessMemoryInfo through OpenProcess.
#include "bench_stats.h"

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Phases of the traced launcher's start-up, between its marks (ms).
constexpr int kMarks = 7;
constexpr int kPhases = kMarks + 1;
const wchar_t* const kPhaseNames[kPhases] = {
    L"process created -> application object starts",
    L"-> dialog created (WM_INITDIALOG)",
    L"-> catalogue and footer texts loaded",
    L"-> fonts, category and footer buttons ready",
    L"-> initial selections made, list built",
    L"-> initialisation returns",
    L"-> window shown, first laid-out paint done",
    L"-> everything painted, idle",
};
// Each phase's target (0: none).
const double kPhaseTargetMs[kPhases] = {0, 12, 8, 0, 8, 0, 20, 0};
// The same boundaries in the floor of the launcher's own window (d).
const wchar_t* const kFloorPhaseNames[kPhases] = {
    L"process created -> program starts",
    L"-> dialog created (WM_INITDIALOG)",
    L"-> window resized",
    L"-> controls placed",
    L"-> image lists and items in the list",
    L"-> initialisation returns",
    L"-> window shown, its own first paint",
    L"-> everything painted, idle",
};
// From the dialog's creation to painted and idle: phases 2 to the last.
constexpr int kOwnFirst = 2;

struct Target {
    std::wstring exe;
    std::wstring windowClass;
    std::wstring tracePath;  // empty: not traced
    std::vector<double> phaseMs[kPhases];
    std::vector<double> shownMs;
    std::vector<double> idleMs;
    std::vector<double> privateBytes;
    std::vector<double> workingSet;
    int failures = 0;
};

struct Search {
    const wchar_t* windowClass;
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t name[64] = {};
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    if (process == search->process && GetClassNameW(hWnd, name, 64) > 0 &&
        lstrcmpiW(name, search->windowClass) == 0) {
        search->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindPendingPaint(HWND hWnd, LPARAM lParam)
{
    if (IsWindowVisible(hWnd) && GetUpdateRect(hWnd, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

bool PaintPending(HWND hWnd)
{
    bool pending = GetUpdateRect(hWnd, nullptr, FALSE) != FALSE;
    if (!pending)
        EnumChildWindows(hWnd, FindPendingPaint, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

std::wstring Folder(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The marks a traced start wrote; false when they are not all there.
bool ReadMarks(const std::wstring& path, double (&marks)[kMarks])
{
    FILE* file = _wfopen(path.c_str(), L"r");
    if (file == nullptr)
        return false;
    int read = 0;
    long long value = 0;
    while (read < kMarks && std::fscanf(file, "%lld", &value) == 1 && value != 0)
        marks[read++] = CounterMs(value);
    std::fclose(file);
    DeleteFileW(path.c_str());
    return read == kMarks;
}

// One start of the target; false when it did not come up or did not end.
bool RunOnce(Target& target, bool record, bool readMemory)
{
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring commandLine = L"\"" + target.exe + L"\"";
    const std::wstring folder = Folder(target.exe);
    if (!target.tracePath.empty()) {
        DeleteFileW(target.tracePath.c_str());
        SetEnvironmentVariableW(L"QUORVANE_STARTUP_TRACE", target.tracePath.c_str());
    }
    const double start = NowMs();
    const BOOL created = CreateProcessW(target.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &si, &pi);
    SetEnvironmentVariableW(L"QUORVANE_STARTUP_TRACE", nullptr);
    if (!created) {
        std::fwprintf(stderr, L"bench_driver: cannot start %ls (error %lu)\n", target.exe.c_str(), GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);

    HWND window = nullptr;
    double shown = 0.0;
    double idle = 0.0;
    int cleanChecks = 0;
    const double deadline = start + 60000.0;
    while (NowMs() < deadline && cleanChecks < 2) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;  // ended before its window was idle
        if (window == nullptr) {
            Search search = {target.windowClass.c_str(), pi.dwProcessId, nullptr};
            EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&search));
            window = search.found;
        }
        if (window == nullptr || !IsWindowVisible(window)) {
            Sleep(1);
            continue;
        }
        if (shown == 0.0)
            shown = NowMs();
        WaitForInputIdle(pi.hProcess, 5000);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
        if (PaintPending(window)) {
            cleanChecks = 0;
            Sleep(1);
            continue;
        }
        if (cleanChecks++ == 0)
            idle = NowMs();
    }

    bool ok = cleanChecks >= 2;
    if (ok && record) {
        target.shownMs.push_back(shown - start);
        target.idleMs.push_back(idle - start);
    }
    if (ok && record && readMemory) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pi.dwProcessId);
        if (process) {
            PROCESS_MEMORY_COUNTERS_EX counters = {};
            counters.cb = sizeof(counters);
            if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                     sizeof(counters))) {
                target.privateBytes.push_back(PrivateBytes(counters));
                target.workingSet.push_back(static_cast<double>(counters.WorkingSetSize));
            }
            CloseHandle(process);
        }
    }

    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"bench_driver: %ls did not end after WM_CLOSE; terminated\n", target.exe.c_str());
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        ok = false;
    }
    CloseHandle(pi.hProcess);
    double marks[kMarks] = {};
    if (ok && !target.tracePath.empty() && ReadMarks(target.tracePath, marks) && record) {
        double previous = start;
        for (int i = 0; i < kMarks; ++i) {
            target.phaseMs[i].push_back(marks[i] - previous);
            previous = marks[i];
        }
        target.phaseMs[kMarks].push_back(idle - previous);
    }
    if (!ok)
        ++target.failures;
    return ok;
}

// A target's time from its dialog's creation to painted and idle, per start.
std::vector<double> OwnMs(const Target& t)
{
    std::vector<double> own(t.phaseMs[kOwnFirst].size(), 0.0);
    for (int p = kOwnFirst; p < kPhases; ++p) {
        for (size_t s = 0; s < own.size() && s < t.phaseMs[p].size(); ++s)
            own[s] += t.phaseMs[p][s];
    }
    return own;
}

// The floor's own phases, and what the launcher spends beyond it from the
// dialog's creation to painted and idle, where the two do different work.
void PrintFloorBreakdown(const Target& traced, const Target& floor)
{
    if (floor.phaseMs[0].empty())
        return;
    for (int p = 0; p < kPhases && !floor.phaseMs[p].empty(); ++p) {
        PrintRow(Format(L"  floor (d) breakdown: %ls", kFloorPhaseNames[p]),
                 Format(L"%.1f ms", Median(floor.phaseMs[p])));
    }
    const double launcher = Median(OwnMs(traced));
    const double own = Median(OwnMs(floor));
    PrintRow(L"  dialog created -> painted, idle: traced (a) / floor (d)",
             Format(L"%.1f / %.1f ms (%+.1f)", launcher, own, launcher - own));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 10 && argc != 11) {
        std::fwprintf(stderr, L"usage: bench_driver RUNS EXE_A CLASS_A EXE_B CLASS_B EXE_C CLASS_C EXE_D CLASS_D "
                              L"[TRACED_EXE]\n");
        return 2;
    }
    const int runs = ArgumentNumber(argc, argv, 1, 15);
    const int count = argc == 11 ? 5 : 4;
    Target targets[5];
    for (int i = 0; i < 4; ++i) {
        targets[i].exe = argv[2 + 2 * i];
        targets[i].windowClass = argv[3 + 2 * i];
    }
    if (count == 5) {
        targets[4].exe = argv[10];
        targets[4].windowClass = targets[0].windowClass;
        wchar_t temp[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        targets[4].tracePath = std::wstring(temp, length > 0 && length < MAX_PATH ? length : 0) +
                               L"quorvane-startup-trace.txt";
        targets[3].tracePath = targets[4].tracePath;  // the two never run at once
    }

    for (int i = 0; i < count; ++i)  // warm-up: file cache, fonts, Wine's own start-up caches
        RunOnce(targets[i], false, false);
    // The host's speed drifts over a run; the starts of one round are made
    // within a second or two of each other, so each round's own a/d sees
    // one speed of the host.
    std::vector<double> roundRatios;
    for (int run = 0; run < runs; ++run) {
        double idleA = 0.0;
        double idleD = 0.0;
        for (int j = 0; j < count; ++j) {
            const int i = (run + j) % count;
            if (RunOnce(targets[i], true, i == 0) && (i == 0 || i == 3))
                (i == 0 ? idleA : idleD) = targets[i].idleMs.back();
        }
        if (idleA > 0.0 && idleD > 0.0)
            roundRatios.push_back(idleA / idleD);
    }

    Target& a = targets[0];
    Target& b = targets[1];
    Target& c = targets[2];
    Target& d = targets[3];
    for (int i = 0; i < count; ++i) {
        const Target& t = targets[i];
        if (t.failures > 0 || t.idleMs.empty()) {
            std::fwprintf(stderr, L"bench_driver: %ls: %d of %d starts failed\n", t.exe.c_str(), t.failures, runs);
        }
    }
    if (a.idleMs.empty() || b.idleMs.empty() || c.idleMs.empty() || d.idleMs.empty())
        return 1;

    const double ma = Median(a.idleMs);
    const double mb = Median(b.idleMs);
    const double mc = Median(c.idleMs);
    const double md = Median(d.idleMs);
    const wchar_t* names[4] = {L"(a) launcher, demo machine", L"(b) launcher, worst-case catalogue",
                               L"(c) floor, one list view", L"(d) floor, the launcher's own window"};
    for (int i = 0; i < 4; ++i) {
        const Target& t = targets[i];
        PrintRow(Format(L"Start-up %ls: shown", names[i]), Format(L"%.1f ms", Median(t.shownMs)));
        PrintRow(Format(L"Start-up %ls: painted, idle", names[i]),
                 Format(L"%.1f ms (%.0f..%.0f)", Median(t.idleMs), Percentile(t.idleMs, 0.0),
                        Percentile(t.idleMs, 1.0)));
    }
    const double paired = Median(roundRatios);
    PrintRow(L"Start-up ratio a/d, median of each round's own",
             Format(L"%.3f (%.2f..%.2f)", paired,
             Percentile(roundRatios, 0.0), Percentile(roundRatios, 1.0)), L"<= 1.1", Verdict(paired <= 1.1));
    PrintRow(L"Start-up ratio a/d, of the medians", Format(L"%.3f", ma / md));
    PrintRow(L"Start-up ratio b/d", Format(L"%.2f", mb / md));
    PrintRow(L"Start-up ratio a/c, b/c, d/c (one list view)", Format(L"%.2f, %.2f, %.2f", ma / mc, mb / mc, md / mc));
    if (count == 5 && !targets[4].idleMs.empty()) {
        const Target& t = targets[4];
        PrintRow(L"Start-up (a) traced build: painted, idle", Format(L"%.1f ms", Median(t.idleMs)));
        for (int p = 0; p < kPhases && !t.phaseMs[p].empty(); ++p) {
            const double median = Median(t.phaseMs[p]);
            const double target = kPhaseTargetMs[p];
            PrintRow(Format(L"  breakdown: %ls", kPhaseNames[p]), Format(L"%.1f ms", median),
                     target > 0 ? Format(L"<= %.0f ms", target) : L"", target > 0 ? Verdict(median <= target) : L"");
        }
        PrintFloorBreakdown(t, d);
    }
    if (!a.privateBytes.empty()) {
        const double privateBytes = Median(a.privateBytes);
        PrintRow(L"Idle launcher (a): private bytes", KiB(privateBytes), L"< 8 MiB",
                 Verdict(privateBytes < 8.0 * 1024 * 1024));
        PrintRow(L"Idle launcher (a): working set", KiB(Median(a.workingSet)));
    } else {
        PrintRow(L"Idle launcher (a): private bytes", L"not readable", L"< 8 MiB", L"");
    }
    int failures = 0;
    for (int i = 0; i < count; ++i)
        failures += targets[i].failures;
    return failures > 0 ? 1 : 0;
}
