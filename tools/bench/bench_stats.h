// Small helpers shared by the benchmark programs: a clock, medians and the
// table rows they print.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

// Milliseconds since an arbitrary origin, from the performance counter.
double NowMs();
// A performance-counter value (of any process on this machine) on NowMs's scale.
double CounterMs(LONGLONG count);

double Median(std::vector<double> values);
double Percentile(std::vector<double> values, double fraction);

// Prints one row of the result table: what, the measured figure, the target
// (empty when there is none) and the verdict ("ok", "MISSED" or empty).
void PrintRow(const std::wstring& what, const std::wstring& figure, const std::wstring& target = L"",
              const wchar_t* verdict = L"");
const wchar_t* Verdict(bool met);

std::wstring Format(const wchar_t* format, ...);
std::wstring KiB(double bytes);

// The process's private bytes. Wine leaves PrivateUsage at zero and reports
// the same figure (anonymous resident memory plus swap) as PagefileUsage,
// which Windows also keeps equal to PrivateUsage.
double PrivateBytes(const PROCESS_MEMORY_COUNTERS_EX& counters);

// Marks a place in Wine's server trace (a wineserver started with -d1): one
// request naming "QvMark:<label>", which ends the calling thread's span of
// requests under that label (an empty label: a span not counted).
// tools/bench/count-requests.py counts the requests of each span.
inline void TraceMark(const std::wstring& label)
{
    const HANDLE handle = OpenEventW(SYNCHRONIZE, FALSE, (L"QvMark:" + label).c_str());
    if (handle)
        CloseHandle(handle);
}

// The positive number at argv[index], or the fallback.
int ArgumentNumber(int argc, wchar_t** argv, int index, int fallback);
