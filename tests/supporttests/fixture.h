// The stand-in window program the support tests drive (fixture_window.exe).
#pragma once

#include <gtest/gtest.h>

#include "tests/support/gui_support.h"

namespace qvsupporttest {

inline constexpr wchar_t kFixtureClass[] = L"QvFixtureWindow";
inline constexpr int kListId = 301, kButtonId = 302, kStatusId = 303, kClicksId = 304, kDpiId = 305, kListClickId = 306;
inline constexpr COLORREF kMarkColor = RGB(0x20, 0xA0, 0x60);
inline constexpr RECT kMarkRect = {10, 250, 110, 330};
inline constexpr DWORD kExitOnClose = 5, kExitOnEscape = 2;

inline std::wstring FixtureExePath() { return qvtest::WindowsPathFromUnix(QV_FIXTURE_WINDOW_EXE); }

// Starts the fixture and waits until its window is shown and idle. The
// process ends with the test even when an assertion fails first.
class FixtureWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(qvtest::FileExists(FixtureExePath())) << "missing fixture_window.exe";
        qvtest::MoveMouseAway();
        ASSERT_TRUE(process_.Start({FixtureExePath(), L"", L"", {}}));
        window_ = process_.WaitForWindow(kFixtureClass);
        ASSERT_NE(window_, nullptr) << "the fixture window did not appear; the process "
                                    << (process_.IsRunning() ? "still runs" : "has ended");
        ASSERT_TRUE(process_.WaitForIdle());
        qvtest::Settle(window_);
    }

    void TearDown() override
    {
        if (HasFailure()) {
            // The window's client area, or the whole screen when there is no window.
            const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            const qvtest::ScreenCapture capture =
                window_ ? qvtest::ScreenCapture::OfClient(window_) : qvtest::ScreenCapture::OfScreenRect(screen);
            const std::wstring shot = qvtest::JoinPath(qvtest::MakeScratchFolder(L"failure"), L"fixture.bmp");
            if (capture.SaveBmp(shot))
                std::wcerr << L"screen of the failing test: " << shot << L"\n";
        }
    }

    qvtest::LaunchedProcess process_;
    HWND window_ = nullptr;
};

}  // namespace qvsupporttest
