// A program a test starts as a separate process. The destructor ends it if it
// is still running, so a failing test never leaves a window (or a held
// single-instance mutex) behind for the next one.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/wait.h"

namespace qvtest {

struct LaunchOptions {
    std::wstring exe;                // full Windows path
    std::wstring arguments;          // appended after the quoted exe path
    std::wstring currentDirectory;   // empty: the exe's folder
    std::vector<std::pair<std::wstring, std::wstring>> environment;  // added to (or replacing) ours
};

class LaunchedProcess {
public:
    LaunchedProcess() = default;
    explicit LaunchedProcess(const LaunchOptions& options) { Start(options); }
    ~LaunchedProcess();
    LaunchedProcess(const LaunchedProcess&) = delete;
    LaunchedProcess& operator=(const LaunchedProcess&) = delete;

    bool Start(const LaunchOptions& options);
    bool started() const { return process_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_; }

    bool IsRunning() const;
    // The process's visible top-level window of this class, waiting up to
    // timeoutMs (but no longer than the process runs).
    HWND WaitForWindow(const std::wstring& className, DWORD timeoutMs = kDeadlineMs) const;
    // WaitForInputIdle: the process waits for input in its message loop.
    bool WaitForIdle(DWORD timeoutMs = kDeadlineMs) const;
    // True when the process ended within timeoutMs; its exit code goes to *exitCode.
    bool WaitForExit(DWORD timeoutMs = kDeadlineMs, DWORD* exitCode = nullptr) const;
    // Last resort: ends the process and waits for it to be gone.
    void Terminate();

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// The environment block of this process with `changes` applied (names compared
// without case), sorted as CreateProcessW expects, double-NUL terminated.
std::vector<wchar_t> BuildEnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& changes);

// A visible top-level window of `className` that belongs to `pid` (0: any process).
HWND FindTopLevelWindow(const std::wstring& className, DWORD pid = 0);

// CreateProcessW, tried again while it fails with ERROR_INTERNAL_ERROR: under
// load Wine sometimes cannot bring a new process up, and then none of it ran.
// Gives up with that error at the deadline.
BOOL CreateProcessStarting(const wchar_t* exe, wchar_t* commandLine, DWORD flags, void* environment,
                           const wchar_t* folder, STARTUPINFOW* startup, PROCESS_INFORMATION* info,
                           DWORD timeoutMs = kDeadlineMs);

// True once no process holds the named mutex (a single-instance program has ended).
bool WaitUntilMutexGone(const std::wstring& name, DWORD timeoutMs = kDeadlineMs);

}  // namespace qvtest
