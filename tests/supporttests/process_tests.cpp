// Starting, waiting for and ending a separate process.
#include <gtest/gtest.h>

#include "fixture.h"

namespace {

using namespace qvtest;
using namespace qvsupporttest;

TEST(SupportProcess, EnvironmentAndFolderReachTheChild)
{
    const ScratchFolder scratch(L"process");
    RecorderLog log(scratch.File(L"launches.log"));
    LaunchedProcess recorder({RecorderExePath(), L"x", scratch.path(), {{L"quorvane_recorder_log", log.path()}}});
    ASSERT_TRUE(recorder.started());
    DWORD code = 99;
    ASSERT_TRUE(recorder.WaitForExit(kDeadlineMs, &code));
    EXPECT_EQ(code, 0u);
    ASSERT_EQ(log.Read().size(), 1u);
    EXPECT_EQ(log.Read()[0].cwd, scratch.path());
}

TEST(SupportProcess, DestructorEndsAProgramStillRunning)
{
    DWORD pid = 0;
    {
        LaunchedProcess fixture({FixtureExePath(), L"", L"", {}});
        ASSERT_NE(fixture.WaitForWindow(kFixtureClass), nullptr);
        pid = fixture.pid();
    }
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0);
        CloseHandle(process);
    }
    EXPECT_EQ(FindTopLevelWindow(kFixtureClass), nullptr);
}

TEST(SupportProcess, WaitForWindowGivesUpWhenTheProgramEnds)
{
    const ScratchFolder scratch(L"no-window");
    RecorderLog log(scratch.File(L"launches.log"));
    LaunchedProcess recorder({RecorderExePath(), L"", L"", {{L"QUORVANE_RECORDER_LOG", log.path()}}});
    const ULONGLONG began = GetTickCount64();
    EXPECT_EQ(recorder.WaitForWindow(L"NoSuchClass"), nullptr);
    EXPECT_LT(GetTickCount64() - began, kDeadlineMs) << "the wait ran to its deadline";
    EXPECT_FALSE(recorder.IsRunning());
}

TEST(SupportProcess, MutexWaitSeesReleaseByProcessEnd)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"QvSupport_Test_Mutex");
    ASSERT_NE(mutex, nullptr);
    EXPECT_FALSE(WaitUntilMutexGone(L"QvSupport_Test_Mutex", 100));  // held: a short window is enough
    CloseHandle(mutex);
    EXPECT_TRUE(WaitUntilMutexGone(L"QvSupport_Test_Mutex"));
}

}  // namespace
