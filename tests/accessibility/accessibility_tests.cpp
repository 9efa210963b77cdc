// The real launcher on a machine with the four shipped categories installed,
// read through oleacc as a screen reader reads it; a button's object after its
// window has gone.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/paint/paint_support.h"
#include "ui/accessibility/ButtonAccessible.h"

namespace {

using namespace qvtest;
using namespace painttest;

struct Launched {
    LaunchedProcess process;
    HWND window = nullptr;
};

// Starts the launcher with every category installed, in front, the mouse off it.
void Launch(Launched* launched)
{
    const std::wstring exe = LauncherExePath();
    ASSERT_FALSE(exe.empty()) << "Quorvane.exe not found";
    ASSERT_TRUE(WaitUntilMutexGone(kLauncherMutex)) << "another launcher is running";
    MoveMouseAway();
    ASSERT_TRUE(launched->process.Start({exe, L"", L"", {}}));
    launched->window = launched->process.WaitForWindow(kLauncherClass);
    ASSERT_NE(launched->window, nullptr) << "the launcher's window did not appear";
    ASSERT_TRUE(launched->process.WaitForIdle());
    ASSERT_TRUE(BringToForeground(launched->window));
    MoveMouseOutside(launched->window);
    Settle(launched->window);
}

std::vector<std::wstring> AllPrograms()
{
    std::vector<std::wstring> programs;
    AddPrograms(&programs, kConnect);
    AddPrograms(&programs, kSecure);
    AddPrograms(&programs, kProtect);
    AddPrograms(&programs, kOptimize);
    return programs;
}

// The category buttons that read as pressed, by control id.
std::vector<int> PressedCategories(HWND window)
{
    std::vector<int> pressed;
    for (int id = IDC_CATEGORY0; id <= IDC_CATEGORY4; ++id)
        if (AccessibleProbe(Control(window, id)).State() & STATE_SYSTEM_PRESSED)
            pressed.push_back(id);
    return pressed;
}

TEST(Accessibility, ButtonsListAndDescriptionReadAsAScreenReaderReadsThem)
{
    StandIns standIns(AllPrograms());
    ASSERT_TRUE(standIns.ok());
    Launched launcher;
    ASSERT_NO_FATAL_FAILURE(Launch(&launcher));
    HWND window = launcher.window;

    struct Button {
        int id;
        const wchar_t* name;
        const wchar_t* description;  // its start
    };
    const Button buttons[] = {
        {IDC_CATEGORY0, L"CONNECT", L"You can connect your computer to network more easily."},
        {IDC_CATEGORY1, L"SECURE", L"You can keep your computer more secure."},
        {IDC_CATEGORY2, L"PROTECT & FIX", L"You can protect your computer and easily fix it."},
        {IDC_CATEGORY3, L"OPTIMIZE", L"You can optimize your computer."},
        {IDC_SUPPORT_BUTTON, L"Web site", L"Go to the VELMORA web site."},
        {IDC_HELP_BUTTON, L"Help", L"This tells how to begin using your computer."},
        {IDC_CLOSE_BUTTON, L"Close", L"Click this button to close Quorvane."},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(testing::Message() << "control " << b.id);
        AccessibleProbe button(Control(window, b.id));
        ASSERT_TRUE(button.ok());
        EXPECT_EQ(button.Name(), b.name);
        EXPECT_EQ(button.Role(), ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(button.Description().rfind(b.description, 0), 0u) << button.Description().c_str();
        EXPECT_EQ(button.State() & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE), 0);
    }
    EXPECT_NE(AccessibleProbe(Control(window, IDC_CATEGORY4)).State() & STATE_SYSTEM_INVISIBLE, 0);
    EXPECT_EQ(PressedCategories(window), std::vector<int>{IDC_CATEGORY0});

    // A click, an arrow key and the default action move the pressed state,
    // and each change is told.
    WinEventCounter optimizeChanges(launcher.process.pid(), EVENT_OBJECT_STATECHANGE, Control(window, IDC_CATEGORY3),
                                    OBJID_CLIENT);
    ASSERT_TRUE(optimizeChanges.ok());
    ASSERT_TRUE(ClickAt(CenterOf(WindowRectOnScreen(Control(window, IDC_CATEGORY3)))));
    ASSERT_TRUE(WaitUntil([&] { return PressedCategories(window) == std::vector<int>{IDC_CATEGORY3}; }))
        << PressedCategories(window).size() << " pressed";
    EXPECT_TRUE(WaitUntil([&] { return optimizeChanges.Count() > 0; }));
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlId(window) == IDC_CATEGORY3; })) << FocusedControlId(window);
    PressKey(VK_UP);
    EXPECT_TRUE(WaitUntil([&] { return PressedCategories(window) == std::vector<int>{IDC_CATEGORY2}; }))
        << PressedCategories(window).size() << " pressed";
    MoveMouseOutside(window);
    EXPECT_TRUE(AccessibleProbe(Control(window, IDC_CATEGORY1)).DoDefaultAction());
    EXPECT_TRUE(WaitUntil([&] { return PressedCategories(window) == std::vector<int>{IDC_CATEGORY1}; }))
        << PressedCategories(window).size() << " pressed";

    // The list of SECURE: its items by their names and descriptions.
    HWND list = Control(window, IDC_ITEM_LIST);
    AccessibleProbe items(list);
    ASSERT_TRUE(items.ok());
    EXPECT_EQ(items.Name(), L"Contents");
    EXPECT_EQ(items.Role(), ROLE_SYSTEM_LIST);
    ASSERT_EQ(items.ChildCount(), 1);
    EXPECT_EQ(items.Name(1), kSecure[0].name);
    EXPECT_EQ(items.Role(1), ROLE_SYSTEM_LISTITEM);
    const std::wstring itemDescription = items.Description(1);
    EXPECT_FALSE(itemDescription.empty());

    // Resting on the item shows its description, which is announced; the
    // same text passed on again is not.
    HWND description = Control(window, IDC_DESCRIPTION);
    WinEventCounter announced(launcher.process.pid(), EVENT_OBJECT_NAMECHANGE, description, OBJID_CLIENT);
    ASSERT_TRUE(announced.ok());
    const POINT item = CenterOf(ListViewProbe(list).ItemRectOnScreen(0, LVIR_ICON));
    int nudge = 0;
    ASSERT_TRUE(WaitUntil([&] {
        MoveMouseTo(item.x + (nudge++ % 2), item.y);
        return AccessibleProbe(description).Name() == itemDescription;
    })) << "the description read: " << AccessibleProbe(description).Name().c_str();
    EXPECT_EQ(AccessibleProbe(description).Role(), ROLE_SYSTEM_STATICTEXT);
    EXPECT_TRUE(WaitUntil([&] { return announced.Count() > 0; }));
    Settle(window);
    const long beforeBack = announced.Count();
    MoveMouseOutside(window);
    InvalidateRect(window, nullptr, TRUE);  // the repaint shows the category's text again
    ASSERT_TRUE(WaitUntil([&] { return AccessibleProbe(description).Name() != itemDescription; }));
    // The change back is told as well; the events reach this process some time after the change.
    EXPECT_TRUE(WaitUntil([&] { return announced.Count() > beforeBack; }));
    Settle(window);
    const long afterRepaint = announced.Count();
    InvalidateRect(window, nullptr, TRUE);
    Settle(window, 200);  // a window for an announcement that must not come: a busy machine can only make it pass
    EXPECT_EQ(announced.Count(), afterRepaint) << "an unchanged description was announced";

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process.WaitForExit());
}

TEST(Accessibility, WindowOpensCentredOnTheWorkAreaOfItsMonitor)
{
    StandIns standIns(AllPrograms());
    ASSERT_TRUE(standIns.ok());
    for (DWORD dpi : {96u, 144u}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI");
        DpiGuard dpiSetting(dpi);
        ASSERT_TRUE(dpiSetting.ok());
        Launched launcher;
        ASSERT_NO_FATAL_FAILURE(Launch(&launcher));

        RECT client = {};
        GetClientRect(launcher.window, &client);
        EXPECT_EQ(client.right, ScaledLayoutMetrics(static_cast<int>(dpi)).ClientWidth);
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(launcher.window, MONITOR_DEFAULTTONEAREST), &monitor));
        const RECT work = monitor.rcWork;
        const RECT w = WindowRectOnScreen(launcher.window);
        EXPECT_GE(w.left, work.left);
        EXPECT_GE(w.top, work.top);
        EXPECT_LE(std::abs((w.left - work.left) - (work.right - w.right)), 1) << w.left << " of " << work.right;
        EXPECT_LE(std::abs((w.top - work.top) - (work.bottom - w.bottom)), 1) << w.top << " of " << work.bottom;

        PostMessageW(launcher.window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(launcher.process.WaitForExit());
    }
}

// A screen reader may hold a button's object longer than the button lives: once the
// window has gone, every call fails as disconnected, the question for its window too.
TEST(Accessibility, AButtonsObjectAnswersNothingOnceItsWindowHasGone)
{
    HWND button = CreateWindowExW(0, L"BUTTON", L"Web site", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    IAccessible* object = new CButtonAccessible(button);
    IOleWindow* oleWindow = nullptr;
    ASSERT_EQ(object->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&oleWindow)), S_OK);
    HWND answer = nullptr;
    EXPECT_EQ(oleWindow->GetWindow(&answer), S_OK);
    EXPECT_EQ(answer, button);

    DestroyWindow(button);
    EXPECT_EQ(oleWindow->GetWindow(&answer), RPC_E_DISCONNECTED);
    EXPECT_EQ(answer, nullptr);
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), RPC_E_DISCONNECTED);
    UINT count = 1;
    EXPECT_EQ(object->GetTypeInfoCount(&count), RPC_E_DISCONNECTED);
    oleWindow->Release();
    object->Release();
}

}  // namespace
