#include "launch/LaunchProgram.h"

#include <shellapi.h>

namespace {
constexpr int kPathBuffer = 261;       // the program path, with its terminator
constexpr int kArgumentsBuffer = 260;  // the arguments, with their terminator
}

CString CleanProgramPath(const CString& path)
{
    CString cleaned = path;
    int at = cleaned.Find(L".exe");
    if (at < 0)
        at = cleaned.Find(L".EXE");
    if (at >= 0) {
        cleaned = cleaned.Left(at + 4);
        if (cleaned.Find(L'"') >= 0)
            cleaned = cleaned.Mid(1);
    }
    return cleaned;
}

BOOL LaunchProgram(CString path, CString arguments, CString directory)
{
    // Longer texts than the work buffers hold are refused, never cut short.
    if (path.GetLength() >= kPathBuffer || arguments.GetLength() >= kArgumentsBuffer)
        return FALSE;
    const CString program = CleanProgramPath(path);

    HINSTANCE result;
    if (program.Find(L".cpl") < 0 && program.Find(L".CPL") < 0) {
        result = ShellExecuteW(nullptr, nullptr, program, arguments.IsEmpty() ? nullptr : arguments.GetString(),
                               directory, SW_SHOWNORMAL);
    } else {
        result = ShellExecuteW(nullptr, nullptr, L"Control.exe", program, nullptr, SW_SHOWNORMAL);
    }
    return reinterpret_cast<INT_PTR>(result) > 32 ? TRUE : FALSE;
}
