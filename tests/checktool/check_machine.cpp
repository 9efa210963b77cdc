#include "tests/checktool/check_machine.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/launched_process.h"
#include "tests/support/test_paths.h"
#include "tests/support/wait.h"

namespace qvcheck {

namespace {

std::wstring FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

// Moves whatever the pipe holds into `into`; false once the pipe is closed and empty.
bool Drain(HANDLE pipe, std::string& into)
{
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
        return false;
    while (available > 0) {
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, available < sizeof buffer ? available : sizeof buffer, &read, nullptr) || read == 0)
            return false;
        into.append(buffer, read);
        available -= read;
    }
    return true;
}

std::wstring Trim(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t\r");
    if (first == std::wstring::npos)
        return std::wstring();
    const size_t last = text.find_last_not_of(L" \t\r");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring CheckToolPath()
{
    return qvtest::WindowsPathFromUnix(QV_CHECK_EXE);
}

std::wstring FitStringsPath()
{
    return qvtest::WindowsPathFromUnix(QV_FIT_STRINGS);
}

std::wstring Quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

std::wstring StandinExePath()
{
    return qvtest::WindowsPathFromUnix(QV_STANDIN_EXE);
}

std::wstring StandinCplPath()
{
    return qvtest::WindowsPathFromUnix(QV_STANDIN_CPL);
}

ToolRun RunCheckTool(const std::wstring& arguments, const std::wstring& currentDirectory)
{
    return RunTool(CheckToolPath(), arguments, currentDirectory);
}

ToolRun RunTool(const std::wstring& tool, const std::wstring& arguments, const std::wstring& currentDirectory,
                const std::vector<std::pair<std::wstring, std::wstring>>& environment)
{
    ToolRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0))
        return run;
    if (!CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        CloseHandle(outRead);
        CloseHandle(outWrite);
        return run;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::wstring commandLine = L"\"" + tool + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    const std::wstring folder = currentDirectory.empty() ? qvtest::FolderOf(tool) : currentDirectory;
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> block;
    if (!environment.empty())
        block = qvtest::BuildEnvironmentBlock(environment);
    const BOOL started = CreateProcessW(tool.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                                        block.empty() ? nullptr : block.data(), folder.c_str(), &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        CloseHandle(process.hThread);
        std::string out, err;
        const ULONGLONG deadline = GetTickCount64() + qvtest::kDeadlineMs;
        bool ended = false;
        for (;;) {
            // Once the tool has ended, everything it wrote is in the pipes and
            // is drained below; a program it caused to start (Wine's desktop
            // process, when the tool makes a window) may hold them open long after.
            ended = WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
            const bool outOpen = Drain(outRead, out);
            const bool errOpen = Drain(errRead, err);
            if (ended)
                break;
            if (GetTickCount64() > deadline) {
                TerminateProcess(process.hProcess, 0xDEAD);
                WaitForSingleObject(process.hProcess, qvtest::kDeadlineMs);
                break;
            }
            if (!outOpen && !errOpen) {
                const ULONGLONG now = GetTickCount64();
                WaitForSingleObject(process.hProcess, now < deadline ? static_cast<DWORD>(deadline - now) : 0);
                continue;
            }
            Sleep(10);
        }
        run.finished = ended;
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
        run.out = FromUtf8(out);
        run.err = FromUtf8(err);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

std::vector<CatalogueRow> ShippedRows()
{
    std::ifstream file(qvtest::WindowsPathFromUnix(QV_CATALOGUE_TXT).c_str());
    std::vector<CatalogueRow> rows;
    std::wstring* last = nullptr;
    std::string raw;
    while (std::getline(file, raw)) {
        const std::wstring line = FromUtf8(raw);
        if (line.empty() || line[0] == L'#') {
            last = nullptr;
            continue;
        }
        if (line[0] == L'[') {
            CatalogueRow row;
            if (swscanf(line.c_str(), L"[row %d.%d]", &row.category, &row.index) == 2)
                rows.push_back(row);
            last = nullptr;
            continue;
        }
        if ((line[0] == L' ' || line[0] == L'\t') && last) {
            const std::wstring more = Trim(line);
            if (!more.empty())
                *last += L" " + more;
            continue;
        }
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos || rows.empty())
            continue;
        const std::wstring key = Trim(line.substr(0, equals));
        const std::wstring value = Trim(line.substr(equals + 1));
        CatalogueRow& row = rows.back();
        last = key == L"name"          ? &row.name
               : key == L"description" ? &row.description
               : key == L"program"     ? &row.program
               : key == L"arguments"   ? &row.arguments
               : key == L"icon file"   ? &row.iconFile
               : key == L"icon index"  ? &row.iconIndex
                                       : nullptr;
        if (last)
            *last = value;
    }
    return rows;
}

std::wstring InstallPathFor(const std::wstring& program)
{
    if (program.find(L'\\') == std::wstring::npos) {
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        return qvtest::JoinPath(system, program);
    }
    wchar_t expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsW(program.c_str(), expanded, MAX_PATH);
    return expanded;
}

std::wstring StandinFor(const std::wstring& program)
{
    const bool applet = program.find(L".cpl") != std::wstring::npos || program.find(L".CPL") != std::wstring::npos;
    return applet ? StandinCplPath() : StandinExePath();
}

bool Installation::Place(const std::wstring& source, const std::wstring& target)
{
    m_files.push_back(std::make_unique<qvtest::FileCopyGuard>(source, target));
    EXPECT_TRUE(m_files.back()->ok()) << "cannot place " << std::string(target.begin(), target.end());
    return m_files.back()->ok();
}

bool Installation::Program(const std::wstring& program, const std::wstring& target)
{
    return Place(StandinFor(program), target.empty() ? InstallPathFor(program) : target);
}

std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wistringstream stream(text);
    std::wstring line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::wstring> Block(const std::wstring& text, const std::wstring& header)
{
    std::vector<std::wstring> block;
    bool inside = false;
    for (const std::wstring& line : Lines(text)) {
        if (inside && (line.rfind(L"  Row ", 0) == 0 || line.rfind(L"-----", 0) == 0))
            break;
        if (line == header)
            inside = true;
        if (inside)
            block.push_back(line);
    }
    return block;
}

}  // namespace qvcheck
