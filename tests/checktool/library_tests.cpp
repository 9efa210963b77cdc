// Where the check tool takes libraries from, and how a shipped program ends
// when a library or a function cannot be had (framework/afxload.h).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/checktool/check_machine.h"
#include "tests/support/registry_guard.h"
#include "tests/support/test_paths.h"

namespace {

using namespace qvcheck;
using namespace qvtest;

// The check tool imports the common controls and the script library, which are
// no known system libraries; Windows would take a file of their name from the
// program's folder first. Wine takes its own builtin ones, unless told (its
// DllOverrides for the program, native before builtin) to take a native one
// where the search finds it: so told, it finds the planted ones only where the
// tool lets it search. The tool searches the system folder only.
TEST(CheckToolLibraries, LibrariesPlantedBesideTheToolAreNotLoaded)
{
    ScratchFolder scratch(L"planted");
    const std::wstring tool = scratch.File(L"quorvane-check.exe");
    ASSERT_TRUE(CopyFileW(CheckToolPath().c_str(), tool.c_str(), FALSE));
    const std::wstring planted = WindowsPathFromUnix(QV_PLANTED_DLL);
    for (const wchar_t* name : {L"usp10.dll", L"comctl32.dll"})
        ASSERT_TRUE(CopyFileW(planted.c_str(), scratch.File(name).c_str(), FALSE)) << name;
    const std::wstring overrides = L"Software\\Wine\\AppDefaults\\quorvane-check.exe\\DllOverrides";
    RegistryValueGuard usp10(HKEY_CURRENT_USER, overrides, L"usp10"), comctl32(HKEY_CURRENT_USER, overrides, L"comctl32");
    ASSERT_TRUE(usp10.SetString(L"native,builtin") && comctl32.SetString(L"native,builtin"));

    // The language check breaks lines with the script library and measures with
    // the launcher's layout code, common controls and all.
    const ToolRun run = RunTool(tool, L"--languages " + Quoted(LauncherExePath()), scratch.path());
    ASSERT_TRUE(run.finished);
    EXPECT_LE(run.exitCode, 1u) << run.err;
    EXPECT_NE(run.out.find(L"English"), std::wstring::npos) << run.out.substr(0, 400);
    for (const wchar_t* name : {L"usp10.dll", L"comctl32.dll"})
        EXPECT_FALSE(FileExists(scratch.File(name) + L".loaded")) << "the tool loaded the " << name << " beside it";
}

// A program that restricts its search and imports a library with delayed
// loading, as the shipped ones do: the library beside it is not found, and the
// program ends with a line that names it and exit status 3, not with the
// exception no one handles (0xC06D007E). The same library loads when the
// search is not restricted; a function it lacks ends the program in the same way.
TEST(CheckToolLibraries, ALibraryOrFunctionThatCannotBeHadEndsTheProgramWithAClearMessage)
{
    ScratchFolder scratch(L"delay-probe");
    const std::wstring probe = scratch.File(L"delay_probe.exe"), library = scratch.File(L"qvplanted.dll");
    ASSERT_TRUE(CopyFileW(WindowsPathFromUnix(QV_DELAY_PROBE_EXE).c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(WindowsPathFromUnix(QV_PLANTED_DLL).c_str(), library.c_str(), FALSE));

    const ToolRun restricted = RunTool(probe, L"", scratch.path());
    ASSERT_TRUE(restricted.finished);
    EXPECT_EQ(restricted.exitCode, 3u) << std::hex << restricted.exitCode;
    EXPECT_EQ(restricted.err.rfind(L"delay-probe: cannot go on: qvplanted.dll: ", 0), 0u) << restricted.err;
    EXPECT_NE(restricted.err.find(L"(error 126)\n"), std::wstring::npos) << restricted.err;
    EXPECT_FALSE(FileExists(library + L".loaded")) << "the library beside the program was loaded";

    const ToolRun everywhere = RunTool(probe, L"--everywhere", scratch.path());
    EXPECT_EQ(everywhere.exitCode, 42u) << everywhere.err;
    EXPECT_TRUE(FileExists(library + L".loaded")) << "the library did not load even from an unrestricted search";

    const ToolRun missing = RunTool(probe, L"--everywhere --missing-function", scratch.path());
    EXPECT_EQ(missing.exitCode, 3u) << std::hex << missing.exitCode;
    EXPECT_EQ(missing.err.rfind(L"delay-probe: cannot go on: qvplanted.dll (QvNotThere): ", 0), 0u) << missing.err;
    EXPECT_NE(missing.err.find(L"(error 127)\n"), std::wstring::npos) << missing.err;
}

}  // namespace
