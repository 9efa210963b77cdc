// The bitmap push buttons of the running launcher under real mouse and
// keyboard input: hover focuses a button and shows its description, leaving
// hands the focus back to the dialog, a click selects a category that then
// survives deactivation, and the space bar presses nothing.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/paint/paint_support.h"

namespace {

using namespace qvtest;
using namespace painttest;

constexpr wchar_t kConnectText[] = L"You can connect your computer to network more easily.";
constexpr wchar_t kSecureText[] = L"You can keep your computer more secure.";
constexpr wchar_t kProtectText[] = L"You can protect your computer and easily fix it.";
constexpr wchar_t kOptimizeText[] = L"You can optimize your computer.";
constexpr wchar_t kSupportText[] = L"Go to the VELMORA web site.";
constexpr wchar_t kHelpText[] =
    L"This tells how to begin using your computer. It also provides detailed information on configuring your "
    L"computer, basic operations and care, using optional devices and troubleshooting.";
constexpr wchar_t kCloseText[] = L"Click this button to close Quorvane.";

// Every category but the never-shown fifth has utilities; the window comes up
// at 96 DPI with CONNECT selected.
class ButtonInput : public testing::Test {
protected:
    void SetUp() override
    {
        std::vector<std::wstring> programs;
        AddPrograms(&programs, kConnect);
        AddPrograms(&programs, kSecure);
        AddPrograms(&programs, kProtect);
        AddPrograms(&programs, kOptimize);
        standIns_ = std::make_unique<StandIns>(programs);
        ASSERT_TRUE(standIns_->ok());
        dpi_ = std::make_unique<DpiGuard>(96);
        ASSERT_TRUE(dpi_->ok());
        MoveMouseAway();
        const std::wstring exe = LauncherExePath();
        ASSERT_FALSE(exe.empty()) << "Quorvane.exe not found";
        ASSERT_TRUE(launcher_.Start({exe, L"", L"", {}}));
        window_ = launcher_.WaitForWindow(kLauncherClass);
        ASSERT_NE(window_, nullptr) << "the launcher's window did not appear";
        ASSERT_TRUE(launcher_.WaitForIdle());
        ASSERT_TRUE(BringToForeground(window_));
        MoveMouseOutside(window_);
        ASSERT_TRUE(WaitUntil([&] { return ButtonState(Button(0)) & BST_PUSHED; }));
    }

    void TearDown() override
    {
        if (HasFailure() && window_)
            std::wcerr << L"capture: " << SaveCapture(ScreenCapture::OfClient(window_), L"button-failure.bmp") << L"\n";
        MoveMouseAway();
        if (window_ && launcher_.IsRunning()) {
            PostMessageW(window_, WM_CLOSE, 0, 0);
            launcher_.WaitForExit();
        }
    }

    HWND Button(int category) const { return Control(window_, IDC_CATEGORY0 + category); }
    HWND Description() const { return Control(window_, IDC_DESCRIPTION); }
    HWND List() const { return Control(window_, IDC_ITEM_LIST); }
    HWND Focus() const { return FocusedWindow(window_); }

    // Comes from a neutral place of the dialog (so that the previous button's
    // leave has handed the focus back first), hovers the button and waits
    // until it holds the focus and its text shows.
    void HoverAndExpect(HWND button, const wchar_t* text, const char* what)
    {
        ASSERT_TRUE(MoveMouseTo(Neutral()));
        if (hovered_) {
            ASSERT_TRUE(WaitUntil([&] { return Focus() != hovered_; })) << what << ": focus on " << Focus();
        }
        ASSERT_NE(Focus(), button) << what << " was focused before the mouse came";
        ASSERT_TRUE(MoveMouseTo(CenterOf(WindowRectOnScreen(button)))) << what;
        hovered_ = button;
        EXPECT_TRUE(WaitUntil([&] { return Focus() == button; }))
            << what << ": focus on " << Focus() << " instead of " << button;
        EXPECT_TRUE(WaitForText(Description(), text)) << what << ": " << WindowText(Description()).c_str();
    }

    // A neutral place of the dialog: white background right of the list.
    POINT Neutral() const
    {
        const RECT client = ClientRectOnScreen(window_);
        return POINT{client.right - 4, client.top + LayoutMetricsAt96().ColumnTop + 40};
    }

    std::unique_ptr<StandIns> standIns_;
    std::unique_ptr<DpiGuard> dpi_;
    LaunchedProcess launcher_;
    HWND window_ = nullptr;
    HWND hovered_ = nullptr;  // the button hovered last
};

TEST_F(ButtonInput, HoverFocusesAndDescribesLeavingReturnsFocusClickSelectsForGood)
{
    // The whole window as it first comes up, kept for the documentation.
    const ScreenCapture first = StableCapture(window_);
    ASSERT_TRUE(first.ok());
    EXPECT_FALSE(SaveCapture(first, L"button-start-96dpi.bmp").empty());
    EXPECT_EQ(WindowText(Description()), kConnectText);

    // Category buttons and footer buttons, each unfocused when the mouse arrives.
    HoverAndExpect(Button(2), kProtectText, "PROTECT && FIX");
    HoverAndExpect(Button(1), kSecureText, "SECURE");
    HoverAndExpect(Control(window_, IDC_SUPPORT_BUTTON), kSupportText, "Web site");
    HoverAndExpect(Control(window_, IDC_HELP_BUTTON), kHelpText, "Help");
    HoverAndExpect(Control(window_, IDC_CLOSE_BUTTON), kCloseText, "Close");
    // Hovering describes only: CONNECT is still the category shown.
    EXPECT_TRUE(ButtonState(Button(0)) & BST_PUSHED);
    EXPECT_EQ(ListTexts(List()), NamesOf(kConnect));

    // Leaving a button gives the focus back to the dialog window; the
    // dialog's default focus handling then passes it on to the control it
    // saved last, so what can be seen afterwards is that the button lost it
    // to the dialog or one of its other controls.
    HWND close = Control(window_, IDC_CLOSE_BUTTON);
    ASSERT_TRUE(MoveMouseTo(Neutral()));
    EXPECT_TRUE(WaitUntil([&] { return Focus() != close; })) << "focus stayed on CLOSE";
    EXPECT_TRUE(Focus() == window_ || GetParent(Focus()) == window_) << "focus on " << Focus();

    // A real press and release on OPTIMIZE selects it.
    ASSERT_TRUE(ClickAt(CenterOf(WindowRectOnScreen(Button(3)))));
    ASSERT_TRUE(MoveMouseTo(Neutral()));
    EXPECT_TRUE(WaitUntil([&] { return (ButtonState(Button(3)) & BST_PUSHED) && Focus() != Button(3); }));
    EXPECT_EQ(ListTexts(List()), NamesOf(kOptimize));
    EXPECT_EQ(WindowText(Description()), kOptimizeText);
    for (int k : {0, 1, 2})
        EXPECT_FALSE(ButtonState(Button(k)) & BST_PUSHED) << "category " << k;

    // Another window takes the foreground, then the launcher gets it back:
    // both activation changes repaint and re-select, and OPTIMIZE stays.
    {
        OtherWindow other;
        ASSERT_NE(other.hwnd(), nullptr);
        ASSERT_TRUE(BringToForeground(other.hwnd()));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() != window_; }));
        Settle(window_);  // the state must NOT change: a busy machine can only make this pass
        EXPECT_TRUE(ButtonState(Button(3)) & BST_PUSHED) << "lost while inactive";
        ASSERT_TRUE(BringToForeground(window_));
    }
    ASSERT_TRUE(BringToForeground(window_));
    Settle(window_);
    EXPECT_TRUE(WaitUntil([&] { return (ButtonState(Button(3)) & BST_PUSHED) != 0; }));
    for (int k : {0, 1, 2})
        EXPECT_FALSE(ButtonState(Button(k)) & BST_PUSHED) << "category " << k;
    EXPECT_EQ(ListTexts(List()), NamesOf(kOptimize));
    EXPECT_EQ(WindowText(Description()), kOptimizeText);
}

// Holds the space bar down on the focused button, then lets it go.
void SpaceDown()
{
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_SPACE;
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC));
    SendInput(1, &key, sizeof(key));
}

void SpaceUp()
{
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_SPACE;
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC));
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &key, sizeof(key));
}

TEST_F(ButtonInput, SpaceOnAFocusedButtonPressesNothing)
{
    // CLOSE: focused by the mouse; space neither pushes it nor closes the window.
    HWND close = Control(window_, IDC_CLOSE_BUTTON);
    HoverAndExpect(close, kCloseText, "Close");
    ASSERT_EQ(Focus(), close);
    const RECT closeRect = WindowRectOnScreen(close);
    const ScreenCapture before = ScreenCapture::OfScreenRect(closeRect);
    // Short windows for what space must NOT do: a busy machine can only make them pass.
    SpaceDown();
    Settle(window_, 150);
    EXPECT_FALSE(ButtonState(close) & BST_PUSHED) << "space pushed CLOSE";
    EXPECT_TRUE(SameImage(before, ScreenCapture::OfScreenRect(closeRect))) << "CLOSE changed its look";
    SpaceUp();
    Settle(window_, 150);
    EXPECT_FALSE(launcher_.WaitForExit(700)) << "space closed the window";
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_EQ(WindowText(Description()), kCloseText);
    // The same key through the usual press, twice.
    PressKey(VK_SPACE);
    PressKey(VK_SPACE);
    EXPECT_FALSE(launcher_.WaitForExit(700)) << "space closed the window";

    // A category button: PROTECT && FIX focused, space does not select it.
    HWND protect = Button(2);
    HoverAndExpect(protect, kProtectText, "PROTECT && FIX");
    ASSERT_EQ(Focus(), protect);
    SpaceDown();
    Settle(window_, 150);
    EXPECT_FALSE(ButtonState(protect) & BST_PUSHED) << "space pushed the category button";
    SpaceUp();
    Settle(window_, 150);
    EXPECT_TRUE(ButtonState(Button(0)) & BST_PUSHED);
    EXPECT_FALSE(ButtonState(protect) & BST_PUSHED);
    EXPECT_EQ(ListTexts(List()), NamesOf(kConnect));
    EXPECT_EQ(WindowText(Description()), kProtectText);

    // Enter on the same button does select it: the keys reach the button.
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return (ButtonState(protect) & BST_PUSHED) != 0; }));
    EXPECT_EQ(ListTexts(List()), NamesOf(kProtect));
}

}  // namespace
