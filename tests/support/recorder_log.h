// The launch log that recorder.exe and recorder.cpl append to.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/wait.h"

namespace qvtest {

// One line of the log. recorder.exe writes exe/args/cwd; recorder.cpl writes
// cpl (its own path), msg (the CPlApplet message name) and, for
// CPL_STARTWPARMSW, text.
struct LaunchRecord {
    std::wstring exe, args, cwd;
    std::wstring cpl, msg, text;
    std::wstring line;  // the whole line as written
    bool isApplet() const { return !cpl.empty(); }
};

LaunchRecord ParseLaunchRecord(const std::wstring& line);

// A log file for one test. UseForThisProcess() sets QUORVANE_RECORDER_LOG in
// this process, so that everything it starts (through CreateProcess or the
// shell) records here; the destructor puts the variable back and deletes the file.
class RecorderLog {
public:
    explicit RecorderLog(std::wstring path);
    ~RecorderLog();
    RecorderLog(const RecorderLog&) = delete;
    RecorderLog& operator=(const RecorderLog&) = delete;

    const std::wstring& path() const { return path_; }
    void UseForThisProcess();
    void Clear();

    std::vector<LaunchRecord> Read() const;
    std::vector<std::wstring> Lines() const;
    // Polls until the log holds at least `count` lines; false on timeout.
    bool WaitForLines(size_t count, DWORD timeoutMs = kDeadlineMs) const;
    // Polls until some line satisfies `match` (e.g. an applet message arrived).
    template <typename Match>
    bool WaitFor(Match match, DWORD timeoutMs = kDeadlineMs) const;

private:
    std::wstring path_;
    bool envSet_ = false;
    bool hadEnv_ = false;
    std::wstring oldEnv_;
};

template <typename Match>
bool RecorderLog::WaitFor(Match match, DWORD timeoutMs) const
{
    return WaitUntil(
        [&] {
            for (const LaunchRecord& record : Read())
                if (match(record))
                    return true;
            return false;
        },
        timeoutMs, 20);
}

}  // namespace qvtest
