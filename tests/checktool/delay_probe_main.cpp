// delay_probe.exe [--everywhere] [--missing-function]: a console program that
// starts and fails as the shipped programs do (framework/afxload.h). It
// restricts the library search to the system folder, unless --everywhere, then
// calls a function of qvplanted.dll, which lies beside it and which it imports
// with delayed loading: QvDelayProbe (exit status 42 when it loads), or with
// --missing-function one the library lacks. A library or function that cannot
// be had ends it with a line on its error stream and exit status 3.
#include <windows.h>

#include <cwchar>
#include <string>

#include "framework/afxload.h"

extern "C" int QvDelayProbe();
extern "C" int QvNotThere();

namespace {

void Report(const std::wstring& text)
{
    const std::wstring line = L"delay-probe: cannot go on: " + text + L"\n";
    DWORD written = 0;
    WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr,
                        nullptr);
    if (!written)
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

FARPROC WINAPI LibraryFailed(unsigned notify, PDelayLoadInfo info)
{
    return AfxEndOnLibraryFailure(notify, info, Report, 3);
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliFailureHook2 = LibraryFailed;
}

int wmain(int argc, wchar_t** argv)
{
    bool everywhere = false, missing = false;
    for (int i = 1; i < argc; ++i) {
        everywhere = everywhere || wcscmp(argv[i], L"--everywhere") == 0;
        missing = missing || wcscmp(argv[i], L"--missing-function") == 0;
    }
    if (!everywhere && !AfxRestrictLibrarySearch())
        return 2;
    return missing ? QvNotThere() : QvDelayProbe();
}
