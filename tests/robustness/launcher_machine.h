// A machine set up like a demo machine for tests of the real Quorvane.exe:
// recorders at the program paths of the shipped catalogue rows, a support
// address, the user's guide, and the web and document associations sent to
// the recorder, so that every start the launcher makes lands in one log.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/gui_support.h"

namespace qvrobust {

// One shipped catalogue row (res/catalogue.txt).
struct ShippedRow {
    int category = 0;
    int index = 0;
    std::wstring program;  // as written, variables unexpanded; empty when none
};

std::vector<ShippedRow> ReadShippedRows();
std::wstring ExpandVariables(const std::wstring& text);

class LauncherMachine {
public:
    // `installGuide`: put C:\Docs\UserGuide.pdf in place (the Help target).
    explicit LauncherMachine(const std::wstring& tag, bool installGuide = true);
    LauncherMachine(const LauncherMachine&) = delete;
    LauncherMachine& operator=(const LauncherMachine&) = delete;

    bool ok() const { return ok_; }
    // The number of items each category shows: the installed rows, at most twelve.
    const std::array<int, 5>& ExpectedCounts() const { return expected_; }
    // The rows (t = 100 k + i) category k shows, in the list's order.
    const std::vector<int>& ShownRows(int k) const { return shown_[static_cast<size_t>(k)]; }
    // Paths of the installed stand-ins (expanded).
    std::vector<std::wstring> InstalledPrograms() const;
    qvtest::RecorderLog& log() { return *log_; }
    const qvtest::ScratchFolder& scratch() const { return scratch_; }
    qvtest::RegistryValueGuard& supportUrl() { return *support_; }

    static constexpr wchar_t kSupportUrl[] = L"https://www.velmora.example/support/?from=quorvane";
    static constexpr wchar_t kGuide[] = L"C:\\Docs\\UserGuide.pdf";

private:
    qvtest::ScratchFolder scratch_;
    std::unique_ptr<qvtest::RecorderLog> log_;
    std::vector<std::unique_ptr<qvtest::FileCopyGuard>> standIns_;
    std::unique_ptr<qvtest::FileCopyGuard> guide_;
    std::unique_ptr<qvtest::RegistryValueGuard> support_;
    std::unique_ptr<qvtest::RegistryValueGuard> help_;
    std::unique_ptr<qvtest::UrlSchemeAssociation> http_, https_;
    std::unique_ptr<qvtest::FileAssociation> pdf_;
    std::array<int, 5> expected_{};
    std::array<std::vector<int>, 5> shown_;
    bool ok_ = false;
};

// The running launcher as a separate process, with its window.
class RunningLauncher {
public:
    explicit RunningLauncher(const std::wstring& exe = qvtest::LauncherExePath(), const std::wstring& cwd = L"");
    bool ok() const { return window_ != nullptr; }
    HWND window() const { return window_; }
    qvtest::LaunchedProcess& process() { return process_; }
    // Starts again after the window was closed.
    bool Restart();

private:
    bool Start();
    std::wstring exe_, cwd_;
    qvtest::LaunchedProcess process_;
    HWND window_ = nullptr;
};

// The window's state as a user sees it, checked against the installed
// catalogue until it holds (what an action changes may still be on its way):
// empty when everything holds, else what is still wrong at the deadline.
std::string CheckLauncherInvariants(HWND window, const std::array<int, 5>& expected);

}  // namespace qvrobust
