// The keyboard in the launcher's window, in-process, with real key presses:
// arrow keys on the category buttons, Enter on buttons and the list, Tab, and
// other keys while the dialog window itself holds the focus.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/keyboard/dialog_input.h"

namespace {

using namespace qvkeys;
using qvtest::kShift;

// Categories 0, 1 and 3 have utilities; 2 and 4 have none.
class KeyboardThreeCategories : public testing::Test {
protected:
    KeyboardThreeCategories()
    {
        installed_ = machine_.Program(kConnectionManager) && machine_.Program(kFingerprintVault) &&
                     machine_.Program(kPowerOptimizer);
    }

    void SetUp() override
    {
        ASSERT_TRUE(installed_);
        host_ = std::make_unique<DialogHost>();
        ASSERT_NE(host_->Window(), nullptr);
        host_->Call([](CKivanoDlg& dlg) {
            ASSERT_NE(dlg.m_bCategoryPresent[0], 0);
            ASSERT_NE(dlg.m_bCategoryPresent[1], 0);
            ASSERT_EQ(dlg.m_bCategoryPresent[2], 0);
            ASSERT_NE(dlg.m_bCategoryPresent[3], 0);
            ASSERT_EQ(dlg.m_bCategoryPresent[4], 0);
        });
        PrepareForKeys(*host_);
    }

    void TearDown() override { host_.reset(); }

    DialogHost& host() { return *host_; }
    HWND dialog() { return host_->Window(); }

    TestMachine machine_;
    bool installed_ = false;
    std::unique_ptr<DialogHost> host_;
};

TEST_F(KeyboardThreeCategories, ArrowsStepThroughPresentCategoriesAndNeverReachTheButton)
{
    const int buttons[] = {IDC_CATEGORY0, IDC_CATEGORY1, IDC_CATEGORY3};
    bool installed = true;
    host().Call([&](CKivanoDlg& dlg) {
        installed = ArrowKeyCounter::Install(dlg.m_hWnd);
        for (int id : buttons)
            installed = ArrowKeyCounter::Install(dlg.GetDlgItem(id)->m_hWnd) && installed;
    });
    ASSERT_TRUE(installed);

    Press(dialog(), VK_TAB);
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_CATEGORY0));
    ASSERT_EQ(CurrentCategoryOf(host()), 0);

    struct Step {
        WORD key;
        int category;
    };
    // 0 -> 1 -> 3 (past the absent 2) -> 0 (past the absent 4) -> 3 (back
    // from 0, wrapping), then Down/Up behave as Right/Left.
    const Step steps[] = {{VK_RIGHT, 1}, {VK_RIGHT, 3}, {VK_RIGHT, 0}, {VK_LEFT, 3},
                          {VK_LEFT, 1},  {VK_DOWN, 3},  {VK_DOWN, 0},  {VK_UP, 3}};
    long pressed = 0;
    for (const Step& step : steps) {
        Press(dialog(), step.key);
        ++pressed;
        ASSERT_TRUE(WaitForCategory(host(), step.category))
            << "key " << step.key << " (step " << pressed << "): category " << CurrentCategoryOf(host())
            << ", focus " << qvtest::FocusedControlId(dialog());
        // The category is current at once: its list and its text are shown.
        EXPECT_TRUE(qvtest::WaitForText(host().Control(IDC_DESCRIPTION), CategoryText(host(), step.category)))
            << "step " << pressed;
        int listed = -1, expected = -2;
        host().Call([&](CKivanoDlg& dlg) {
            listed = dlg.m_listItems.GetItemCount();
            expected = Categories[static_cast<size_t>(step.category)].ItemCount;
        });
        EXPECT_EQ(listed, expected) << "step " << pressed;
        EXPECT_EQ(CurrentItemOf(host()), -1);
    }
    // The arrows leave the remembered category alone.
    EXPECT_EQ(RememberedCategoryOf(host()), 0);

    long atDialog = -1;
    long atButtons[3] = {-1, -1, -1};
    host().Call([&](CKivanoDlg& dlg) {
        atDialog = ArrowKeyCounter::Count(dlg.m_hWnd);
        for (int i = 0; i < 3; ++i)
            atButtons[i] = ArrowKeyCounter::Count(dlg.GetDlgItem(buttons[i])->m_hWnd);
        ArrowKeyCounter::Remove(dlg.m_hWnd);
        for (int id : buttons)
            ArrowKeyCounter::Remove(dlg.GetDlgItem(id)->m_hWnd);
    });
    // Exactly one key-down at the dialog per press, none at any button.
    EXPECT_EQ(atDialog, pressed);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(atButtons[i], 0) << "button " << buttons[i];
}

TEST_F(KeyboardThreeCategories, TabWalksTheTabOrderPastHiddenButtons)
{
    EXPECT_FALSE(IsWindowVisible(host().Control(IDC_CATEGORY2)));
    EXPECT_FALSE(IsWindowVisible(host().Control(IDC_CATEGORY4)));
    std::wstring supportText, helpText, closeText;
    host().Call([&](CKivanoDlg&) {
        supportText = SupportText.GetString();
        helpText = HelpText.GetString();
        closeText = CloseText.GetString();
    });
    EXPECT_EQ(supportText, L"Go to the VELMORA web site.");
    EXPECT_EQ(closeText, L"Click this button to close Quorvane.");

    const int order[] = {IDC_CATEGORY0, IDC_CATEGORY1, IDC_CATEGORY3, IDC_SUPPORT_BUTTON,
                         IDC_HELP_BUTTON, IDC_CLOSE_BUTTON, IDC_ITEM_LIST};
    for (int id : order) {
        Press(dialog(), VK_TAB);
        ASSERT_TRUE(WaitForFocus(dialog(), id)) << "expected " << id << ", focus on "
                                                << qvtest::FocusedControlId(dialog());
        // A button that gains the focus shows its description.
        std::wstring shown;
        if (id == IDC_SUPPORT_BUTTON)
            shown = supportText;
        else if (id == IDC_HELP_BUTTON)
            shown = helpText;
        else if (id == IDC_CLOSE_BUTTON)
            shown = closeText;
        else if (id == IDC_CATEGORY1)
            shown = CategoryText(host(), 1);
        if (!shown.empty()) {
            EXPECT_TRUE(qvtest::WaitForText(host().Control(IDC_DESCRIPTION), shown)) << id;
        }
    }
    // Describing a button by focus does not change the category.
    EXPECT_EQ(CurrentCategoryOf(host()), 0);

    // Backwards: list -> CLOSE -> HELP -> SUPPORT -> category 3 (past 4).
    const int back[] = {IDC_CLOSE_BUTTON, IDC_HELP_BUTTON, IDC_SUPPORT_BUTTON, IDC_CATEGORY3};
    for (int id : back) {
        Press(dialog(), VK_TAB, kShift);
        ASSERT_TRUE(WaitForFocus(dialog(), id)) << "expected " << id << ", focus on "
                                                << qvtest::FocusedControlId(dialog());
    }
}

TEST_F(KeyboardThreeCategories, EnterOnCategoryButtonIsRememberedAcrossActivation)
{
    RECT clientRect = qvtest::WindowRectOnScreen(dialog());
    const RECT elsewhere = {clientRect.right + 40, clientRect.top + 40, clientRect.right + 340, clientRect.top + 240};
    OtherWindow other(elsewhere);
    ASSERT_NE(other.hwnd(), nullptr);
    ASSERT_TRUE(qvtest::BringToForeground(dialog()));
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_ITEM_LIST));

    Press(dialog(), VK_TAB);
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_CATEGORY0));
    Press(dialog(), VK_RIGHT);
    ASSERT_TRUE(WaitForCategory(host(), 1));
    EXPECT_EQ(RememberedCategoryOf(host()), 0);

    Press(dialog(), VK_RETURN);
    ASSERT_TRUE(qvtest::WaitUntil([&] { return RememberedCategoryOf(host()) == 1; }));
    EXPECT_EQ(CurrentCategoryOf(host()), 1);
    EXPECT_TRUE(IsWindow(dialog()));  // Enter on a category button does not end the dialog

    // Another window in front, then back: category 1 stays current. (Each
    // look after a short settling is for a change that must NOT come: a busy
    // machine can only make it pass.)
    ASSERT_TRUE(qvtest::BringToForeground(other.hwnd()));
    qvtest::Settle(dialog(), 200);
    EXPECT_EQ(CurrentCategoryOf(host()), 1);
    ASSERT_TRUE(qvtest::BringToForeground(dialog()));
    qvtest::Settle(dialog(), 200);
    EXPECT_EQ(CurrentCategoryOf(host()), 1);
    EXPECT_EQ(RememberedCategoryOf(host()), 1);
    EXPECT_TRUE(qvtest::WaitForText(host().Control(IDC_DESCRIPTION), CategoryText(host(), 1)));

    // Back on the category's button (the window may or may not have kept the
    // focus there), then on to category 3 with the arrow key.
    if (qvtest::FocusedControlId(dialog()) != IDC_CATEGORY1)
        host().Call([](CKivanoDlg& dlg) { dlg.GetDlgItem(IDC_CATEGORY1)->SetFocus(); });
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_CATEGORY1));
    Press(dialog(), VK_RIGHT);
    ASSERT_TRUE(WaitForCategory(host(), 3));
    EXPECT_EQ(RememberedCategoryOf(host()), 1);

    // The next activation change paints the window, and the remembered
    // category takes over again.
    ASSERT_TRUE(qvtest::BringToForeground(other.hwnd()));
    EXPECT_TRUE(qvtest::WaitUntil([&] { return CurrentCategoryOf(host()) == 1; }))
        << CurrentCategoryOf(host());
    ASSERT_TRUE(qvtest::BringToForeground(dialog()));
    qvtest::Settle(dialog(), 200);  // a window for a change that must not come, as above
    EXPECT_EQ(CurrentCategoryOf(host()), 1);
    EXPECT_EQ(RememberedCategoryOf(host()), 1);
    // The list shows category 1 again. (The description belongs to whichever
    // button gets the focus back with the activation.)
    int listed = -1, expected = -2;
    host().Call([&](CKivanoDlg& dlg) {
        listed = dlg.m_listItems.GetItemCount();
        expected = Categories[1].ItemCount;
    });
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(expected, 2);
}

TEST_F(KeyboardThreeCategories, EnterOnListLaunchesTheHoveredItemOrNothing)
{
    qvtest::ScratchFolder scratch(L"keys-enter");
    qvtest::RecorderLog log(scratch.File(L"launches.log"));
    log.UseForThisProcess();

    // At start no item is current: Enter in the list starts nothing.
    ASSERT_EQ(CurrentItemOf(host()), -1);
    Press(dialog(), VK_RETURN);
    // Short windows for starts that must not come: a busy machine can only make them pass.
    EXPECT_FALSE(log.WaitForLines(1, 1000));
    EXPECT_TRUE(IsWindowVisible(dialog()));
    EXPECT_EQ(qvtest::FocusedControlId(dialog()), IDC_ITEM_LIST);

    // Category 1 by the keys, back to the list, the mouse on its second item
    // (Remove Fingerprints, started with /u).
    Press(dialog(), VK_TAB);
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_CATEGORY0));
    Press(dialog(), VK_RIGHT);
    ASSERT_TRUE(WaitForCategory(host(), 1));
    Press(dialog(), VK_TAB, kShift);
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_CATEGORY0));
    Press(dialog(), VK_TAB, kShift);
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_ITEM_LIST));
    ASSERT_EQ(CurrentCategoryOf(host()), 1);
    ASSERT_EQ(CurrentItemOf(host()), -1);
    Press(dialog(), VK_RETURN);
    EXPECT_FALSE(log.WaitForLines(1, 1000)) << "Enter after a category change started something";

    std::wstring name, arguments, description;
    host().Call([&](CKivanoDlg&) {
        const ItemInfo& item = Categories[1].Items.at(1);
        name = item.Name.GetString();
        arguments = item.Arguments.GetString();
        description = item.Description.GetString();
    });
    ASSERT_EQ(name, L"Remove Fingerprints");
    ASSERT_TRUE(HoverItem(host(), 1));
    EXPECT_TRUE(qvtest::WaitForText(host().Control(IDC_DESCRIPTION), description));
    ASSERT_EQ(qvtest::FocusedControlId(dialog()), IDC_ITEM_LIST);

    Press(dialog(), VK_RETURN);
    ASSERT_TRUE(log.WaitForLines(1));
    Sleep(500);  // a second start would have arrived by now (a window for what must not come)
    const auto records = log.Read();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(CompareStringOrdinal(records[0].exe.c_str(), -1, kFingerprintVault, -1, TRUE), CSTR_EQUAL)
        << records[0].line.c_str();
    EXPECT_EQ(records[0].args, L"/u");
    EXPECT_EQ(arguments, L"/u");
    // The launch leaves the window as it was.
    EXPECT_EQ(CurrentCategoryOf(host()), 1);
    EXPECT_EQ(CurrentItemOf(host()), 1);
    EXPECT_TRUE(IsWindowVisible(dialog()));
}

// Keeps the focus on the dialog window itself: the platform's dialog
// handling would otherwise pass it on to a control at once.
LRESULT CALLBACK KeepFocusOnDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SETFOCUS)
        return 0;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(KeyboardThreeCategories, LetterKeyOnTheDialogReselectsTheCurrentCategory)
{
    // Category 3 by the keys, then an item of it under the mouse.
    Press(dialog(), VK_TAB);
    ASSERT_TRUE(WaitForFocus(dialog(), IDC_CATEGORY0));
    Press(dialog(), VK_LEFT);
    ASSERT_TRUE(WaitForCategory(host(), 3));
    ASSERT_TRUE(HoverItem(host(), 0));
    qvtest::MoveMouseAway();
    ASSERT_EQ(CurrentItemOf(host()), 0);

    // The dialog window itself takes the focus.
    host().Call([](CKivanoDlg& dlg) {
        SetWindowSubclass(dlg.m_hWnd, KeepFocusOnDialog, 1, 0);
        ::SetFocus(dlg.m_hWnd);
        RemoveWindowSubclass(dlg.m_hWnd, KeepFocusOnDialog, 1);
    });
    ASSERT_EQ(qvtest::FocusedWindow(dialog()), dialog());

    Press(dialog(), 'K');
    ASSERT_TRUE(WaitForCategory(host(), 3)) << qvtest::FocusedControlId(dialog());
    EXPECT_EQ(CurrentItemOf(host()), -1);
    EXPECT_TRUE(qvtest::WaitForText(host().Control(IDC_DESCRIPTION), CategoryText(host(), 3)));
    EXPECT_EQ(RememberedCategoryOf(host()), 0);
}

// Only category 0 has utilities.
TEST(KeyboardSingleCategory, LeftAndRightReselectCategoryZero)
{
    TestMachine machine;
    ASSERT_TRUE(machine.Program(kConnectionManager));
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    host.Call([](CKivanoDlg& dlg) {
        for (int k = 1; k < 5; ++k)
            ASSERT_EQ(dlg.m_bCategoryPresent[k], 0) << k;
        ASSERT_NE(dlg.m_bCategoryPresent[0], 0);
    });
    PrepareForKeys(host);

    for (WORD key : {VK_LEFT, VK_RIGHT}) {
        // A current item first, so that the re-selection shows; then the
        // focus from the list to the category's button.
        ASSERT_TRUE(WaitForFocus(host.Window(), IDC_ITEM_LIST));
        ASSERT_TRUE(HoverItem(host, 0));
        // The dialog takes in every move that brought the mouse to the item
        // before it goes: one taken in later puts the cursor back over the
        // item, which then hovers again and takes the focus back from the button.
        host.Settle();
        qvtest::MoveMouseAway();
        host.Settle();
        Press(host.Window(), VK_TAB);
        ASSERT_TRUE(WaitForFocus(host.Window(), IDC_CATEGORY0));
        ASSERT_EQ(CurrentItemOf(host), 0);

        Press(host.Window(), key);
        EXPECT_TRUE(qvtest::WaitUntil([&] { return CurrentItemOf(host) == -1; })) << "key " << key;
        EXPECT_EQ(CurrentCategoryOf(host), 0);
        EXPECT_EQ(qvtest::FocusedControlId(host.Window()), IDC_CATEGORY0);
        EXPECT_TRUE(qvtest::WaitForText(host.Control(IDC_DESCRIPTION), CategoryText(host, 0)));
        Press(host.Window(), VK_TAB, kShift);  // back to the list
    }
}

}  // namespace
