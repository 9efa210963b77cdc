#include "tests/support/recorder_log.h"

#include "tests/support/wait.h"

namespace qvtest {

namespace {

std::wstring FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string ReadWholeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

// The text after "<key>=" up to the next tab (or the end); empty when absent.
std::wstring Field(const std::wstring& line, const std::wstring& key)
{
    const std::wstring tag = key + L"=";
    size_t start = line.compare(0, tag.size(), tag) == 0 ? 0 : line.find(L"\t" + tag);
    if (start == std::wstring::npos)
        return {};
    start += (start == 0 ? 0 : 1) + tag.size();
    const size_t end = line.find(L'\t', start);
    return line.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

}  // namespace

LaunchRecord ParseLaunchRecord(const std::wstring& line)
{
    LaunchRecord record;
    record.line = line;
    if (line.compare(0, 4, L"cpl=") == 0) {
        record.cpl = Field(line, L"cpl");
        record.msg = Field(line, L"msg");
        const size_t text = line.find(L"\ttext=");
        if (text != std::wstring::npos)
            record.text = line.substr(text + 6);  // the rest of the line, tabs included
        return record;
    }
    // exe=... TAB args=... TAB cwd=...: the arguments may hold tabs of their own,
    // so they run from the first "args=" to the last "cwd=".
    const size_t args = line.find(L"\targs=");
    const size_t cwd = line.rfind(L"\tcwd=");
    if (line.compare(0, 4, L"exe=") != 0 || args == std::wstring::npos || cwd == std::wstring::npos || cwd < args)
        return record;
    record.exe = line.substr(4, args - 4);
    record.args = line.substr(args + 6, cwd - args - 6);
    record.cwd = line.substr(cwd + 5);
    return record;
}

RecorderLog::RecorderLog(std::wstring path) : path_(std::move(path)) { Clear(); }

RecorderLog::~RecorderLog()
{
    if (envSet_)
        SetEnvironmentVariableW(L"QUORVANE_RECORDER_LOG", hadEnv_ ? oldEnv_.c_str() : nullptr);
    DeleteFileW(path_.c_str());
}

void RecorderLog::UseForThisProcess()
{
    if (!envSet_) {
        wchar_t buf[MAX_PATH * 2];
        const DWORD n = GetEnvironmentVariableW(L"QUORVANE_RECORDER_LOG", buf, MAX_PATH * 2);
        hadEnv_ = n > 0 && n < MAX_PATH * 2;
        if (hadEnv_)
            oldEnv_ = buf;
        envSet_ = true;
    }
    SetEnvironmentVariableW(L"QUORVANE_RECORDER_LOG", path_.c_str());
}

void RecorderLog::Clear()
{
    // Emptied in place rather than deleted: a recorder may hold it open just now.
    WaitUntil(
        [this] {
            HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
            SetFilePointer(file, 0, nullptr, FILE_BEGIN);
            SetEndOfFile(file);
            CloseHandle(file);
            return true;
        },
        kDeadlineMs, 20);
}

std::vector<std::wstring> RecorderLog::Lines() const
{
    const std::wstring text = FromUtf8(ReadWholeFile(path_));
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos)
            break;  // a line is complete only with its CRLF
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<LaunchRecord> RecorderLog::Read() const
{
    std::vector<LaunchRecord> records;
    for (const std::wstring& line : Lines())
        records.push_back(ParseLaunchRecord(line));
    return records;
}

bool RecorderLog::WaitForLines(size_t count, DWORD timeoutMs) const
{
    return WaitUntil([&] { return Lines().size() >= count; }, timeoutMs, 20);
}

}  // namespace qvtest
