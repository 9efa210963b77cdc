#include "tests/support/test_paths.h"

#include <windows.h>

namespace qvtest {

#ifndef QV_RECORDER_EXE
#define QV_RECORDER_EXE ""
#endif
#ifndef QV_RECORDER_CPL
#define QV_RECORDER_CPL ""
#endif
#ifndef QV_LAUNCHER_EXE
#define QV_LAUNCHER_EXE ""
#endif

std::wstring WindowsPathFromUnix(const std::wstring& path)
{
    if (path.empty() || (path.size() >= 2 && path[1] == L':') || path[0] != L'/')
        return path;
    std::wstring out = L"Z:" + path;
    for (wchar_t& c : out)
        if (c == L'/')
            c = L'\\';
    return out;
}

std::wstring WindowsPathFromUnix(const char* path)
{
    std::wstring wide;
    for (const char* p = path; *p; ++p)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));  // build paths are ASCII
    return WindowsPathFromUnix(wide);
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty() || folder.back() == L'\\')
        return folder + name;
    return folder + L"\\" + name;
}

std::wstring TestExeFolder()
{
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 2);
    return FolderOf(std::wstring(buf, n < MAX_PATH * 2 ? n : 0));
}

namespace {

std::wstring FirstExisting(const char* built, const wchar_t* besideName)
{
    const std::wstring fromBuild = WindowsPathFromUnix(built);
    if (!fromBuild.empty() && FileExists(fromBuild))
        return fromBuild;
    const std::wstring beside = JoinPath(TestExeFolder(), besideName);
    return FileExists(beside) ? beside : std::wstring();
}

}  // namespace

std::wstring RecorderExePath() { return FirstExisting(QV_RECORDER_EXE, L"recorder.exe"); }
std::wstring RecorderCplPath() { return FirstExisting(QV_RECORDER_CPL, L"recorder.cpl"); }

std::wstring LauncherExePath()
{
    wchar_t buf[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableW(L"QUORVANE_EXE", buf, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2)
        return WindowsPathFromUnix(std::wstring(buf));
    const std::wstring built = WindowsPathFromUnix(QV_LAUNCHER_EXE);
    if (!built.empty() && FileExists(built))
        return built;
    for (std::wstring folder = TestExeFolder(); !folder.empty(); folder = FolderOf(folder)) {
        for (const wchar_t* name : {L"Quorvane.exe", L"app\\Quorvane.exe"}) {
            const std::wstring candidate = JoinPath(folder, name);
            if (FileExists(candidate))
                return candidate;
        }
    }
    return {};
}

std::wstring MakeScratchFolder(const std::wstring& tag)
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring base = JoinPath(std::wstring(temp, n), L"qvtest");
    CreateDirectoryW(base.c_str(), nullptr);
    // Two calls within one tick get the same time: the folder that is made is the fresh one.
    const std::wstring stem = JoinPath(base, tag + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                                 std::to_wstring(GetTickCount64()));
    std::wstring folder = stem;
    for (int copy = 2; !CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS; ++copy)
        folder = stem + L"-" + std::to_wstring(copy);
    return folder;
}

ScratchFolder::~ScratchFolder()
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(JoinPath(path_, L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(JoinPath(path_, found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

}  // namespace qvtest
