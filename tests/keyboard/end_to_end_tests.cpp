// The real launcher as a separate process on a machine set up like a demo
// computer, used only through the real mouse and keyboard.
#include <windows.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/keyboard/keys_support.h"

namespace {

using namespace qvkeys;
using namespace qvtest;

// The index of the list item called `name`, or -1.
int FindItem(HWND list, const std::wstring& name)
{
    ListViewProbe probe(list);
    for (int i = 0; i < probe.Count(); ++i)
        if (probe.ItemText(i) == name)
            return i;
    return -1;
}

int ItemCount(HWND list)
{
    ListViewProbe probe(list);
    return probe.Count();
}

POINT ItemPoint(HWND list, int index)
{
    ListViewProbe probe(list);
    return CenterOf(probe.ItemRectOnScreen(index, LVIR_ICON));
}

POINT ButtonPoint(HWND dialog, int id)
{
    return CenterOf(WindowRectOnScreen(Control(dialog, id)));
}

// The launch log read as launches: a recorder.exe line is one launch; the
// lines one Control Panel start writes (from CPL_INIT on) are one more.
std::vector<std::wstring> Launches(const RecorderLog& log)
{
    std::vector<std::wstring> launches;
    for (const LaunchRecord& r : log.Read()) {
        if (!r.isApplet())
            launches.push_back(L"exe " + r.exe + L" | " + r.args);
        else if (r.msg == L"CPL_INIT")
            launches.push_back(L"applet " + r.cpl);
    }
    return launches;
}

bool StartsWith(const std::wstring& text, const std::wstring& start)
{
    return text.size() >= start.size() && text.compare(0, start.size(), start) == 0;
}

std::wstring Lower(std::wstring s)
{
    CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

class EndToEnd : public testing::Test {
protected:
    EndToEnd() : scratch_(L"e2e"), log_(scratch_.File(L"launches.log")) { log_.UseForThisProcess(); }

    void SetUpDemoMachine()
    {
        ASSERT_FALSE(LauncherExePath().empty()) << "Quorvane.exe not found";
        ASSERT_FALSE(FileExists(kUserGuide));
        // Category 0: two utilities and a Control Panel applet; category 1:
        // one program behind two rows; category 3: one utility.
        ASSERT_TRUE(machine_.Program(kConnectionManager));
        ASSERT_TRUE(machine_.Program(kVpnConnect));
        ASSERT_TRUE(machine_.Applet(kNetworkApplet));
        ASSERT_TRUE(machine_.Program(kFingerprintVault));
        ASSERT_TRUE(machine_.Program(kPowerOptimizer));
        ASSERT_TRUE(machine_.Program(browser_));
        ASSERT_TRUE(machine_.Program(viewer_));
        ASSERT_TRUE(machine_.Document(guide_));
        ASSERT_TRUE(machine_.Url(kSupportKey, supportUrl_));
        ASSERT_TRUE(machine_.Url(kHelpKey, guide_));
        ASSERT_TRUE(machine_.AssociateScheme(L"http", browser_));
        ASSERT_TRUE(machine_.AssociateScheme(L"https", browser_));
        ASSERT_TRUE(machine_.Associate(L".pdf", L"QvKeysPdf", viewer_));
    }

    HWND StartLauncher()
    {
        MoveMouseAway();
        if (!process_.Start({LauncherExePath(), L"", L"", {}}))
            return nullptr;
        HWND window = process_.WaitForWindow(kLauncherClass);
        if (window) {
            process_.WaitForIdle();
            BringToForeground(window);
            Settle(window, 200);
        }
        return window;
    }

    const std::wstring browser_ = L"C:\\qvkeys\\demo\\WebBrowser.exe";
    const std::wstring viewer_ = L"C:\\qvkeys\\demo\\DocumentViewer.exe";
    const std::wstring guide_ = L"C:\\qvkeys\\manuals\\QX-7 Owner Guide.pdf";
    const std::wstring supportUrl_ = L"https://support.velmora.example/kivano?model=QX-7&lang=en";
    ScratchFolder scratch_;
    RecorderLog log_;
    TestMachine machine_;
    LaunchedProcess process_;
};

TEST_F(EndToEnd, DemoSessionWithMouseAndKeyboard)
{
    SetUpDemoMachine();
    HWND dialog = StartLauncher();
    ASSERT_NE(dialog, nullptr);
    HWND list = Control(dialog, IDC_ITEM_LIST);
    HWND description = Control(dialog, IDC_DESCRIPTION);
    ASSERT_EQ(WindowText(dialog), kLauncherTitle);

    // Category 0 is shown with its three installed rows.
    ASSERT_TRUE(WaitUntil([&] { return ItemCount(list) == 3; })) << ItemCount(list);
    EXPECT_TRUE(IsVisible(Control(dialog, IDC_CATEGORY0)));
    EXPECT_TRUE(IsVisible(Control(dialog, IDC_CATEGORY1)));
    EXPECT_FALSE(IsVisible(Control(dialog, IDC_CATEGORY2)));
    EXPECT_TRUE(IsVisible(Control(dialog, IDC_CATEGORY3)));
    EXPECT_EQ(WindowText(description), L"You can connect your computer to network more easily.");
    ASSERT_TRUE(WaitForFocus(dialog, IDC_ITEM_LIST));

    // 1. Rest the mouse on the Wireless Connection Manager and press Enter.
    const int manager = FindItem(list, L"Wireless Connection Manager");
    ASSERT_GE(manager, 0);
    const POINT managerAt = ItemPoint(list, manager);
    ASSERT_TRUE(MoveMouseTo(managerAt.x - 1, managerAt.y));
    ASSERT_TRUE(MoveMouseTo(managerAt));
    ASSERT_TRUE(WaitUntil([&] { return StartsWith(WindowText(description), L"Find wireless networks"); }))
        << WindowText(description).c_str();
    EXPECT_NE(ListViewProbe(list).ItemState(manager) & LVIS_SELECTED, 0u);
    Press(dialog, VK_RETURN);
    ASSERT_TRUE(log_.WaitForLines(1));

    // 2. Keys: Tab to category 0's button, Right to category 1.
    MoveMouseAway();
    Press(dialog, VK_TAB);
    ASSERT_TRUE(WaitForFocus(dialog, IDC_CATEGORY0));
    Press(dialog, VK_RIGHT);
    ASSERT_TRUE(WaitForFocus(dialog, IDC_CATEGORY1));
    EXPECT_TRUE(WaitUntil([&] { return FindItem(list, L"Remove Fingerprints") >= 0 && ItemCount(list) == 2; }));
    // Right again skips the empty category 2.
    Press(dialog, VK_RIGHT);
    ASSERT_TRUE(WaitForFocus(dialog, IDC_CATEGORY3));
    EXPECT_TRUE(WaitUntil([&] { return FindItem(list, L"Battery Optimizer") >= 0 && ItemCount(list) == 1; }));

    // 3. Mouse: category 0's button, then the Network Connections applet.
    ASSERT_TRUE(ClickAt(ButtonPoint(dialog, IDC_CATEGORY0)));
    ASSERT_TRUE(WaitUntil([&] { return FindItem(list, L"Network Connections") >= 0; }));
    const int applet = FindItem(list, L"Network Connections");
    ASSERT_TRUE(ClickAt(ItemPoint(list, applet)));
    ASSERT_TRUE(log_.WaitFor([](const LaunchRecord& r) { return r.msg == L"CPL_EXIT"; }));

    // 4. Mouse: category 1's button, then Remove Fingerprints.
    ASSERT_TRUE(ClickAt(ButtonPoint(dialog, IDC_CATEGORY1)));
    ASSERT_TRUE(WaitUntil([&] { return FindItem(list, L"Remove Fingerprints") >= 0; }));
    const size_t before = Launches(log_).size();
    ASSERT_TRUE(ClickAt(ItemPoint(list, FindItem(list, L"Remove Fingerprints"))));
    ASSERT_TRUE(WaitUntil([&] { return Launches(log_).size() > before; }));

    // 5. Help, then Web site, each clicked.
    ASSERT_TRUE(ClickAt(ButtonPoint(dialog, IDC_HELP_BUTTON)));
    ASSERT_TRUE(WaitUntil([&] { return Launches(log_).size() > before + 1; }));
    EXPECT_TRUE(StartsWith(WindowText(description), L"This tells how to begin using your computer."));
    ASSERT_TRUE(ClickAt(ButtonPoint(dialog, IDC_SUPPORT_BUTTON)));
    ASSERT_TRUE(WaitUntil([&] { return Launches(log_).size() > before + 2; }));
    EXPECT_EQ(WindowText(description), L"Go to the VELMORA web site.");

    // 6. Close, clicked: the process ends and its marker goes with it.
    ASSERT_TRUE(ClickAt(ButtonPoint(dialog, IDC_CLOSE_BUTTON)));
    DWORD exitCode = 1;
    EXPECT_TRUE(process_.WaitForExit(kDeadlineMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(WaitUntilMutexGone(kLauncherMutex));

    Sleep(300);  // a late extra start would have arrived by now (a window for what must not come)
    const std::vector<std::wstring> expected = {
        L"exe " + Lower(kConnectionManager) + L" | ",
        L"applet " + Lower(kNetworkApplet),
        L"exe " + Lower(kFingerprintVault) + L" | /u",
        L"exe " + Lower(viewer_) + L" | \"" + Lower(guide_) + L"\"",
        L"exe " + Lower(browser_) + L" | \"" + Lower(supportUrl_) + L"\"",
    };
    std::vector<std::wstring> actual = Launches(log_);
    for (std::wstring& line : actual)
        line = Lower(line);
    EXPECT_EQ(actual, expected);
    for (const std::wstring& line : log_.Lines())
        std::wcerr << line << L"\n";
}

TEST_F(EndToEnd, EnterOnCloseEndsTheProgram)
{
    HWND dialog = StartLauncher();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitForFocus(dialog, IDC_ITEM_LIST));
    // No category is present on the bare test machine: list, SUPPORT, HELP, CLOSE.
    for (int id : {IDC_SUPPORT_BUTTON, IDC_HELP_BUTTON, IDC_CLOSE_BUTTON}) {
        Press(dialog, VK_TAB);
        ASSERT_TRUE(WaitForFocus(dialog, id)) << id << " " << FocusedControlId(dialog);
    }
    Press(dialog, VK_RETURN);
    DWORD exitCode = 1;
    EXPECT_TRUE(process_.WaitForExit(kDeadlineMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(WaitUntilMutexGone(kLauncherMutex));
    EXPECT_TRUE(log_.Lines().empty());
}

}  // namespace
