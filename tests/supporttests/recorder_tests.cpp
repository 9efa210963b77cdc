// recorder.exe started directly: one line per start, nothing lost when many
// start together, the arguments kept exactly.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "tests/support/gui_support.h"

namespace {

using namespace qvtest;

TEST(SupportRecorder, LogsItsPathArgumentsAndFolder)
{
    const ScratchFolder scratch(L"recorder");
    const std::wstring& folder = scratch.path();
    RecorderLog log(JoinPath(folder, L"launches.log"));
    const std::wstring args = L"plain  \"with blanks\"\t/x:\"y z\" ";
    LaunchedProcess recorder;
    ASSERT_TRUE(recorder.Start({RecorderExePath(), args, folder, {{L"QUORVANE_RECORDER_LOG", log.path()}}}));
    DWORD code = 99;
    ASSERT_TRUE(recorder.WaitForExit(kDeadlineMs, &code));
    EXPECT_EQ(code, 0u);
    const auto records = log.Read();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(CompareStringOrdinal(records[0].exe.c_str(), -1, RecorderExePath().c_str(), -1, TRUE), CSTR_EQUAL)
        << records[0].line.c_str();
    EXPECT_EQ(records[0].args, args);
    EXPECT_EQ(records[0].cwd, folder);
}

TEST(SupportRecorder, ConcurrentStartsKeepEveryLine)
{
    const ScratchFolder scratch(L"concurrent");
    const std::wstring& folder = scratch.path();
    RecorderLog log(JoinPath(folder, L"launches.log"));
    constexpr int kStarts = 12;
    std::vector<std::unique_ptr<LaunchedProcess>> recorders;
    for (int i = 0; i < kStarts; ++i) {
        recorders.push_back(std::make_unique<LaunchedProcess>());
        ASSERT_TRUE(recorders.back()->Start(
            {RecorderExePath(), L"start-" + std::to_wstring(i), folder, {{L"QUORVANE_RECORDER_LOG", log.path()}}}));
    }
    for (auto& recorder : recorders) {
        DWORD code = 99;
        ASSERT_TRUE(recorder->WaitForExit(kDeadlineMs, &code));
        EXPECT_EQ(code, 0u);
    }
    std::set<std::wstring> seen;
    for (const LaunchRecord& record : log.Read())
        seen.insert(record.args);
    EXPECT_EQ(seen.size(), static_cast<size_t>(kStarts));
    EXPECT_EQ(log.Read().size(), static_cast<size_t>(kStarts));
}

TEST(SupportRecorder, LogIsClearedAndWaitedFor)
{
    const ScratchFolder scratch(L"clear");
    const std::wstring& folder = scratch.path();
    RecorderLog log(JoinPath(folder, L"launches.log"));
    log.UseForThisProcess();
    {
        LaunchedProcess recorder({RecorderExePath(), L"one", folder, {}});  // inherits the variable
        ASSERT_TRUE(log.WaitForLines(1));
    }
    log.Clear();
    EXPECT_TRUE(log.Read().empty());
    EXPECT_FALSE(log.WaitForLines(1, 200));  // nothing more is started: a short window is enough
}

TEST(SupportRecorder, ParsesAppletLines)
{
    const LaunchRecord start = ParseLaunchRecord(L"cpl=C:\\r\\recorder.cpl\tmsg=CPL_STARTWPARMSW\ttext=a\tb");
    EXPECT_TRUE(start.isApplet());
    EXPECT_EQ(start.cpl, L"C:\\r\\recorder.cpl");
    EXPECT_EQ(start.msg, L"CPL_STARTWPARMSW");
    EXPECT_EQ(start.text, L"a\tb");
    const LaunchRecord exe = ParseLaunchRecord(L"exe=C:\\r.exe\targs=x\ty\tcwd=C:\\");
    EXPECT_FALSE(exe.isApplet());
    EXPECT_EQ(exe.args, L"x\ty");
    EXPECT_EQ(exe.cwd, L"C:\\");
}

}  // namespace
