#include "bench_stats.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

double CounterMs(LONGLONG count)
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(count) * 1000.0 / frequency;
}

double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return CounterMs(now.QuadPart);
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const double at = fraction * static_cast<double>(values.size() - 1);
    const size_t low = static_cast<size_t>(at);
    const size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

double Median(std::vector<double> values)
{
    return Percentile(std::move(values), 0.5);
}

void PrintRow(const std::wstring& what, const std::wstring& figure, const std::wstring& target,
              const wchar_t* verdict)
{
    std::wprintf(L"| %-58ls | %26ls | %-12ls | %-6ls |\n", what.c_str(), figure.c_str(), target.c_str(), verdict);
    std::fflush(stdout);
}

const wchar_t* Verdict(bool met)
{
    return met ? L"ok" : L"MISSED";
}

std::wstring Format(const wchar_t* format, ...)
{
    wchar_t buffer[512];
    va_list args;
    va_start(args, format);
    std::vswprintf(buffer, std::size(buffer), format, args);
    va_end(args);
    return buffer;
}

std::wstring KiB(double bytes)
{
    return Format(L"%.0f KiB", bytes / 1024.0);
}

int ArgumentNumber(int argc, wchar_t** argv, int index, int fallback)
{
    if (index >= argc)
        return fallback;
    const int value = static_cast<int>(std::wcstol(argv[index], nullptr, 10));
    return value > 0 ? value : fallback;
}

double PrivateBytes(const PROCESS_MEMORY_COUNTERS_EX& counters)
{
    return static_cast<double>(counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage);
}
