// Machine set-ups shared by the shell tests: which utilities are installed,
// and a window of the test's own that can hold the foreground.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gui_support.h"

namespace qvshelltest {

// Program paths of shipped catalogue rows, as written in the catalogue.
inline constexpr wchar_t kRecoveryMedia[] = L"%PROGRAMFILES%\\Velmora\\RecoveryMedia\\RecoveryMedia.exe";  // row 2.0
inline constexpr wchar_t kBackupUtility[] = L"%PROGRAMFILES%\\Velmora\\BackupUtility\\BackupUtility.exe";  // row 2.1
inline constexpr wchar_t kPowerOptimizer[] = L"%PROGRAMFILES%\\Velmora\\PowerOptimizer\\PowerOptimizer.exe";  // row 3.2
inline constexpr wchar_t kFingerprintVault[] = L"%PROGRAMFILES%\\Velmora\\FingerprintVault\\FingerprintVault.exe";  // row 1.0

// Names the list shows for those rows.
inline constexpr wchar_t kRecoveryMediaName[] = L"Recovery Media Creator";
inline constexpr wchar_t kBackupUtilityName[] = L"Backup Utility";

// Texts of the category descriptions.
inline constexpr wchar_t kCategory0Text[] = L"You can connect your computer to network more easily.";
inline constexpr wchar_t kCategory2Text[] = L"You can protect your computer and easily fix it.";

std::wstring Expand(const std::wstring& path);

// Copies of recorder.exe at catalogue program paths, removed (with the
// folders made for them) when the object goes.
class InstalledStandIns {
public:
    explicit InstalledStandIns(const std::vector<std::wstring>& catalogueProgramPaths);
    // Newest copy first, so that a folder shared by several copies (Velmora)
    // is empty, and goes, when the copy that created it goes.
    ~InstalledStandIns();
    InstalledStandIns(const InstalledStandIns&) = delete;
    InstalledStandIns& operator=(const InstalledStandIns&) = delete;
    bool ok() const { return ok_; }
    const std::wstring& PathOf(size_t index) const { return copies_[index]->path(); }

private:
    std::vector<std::unique_ptr<qvtest::FileCopyGuard>> copies_;
    bool ok_ = true;
};

// A small top-level window of the test program, with a message loop on a
// thread of its own, that a test makes the foreground window.
class DecoyWindow {
public:
    DecoyWindow();
    ~DecoyWindow();
    DecoyWindow(const DecoyWindow&) = delete;
    DecoyWindow& operator=(const DecoyWindow&) = delete;

    HWND hwnd() const { return hwnd_; }

private:
    void Run();

    HANDLE ready_ = nullptr;
    HWND hwnd_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

// The visible top-level windows of the process `pid`.
std::vector<HWND> VisibleTopLevelWindowsOf(DWORD pid);
// The visible top-level windows of `className`, of any process.
std::vector<HWND> VisibleTopLevelWindowsOfClass(const std::wstring& className);

}  // namespace qvshelltest
