#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/test_paths.h"

namespace {

using namespace qvtest;

TEST(SupportPaths, UnixPathsBecomeDriveZ)
{
    EXPECT_EQ(WindowsPathFromUnix(L"/work/main/build/x.exe"), L"Z:\\work\\main\\build\\x.exe");
    EXPECT_EQ(WindowsPathFromUnix("/tmp/a"), L"Z:\\tmp\\a");
    EXPECT_EQ(WindowsPathFromUnix(L"C:\\Windows"), L"C:\\Windows");
    EXPECT_EQ(WindowsPathFromUnix(L""), L"");
}

TEST(SupportPaths, RecordersAreFound)
{
    EXPECT_TRUE(FileExists(RecorderExePath())) << RecorderExePath().c_str();
    EXPECT_TRUE(FileExists(RecorderCplPath()));
    EXPECT_NE(RecorderCplPath().find(L".cpl"), std::wstring::npos);
}

TEST(SupportPaths, LauncherPathFollowsEnvironment)
{
    const std::wstring stand_in = RecorderExePath();
    ASSERT_TRUE(SetEnvironmentVariableW(L"QUORVANE_EXE", stand_in.c_str()));
    EXPECT_EQ(LauncherExePath(), stand_in);
    SetEnvironmentVariableW(L"QUORVANE_EXE", nullptr);
    const std::wstring found = LauncherExePath();
    EXPECT_TRUE(found.empty() || FileExists(found));
}

TEST(SupportPaths, ScratchFoldersAreFreshAndExist)
{
    const std::wstring a = MakeScratchFolder(L"paths");
    const std::wstring b = MakeScratchFolder(L"paths");
    EXPECT_NE(a, b);
    EXPECT_NE(GetFileAttributesW(a.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(a.c_str());
    RemoveDirectoryW(b.c_str());
}

}  // namespace
