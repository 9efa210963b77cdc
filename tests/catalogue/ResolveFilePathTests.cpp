// Where ResolveFilePath finds a program, icon file or Control Panel file, and
// the exact candidates it tests on the way.
#include "CatalogueTestMachine.h"
#include "catalogue/ResolveFilePath.h"
#include "catalogue/FileExists.h"
#include "catalogue/LookupSession.h"
#include "catalogue/RegistryReader.h"
#include "framework/afxres.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct ResolveCase {
    const wchar_t* path;
    const wchar_t* directory;
    std::vector<std::wstring> events;  // every look-up in order; the last "+" is the result
};

// Runs one case; the expected outcome follows from the last recorded line.
void CheckResolve(const ResolveCase& c)
{
    SCOPED_TRACE(testing::Message() << "path " << testing::PrintToString(std::wstring(c.path)));
    ProbeRecorder recorder;
    CString path(c.path);
    const BOOL found = ResolveFilePath(path, CString(c.directory));
    EXPECT_EQ(recorder.events, c.events);

    const std::wstring last = c.events.empty() ? L"" : c.events.back();
    const bool expectFound = last.size() > 2 && last.ends_with(L" +") && !last.starts_with(L"reg");
    ASSERT_EQ(found != FALSE, expectFound);
    if (expectFound)
        EXPECT_EQ(path.Str(), last.substr(last.find(L' ') + 1, last.size() - last.find(L' ') - 3));
    else
        EXPECT_EQ(path.Str(), c.path) << "a failed search leaves the text as it came";
}

class ResolveFilePathOnMachine : public testing::Test {
protected:
    StringModule strings{L"catalogue_strings.dll"};
    TestUtilities machine;
};

const wchar_t kSys[] = L"C:\\windows\\system32\\";
const wchar_t kWow[] = L"C:\\windows\\SysWOW64\\";

std::wstring Cat(const wchar_t* a, const wchar_t* b, const wchar_t* c = L"") { return std::wstring(a) + b + c; }

}  // namespace

TEST_F(ResolveFilePathOnMachine, FullPathsTryTheX86FolderOnlyWhenTheNativeOneMisses)
{
    ASSERT_TRUE(strings.Loaded());
    const ResolveCase cases[] = {
        {L"%ProgramFiles%\\QvTestUtil\\QvTool64.exe", L"",
         {L"FullPath C:\\Program Files\\QvTestUtil\\QvTool64.exe +"}},
        {L"%ProgramFiles%\\QvTestUtil\\QvTool32.exe", L"",
         {L"FullPath C:\\Program Files\\QvTestUtil\\QvTool32.exe -",
          L"FullPathX86 C:\\Program Files (x86)\\QvTestUtil\\QvTool32.exe +"}},
        {L"%ProgramFiles%\\QvTestUtil\\QvMissing.exe", L"C:\\windows\\",
         {L"FullPath C:\\Program Files\\QvTestUtil\\QvMissing.exe -",
          L"FullPathX86 C:\\Program Files (x86)\\QvTestUtil\\QvMissing.exe -"}},
        {L"C:\\QvTestNone\\QvTool64.exe", L"", {L"FullPath C:\\QvTestNone\\QvTool64.exe -"}},
        // A folder satisfies the existence test.
        {L"%ProgramFiles%\\QvTestUtil\\QvTestFolder.exe", L"",
         {L"FullPath C:\\Program Files\\QvTestUtil\\QvTestFolder.exe +"}},
        // An unknown variable stays as written: here a folder of that name in
        // the current directory.
        {L"%QvTestUnknown%\\QvTool.exe", L"", {L"FullPath %QvTestUnknown%\\QvTool.exe +"}},
    };
    for (const auto& c : cases)
        CheckResolve(c);
}

TEST_F(ResolveFilePathOnMachine, BareNamesRunTheStagesInOrder)
{
    ASSERT_TRUE(strings.Loaded());
    const ResolveCase cases[] = {
        // Registered nowhere, present only in the 32-bit system folder.
        {L"QvTestWow.exe", L"",
         {L"reg64 App Paths\\QvTestWow.exe -", L"reg32 App Paths\\QvTestWow.exe -",
          L"CurrentDirectory QvTestWow.exe -", L"reg64 Control Panel\\cpls:QvTestWow.exe -",
          L"GivenDirectory QvTestWow.exe -", Cat(L"SystemDirectory ", kSys, L"QvTestWow.exe -"),
          Cat(L"SysWow64 ", kWow, L"QvTestWow.exe +")}},
        // The 64-bit App Paths value, quotes removed and variables expanded.
        {L"QvTestAp64.exe", L"",
         {L"reg64 App Paths\\QvTestAp64.exe +", L"AppPaths64 C:\\Program Files\\QvTestUtil\\QvTool64.exe +"}},
        // A stale App Paths entry does not end the search, and the 32-bit view
        // is not asked; the later stages use the name itself.
        {L"QvTestStale.exe", L"",
         {L"reg64 App Paths\\QvTestStale.exe +", L"AppPaths64 C:\\QvTestNone\\QvTestStale.exe -",
          L"reg64 Control Panel\\cpls:QvTestStale.exe -", L"GivenDirectory QvTestStale.exe -",
          Cat(L"SystemDirectory ", kSys, L"QvTestStale.exe -"), Cat(L"SysWow64 ", kWow, L"QvTestStale.exe -"),
          L"WindowsDirectory C:\\windows\\QvTestStale.exe +"}},
        // The Control Panel list, by the name without its extension, either case.
        {L"QvTestApplet.cpl", L"",
         {L"reg64 Control Panel\\cpls:QvTestApplet +",
          L"ControlPanelList C:\\Program Files\\QvTestUtil\\QvTestApplet.cpl +"}},
        {L"QvTestApplet.CPL", L"",
         {L"reg64 Control Panel\\cpls:QvTestApplet +",
          L"ControlPanelList C:\\Program Files\\QvTestUtil\\QvTestApplet.cpl +"}},
        // An applet missing from the list is looked for in the system folder.
        {L"QvTestMain.cpl", L"",
         {L"reg64 Control Panel\\cpls:QvTestMain -", L"CurrentDirectory QvTestMain.cpl -",
          L"GivenDirectory QvTestMain.cpl -", Cat(L"SystemDirectory ", kSys, L"QvTestMain.cpl +")}},
        // A directory ending in a backslash gives two; the result keeps them.
        {L"QvTestIcon.ico", L"C:\\Program Files\\QvTestUtil\\",
         {L"GivenDirectory C:\\Program Files\\QvTestUtil\\\\QvTestIcon.ico +"}},
        // ".Exe" is not ".exe": the search starts at the given directory.
        {L"QvTestSys.Exe", L"",
         {L"GivenDirectory QvTestSys.Exe -", Cat(L"SystemDirectory ", kSys, L"QvTestSys.Exe +")}},
        // Found in the current directory: the result stays relative.
        {L"QvTestHere.exe", L"",
         {L"reg64 App Paths\\QvTestHere.exe -", L"reg32 App Paths\\QvTestHere.exe -",
          L"CurrentDirectory QvTestHere.exe +"}},
        // ".exe" wins over ".cpl"; the list is asked without every ".cpl".
        {L"QvTestBoth.cpl.exe.cpl", L"C:\\QvTestNone",
         {L"reg64 App Paths\\QvTestBoth.cpl.exe.cpl -", L"reg32 App Paths\\QvTestBoth.cpl.exe.cpl -",
          L"CurrentDirectory QvTestBoth.cpl.exe.cpl -", L"reg64 Control Panel\\cpls:QvTestBoth.exe -",
          L"GivenDirectory C:\\QvTestNone\\QvTestBoth.cpl.exe.cpl -",
          Cat(L"SystemDirectory ", kSys, L"QvTestBoth.cpl.exe.cpl -"),
          Cat(L"SysWow64 ", kWow, L"QvTestBoth.cpl.exe.cpl -"),
          L"WindowsDirectory C:\\windows\\QvTestBoth.cpl.exe.cpl -"}},
        // Nothing to look for: no folder itself counts as the empty name.
        {L"", L"",
         {L"GivenDirectory  -", Cat(L"SystemDirectory ", kSys, L" -"), Cat(L"SysWow64 ", kWow, L" -"),
          L"WindowsDirectory C:\\windows\\ -"}},
        // Forward slashes are no separators: a bare name, found relative to
        // the current directory.
        {L"C:/Program Files/QvTestUtil/QvTool64.exe", L"",
         {L"reg64 App Paths\\C:/Program Files/QvTestUtil/QvTool64.exe -",
          L"reg32 App Paths\\C:/Program Files/QvTestUtil/QvTool64.exe -",
          L"CurrentDirectory C:/Program Files/QvTestUtil/QvTool64.exe +"}},
    };
    for (const auto& c : cases)
        CheckResolve(c);
}

// The test utilities with App Paths of the two views apart: QvTestAp32.exe
// only in the 32-bit one, QvTestShadow.exe in both, the 64-bit value naming
// nothing that exists.
class ResolveFilePathBothViews : public testing::Test {
protected:
    void SetUp() override
    {
        registry.SetText(Cat(kAppPathsKey, L"\\QvTestShadow.exe"), L"", L"C:\\QvTestNone\\QvTestShadow.exe");
        ASSERT_TRUE(view32.Ready());
        view32.SetDefault(L"QvTestAp32.exe", L"C:\\Program Files\\QvTestUtil\\QvTool32.exe");
        view32.SetDefault(L"QvTestShadow.exe", L"C:\\Program Files (x86)\\QvTestUtil\\QvTool32.exe");
    }
    StringModule strings{L"catalogue_strings.dll"};
    TestUtilities machine;
    ScratchRegistry registry;
    SeparateAppPaths32 view32;
};

TEST_F(ResolveFilePathBothViews, AppPathsValueOnlyInTheWow6432NodeView)
{
    view32.SetDefault(L"QvTestAp32x.exe", L"\"C:\\Program Files (x86)\\QvTestUtil\\QvTool32.exe\"");

    const ResolveCase cases[] = {
        {L"QvTestAp32.exe", L"",
         {L"reg64 App Paths\\QvTestAp32.exe -", L"reg32 App Paths\\QvTestAp32.exe +",
          L"AppPaths32 C:\\Program Files (x86)\\QvTestUtil\\QvTool32.exe +"}},
        {L"QvTestAp32x.exe", L"",
         {L"reg64 App Paths\\QvTestAp32x.exe -", L"reg32 App Paths\\QvTestAp32x.exe +",
          L"AppPaths32 C:\\Program Files (x86)\\QvTestUtil\\QvTool32.exe +"}},
        // The 32-bit view is asked only when the 64-bit value is missing, not
        // when the path it names is.
        {L"QvTestShadow.exe", L"",
         {L"reg64 App Paths\\QvTestShadow.exe +", L"AppPaths64 C:\\QvTestNone\\QvTestShadow.exe -",
          L"reg64 Control Panel\\cpls:QvTestShadow.exe -", L"GivenDirectory QvTestShadow.exe -",
          Cat(L"SystemDirectory ", kSys, L"QvTestShadow.exe -"), Cat(L"SysWow64 ", kWow, L"QvTestShadow.exe -"),
          L"WindowsDirectory C:\\windows\\QvTestShadow.exe -"}},
    };
    for (const auto& c : cases)
        CheckResolve(c);
}

// A load keeps the keys it reads open from row to row, and asks for the
// system folders once: every row looks up the same things in the same order,
// with the same result, as when each row opens the keys anew. Names here are
// found in the 64-bit view, the 32-bit view, both (the 64-bit value stale),
// neither, and in the Control Panel list.
TEST_F(ResolveFilePathBothViews, KeysKeptOpenAcrossRowsGiveTheSameLookUps)
{
    const wchar_t* const rows[] = {L"QvTestAp32.exe",   L"QvTestAp64.exe", L"QvTestShadow.exe", L"QvTestWow.exe",
                                   L"QvTestApplet.cpl", L"QvTestMain.cpl", L"QvTestAp32.exe",   L"QvTestNowhere.exe"};
    const auto load = [&] {
        ProbeRecorder recorder;
        std::vector<std::wstring> seen;
        for (const wchar_t* row : rows) {
            CString path(row);
            seen.push_back(ResolveFilePath(path, CString()) ? L"=> " + path.Str() : L"=> not found");
        }
        seen.insert(seen.end(), recorder.events.begin(), recorder.events.end());
        return seen;
    };
    const std::vector<std::wstring> anew = load();
    std::vector<std::wstring> kept;
    {
        CLookupSession session;
        kept = load();
    }
    EXPECT_EQ(kept, anew);
    EXPECT_NE(std::find(anew.begin(), anew.end(), L"reg32 App Paths\\QvTestAp32.exe +"), anew.end());
    EXPECT_NE(std::find(anew.begin(), anew.end(), L"=> C:\\Program Files (x86)\\QvTestUtil\\QvTool32.exe"),
              anew.end());
}

// A load that has found many names missing from a folder reads the folder
// once and answers the misses from it: the same look-ups, answers and results
// as testing every candidate, for names in another case, short names, names
// the listing cannot vouch for (a trailing dot, wildcards, a slash) and an
// entry outside ASCII; from then on the folder is taken as it was read.
TEST_F(ResolveFilePathOnMachine, ManyMissesInAFolderAreAnsweredFromItsListing)
{
    ASSERT_TRUE(strings.Loaded());
    const std::wstring folder = L"C:\\QvListTest";
    machine.files.Folder(folder);
    for (const wchar_t* file : {L"Present.dat", L"LongerThanEight.dat", L"\u017Fharp.dat", L"QvLast.dat"})
        machine.files.File(folder + L"\\" + file);

    std::vector<std::wstring> names;
    for (int i = 0; i < 2 * CLookupSession::kMissesBeforeListing; ++i)
        names.push_back(L"QvMiss" + std::to_wstring(i) + L".dat");
    for (const wchar_t* name : {L"pRESENT.DAT", L"LONGER~1.DAT", L"SHARP.dat", L"Present.dat.", L"Pres*.dat",
                                L"sub/Present.dat", L"kernel32.dll", L"QvLast.dat", L"QvMissLast.dat"})
        names.push_back(name);
    const auto load = [&] {
        ProbeRecorder recorder;
        std::vector<std::wstring> seen;
        for (const std::wstring& name : names) {
            CString path(name.c_str());
            seen.push_back(ResolveFilePath(path, folder.c_str()) ? L"=> " + path.Str() : L"=> not found");
        }
        seen.insert(seen.end(), recorder.events.begin(), recorder.events.end());
        return seen;
    };
    const std::vector<std::wstring> probed = load();
    EXPECT_NE(std::find(probed.begin(), probed.end(), L"=> " + folder + L"\\pRESENT.DAT"), probed.end());
    EXPECT_NE(std::find(probed.begin(), probed.end(), L"=> C:\\windows\\system32\\kernel32.dll"), probed.end());

    CLookupSession session;
    EXPECT_EQ(load(), probed);
    // The listing answers now: a file made after it is not seen in this load.
    machine.files.File(folder + L"\\QvLate.dat");
    CString late(L"QvLate.dat");
    EXPECT_FALSE(ResolveFilePath(late, folder.c_str()));
    CLookupSession fresh;
    EXPECT_TRUE(ResolveFilePath(late, folder.c_str()));
}

TEST(ResolveFilePath32BitView, LinkIsRestoredAfterwards)
{
    // The previous test's prefix surgery is undone: App Paths is shared again.
    { SeparateAppPaths32 view32; ASSERT_TRUE(view32.Ready()); }
    ScratchRegistry registry;
    registry.SetText(Cat(kAppPathsKey, L"\\QvTestShared.exe"), L"", L"shared");
    CString value;
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, Cat(kAppPaths32Key, L"\\QvTestShared.exe").c_str(), L"", value));
    EXPECT_EQ(value, L"shared");
}

TEST_F(ResolveFilePathOnMachine, OverlongTextsAreNeverUsedTruncated)
{
    ASSERT_TRUE(strings.Loaded());
    // 259 characters fit a path; the file exists.
    const std::wstring folder = L"C:\\QvTestLong\\";
    const std::wstring fits = folder + std::wstring(259 - folder.size() - 4, L'a') + L".exe";
    machine.files.Folder(folder);
    machine.files.File(fits);
    CheckResolve({fits.c_str(), L"", {L"FullPath " + fits + L" +"}});

    // Texts (or expansions) of 260 characters and more: FALSE, nothing tested.
    const std::wstring tooLong[] = {
        fits + L"x",
        folder + std::wstring(300, L'b') + L".exe",
        L"%ProgramFiles%\\" + std::wstring(250, L'c') + L".exe",
        std::wstring(260, L'd'),
    };
    for (const auto& text : tooLong)
        CheckResolve({text.c_str(), L"", {}});

    // Candidates that grow beyond 259 characters are reported missing even
    // where Wine would find them.
    const std::wstring longProgramFiles = L"C:\\Program Files\\" + std::wstring(259 - 17 - 4, L'e') + L".exe";
    CheckResolve({longProgramFiles.c_str(), L"",
                  {L"FullPath " + longProgramFiles + L" -",
                   L"FullPathX86 C:\\Program Files (x86)\\" + longProgramFiles.substr(17) + L" -"}});
    const std::wstring longFolder = folder + std::wstring(235, L'f');
    const std::wstring deep = longFolder + L"\\QvTestDeep.ico";
    machine.files.Folder(longFolder);
    machine.files.File(deep);
    ASSERT_TRUE(FileExists(deep.c_str()));
    ProbeRecorder recorder;
    CString name(L"QvTestDeep.ico");
    EXPECT_FALSE(ResolveFilePath(name, (longFolder + L"\\").c_str()));
    EXPECT_EQ(name, L"QvTestDeep.ico");
    ASSERT_FALSE(recorder.events.empty());
    EXPECT_EQ(recorder.events.front(), L"GivenDirectory " + longFolder + L"\\\\QvTestDeep.ico -");
}
