// Faults the launcher must survive with its window working: utilities and
// the support key removed while it runs, an icon file that is not an icon,
// no user's guide or a folder in its place, a read-only folder with
// non-ASCII characters as its home; and a whole session writes nothing.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/robustness/launcher_machine.h"
#include "tests/support/machine_snapshot.h"

namespace {

using namespace qvtest;
using namespace qvrobust;

bool Answers(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDeadlineMs, &result) != 0;
}

// Clicks item `item` of the list the way a user does: rest on it, then click.
bool ClickItem(HWND window, int item)
{
    ListViewProbe list(Control(window, IDC_ITEM_LIST));
    const RECT r = list.ItemRectOnScreen(item, LVIR_ICON);
    if (r.right <= r.left)
        return false;
    MoveMouseTo(CenterOf(r));
    Settle(window, 100);
    const bool ok = ClickAt(CenterOf(r));
    Settle(window, 100);
    return ok;
}

bool ClickButton(HWND window, int id)
{
    const bool ok = ClickAt(CenterOf(WindowRectOnScreen(Control(window, id))));
    Settle(window, 100);
    return ok;
}

TEST(FaultLauncher, UtilitiesAndSupportKeyRemovedWhileTheWindowIsOpen)
{
    LauncherMachine machine(L"faultgone");
    ASSERT_TRUE(machine.ok());
    RunningLauncher launcher;
    ASSERT_TRUE(launcher.ok());
    HWND window = launcher.window();
    ASSERT_EQ(CheckLauncherInvariants(window, machine.ExpectedCounts()), "");

    // The support address was read at start-up; removing the key later changes nothing.
    ASSERT_TRUE(machine.supportUrl().Delete());
    ASSERT_TRUE(ClickButton(window, IDC_SUPPORT_BUTTON));
    ASSERT_TRUE(machine.log().WaitForLines(1)) << "Support started nothing";
    EXPECT_NE(machine.log().Read()[0].args.find(LauncherMachine::kSupportUrl), std::wstring::npos)
        << "recorded: " << testing::PrintToString(machine.log().Read()[0].line);
    machine.log().Clear();

    // Every utility goes while the window is open.
    for (const std::wstring& path : machine.InstalledPrograms())
        ASSERT_TRUE(DeleteFileW(path.c_str())) << "cannot remove a stand-in";
    ListViewProbe list(Control(window, IDC_ITEM_LIST));
    ASSERT_GT(list.Count(), 0);
    ASSERT_TRUE(ClickItem(window, 0));
    // Short windows for starts that must not come: a busy machine can only make them pass.
    EXPECT_FALSE(machine.log().WaitForLines(1, 1500)) << "a removed utility was started";
    ASSERT_TRUE(Answers(window));
    // Choosing a category again drops the items whose files went.
    for (int k = 0; k < 5; ++k) {
        HWND button = Control(window, IDC_CATEGORY0 + k);
        if (!IsVisible(button))
            continue;
        ASSERT_TRUE(ClickButton(window, IDC_CATEGORY0 + k));
        ASSERT_TRUE(Answers(window)) << "category " << k;
        EXPECT_TRUE(WaitUntil([&] { return list.Count() == 0; }))
            << "category " << k << " still lists removed utilities";
        EXPECT_TRUE(WaitUntil([&] { return (ButtonState(button) & BST_PUSHED) != 0; })) << "category " << k;
    }
    EXPECT_TRUE(launcher.process().IsRunning());
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.process().WaitForExit(kDeadlineMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST(FaultLauncher, AnIconFileThatIsNotAnIconStillShowsItsUtility)
{
    LauncherMachine machine(L"faulticon");
    ASSERT_TRUE(machine.ok());
    // Row 2.1 names BACKUP.ICO beside its program.
    const std::wstring icon = ExpandVariables(L"%PROGRAMFILES%\\Velmora\\BackupUtility\\BACKUP.ICO");
    FileCopyGuard notAnIcon(FileContents{std::string("this is not an icon\0\x01\x02", 22)}, icon);
    ASSERT_TRUE(notAnIcon.ok());
    // And one program file that is no program (its own icon is looked up in it).
    FileCopyGuard notAProgram(FileContents{"MZ but nothing else"},
                              ExpandVariables(L"%PROGRAMFILES%\\Velmora\\PowerOptimizer\\PowerOptimizer.exe"));
    ASSERT_TRUE(notAProgram.ok());
    RunningLauncher launcher;
    ASSERT_TRUE(launcher.ok());
    HWND window = launcher.window();
    for (int k = 0; k < 4; ++k) {
        if (!IsVisible(Control(window, IDC_CATEGORY0 + k)))
            continue;
        ASSERT_TRUE(ClickButton(window, IDC_CATEGORY0 + k));
        EXPECT_EQ(CheckLauncherInvariants(window, machine.ExpectedCounts()), "") << "category " << k;
    }
    ListViewProbe list(Control(window, IDC_ITEM_LIST));
    ASSERT_TRUE(ClickButton(window, IDC_CATEGORY2));
    const bool listed = WaitUntil([&] {
        for (int i = 0; i < list.Count(); ++i)
            if (list.ItemText(i) == L"Backup Utility")
                return true;
        return false;
    });
    EXPECT_TRUE(listed) << "the utility with a broken icon file is missing";
    EXPECT_TRUE(Answers(window));
}

TEST(FaultLauncher, HelpWithoutTheGuideAndWithAFolderInItsPlace)
{
    if (FileExists(L"C:\\Docs"))
        GTEST_SKIP() << "C:\\Docs exists on this machine";
    LauncherMachine machine(L"faulthelp", /*installGuide=*/false);
    ASSERT_TRUE(machine.ok());
    // Folders opened by the shell go to the recorder as well.
    const std::wstring recorder = RecorderExePath();
    RegistryValueGuard folderOpen(HKEY_CLASSES_ROOT, L"Folder\\shell\\open\\command", L"");
    RegistryValueGuard directoryOpen(HKEY_CLASSES_ROOT, L"Directory\\shell\\open\\command", L"");
    ASSERT_TRUE(folderOpen.SetString(OpenCommandFor(recorder)));
    ASSERT_TRUE(directoryOpen.SetString(OpenCommandFor(recorder)));

    RunningLauncher launcher;
    ASSERT_TRUE(launcher.ok());
    HWND window = launcher.window();
    ASSERT_TRUE(ClickButton(window, IDC_HELP_BUTTON));
    EXPECT_FALSE(machine.log().WaitForLines(1, 1500)) << "Help started something without a guide";  // as above
    ASSERT_TRUE(Answers(window));
    EXPECT_EQ(CheckLauncherInvariants(window, machine.ExpectedCounts()), "");

    // A folder named like the guide passes the existence test: the shell is
    // asked to open the folder.
    std::vector<std::wstring> created;
    ASSERT_TRUE(CreateFolders(LauncherMachine::kGuide, &created));
    ASSERT_TRUE(ClickButton(window, IDC_HELP_BUTTON));
    const bool opened = machine.log().WaitForLines(1);
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        RemoveDirectoryW(it->c_str());
    ASSERT_TRUE(Answers(window));
    EXPECT_TRUE(launcher.process().IsRunning());
    ASSERT_TRUE(opened) << "the shell did not open the folder";
    const LaunchRecord record = machine.log().Read()[0];
    std::printf("Help with a folder C:\\Docs\\UserGuide.pdf started: %ls\n", record.line.c_str());
    EXPECT_NE(record.args.find(L"UserGuide.pdf"), std::wstring::npos);
}

TEST(FaultLauncher, RunsFromAReadOnlyFolderWithNonAsciiCharacters)
{
    LauncherMachine machine(L"faulthome");
    ASSERT_TRUE(machine.ok());
    const std::wstring folder = machine.scratch().File(L"Qv\x00F6rvan\x00E9 \x6D4B\x8BD5 \x00C5");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring exe = folder + L"\\Quorvane.exe";
    ASSERT_TRUE(CopyFileW(LauncherExePath().c_str(), exe.c_str(), FALSE));
    SetFileAttributesW(exe.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        RunningLauncher launcher(exe);
        ASSERT_TRUE(launcher.ok()) << "no window when started from the non-ASCII folder";
        HWND window = launcher.window();
        EXPECT_EQ(CheckLauncherInvariants(window, machine.ExpectedCounts()), "");
        ASSERT_TRUE(ClickItem(window, 0));
        EXPECT_TRUE(machine.log().WaitForLines(1)) << "the first item started nothing";
        const auto records = machine.log().Read();
        if (!records.empty()) {
            EXPECT_NE(records[0].exe.find(L"\\Velmora\\"), std::wstring::npos)
                << "started: " << testing::PrintToString(records[0].line);
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 1;
        EXPECT_TRUE(launcher.process().WaitForExit(kDeadlineMs, &exitCode));
        EXPECT_EQ(exitCode, 0u);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(exe.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(WaitUntil([&] { return DeleteFileW(exe.c_str()) != FALSE; }, kDeadlineMs, 100));
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

// --- Nothing written ----------------------------------------------------------

TEST(FaultLauncher, AFullSessionWritesNoFileAndNoRegistryValue)
{
    LauncherMachine machine(L"faultwrites");
    ASSERT_TRUE(machine.ok());
    MachineListing filesBefore, filesAfter, registryBefore, registryAfter;
    ListFiles(L"C:", machine.scratch().path(), filesBefore);
    ListRegistry(HKEY_LOCAL_MACHINE, L"Software", registryBefore);
    ListRegistry(HKEY_CURRENT_USER, L"Software", registryBefore);
    ASSERT_GT(filesBefore.size(), 100u);
    {
        RunningLauncher launcher;
        ASSERT_TRUE(launcher.ok());
        HWND window = launcher.window();
        // Every category, a rest on every item, one start per category, Support and Help.
        size_t starts = 0;
        for (int k = 0; k < 4; ++k) {
            if (!IsVisible(Control(window, IDC_CATEGORY0 + k)))
                continue;
            ASSERT_TRUE(ClickButton(window, IDC_CATEGORY0 + k));
            ListViewProbe list(Control(window, IDC_ITEM_LIST));
            for (int i = 0; i < list.Count(); ++i) {
                MoveMouseTo(CenterOf(list.ItemRectOnScreen(i, LVIR_ICON)));
                Settle(window, 30);
            }
            ASSERT_TRUE(ClickItem(window, list.Count() - 1));
            ASSERT_TRUE(machine.log().WaitForLines(++starts)) << "category " << k;
        }
        ASSERT_TRUE(ClickButton(window, IDC_SUPPORT_BUTTON));
        ASSERT_TRUE(machine.log().WaitForLines(++starts));
        ASSERT_TRUE(ClickButton(window, IDC_HELP_BUTTON));
        ASSERT_TRUE(machine.log().WaitForLines(++starts));
        ASSERT_TRUE(ClickButton(window, IDC_CLOSE_BUTTON));
        DWORD exitCode = 1;
        ASSERT_TRUE(launcher.process().WaitForExit(kDeadlineMs, &exitCode));
        EXPECT_EQ(exitCode, 0u);
    }
    ListFiles(L"C:", machine.scratch().path(), filesAfter);
    ListRegistry(HKEY_LOCAL_MACHINE, L"Software", registryAfter);
    ListRegistry(HKEY_CURRENT_USER, L"Software", registryAfter);
    const auto fileChanges = Differences(filesBefore, filesAfter);
    const auto registryChanges = Differences(registryBefore, registryAfter);
    for (const auto& change : fileChanges)
        ADD_FAILURE() << "file: " << testing::PrintToString(change);
    for (const auto& change : registryChanges)
        ADD_FAILURE() << "registry: " << testing::PrintToString(change);
    std::printf("compared %zu files and folders, %zu registry keys and values\n", filesBefore.size(),
                registryBefore.size());
}

}  // namespace
