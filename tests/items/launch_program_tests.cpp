// The launch rules: how a program path is cleaned, what reaches the shell for
// programs, applets, documents and web addresses, and what is refused.
#include <gtest/gtest.h>

#include <string>

#include "launch/LaunchProgram.h"
#include "tests/support/gui_support.h"

namespace {

using namespace qvtest;

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring Cleaned(const wchar_t* path)
{
    return CleanProgramPath(CString(path)).GetString();
}

TEST(LaunchCleanPath, ProgramPathsLoseQuotesAndTrailingText)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* cleaned;
    };
    const Case cases[] = {
        // A registry-style command line becomes the bare program.
        {L"\"C:\\Utility\\Tool.exe\" /x", L"C:\\Utility\\Tool.exe"},
        {L"\"C:\\Program Files\\Velmora\\A B\\Tool.exe\" -q /r:1", L"C:\\Program Files\\Velmora\\A B\\Tool.exe"},
        {L"\"C:\\Utility\\TOOL.EXE\" /x", L"C:\\Utility\\TOOL.EXE"},
        // Unquoted text after the program is cut as well.
        {L"C:\\Utility\\Tool.exe /x", L"C:\\Utility\\Tool.exe"},
        {L"C:\\Utility\\Tool.exe.config", L"C:\\Utility\\Tool.exe"},
        // Plain paths stay as they are.
        {L"C:\\Utility\\Tool.exe", L"C:\\Utility\\Tool.exe"},
        {L"C:\\Utility\\Tool.EXE", L"C:\\Utility\\Tool.EXE"},
        {L"C:\\Windows\\system32\\main.cpl", L"C:\\Windows\\system32\\main.cpl"},
        {L"", L""},
        // Without ".exe"/".EXE" quotes are kept.
        {L"\"C:\\Docs\\User Guide.pdf\"", L"\"C:\\Docs\\User Guide.pdf\""},
        {L"\"C:\\Windows\\system32\\main.cpl\"", L"\"C:\\Windows\\system32\\main.cpl\""},
        {L"\"C:\\Utility\\Tool.Exe\" /x", L"\"C:\\Utility\\Tool.Exe\" /x"},
        // ".exe" is looked for before ".EXE", and the test is case-sensitive.
        {L"\"C:\\A.EXE\" b.exe", L"C:\\A.EXE\" b.exe"},
        {L"\"C:\\a.exe\" B.EXE", L"C:\\a.exe"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Cleaned(c.path), std::wstring(c.cleaned)) << "path: " << testing::PrintToString(std::wstring(c.path));
}

// A recorder installed at a fixed place, and a log for everything started.
class LaunchThroughShell : public testing::Test {
protected:
    LaunchThroughShell()
        : scratch_(L"launch"), recorder_(RecorderExePath(), L"C:\\qvitems\\bin\\recorder.exe"),
          log_(scratch_.File(L"launches.log"))
    {
        log_.UseForThisProcess();
    }

    // Everything started so far, after waiting for `count` lines, then a short
    // window for a start that must not come (a busy machine can only make that pass).
    std::vector<LaunchRecord> Starts(size_t count)
    {
        if (count > 0) {
            EXPECT_TRUE(log_.WaitForLines(count)) << "expected " << count << " start(s)";
        }
        Sleep(count > 0 ? 300 : 1000);
        return log_.Read();
    }

    ScratchFolder scratch_;
    FileCopyGuard recorder_;
    RecorderLog log_;
};

TEST_F(LaunchThroughShell, ProgramGetsOnlyTheItemArgumentsAndEmptyGetsNone)
{
    ASSERT_TRUE(recorder_.ok());
    const std::wstring program = recorder_.path();
    EXPECT_TRUE(LaunchProgram(CString(program.c_str()), CString(L"/s"), CString()));
    auto starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(SamePath(starts[0].exe, program)) << starts[0].line.c_str();
    EXPECT_EQ(starts[0].args, L"/s");

    // Quoted program followed by switches: the switches are lost, the item's arguments go.
    const std::wstring quoted = L"\"" + program + L"\" /fromregistry -x";
    EXPECT_TRUE(LaunchProgram(CString(quoted.c_str()), CString(L"/u \"two words\""), CString()));
    starts = Starts(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_TRUE(SamePath(starts[1].exe, program)) << starts[1].line.c_str();
    EXPECT_EQ(starts[1].args, L"/u \"two words\"");

    EXPECT_TRUE(LaunchProgram(CString(quoted.c_str()), CString(), CString()));
    starts = Starts(3);
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[2].args, L"");

    // A working directory is passed on.
    EXPECT_TRUE(LaunchProgram(CString(program.c_str()), CString(L"/d"), CString(scratch_.path().c_str())));
    starts = Starts(4);
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_TRUE(SamePath(starts[3].cwd, scratch_.path())) << starts[3].cwd.c_str();
}

TEST_F(LaunchThroughShell, DocumentAndWebAddressOpenWithTheirPrograms)
{
    ASSERT_TRUE(recorder_.ok());
    FileAssociation document(L".qvitdoc", L"QvItemsDocument", recorder_.path());
    UrlSchemeAssociation scheme(L"qvitems", recorder_.path());
    ASSERT_TRUE(document.ok() && scheme.ok());
    const std::wstring guide = scratch_.File(L"user guide.qvitdoc");
    FileCopyGuard content(FileContents{"a guide\r\n"}, guide);
    ASSERT_TRUE(content.ok());

    EXPECT_TRUE(LaunchProgram(CString(guide.c_str()), CString(), CString()));
    auto starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].args, L"\"" + guide + L"\"");

    const std::wstring url = L"qvitems://support.example.com/page?model=VX&lang=en";
    EXPECT_TRUE(LaunchProgram(CString(url.c_str()), CString(), CString()));
    starts = Starts(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].args, L"\"" + url + L"\"");
    for (const LaunchRecord& r : starts)
        EXPECT_TRUE(SamePath(r.exe, recorder_.path())) << r.line.c_str();
}

TEST_F(LaunchThroughShell, OverlongTextsAndMissingFilesStartNothing)
{
    ASSERT_TRUE(recorder_.ok());
    // A quoted program with padding behind it: cleaning leaves the recorder, so
    // whatever is accepted is seen in the log.
    const std::wstring head = L"\"" + recorder_.path() + L"\" /";
    const std::wstring path260 = head + std::wstring(260 - head.size(), L'p');
    const std::wstring path261 = head + std::wstring(261 - head.size(), L'p');
    const std::wstring args259 = L"/a" + std::wstring(257, L'x');
    const std::wstring args260 = L"/a" + std::wstring(258, L'x');
    ASSERT_EQ(path260.size(), 260u);
    ASSERT_EQ(args260.size(), 260u);

    EXPECT_FALSE(LaunchProgram(CString(path261.c_str()), CString(L"/long-path"), CString()));
    EXPECT_FALSE(LaunchProgram(CString(recorder_.path().c_str()), CString(args260.c_str()), CString()));
    EXPECT_TRUE(Starts(0).empty()) << log_.Lines().front().c_str();

    // The longest accepted texts still start.
    EXPECT_TRUE(LaunchProgram(CString(path260.c_str()), CString(L"/edge"), CString()));
    auto starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].args, L"/edge");
    EXPECT_TRUE(LaunchProgram(CString(recorder_.path().c_str()), CString(args259.c_str()), CString()));
    starts = Starts(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].args, args259);

    // The shell's refusal is the result.
    EXPECT_FALSE(LaunchProgram(CString(scratch_.File(L"missing.exe").c_str()), CString(L"/x"), CString()));
    EXPECT_FALSE(LaunchProgram(CString(scratch_.File(L"missing.qvnone").c_str()), CString(), CString()));
    EXPECT_EQ(Starts(0).size(), 2u);
}

TEST_F(LaunchThroughShell, AppletIsLoadedByControlPanel)
{
    // No blanks in the applets' paths: Wine's control.exe splits there.
    for (const wchar_t* applet : {L"C:\\qvitems\\cpl\\recorder.cpl", L"C:\\qvitems\\cpl\\UPPER.CPL"}) {
        log_.Clear();
        FileCopyGuard cpl(RecorderCplPath(), applet);
        ASSERT_TRUE(cpl.ok());
        // The item's arguments are not passed to an applet.
        EXPECT_TRUE(LaunchProgram(CString(applet), CString(L"/ignored"), CString()));
        const auto started = [](const LaunchRecord& r) {
            return r.msg == L"CPL_STARTWPARMSW" || r.msg == L"CPL_DBLCLK";
        };
        EXPECT_TRUE(log_.WaitFor(started)) << "the applet was not started";
        EXPECT_TRUE(log_.WaitFor([](const LaunchRecord& r) { return r.msg == L"CPL_EXIT"; }));
        const auto records = log_.Read();
        ASSERT_FALSE(records.empty());
        EXPECT_TRUE(SamePath(records.front().cpl, applet)) << records.front().line.c_str();
        for (const LaunchRecord& r : records) {
            EXPECT_TRUE(r.isApplet()) << r.line.c_str();
            EXPECT_EQ(r.text.find(L"/ignored"), std::wstring::npos) << r.line.c_str();
        }
    }
}

}  // namespace
