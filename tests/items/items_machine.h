// What the item tests put on the machine: recorders and stand-ins at the paths
// the shipped catalogue names, removed again when the test ends.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/gui_support.h"

namespace itemstest {

// Install paths of the shipped rows used here (the 64-bit program folder).
inline const std::wstring kVelmora = L"C:\\Program Files\\Velmora\\";
inline const std::wstring kConnectionManager = kVelmora + L"ConnectionManager\\ConnectionManager.exe";  // row 0.0
inline const std::wstring kFingerprintVault = kVelmora + L"FingerprintVault\\FingerprintVault.exe";      // rows 1.0 /s, 1.3 /u
inline const std::wstring kRecoveryMedia = kVelmora + L"RecoveryMedia\\RecoveryMedia.exe";              // row 2.0
inline const std::wstring kBackupUtility = kVelmora + L"BackupUtility\\BackupUtility.exe";              // row 2.1
inline const std::wstring kBackupIcon = kVelmora + L"BackupUtility\\BACKUP.ICO";                        // its icon file
inline const std::wstring kPowerOptimizer = kVelmora + L"PowerOptimizer\\PowerOptimizer.exe";           // row 3.2
inline const std::wstring kSystemDiagnostics = kVelmora + L"SystemDiagnostics\\SystemDiagnostics.exe";  // row 3.4
inline const std::wstring kDriverUpdater = kVelmora + L"DriverUpdater\\DriverUpdater.exe";              // row 3.6

// The stand-in utility (a program with an icon resource).
std::wstring StandinExePath();

// Files placed for one test, each removable on its own before the end.
class Installation {
public:
    Installation() = default;
    // Removes what is left, latest first, then the folders it created.
    ~Installation();
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    bool Copy(const std::wstring& source, const std::wstring& target);
    bool Write(const std::string& bytes, const std::wstring& target);
    // Takes the file away now (putting back what was there before us).
    void Remove(const std::wstring& target);

private:
    void NoteNewFolders(const std::wstring& target);

    std::vector<std::pair<std::wstring, std::unique_ptr<qvtest::FileCopyGuard>>> files_;
    std::vector<std::wstring> newFolders_;  // outermost first
};

// Polls `probe` on the dialog's thread until it is true.
template <typename Host, typename Probe>
bool WaitOnDialog(Host& host, Probe probe, DWORD timeoutMs = qvtest::kDeadlineMs)
{
    return qvtest::WaitUntil(
        [&] {
            bool done = false;
            host.Call([&](auto& dlg) { done = probe(dlg); });
            return done;
        },
        timeoutMs, 20);
}

// The window text of a control of our own process, read directly.
std::wstring TextOf(HWND hwnd);

}  // namespace itemstest
