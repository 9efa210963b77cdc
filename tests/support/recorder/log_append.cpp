#include "log_append.h"

#include <windows.h>

#include "tests/support/wait.h"

namespace qvrec {

std::wstring LogPath()
{
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableW(L"QUORVANE_RECORDER_LOG", buf, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2)
        return buf;
    return L"C:\\recorder\\launches.log";
}

std::wstring ModulePath(void* module)
{
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(module), buf, MAX_PATH * 2);
    return std::wstring(buf, n < MAX_PATH * 2 ? n : 0);
}

namespace {

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void CreateParentFolder(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 2)
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
}

// Held while one line is appended. An append-only handle is not enough when
// recorders start together: Wine writes such a handle's data at the size the
// file had a moment before (a stat, then a positioned write), so two writers
// can put their lines at the same offset and one line is lost.
class AppendGuard {
public:
    AppendGuard() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\QuorvaneRecorderLogAppend"))
    {
        if (mutex_ != nullptr) {
            const DWORD wait = WaitForSingleObject(mutex_, qvtest::kDeadlineMs);
            owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        }
    }
    ~AppendGuard()
    {
        if (owned_)
            ReleaseMutex(mutex_);
        if (mutex_ != nullptr)
            CloseHandle(mutex_);
    }
    AppendGuard(const AppendGuard&) = delete;
    AppendGuard& operator=(const AppendGuard&) = delete;

    bool owned() const { return owned_; }

private:
    HANDLE mutex_;
    bool owned_ = false;
};

}  // namespace

bool AppendLine(const std::wstring& line)
{
    const std::wstring path = LogPath();
    const std::string bytes = ToUtf8(line + L"\r\n");
    const AppendGuard guard;
    if (!guard.owned())
        return false;
    // Another recorder may hold the log for a moment: tried again until the deadline.
    bool failed = false;
    const bool written = qvtest::WaitUntil(
        [&] {
            HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                const DWORD error = GetLastError();
                if (error == ERROR_PATH_NOT_FOUND)
                    CreateParentFolder(path);
                else if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
                         error != ERROR_ACCESS_DENIED)
                    failed = true;
                return failed;
            }
            DWORD count = 0;
            const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr);
            CloseHandle(file);
            return ok && count == bytes.size();
        },
        qvtest::kDeadlineMs, 20);
    return written && !failed;
}

}  // namespace qvrec
