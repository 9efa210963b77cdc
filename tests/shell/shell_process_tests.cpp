// The real launcher as a separate process: its window at each DPI, the
// single-instance rule, the working folder, the first category shown, and
// the ways of closing it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/shell/shell_machine.h"
#include "tests/support/gui_support.h"

namespace {

using namespace qvtest;
using namespace qvshelltest;

constexpr int kItemList = 155, kDescription = 156, kCategory0 = 157, kCategory4 = 161;

bool MarkerExists()
{
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kLauncherMutex);
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

// Starts the launcher and waits until its window is shown and idle.
class Launcher {
public:
    explicit Launcher(const std::wstring& currentDirectory = L"")
    {
        if (process_.Start({LauncherExePath(), L"", currentDirectory, {}})) {
            window_ = process_.WaitForWindow(kLauncherClass);
            if (window_) {
                process_.WaitForIdle();
                Settle(window_);
            }
        }
    }
    HWND window() const { return window_; }
    LaunchedProcess& process() { return process_; }

private:
    LaunchedProcess process_;
    HWND window_ = nullptr;
};

class LauncherProcessTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(LauncherExePath().empty()) << "Quorvane.exe not found";
        // A copy left over from elsewhere would turn every start into a second start.
        ASSERT_TRUE(WaitUntilMutexGone(kLauncherMutex)) << "another launcher is running";
        MoveMouseAway();
    }
};

class ShellStartup : public LauncherProcessTest {};
class ShellSingleInstance : public LauncherProcessTest {};
class ShellWorkingFolder : public LauncherProcessTest {};
class ShellInitialCategory : public LauncherProcessTest {};
class ShellClose : public LauncherProcessTest {};

TEST_F(ShellStartup, OneWindowWithTheLayoutClientSizeAtEachDpi)
{
    struct Row {
        DWORD dpi;
        LONG width, height;
    };
    const Row table[] = {{96, 685, 489}, {120, 856, 611}, {144, 1027, 733}};
    for (const Row& row : table) {
        SCOPED_TRACE(testing::Message() << row.dpi << " DPI");
        DpiGuard dpi(row.dpi);
        ASSERT_TRUE(dpi.ok());

        Launcher launcher;
        ASSERT_NE(launcher.window(), nullptr);
        const std::vector<HWND> windows = VisibleTopLevelWindowsOf(launcher.process().pid());
        ASSERT_EQ(windows.size(), 1u);
        EXPECT_EQ(windows[0], launcher.window());
        EXPECT_EQ(WindowClass(launcher.window()), kLauncherClass);
        EXPECT_EQ(WindowText(launcher.window()), kLauncherTitle);
        EXPECT_EQ(GetParent(launcher.window()), nullptr);

        RECT client = {};
        ASSERT_TRUE(GetClientRect(launcher.window(), &client));
        EXPECT_EQ(client.right - client.left, row.width);
        EXPECT_EQ(client.bottom - client.top, row.height);

        PostMessageW(launcher.window(), WM_CLOSE, 0, 0);
        ASSERT_TRUE(launcher.process().WaitForExit());
    }
}

TEST_F(ShellSingleInstance, SecondStartRaisesTheFirstAndEnds)
{
    Launcher first;
    ASSERT_NE(first.window(), nullptr);
    EXPECT_TRUE(MarkerExists());

    DecoyWindow decoy;
    ASSERT_NE(decoy.hwnd(), nullptr);
    ASSERT_TRUE(BringToForeground(decoy.hwnd()));

    LaunchedProcess second({LauncherExePath(), L"", L"", {}});
    ASSERT_TRUE(second.started());
    DWORD code = 99;
    ASSERT_TRUE(second.WaitForExit(kDeadlineMs, &code)) << "the second copy kept running";
    EXPECT_EQ(code, 0u);

    EXPECT_TRUE(WaitForForeground(first.window())) << "the running window did not come to the front";
    const std::vector<HWND> launchers = VisibleTopLevelWindowsOfClass(kLauncherClass);
    ASSERT_EQ(launchers.size(), 1u);
    EXPECT_EQ(launchers[0], first.window());
    EXPECT_TRUE(first.process().IsRunning());
    EXPECT_TRUE(MarkerExists()) << "the second copy took the marker away";

    // Once the first copy has gone, a start opens a window again.
    PostMessageW(first.window(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.process().WaitForExit());
    ASSERT_TRUE(WaitUntilMutexGone(kLauncherMutex));
    Launcher third;
    ASSERT_NE(third.window(), nullptr);
    EXPECT_TRUE(third.process().IsRunning());
    PostMessageW(third.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(third.process().WaitForExit());
}

TEST_F(ShellWorkingFolder, IsTheProgramFolderWhereverStartedFrom)
{
    InstalledStandIns standIns({kRecoveryMedia});
    ASSERT_TRUE(standIns.ok());
    ScratchFolder elsewhere(L"shellcwd");
    RecorderLog log(elsewhere.File(L"launches.log"));
    log.UseForThisProcess();  // the launcher, and what it starts, inherit the log's name

    const std::wstring programFolder = FolderOf(LauncherExePath());
    ASSERT_NE(_wcsicmp(elsewhere.path().c_str(), programFolder.c_str()), 0);

    Launcher launcher(elsewhere.path());
    ASSERT_NE(launcher.window(), nullptr);
    ListViewProbe list(Control(launcher.window(), kItemList));
    ASSERT_TRUE(list.ok());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.ItemText(0), kRecoveryMediaName);

    // A click on the utility starts it with an empty working folder: it runs in the launcher's.
    const RECT icon = list.ItemRectOnScreen(0, LVIR_ICON);
    ASSERT_LT(icon.left, icon.right);
    ASSERT_TRUE(BringToForeground(launcher.window()));
    ASSERT_TRUE(ClickAt(CenterOf(icon)));
    ASSERT_TRUE(log.WaitForLines(1)) << "the utility was not started";
    const std::vector<LaunchRecord> records = log.Read();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(_wcsicmp(records[0].exe.c_str(), standIns.PathOf(0).c_str()), 0) << records[0].exe;
    EXPECT_EQ(_wcsicmp(records[0].cwd.c_str(), programFolder.c_str()), 0)
        << "started in " << testing::PrintToString(records[0].cwd) << ", program folder "
        << testing::PrintToString(programFolder);

    PostMessageW(launcher.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process().WaitForExit());
}

TEST_F(ShellInitialCategory, IsTheLowestPresentOne)
{
    InstalledStandIns standIns({kRecoveryMedia, kBackupUtility, kPowerOptimizer});
    ASSERT_TRUE(standIns.ok());

    Launcher launcher;
    ASSERT_NE(launcher.window(), nullptr);
    const HWND window = launcher.window();
    for (int id = kCategory0; id <= kCategory4; ++id) {
        const bool shown = id == kCategory0 + 2 || id == kCategory0 + 3;
        EXPECT_EQ(IsVisible(Control(window, id)), shown) << "button " << id;
    }
    EXPECT_NE(ButtonState(Control(window, kCategory0 + 2)) & BST_PUSHED, 0) << "category 2 is not selected";
    EXPECT_EQ(ButtonState(Control(window, kCategory0 + 3)) & BST_PUSHED, 0);
    EXPECT_EQ(WindowText(Control(window, kDescription)), kCategory2Text);

    ListViewProbe list(Control(window, kItemList));
    ASSERT_TRUE(list.ok());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ItemText(0), kRecoveryMediaName);
    EXPECT_EQ(list.ItemText(1), kBackupUtilityName);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process().WaitForExit());
}

TEST_F(ShellInitialCategory, NoneWhenNothingIsInstalled)
{
    Launcher launcher;
    ASSERT_NE(launcher.window(), nullptr);
    const HWND window = launcher.window();
    for (int id = kCategory0; id <= kCategory4; ++id)
        EXPECT_FALSE(IsVisible(Control(window, id))) << "button " << id;
    ListViewProbe list(Control(window, kItemList));
    ASSERT_TRUE(list.ok());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(IsVisible(Control(window, kItemList)));
    EXPECT_EQ(WindowText(Control(window, kDescription)), kCategory0Text);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process().WaitForExit());
}

TEST_F(ShellClose, ByCloseBoxAndAltF4EndsAndReleasesTheMarker)
{
    enum class Way { CloseBox, AltF4 };
    for (Way way : {Way::CloseBox, Way::AltF4}) {
        SCOPED_TRACE(way == Way::CloseBox ? "close box" : "Alt+F4");
        ASSERT_TRUE(WaitUntilMutexGone(kLauncherMutex));
        Launcher launcher;
        ASSERT_NE(launcher.window(), nullptr);
        ASSERT_TRUE(MarkerExists());

        if (way == Way::CloseBox) {
            PostMessageW(launcher.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            ASSERT_TRUE(BringToForeground(launcher.window()));
            PressKey(VK_F4, kAlt);
        }
        DWORD code = 99;
        ASSERT_TRUE(launcher.process().WaitForExit(kDeadlineMs, &code)) << "the launcher did not end";
        EXPECT_EQ(code, 0u);
        // The marker goes with the window, not later.
        SetLastError(0);
        HANDLE marker = OpenMutexW(SYNCHRONIZE, FALSE, kLauncherMutex);
        const DWORD error = GetLastError();
        EXPECT_EQ(marker, nullptr) << "the marker outlived the launcher";
        if (marker)
            CloseHandle(marker);
        else
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_TRUE(VisibleTopLevelWindowsOfClass(kLauncherClass).empty());
    }
}

}  // namespace
