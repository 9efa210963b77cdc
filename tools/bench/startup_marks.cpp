#include "startup_marks.h"

#include <cstdio>

bool CStartupMarks::Note(int mark)
{
    if (mark < 0 || mark >= kCount || m_marks[mark] != 0)
        return false;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    m_marks[mark] = now.QuadPart;
    return true;
}

void CStartupMarks::Write() const
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"QUORVANE_STARTUP_TRACE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    char text[kCount * 24] = {};
    int used = 0;
    for (LONGLONG mark : m_marks)
        used += std::snprintf(text + used, sizeof(text) - static_cast<size_t>(used), "%lld\n", mark);
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(used), &written, nullptr);
    CloseHandle(file);
}
