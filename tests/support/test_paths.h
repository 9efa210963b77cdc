// Where the test programs find the launcher, the recorders and their own files.
// Tests run under Wine, where the Unix build tree is reachable as Z:\...
#pragma once

#include <string>

namespace qvtest {

// "/work/x/y" -> "Z:\work\x\y"; a path that already has a drive is returned unchanged.
std::wstring WindowsPathFromUnix(const std::wstring& path);
std::wstring WindowsPathFromUnix(const char* path);

bool FileExists(const std::wstring& path);
std::wstring FolderOf(const std::wstring& path);   // without the trailing backslash
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The folder of the running test program.
std::wstring TestExeFolder();

// recorder.exe and recorder.cpl: the build's own copies (set by CMake), else
// the ones beside the test program. Empty when neither exists.
std::wstring RecorderExePath();
std::wstring RecorderCplPath();

// The launcher: the environment variable QUORVANE_EXE, else the build's
// Quorvane target (when the tree has one), else app\Quorvane.exe found in the
// test program's folder or one of its parents. Empty when none exists.
std::wstring LauncherExePath();

// A fresh, empty folder for one test's files under the Windows temp folder
// (created; not removed automatically).
std::wstring MakeScratchFolder(const std::wstring& tag);

// A fresh folder that is removed with the files directly in it when the guard goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& tag) : path_(MakeScratchFolder(tag)) {}
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return JoinPath(path_, name); }

private:
    std::wstring path_;
};

}  // namespace qvtest
