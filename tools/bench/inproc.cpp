// Catalogue load and steady state of the launcher, in this process.
//
//   bench_inproc catalogue RUNS SHIPPED_EXE WORST_EXE
//       LoadCatalogue + LoadFooterTexts with the string table of each program
//       (loaded as a data file and made the framework's resource module),
//       alternating, RUNS times after one warm-up each; the probes and
//       registry reads of one load are counted through the probe observer.
//   bench_inproc steady CYCLES [KIND]
//       the real main dialog on a thread of its own (this program carries the
//       launcher's resources): CYCLES activation changes, then CYCLES category
//       switches (only the one KIND names, when given: "Activation changes"
//       or "Category switches"), each cycle followed by the paints it caused.
//   bench_inproc layouts CYCLES ROUNDS
//       the same cycles in the dialog laid out left to right and in the
//       mirrored dialog (as the launcher makes it for a table read right to
//       left), both with the table the locale gives: ROUNDS rounds of CYCLES
//       cycles of each kind in each, taking turns, and the mirrored one's
//       median beside the other's.
#include "bench_stats.h"

#include "app/KivanoApp.h"
#include "app/KivanoDlg.h"
#include "catalogue/CatalogueLoader.h"
#include "catalogue/CatalogueModel.h"
#include "catalogue/ProbeObserver.h"
#include "framework/afxcmn.h"
#include "framework/afxgdi.h"
#include "framework/afxres.h"
#include "res/resource.h"
#include "ui/ItemImageCache.h"

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Catalogue load

class ProbeCounter : public IProbeObserver {
public:
    void OnCandidate(ProbeStage stage, const wchar_t*, bool exists) override
    {
        ++candidates;
        if (exists)
            ++existing;
        if (stage == ProbeStage::WindowsDirectory)
            ++windowsFolder;
    }
    void OnRegistryRead(const wchar_t*, const wchar_t*, RegistryView, bool) override { ++registryReads; }

    int candidates = 0;
    int existing = 0;
    int windowsFolder = 0;
    int registryReads = 0;
};

struct Table {
    const wchar_t* name;
    std::wstring exe;
    HMODULE module = nullptr;
    std::vector<double> ms;
    ProbeCounter counts;
    int items = 0;
    int presentCategories = 0;
};

void LoadOnce(Table& table, bool record)
{
    AfxSetResourceHandle(table.module);
    ProbeCounter counter;
    ProbeObserver = &counter;
    int present[kCategoryCount] = {1, 1, 1, 1, 1};
    TraceMark(L"");
    const double start = NowMs();
    LoadCatalogue(present);
    LoadFooterTexts();
    const double elapsed = NowMs() - start;
    TraceMark(std::wstring(L"catalogue load, ") + table.name);
    ProbeObserver = nullptr;
    if (!record)
        return;
    table.ms.push_back(elapsed);
    table.counts = counter;
    table.items = 0;
    table.presentCategories = 0;
    for (int k = 0; k < kCategoryCount; ++k) {
        table.items += Categories[static_cast<size_t>(k)].ItemCount;
        table.presentCategories += present[k] ? 1 : 0;
    }
}

int CatalogueBench(int runs, const wchar_t* shippedExe, const wchar_t* worstExe)
{
    Table tables[2];
    tables[0].name = L"shipped table";
    tables[0].exe = shippedExe;
    tables[1].name = L"worst-case table";
    tables[1].exe = worstExe;
    for (Table& table : tables) {
        table.module = LoadLibraryExW(table.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (table.module == nullptr) {
            std::fwprintf(stderr, L"bench_inproc: cannot load %ls (error %lu)\n", table.exe.c_str(), GetLastError());
            return 1;
        }
    }
    // The launcher works in its own folder: bare names are tried there first.
    const std::wstring folder = tables[0].exe.substr(0, tables[0].exe.find_last_of(L'\\'));
    SetCurrentDirectoryW(folder.c_str());

    for (Table& table : tables)
        LoadOnce(table, false);
    for (int run = 0; run < runs; ++run) {
        LoadOnce(tables[run % 2], true);
        LoadOnce(tables[(run + 1) % 2], true);
    }
    AfxSetResourceHandle(nullptr);

    const double limits[2] = {6.0, 100.0};
    for (int i = 0; i < 2; ++i) {
        Table& table = tables[i];
        const double median = Median(table.ms);
        PrintRow(Format(L"Catalogue load, %ls: median of %d", table.name, runs),
                 Format(L"%.2f ms (p90 %.2f)", median, Percentile(table.ms, 0.9)),
                 Format(L"<= %.0f ms", limits[i]), Verdict(median <= limits[i]));
        PrintRow(Format(L"Catalogue load, %ls: items, categories", table.name),
                 Format(L"%d items, %d present", table.items, table.presentCategories));
        PrintRow(Format(L"Catalogue load, %ls: file probes (found)", table.name),
                 Format(L"%d (%d)", table.counts.candidates, table.counts.existing));
        PrintRow(Format(L"Catalogue load, %ls: registry opens", table.name),
                 Format(L"%d", table.counts.registryReads));
        FreeLibrary(table.module);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Steady state

// The main dialog on its own thread; Call() runs code on that thread between
// two of its messages.
class Host {
public:
    // mirrored: the dialog is made as the launcher makes it for a table read
    // right to left, with the process's default layout right to left.
    explicit Host(bool mirrored = false) : m_mirrored(mirrored)
    {
        m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this] { Run(); });
        HANDLE waits[] = {m_ready, m_ended};
        WaitForMultipleObjects(2, waits, FALSE, 60000);
    }
    ~Host()
    {
        if (WaitForSingleObject(m_ended, 0) != WAIT_OBJECT_0 && m_hWnd)
            PostMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0);
        if (WaitForSingleObject(m_ended, 15000) != WAIT_OBJECT_0)
            TerminateProcess(GetCurrentProcess(), 3);
        m_thread.join();
        CloseHandle(m_ready);
        CloseHandle(m_ended);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    HWND Window() const { return m_hWnd; }
    void Call(const std::function<void(CKivanoDlg&)>& f)
    {
        std::function<void()> call = [&] { f(*m_dialog); };
        SendMessageW(m_callWindow, WM_APP + 1, 0, reinterpret_cast<LPARAM>(&call));
    }

private:
    void Run()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = CallProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuorvaneBenchCalls";
        RegisterClassW(&wc);
        m_callWindow = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                     nullptr);
        SetWindowLongPtrW(m_callWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        RegisterMainWindowClass();
        if (m_mirrored)
            SetProcessDefaultLayout(LAYOUT_RTL);
        m_dialog = new CKivanoDlg;
        m_app.m_pMainWnd = m_dialog;
        SetTimer(m_callWindow, 1, 10, nullptr);
        m_dialog->DoModal();
        SetProcessDefaultLayout(0);
        KillTimer(m_callWindow, 1);
        m_app.m_pMainWnd = nullptr;
        DestroyWindow(m_callWindow);
        delete m_dialog;
        m_dialog = nullptr;
        SetEvent(m_ended);
    }
    static LRESULT CALLBACK CallProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP + 1) {
            (*reinterpret_cast<std::function<void()>*>(lParam))();
            return 0;
        }
        if (message == WM_TIMER) {
            auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
            if (host && host->m_dialog && host->m_dialog->m_bLayoutReady && host->m_dialog->m_hWnd &&
                IsWindowVisible(host->m_dialog->m_hWnd)) {
                host->m_hWnd = host->m_dialog->m_hWnd;
                KillTimer(hWnd, 1);
                SetEvent(host->m_ready);
            }
            return 0;
        }
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }

    CKivanoApp m_app;
    bool m_mirrored = false;
    CKivanoDlg* m_dialog = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_callWindow = nullptr;
    HANDLE m_ready = nullptr;
    HANDLE m_ended = nullptr;
    std::thread m_thread;
};

struct Counters {
    double privateBytes = 0.0;
    int gdiObjects = 0;
    int dcs = 0;
    int imageLists = 0;
    int childWindows = 0;
    int icons = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

// Read on the dialog's thread, between cycles.
Counters ReadCounters(HWND dialog)
{
    Counters c;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory)))
        c.privateBytes = PrivateBytes(memory);
    c.gdiObjects = AfxGdiLiveObjects();
    c.dcs = AfxLiveDCs();
    c.imageLists = AfxLiveImageLists();  // the dialog's and the kept ones
    c.icons = LiveExtractedIcons();
    EnumChildWindows(dialog, CountChild, reinterpret_cast<LPARAM>(&c.childWindows));
    return c;
}

// Counts the list refills: each begins by emptying the list.
LRESULT CALLBACK CountRefills(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (message == LVM_DELETEALLITEMS)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(hWnd, message, wParam, lParam);
}

int g_refills = 0;

void Settle(HWND window)
{
    for (int i = 0; i < 3; ++i) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    }
}

// Runs `cycles` cycles of `step` in chunks on the dialog thread, letting the
// dialog's own loop run between chunks; returns each cycle's duration. With a
// label, each cycle is a span of that label in Wine's server trace.
std::vector<double> RunCycles(Host& host, int cycles, const std::function<void(HWND, int)>& step,
                              const std::wstring& label = L"")
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(cycles));
    const HWND window = host.Window();
    for (int done = 0; done < cycles;) {
        const int chunk = std::min(100, cycles - done);
        host.Call([&](CKivanoDlg&) {
            for (int i = 0; i < chunk; ++i) {
                if (!label.empty())
                    TraceMark(L"");
                const double start = NowMs();
                step(window, done + i);
                // The paints the cycle caused, synchronously, so they count.
                RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                times.push_back(NowMs() - start);
                if (!label.empty())
                    TraceMark(label);
            }
        });
        done += chunk;
        Settle(window);
    }
    return times;
}

void Report(const wchar_t* what, double target, int cycles, const std::vector<double>& times,
            const Counters& before, const Counters& after)
{
    const double median = Median(times);
    const double growth = after.privateBytes - before.privateBytes;
    PrintRow(Format(L"%ls x %d: median cycle", what, cycles),
             Format(L"%.3f ms (p95 %.3f)", median, Percentile(times, 0.95)), Format(L"<= %.1f ms", target),
             Verdict(median <= target));
    PrintRow(Format(L"%ls: private bytes before -> after", what),
             Format(L"%.0f -> %.0f KiB", before.privateBytes / 1024.0, after.privateBytes / 1024.0));
    PrintRow(Format(L"%ls: private bytes growth", what), Format(L"%+.0f KiB", growth / 1024.0), L"< 256 KiB",
             Verdict(growth < 256.0 * 1024.0));
    const bool gdiSame = after.gdiObjects <= before.gdiObjects && after.dcs <= before.dcs &&
                         after.imageLists <= before.imageLists;
    PrintRow(Format(L"%ls: GDI objects / DCs / image lists", what),
             Format(L"%d/%d/%d -> %d/%d/%d", before.gdiObjects, before.dcs, before.imageLists, after.gdiObjects,
                    after.dcs, after.imageLists),
             L"no growth", Verdict(gdiSame));
    PrintRow(Format(L"%ls: USER objects (windows / icons)", what),
             Format(L"%d/%d -> %d/%d", before.childWindows, before.icons, after.childWindows, after.icons),
             L"no growth", Verdict(after.childWindows <= before.childWindows && after.icons <= before.icons));
}

// Where a cycle's time goes: the parts it is made of, each alone, on the
// dialog thread with the current category.
void Breakdown(Host& host, int repeats)
{
    struct Part {
        const wchar_t* what;
        std::function<void(CKivanoDlg&)> run;
        std::vector<double> ms;
    };
    int itemCount = 0;
    Part parts[] = {
        {L"one list fill from kept images", [](CKivanoDlg& d) { d.FillItemList(); }, {}},
        {L"one list fill converting every icon",
         [](CKivanoDlg& d) {
             d.m_imageCache.Clear();
             d.FillItemList();
         },
         {}},
        {L"icon extraction alone (ExtractIconExW)",
         [](CKivanoDlg&) {
             for (const ItemInfo& item : Categories[static_cast<size_t>(CurrentCategory)].Items) {
                 HICON large = nullptr;
                 HICON small = nullptr;
                 if (ExtractIconExW(item.IconFile, item.IconIndex, &large, &small, 1) != 0) {
                     if (large)
                         DestroyIcon(large);
                     if (small)
                         DestroyIcon(small);
                 }
             }
         },
         {}},
        {L"category selection alone (no paint handler)",
         [](CKivanoDlg& d) { d.OnCategoryButton(CurrentCategory); }, {}},
        {L"pushed state set on one category button (BM_SETSTATE)",
         [](CKivanoDlg& d) { d.m_btnCategory[CurrentCategory].SendMessage(BM_SETSTATE, TRUE); }, {}},
        {L"item list repainted (invalidated, then updated)",
         [](CKivanoDlg& d) {
             d.m_listItems.Invalidate(TRUE);
             d.m_listItems.UpdateWindow();
         },
         {}},
        {L"strips (four artwork bitmaps)", [](CKivanoDlg& d) { d.PaintStrips(); }, {}},
        {L"header with the selection bar", [](CKivanoDlg& d) { d.PaintHeader(); }, {}},
        {L"selection bar and category buttons", [](CKivanoDlg& d) { d.PaintSelectionBar(0); }, {}},
        {L"whole paint handler, laid out",
         [](CKivanoDlg& d) {
             d.SendMessage(WM_PAINT);
             RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
         },
         {}},
    };
    host.Call([&](CKivanoDlg& d) {
        itemCount = static_cast<int>(Categories[static_cast<size_t>(CurrentCategory)].Items.size());
        for (int r = 0; r < repeats; ++r) {
            for (Part& part : parts) {
                TraceMark(L"");
                const double start = NowMs();
                part.run(d);
                part.ms.push_back(NowMs() - start);
                TraceMark(std::wstring(L"profile: ") + part.what);
            }
            RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    });
    PrintRow(Format(L"Profile (%d items, median of %d):", itemCount, repeats), L"");
    for (const Part& part : parts)
        PrintRow(Format(L"  %ls", part.what), Format(L"%.3f ms", Median(part.ms)));
}

struct Run {
    const wchar_t* what;
    double target;  // median cycle, ms
    std::function<void(HWND, int)> step;
};

// The dialog of `host` come up and settled, with the cycles of both kinds
// over its present categories; none when it did not come up or shows no
// category (said on the standard error).
std::vector<Run> Cycles(Host& host)
{
    if (host.Window() == nullptr) {
        std::fwprintf(stderr, L"bench_inproc: the dialog did not come up\n");
        return {};
    }
    Settle(host.Window());
    std::vector<int> present;
    host.Call([&](CKivanoDlg& d) {
        for (int k = 0; k < 5; ++k) {
            if (d.m_bCategoryPresent[k])
                present.push_back(k);
        }
    });
    if (present.empty()) {
        std::fwprintf(stderr, L"bench_inproc: no category present: prepare the demo machine first\n");
        return {};
    }
    const auto activation = [](HWND dialog, int i) {
        SendMessageW(dialog, WM_ACTIVATE, i % 2 ? WA_INACTIVE : WA_ACTIVE, 0);
    };
    const auto category = [present](HWND dialog, int i) {
        const int id = IDC_CATEGORY0 + present[static_cast<size_t>(i) % present.size()];
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
    return {
        {L"Activation changes", 3.5, activation},
        {L"Category switches", 3.5, category},
    };
}

int SteadyBench(int cycles, const std::wstring& only)
{
    Host host;
    const std::vector<Run> runs = Cycles(host);
    if (runs.empty())
        return 1;
    const HWND window = host.Window();

    int failures = 0;
    for (const auto& [what, target, step] : runs) {
        if (!only.empty() && only != what)
            continue;
        RunCycles(host, 100, step);  // warm-up: first-use allocations are not growth
        Counters before;
        host.Call([&](CKivanoDlg&) { before = ReadCounters(window); });
        const std::vector<double> times = RunCycles(host, cycles, step);
        Counters after;
        host.Call([&](CKivanoDlg&) { after = ReadCounters(window); });
        Report(what, target, cycles, times, before, after);

        // Refills counted apart from the timed cycles: the counting subclass
        // costs each of the list's messages a look-up of its own.
        constexpr int kCounted = 100;
        host.Call([&](CKivanoDlg&) {
            g_refills = 0;
            SetWindowSubclass(GetDlgItem(window, IDC_ITEM_LIST), CountRefills, 1,
                              reinterpret_cast<DWORD_PTR>(&g_refills));
        });
        RunCycles(host, kCounted, step);
        int refills = 0;
        host.Call([&](CKivanoDlg&) {
            RemoveWindowSubclass(GetDlgItem(window, IDC_ITEM_LIST), CountRefills, 1);
            refills = g_refills;
        });
        PrintRow(Format(L"%ls: list refills per cycle", what),
                 Format(L"%.2f", static_cast<double>(refills) / kCounted));
        // And once more as spans of Wine's server trace (counted when the
        // server traces; no subclass in the way).
        RunCycles(host, kCounted, step, what);
        if (times.size() != static_cast<size_t>(cycles))
            ++failures;
    }
    Breakdown(host, std::max(20, cycles / 50));
    int present = 0;
    host.Call([&](CKivanoDlg& d) {
        for (int k = 0; k < 5; ++k)
            present += d.m_bCategoryPresent[k] ? 1 : 0;
    });
    PrintRow(L"Steady state: categories cycled", Format(L"%d present", present));
    return failures;
}

// The processor time the dialog's thread has used so far (user and kernel),
// in ms: what a cycle costs the program itself, whatever else the machine runs.
double DialogThreadCpuMs(Host& host)
{
    double ms = 0.0;
    host.Call([&](CKivanoDlg&) {
        FILETIME created, ended, kernel, user;
        if (GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) {
            const auto ticks = [](const FILETIME& t) {
                return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
            };
            ms = (ticks(kernel) + ticks(user)) / 10000.0;
        }
    });
    return ms;
}

// The mirrored dialog beside the one laid out left to right: in each round
// both run `cycles` cycles of each kind, one dialog after the other, the one
// to go first taking turns; the medians of all rounds, the mirrored one's
// against 1.1 times the other's, each round's ratio, and the dialog thread's
// processor time per cycle in each.
int LayoutsBench(int cycles, int rounds)
{
    constexpr double kMost = 1.10;
    const wchar_t* const layouts[2] = {L"left to right", L"mirrored"};
    std::vector<double> times[2][2];   // [mirrored][kind]
    std::vector<double> medians[2][2]; // per round
    std::vector<double> cpu[2][2];     // per round: the dialog thread's processor time per cycle
    const wchar_t* kinds[2] = {};
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const int mirrored = (round + turn) % 2;
            Host host(mirrored != 0);
            const std::vector<Run> runs = Cycles(host);
            if (runs.size() != 2)
                return 1;
            if (mirrored != ((GetWindowLongW(host.Window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0 ? 1 : 0)) {
                std::fwprintf(stderr, L"bench_inproc: the dialog is not laid out %ls\n", layouts[mirrored]);
                return 1;
            }
            for (int kind = 0; kind < 2; ++kind) {
                kinds[kind] = runs[kind].what;
                RunCycles(host, 100, runs[kind].step);  // warm-up
                const double cpuBefore = DialogThreadCpuMs(host);
                const std::vector<double> run = RunCycles(host, cycles, runs[kind].step);
                cpu[mirrored][kind].push_back((DialogThreadCpuMs(host) - cpuBefore) / cycles);
                times[mirrored][kind].insert(times[mirrored][kind].end(), run.begin(), run.end());
                medians[mirrored][kind].push_back(Median(run));
                // As spans of Wine's server trace, when the server traces.
                RunCycles(host, 100, runs[kind].step, Format(L"%ls, %ls", runs[kind].what, layouts[mirrored]));
            }
        }
    }
    PrintRow(L"Layouts compared with the table of the UI language",
             Format(L"0x%04X", static_cast<unsigned>(GetUserDefaultUILanguage())));
    int failures = 0;
    for (int kind = 0; kind < 2; ++kind) {
        const double ltr = Median(times[0][kind]);
        const double rtl = Median(times[1][kind]);
        PrintRow(Format(L"%ls, left to right: median of %d x %d", kinds[kind], rounds, cycles),
                 Format(L"%.3f ms (p95 %.3f)", ltr, Percentile(times[0][kind], 0.95)));
        PrintRow(Format(L"%ls, mirrored: median of %d x %d", kinds[kind], rounds, cycles),
                 Format(L"%.3f ms (p95 %.3f)", rtl, Percentile(times[1][kind], 0.95)),
                 Format(L"<= %.3f ms", ltr * kMost), Verdict(rtl <= ltr * kMost));
        std::wstring ratios;
        for (int round = 0; round < rounds; ++round)
            ratios += Format(round ? L", %.2f" : L"%.2f", medians[1][kind][static_cast<size_t>(round)] /
                                                            medians[0][kind][static_cast<size_t>(round)]);
        PrintRow(Format(L"%ls, mirrored / left to right", kinds[kind]), Format(L"%.2f", rtl / ltr),
                 Format(L"<= %.2f", kMost), Verdict(rtl <= ltr * kMost));
        PrintRow(L"  each round", ratios);
        // The program's own share of a cycle, which the rest of the machine
        // does not stretch: left to right / mirrored, medians of the rounds.
        const double cpuLtr = Median(cpu[0][kind]);
        const double cpuRtl = Median(cpu[1][kind]);
        PrintRow(Format(L"%ls: dialog thread's processor time", kinds[kind]),
                 Format(L"%.3f / %.3f ms (%.2f)", cpuLtr, cpuRtl, cpuLtr > 0 ? cpuRtl / cpuLtr : 0.0),
                 Format(L"<= %.2f", kMost), Verdict(cpuRtl <= cpuLtr * kMost));
        failures += rtl <= ltr * kMost ? 0 : 1;
    }
    return failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"catalogue" && argc == 5)
        return CatalogueBench(ArgumentNumber(argc, argv, 2, 50), argv[3], argv[4]);
    if (mode == L"steady" && (argc == 3 || argc == 4))
        return SteadyBench(ArgumentNumber(argc, argv, 2, 10000), argc == 4 ? argv[3] : L"");
    if (mode == L"layouts" && argc == 4)
        return LayoutsBench(ArgumentNumber(argc, argv, 2, 2000), ArgumentNumber(argc, argv, 3, 4));
    std::fwprintf(stderr,
                  L"usage: bench_inproc catalogue RUNS SHIPPED_EXE WORST_EXE\n"
                  L"       bench_inproc steady CYCLES [\"Activation changes\" | \"Category switches\"]\n"
                  L"       bench_inproc layouts CYCLES ROUNDS\n");
    return 2;
}
