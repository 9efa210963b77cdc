#include "tests/support/launched_process.h"

#include <algorithm>
#include <map>

#include "tests/support/test_paths.h"
#include "tests/support/wait.h"

namespace qvtest {

namespace {

struct NoCaseLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const
    {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_LESS_THAN;
    }
};

struct FindData {
    const std::wstring* className;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* data = reinterpret_cast<FindData*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (data->pid != 0 && owner != data->pid)
        return TRUE;
    wchar_t name[256];
    if (!GetClassNameW(hwnd, name, 256) || *data->className != name || !IsWindowVisible(hwnd))
        return TRUE;
    data->found = hwnd;
    return FALSE;
}

}  // namespace

std::vector<wchar_t> BuildEnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& changes)
{
    std::map<std::wstring, std::wstring, NoCaseLess> variables;
    std::vector<std::wstring> drives;  // "=C:=C:\..." entries keep their place in front
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
            const std::wstring entry = p;
            const size_t eq = entry.find(L'=', 1);
            if (entry[0] == L'=' || eq == std::wstring::npos)
                drives.push_back(entry);
            else
                variables[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : changes)
        variables[name] = value;
    std::vector<wchar_t> out;
    auto append = [&out](const std::wstring& entry) {
        out.insert(out.end(), entry.begin(), entry.end());
        out.push_back(L'\0');
    };
    for (const auto& entry : drives)
        append(entry);
    for (const auto& [name, value] : variables)
        append(name + L"=" + value);
    out.push_back(L'\0');
    return out;
}

HWND FindTopLevelWindow(const std::wstring& className, DWORD pid)
{
    FindData data{&className, pid, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

bool WaitUntilMutexGone(const std::wstring& name, DWORD timeoutMs)
{
    return WaitUntil(
        [&name] {
            HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
            if (!mutex)
                return true;
            CloseHandle(mutex);
            return false;
        },
        timeoutMs, 20);
}

BOOL CreateProcessStarting(const wchar_t* exe, wchar_t* commandLine, DWORD flags, void* environment,
                           const wchar_t* folder, STARTUPINFOW* startup, PROCESS_INFORMATION* info, DWORD timeoutMs)
{
    BOOL created = FALSE;
    WaitUntil(
        [&] {
            created = CreateProcessW(exe, commandLine, nullptr, nullptr, FALSE, flags, environment, folder, startup,
                                     info);
            return created || GetLastError() != ERROR_INTERNAL_ERROR;
        },
        timeoutMs, 50);
    return created;
}

LaunchedProcess::~LaunchedProcess() { Terminate(); }

bool LaunchedProcess::Start(const LaunchOptions& options)
{
    Terminate();
    std::wstring commandLine = L"\"" + options.exe + L"\"";
    if (!options.arguments.empty())
        commandLine += L" " + options.arguments;
    const std::wstring folder = options.currentDirectory.empty() ? FolderOf(options.exe) : options.currentDirectory;
    std::vector<wchar_t> environment = BuildEnvironmentBlock(options.environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessStarting(options.exe.c_str(), commandLine.data(), CREATE_UNICODE_ENVIRONMENT,
                               environment.data(), folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    return true;
}

bool LaunchedProcess::IsRunning() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND LaunchedProcess::WaitForWindow(const std::wstring& className, DWORD timeoutMs) const
{
    HWND found = nullptr;
    if (!process_)
        return nullptr;
    WaitUntil([&] { return (found = FindTopLevelWindow(className, pid_)) != nullptr || !IsRunning(); }, timeoutMs);
    return found;
}

bool LaunchedProcess::WaitForIdle(DWORD timeoutMs) const
{
    return process_ && WaitForInputIdle(process_, timeoutMs) == 0;
}

bool LaunchedProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const
{
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return false;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    if (exitCode)
        *exitCode = code;
    return true;
}

void LaunchedProcess::Terminate()
{
    if (!process_)
        return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, kDeadlineMs);
    }
    CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

}  // namespace qvtest
