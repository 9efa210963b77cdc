// recorder.exe: stands in for any program the launcher starts. Each start
// appends one line to the launch log and the program ends at once, without a
// window:  exe=<own path> TAB args=<command line after the program name> TAB cwd=<current folder>
#include <windows.h>

#include "log_append.h"

namespace {

// The command line after the program name, as WinMain's command line is
// formed: the name (quoted or not) and the blanks that follow it are skipped,
// everything else is kept exactly.
std::wstring ArgumentsPart(const wchar_t* line)
{
    const wchar_t* p = line;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p == L'"')
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

std::wstring CurrentFolder()
{
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH * 2, buf);
    return std::wstring(buf, n < MAX_PATH * 2 ? n : 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring line = L"exe=" + qvrec::ModulePath(nullptr) + L"\targs=" + ArgumentsPart(GetCommandLineW()) +
                              L"\tcwd=" + CurrentFolder();
    return qvrec::AppendLine(line) ? 0 : 1;
}
