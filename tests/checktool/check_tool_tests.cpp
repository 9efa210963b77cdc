// quorvane-check.exe, run as a separate process against the real launcher on
// machines set up here: nothing installed, a demo-like machine, and a partly
// installed machine whose check is compared with the launcher's own list.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "tests/checktool/check_machine.h"
#include "tests/checktool/mini_json.h"
#include "tests/support/gui_support.h"

namespace {

using namespace qvcheck;
using namespace qvtest;

const wchar_t* const kCaptions[] = {L"CONNECT", L"SECURE", L"PROTECT && FIX", L"OPTIMIZE", L"category 4"};
const wchar_t kSupportKey[] = L"Software\\Velmora\\Kivano\\SS";
const wchar_t kHelpKey[] = L"Software\\Velmora\\Kivano\\Help";
const wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

bool Contains(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The index of the first line of `lines` that starts with `prefix`, or -1.
int LineStarting(const std::vector<std::wstring>& lines, const std::wstring& prefix, int from = 0)
{
    for (size_t n = static_cast<size_t>(from); n < lines.size(); ++n) {
        if (lines[n].rfind(prefix, 0) == 0)
            return static_cast<int>(n);
    }
    return -1;
}

std::wstring Joined(const std::vector<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\n";
    return text;
}

// A probe line as the tool prints it: label padded to 26 columns, text, result.
std::wstring ProbeLine(const std::wstring& label, const std::wstring& text, const wchar_t* result)
{
    return L"      " + label + std::wstring(label.size() < 26 ? 26 - label.size() : 1, L' ') + text + L"  [" +
           result + L"]";
}

std::wstring SystemFolder()
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return system;
}

// Every row of the shipped catalogue, by its "K.I" name.
std::map<std::wstring, CatalogueRow> RowsById(const std::vector<CatalogueRow>& rows)
{
    std::map<std::wstring, CatalogueRow> byId;
    for (const CatalogueRow& row : rows)
        byId[row.Id()] = row;
    return byId;
}

// Checks the lines every listed row shows: its strings as the table holds them.
void ExpectRowStrings(const std::vector<std::wstring>& block, const CatalogueRow& row)
{
    auto shown = [](const std::wstring& text) { return text.empty() ? std::wstring(L"(none)") : text; };
    EXPECT_TRUE(Contains(block, L"    name:        " + shown(row.name))) << Joined(block);
    EXPECT_TRUE(Contains(block, L"    description: " + shown(row.description))) << Joined(block);
    EXPECT_TRUE(Contains(block, L"    program:     " + shown(row.program))) << Joined(block);
    EXPECT_TRUE(Contains(block, L"    arguments:   " + shown(row.arguments))) << Joined(block);
    EXPECT_TRUE(Contains(block, L"    icon file:   " + shown(row.iconFile))) << Joined(block);
}

TEST(CheckToolOutput, NothingInstalledEveryProgramRowIsNotFound)
{
    const std::vector<CatalogueRow> rows = ShippedRows();
    ASSERT_GT(rows.size(), 20u);
    const std::wstring launcher = LauncherExePath();
    ASSERT_FALSE(launcher.empty());
    // The tool is built beside the launcher and checks it by default; it runs
    // from a folder of its own to show that it works in the launcher's folder.
    ASSERT_EQ(FolderOf(CheckToolPath()), FolderOf(launcher));
    const ScratchFolder elsewhere(L"checktool-empty");
    RegistryValueGuard support(HKEY_LOCAL_MACHINE, kSupportKey, L"URL");
    RegistryValueGuard help(HKEY_LOCAL_MACHINE, kHelpKey, L"URL");
    support.Delete();
    help.Delete();

    const ToolRun run = RunCheckTool(L"", elsewhere.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    const std::vector<std::wstring> lines = Lines(run.out);
    EXPECT_TRUE(Contains(lines, L"Executable:     " + launcher)) << run.out;
    EXPECT_TRUE(Contains(lines, L"Current folder: " + FolderOf(launcher))) << run.out;
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(Contains(lines, L"Category " + std::to_wstring(k) + L" " + kCaptions[k] + L": not present, 0 items"))
            << k;

    int withProgram = 0;
    std::set<std::wstring> listed;
    for (const std::wstring& line : lines) {
        if (line.rfind(L"  Row ", 0) == 0)
            listed.insert(line.substr(6));
    }
    for (const CatalogueRow& row : rows) {
        const std::vector<std::wstring> block = Block(run.out, L"  Row " + row.Id());
        ASSERT_FALSE(block.empty()) << "row " << row.Id() << " is not listed";
        ExpectRowStrings(block, row);
        if (row.program.empty()) {
            EXPECT_TRUE(Contains(block, L"    => skipped: no program string")) << Joined(block);
            EXPECT_EQ(LineStarting(block, L"    program search:"), -1) << Joined(block);
            continue;
        }
        ++withProgram;
        EXPECT_TRUE(Contains(block, L"    => skipped: not found")) << Joined(block);
        EXPECT_NE(LineStarting(block, L"    program search:"), -1) << Joined(block);
        EXPECT_EQ(LineStarting(block, L"    icon file search:"), -1) << Joined(block);
        // Nothing the search tested exists on this machine.
        for (const std::wstring& line : block)
            EXPECT_EQ(line.find(L"[exists]"), std::wstring::npos) << line;
        if (row.program.find(L'\\') != std::wstring::npos) {
            const std::wstring path = InstallPathFor(row.program);
            EXPECT_TRUE(Contains(block, ProbeLine(L"full path", path, L"missing"))) << Joined(block);
        } else {
            EXPECT_TRUE(Contains(block, ProbeLine(L"system folder", JoinPath(SystemFolder(), row.program), L"missing")))
                << Joined(block);
        }
    }
    // Only the rows that hold a string are listed.
    EXPECT_EQ(listed.size(), rows.size());
    EXPECT_TRUE(Contains(lines, L"Summary: 0 of " + std::to_wstring(withProgram) +
                                    L" rows with a program are shown. Some rows with a program are not shown."))
        << run.out;

    // The footer: texts from the string table, neither address on this machine.
    EXPECT_TRUE(Contains(lines, L"  Web site: caption Web site")) << run.out;
    EXPECT_TRUE(Contains(lines, L"            text    Go to the VELMORA web site.")) << run.out;
    EXPECT_TRUE(Contains(lines, L"  Close:    caption Close")) << run.out;
    EXPECT_TRUE(Contains(lines, L"               read from HKLM\\Software\\Velmora\\Kivano\\SS : URL, 64-bit view "
                                L"(not found)"))
        << run.out;
    EXPECT_TRUE(Contains(lines, L"               read from HKLM\\Software\\Velmora\\Kivano\\Help : URL, 64-bit view "
                                L"(not found)"))
        << run.out;

    // An explicit launcher path gives the same report; bad command lines give 2.
    const ToolRun explicitRun = RunCheckTool(Quoted(launcher), elsewhere.path());
    EXPECT_EQ(explicitRun.exitCode, 1u);
    EXPECT_EQ(explicitRun.out, run.out);
    const ToolRun unknown = RunCheckTool(L"--frobnicate", elsewhere.path());
    EXPECT_EQ(unknown.exitCode, 2u);
    EXPECT_NE(unknown.err.find(L"Usage: quorvane-check.exe"), std::wstring::npos) << unknown.err;
    const ToolRun missing = RunCheckTool(Quoted(elsewhere.File(L"NoSuchLauncher.exe")), elsewhere.path());
    EXPECT_EQ(missing.exitCode, 2u);
    EXPECT_TRUE(missing.out.empty());
    const ToolRun helpRun = RunCheckTool(L"--help", elsewhere.path());
    EXPECT_EQ(helpRun.exitCode, 0u);
    EXPECT_NE(helpRun.out.find(L"--json"), std::wstring::npos) << helpRun.out;
}

// The demo-like machine: every program of the catalogue installed, one of them
// in the 32-bit program folder, one found through App Paths, an icon file next
// to its program, and a support address that needs escaping in JSON.
TEST(CheckToolOutput, DemoLikeMachineKeepsEveryRowWithAProgram)
{
    const std::vector<CatalogueRow> rows = ShippedRows();
    const std::map<std::wstring, CatalogueRow> byId = RowsById(rows);
    ASSERT_TRUE(byId.count(L"1.5") && byId.count(L"2.3") && byId.count(L"2.1") && byId.count(L"0.4"));
    const std::wstring eraserProgram = byId.at(L"1.5").program;  // a full path under Program Files
    const std::wstring sdclt = byId.at(L"2.3").program;          // a bare .exe name
    ASSERT_NE(eraserProgram.find(L"%PROGRAMFILES%"), std::wstring::npos);
    ASSERT_EQ(sdclt.find(L'\\'), std::wstring::npos);

    Installation machine;
    std::map<std::wstring, std::wstring> expectedPath;  // row -> resolved program
    std::wstring eraserX86 = InstallPathFor(eraserProgram);
    eraserX86.insert(eraserX86.find(L"Program Files") + 13, L" (x86)");
    const std::wstring sdcltTarget = L"C:\\QvCheckTools\\" + sdclt;
    for (const CatalogueRow& row : rows) {
        if (row.program.empty())
            continue;
        std::wstring target = InstallPathFor(row.program);
        if (row.program == eraserProgram)
            target = eraserX86;
        else if (row.program == sdclt)
            target = sdcltTarget;
        expectedPath[row.Id()] = target;
        if (!FileExists(target)) {
            ASSERT_TRUE(machine.Program(row.program, target));
        }
    }
    const std::wstring backupFolder = FolderOf(expectedPath.at(L"2.1"));
    const std::wstring iconName = byId.at(L"2.1").iconFile;
    ASSERT_FALSE(iconName.empty());
    ASSERT_TRUE(machine.Place(StandinExePath(), JoinPath(backupFolder, iconName)));
    RegistryValueGuard appPath(HKEY_LOCAL_MACHINE, std::wstring(kAppPaths) + L"\\" + sdclt, L"");
    ASSERT_TRUE(appPath.SetString(Quoted(sdcltTarget)));
    const std::wstring supportUrl = L"https://www.velmora.example/support/?model=\"Q7\"&lang=en\\x";
    RegistryValueGuard support(HKEY_LOCAL_MACHINE, kSupportKey, L"URL");
    ASSERT_TRUE(support.SetString(supportUrl));
    RegistryValueGuard help(HKEY_LOCAL_MACHINE, kHelpKey, L"URL");
    help.Delete();

    const std::wstring launcher = Quoted(LauncherExePath());
    const ToolRun run = RunCheckTool(launcher, L"");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u) << run.out;
    const std::vector<std::wstring> lines = Lines(run.out);

    // Kept rows are numbered per category in table order.
    int position[5] = {};
    int withProgram = 0;
    for (const CatalogueRow& row : rows) {
        const std::vector<std::wstring> block = Block(run.out, L"  Row " + row.Id());
        ASSERT_FALSE(block.empty()) << row.Id();
        ExpectRowStrings(block, row);
        if (row.program.empty()) {
            EXPECT_TRUE(Contains(block, L"    => skipped: no program string")) << Joined(block);
            continue;
        }
        ++withProgram;
        const int n = ++position[row.category];
        EXPECT_TRUE(Contains(block, L"    => kept as item " + std::to_wstring(n) + L" of " + kCaptions[row.category]))
            << Joined(block);
        EXPECT_TRUE(Contains(block, L"       program:   " + expectedPath.at(row.Id()))) << Joined(block);
        // The program's search ends with the candidate that exists.
        const int search = LineStarting(block, L"    program search:");
        ASSERT_NE(search, -1) << Joined(block);
        int end = search;
        while (static_cast<size_t>(end) + 1 < block.size() && block[static_cast<size_t>(end) + 1].rfind(L"      ", 0) == 0)
            ++end;
        ASSERT_GT(end, search) << Joined(block);
        const std::wstring& lastProbe = block[static_cast<size_t>(end)];
        EXPECT_NE(lastProbe.find(expectedPath.at(row.Id()) + L"  [exists]"), std::wstring::npos) << Joined(block);
        if (row.iconFile.empty()) {
            EXPECT_TRUE(Contains(block, L"       icon file: " + expectedPath.at(row.Id()) +
                                            L", index 0 (the program: no icon file string)"))
                << Joined(block);
        }
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(Contains(lines, L"Category " + std::to_wstring(k) + L" " + kCaptions[k] + L": present, " +
                                        std::to_wstring(position[k]) + (position[k] == 1 ? L" item" : L" items")))
            << run.out;
    }
    EXPECT_TRUE(Contains(lines, L"Category 4 category 4: not present, 0 items")) << run.out;
    EXPECT_TRUE(Contains(lines, L"Summary: " + std::to_wstring(withProgram) + L" of " + std::to_wstring(withProgram) +
                                    L" rows with a program are shown. Every row with a program is kept."))
        << run.out;

    // The 32-bit program folder: the 64-bit path first, then the (x86) one.
    const std::vector<std::wstring> eraser = Block(run.out, L"  Row 1.5");
    const int fullPath = LineStarting(eraser, L"      full path ");
    ASSERT_NE(fullPath, -1) << Joined(eraser);
    EXPECT_EQ(eraser[static_cast<size_t>(fullPath)], ProbeLine(L"full path", InstallPathFor(eraserProgram), L"missing"));
    EXPECT_EQ(eraser[static_cast<size_t>(fullPath) + 1], ProbeLine(L"full path (x86)", eraserX86, L"exists"));

    // App Paths: the 64-bit value read, its quotes dropped, the path it names.
    const std::vector<std::wstring> restore = Block(run.out, L"  Row 2.3");
    const int read = LineStarting(restore, L"      registry 64-bit");
    ASSERT_NE(read, -1) << Joined(restore);
    EXPECT_EQ(restore[static_cast<size_t>(read)],
              ProbeLine(L"registry 64-bit", L"HKLM\\" + std::wstring(kAppPaths) + L"\\" + sdclt + L" : (default)", L"read"));
    EXPECT_EQ(restore[static_cast<size_t>(read) + 1], ProbeLine(L"App Paths, 64-bit", sdcltTarget, L"exists"));

    // A bare icon name is looked for in its program's folder (ending in a backslash).
    const std::vector<std::wstring> backup = Block(run.out, L"  Row 2.1");
    const std::wstring iconPath = backupFolder + L"\\\\" + iconName;
    EXPECT_TRUE(Contains(backup, L"    icon file search:")) << Joined(backup);
    EXPECT_TRUE(Contains(backup, ProbeLine(L"given folder", iconPath, L"exists"))) << Joined(backup);
    EXPECT_TRUE(Contains(backup, L"       icon file: " + iconPath + L", index 0")) << Joined(backup);

    // A Control Panel file: the list is read in the 64-bit view, then the folders.
    const CatalogueRow& applet = byId.at(L"0.4");
    const std::vector<std::wstring> cpl = Block(run.out, L"  Row 0.4");
    std::wstring valueName = applet.program.substr(0, applet.program.find(L".cpl"));
    EXPECT_TRUE(Contains(cpl, ProbeLine(L"registry 64-bit",
                                        L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\cpls : " +
                                            valueName,
                                        L"not found")))
        << Joined(cpl);
    EXPECT_TRUE(Contains(cpl, ProbeLine(L"current folder", applet.program, L"missing"))) << Joined(cpl);
    EXPECT_TRUE(Contains(cpl, ProbeLine(L"system folder", JoinPath(SystemFolder(), applet.program), L"exists")))
        << Joined(cpl);

    EXPECT_TRUE(Contains(lines, L"            URL     " + supportUrl)) << run.out;
    EXPECT_TRUE(Contains(lines, L"               read from HKLM\\Software\\Velmora\\Kivano\\SS : URL, 64-bit view"))
        << run.out;

    // The same machine as JSON.
    const ToolRun jsonRun = RunCheckTool(L"--json " + launcher, L"");
    ASSERT_TRUE(jsonRun.finished);
    EXPECT_EQ(jsonRun.exitCode, 0u);
    qvjson::Value report;
    try {
        report = qvjson::Parse(jsonRun.out);
    } catch (const std::exception& e) {
        FAIL() << e.what() << "\n" << std::string(jsonRun.out.begin(), jsonRun.out.end());
    }
    try {
        EXPECT_TRUE(report[L"allProgramsKept"].boolean);
        EXPECT_TRUE(report[L"matchesLoader"].boolean);
        EXPECT_EQ(report[L"executable"].string, LauncherExePath());
        const qvjson::Value& categories = report[L"categories"];
        ASSERT_EQ(categories.size(), 5u);
        size_t rowsSeen = 0;
        for (size_t k = 0; k < 5; ++k) {
            const qvjson::Value& category = categories[k];
            EXPECT_EQ(category[L"index"].number, static_cast<double>(k));
            EXPECT_EQ(category[L"present"].boolean, k < 4);
            EXPECT_EQ(category[L"itemCount"].number, static_cast<double>(position[k]));
            for (const qvjson::Value& jsonRow : category[L"rows"].array) {
                ++rowsSeen;
                const CatalogueRow& row = byId.at(jsonRow[L"row"].string);
                EXPECT_EQ(static_cast<size_t>(row.category), k);
                EXPECT_EQ(jsonRow[L"strings"][L"name"].string, row.name);
                EXPECT_EQ(jsonRow[L"strings"][L"description"].string, row.description);
                EXPECT_EQ(jsonRow[L"strings"][L"program"].string, row.program);
                EXPECT_EQ(jsonRow[L"kept"].boolean, !row.program.empty()) << row.Id();
                if (row.program.empty()) {
                    EXPECT_EQ(jsonRow[L"reason"].string, L"no program string");
                    EXPECT_EQ(jsonRow[L"programSearch"].size(), 0u);
                    continue;
                }
                const qvjson::Value& item = jsonRow[L"item"];
                EXPECT_EQ(item[L"name"].string, row.name);
                EXPECT_EQ(item[L"path"].string, expectedPath.at(row.Id()));
                EXPECT_EQ(item[L"arguments"].string, row.arguments);
                EXPECT_TRUE(item[L"shown"].boolean);
                const qvjson::Value& search = jsonRow[L"programSearch"];
                ASSERT_GT(search.size(), 0u);
                const qvjson::Value& last = search.array.back();
                EXPECT_EQ(last[L"kind"].string, L"candidate");
                EXPECT_EQ(last[L"path"].string, expectedPath.at(row.Id()));
                EXPECT_TRUE(last[L"exists"].boolean);
            }
        }
        EXPECT_EQ(rowsSeen, rows.size());
        const qvjson::Value& sdcltSearch = categories[2][L"rows"];
        bool sawAppPaths = false;
        for (const qvjson::Value& jsonRow : sdcltSearch.array) {
            if (jsonRow[L"row"].string != L"2.3")
                continue;
            const qvjson::Value& first = jsonRow[L"programSearch"][0];
            EXPECT_EQ(first[L"kind"].string, L"registry");
            EXPECT_EQ(first[L"key"].string, std::wstring(kAppPaths) + L"\\" + sdclt);
            EXPECT_EQ(first[L"value"].string, L"");
            EXPECT_EQ(first[L"view"].string, L"64-bit");
            EXPECT_TRUE(first[L"found"].boolean);
            EXPECT_EQ(jsonRow[L"programSearch"][1][L"stage"].string, L"App Paths");
            sawAppPaths = true;
        }
        EXPECT_TRUE(sawAppPaths);
        const qvjson::Value& footer = report[L"footer"];
        EXPECT_EQ(footer[L"support"][L"url"][L"url"].string, supportUrl);
        EXPECT_TRUE(footer[L"support"][L"url"][L"read"].boolean);
        EXPECT_EQ(footer[L"support"][L"url"][L"key"].string, kSupportKey);
        EXPECT_EQ(footer[L"support"][L"url"][L"value"].string, L"URL");
        EXPECT_EQ(footer[L"support"][L"caption"].string, L"Web site");
        EXPECT_EQ(footer[L"help"][L"url"][L"url"].string, L"");
        EXPECT_FALSE(footer[L"help"][L"url"][L"read"].boolean);
        EXPECT_EQ(footer[L"close"][L"text"].string, L"Click this button to close Quorvane.");
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
}

// Help opens its address only as a file that exists: the tool says when Help
// can never open it (a web address, a path with a wildcard), and not for a file
// path, which opens once the file is there.
TEST(CheckToolOutput, AHelpAddressHelpCanNeverOpenIsReported)
{
    RegistryValueGuard help(HKEY_LOCAL_MACHINE, kHelpKey, L"URL");
    const std::wstring never = L"               Help never opens it: an address with the scheme \"https:\", not a "
                               L"file path; Help opens only a file that exists, and opens C:\\Docs\\UserGuide.pdf "
                               L"instead when that exists";
    ASSERT_TRUE(help.SetString(L"https://help.example/guide"));
    const ToolRun web = RunCheckTool(L"", L"");
    ASSERT_TRUE(web.finished);
    EXPECT_TRUE(Contains(Lines(web.out), never)) << web.out.substr(web.out.find(L"  Help:"));
    const ToolRun webJson = RunCheckTool(L"--json", L"");
    try {
        const qvjson::Value report = qvjson::Parse(webJson.out);
        EXPECT_EQ(report[L"footer"][L"help"][L"neverOpens"].string,
                  L"an address with the scheme \"https:\", not a file path");
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }

    ASSERT_TRUE(help.SetString(L"C:\\Docs\\Guide.pdf"));
    const ToolRun path = RunCheckTool(L"--json", L"");
    try {
        EXPECT_EQ(qvjson::Parse(path.out)[L"footer"][L"help"][L"neverOpens"].string, L"") << "a file path";
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    EXPECT_EQ(RunCheckTool(L"", L"").out.find(L"Help never opens it"), std::wstring::npos);
}

// The names in the launcher's list, in order.
std::vector<std::wstring> ListNames(const ListViewProbe& list)
{
    std::vector<std::wstring> names;
    const int count = list.Count();
    for (int n = 0; n < count; ++n)
        names.push_back(list.ItemText(n));
    return names;
}

// A partly installed machine: what the tool keeps, category by category, is
// what the launcher lists when each category is chosen.
TEST(CheckToolLauncher, KeptItemsAreWhatTheLauncherLists)
{
    const std::map<std::wstring, CatalogueRow> byId = RowsById(ShippedRows());
    const std::wstring launcher = LauncherExePath();
    ASSERT_FALSE(launcher.empty());
    Installation machine;
    // CONNECT: two rows, one in the 32-bit program folder. SECURE: nothing.
    // PROTECT && FIX: one full path, one bare name in the system folder, and one
    // bare name beside the launcher (found without a folder: left out).
    // OPTIMIZE: two programs and two Control Panel files.
    for (const wchar_t* id : {L"0.0", L"2.1", L"2.3", L"3.3", L"3.6", L"3.8", L"3.11"}) {
        ASSERT_TRUE(byId.count(id)) << id;
        ASSERT_TRUE(machine.Program(byId.at(id).program));
    }
    std::wstring vpn = InstallPathFor(byId.at(L"0.3").program);
    vpn.insert(vpn.find(L"Program Files") + 13, L" (x86)");
    ASSERT_TRUE(machine.Program(byId.at(L"0.3").program, vpn));
    const std::wstring besideLauncher = byId.at(L"2.2").program;
    ASSERT_EQ(besideLauncher.find(L'\\'), std::wstring::npos);
    ASSERT_TRUE(machine.Program(besideLauncher, JoinPath(FolderOf(launcher), besideLauncher)));

    const ToolRun run = RunCheckTool(L"--json " + Quoted(launcher), L"");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);  // most of the catalogue is missing
    std::vector<std::vector<std::wstring>> expected(5);
    bool present[5] = {};
    try {
        const qvjson::Value report = qvjson::Parse(run.out);
        EXPECT_FALSE(report[L"allProgramsKept"].boolean);
        EXPECT_TRUE(report[L"matchesLoader"].boolean);
        for (size_t k = 0; k < 5; ++k) {
            const qvjson::Value& category = report[L"categories"][k];
            present[k] = category[L"present"].boolean;
            for (const qvjson::Value& row : category[L"rows"].array) {
                if (row[L"kept"].boolean)
                    expected[k].push_back(row[L"item"][L"name"].string);
                if (row[L"row"].string == L"2.2") {
                    EXPECT_EQ(row[L"reason"].string, L"no backslash");
                    EXPECT_EQ(row[L"foundAs"].string, besideLauncher);
                }
                if (row[L"row"].string == L"1.0") {
                    EXPECT_EQ(row[L"reason"].string, L"not found");
                }
            }
            EXPECT_EQ(category[L"itemCount"].number, static_cast<double>(expected[k].size()));
        }
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    // The machine as set up: the tool's view must not be trivially empty.
    EXPECT_EQ(expected[0].size(), 2u);
    EXPECT_TRUE(expected[1].empty());
    EXPECT_EQ(expected[2].size(), 2u);
    EXPECT_EQ(expected[3].size(), 4u);
    EXPECT_FALSE(present[1]);
    EXPECT_FALSE(present[4]);

    LaunchedProcess process({launcher, L"", L"", {}});
    ASSERT_TRUE(process.started());
    const HWND dialog = process.WaitForWindow(kLauncherClass);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(process.WaitForIdle());
    ListViewProbe list(Control(dialog, 155));
    ASSERT_TRUE(list.ok());

    // At start the lowest present category is shown.
    EXPECT_TRUE(WaitUntil([&] { return ListNames(list) == expected[0]; }));
    for (int k = 0; k < 5; ++k) {
        const HWND button = Control(dialog, 157 + k);
        EXPECT_EQ(IsVisible(button), present[k]) << "category " << k;
        if (!present[k])
            continue;
        DWORD_PTR result = 0;
        ASSERT_NE(SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kDeadlineMs, &result), 0);
        EXPECT_TRUE(WaitUntil([&] { return (ButtonState(button) & BST_PUSHED) != 0; })) << "category " << k;
        EXPECT_TRUE(WaitUntil([&] { return ListNames(list) == expected[static_cast<size_t>(k)]; }))
            << "category " << k;
        EXPECT_EQ(ListNames(list), expected[static_cast<size_t>(k)]) << "category " << k;
    }

    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(process.WaitForExit());
    EXPECT_TRUE(WaitUntilMutexGone(kLauncherMutex));
}

}  // namespace
