// Real mouse and keyboard input reaching the fixture window.
#include <gtest/gtest.h>

#include "fixture.h"

namespace {

using namespace qvtest;
using namespace qvsupporttest;

using SupportWindowInput = FixtureWindowTest;

TEST_F(SupportWindowInput, HoverSelectsItemAndClickActivatesIt)
{
    ListViewProbe list(Control(window_, kListId));
    ASSERT_TRUE(list.ok());
    ASSERT_TRUE(MoveMouseTo(CenterOf(list.ItemRectOnScreen(2, LVIR_ICON))));
    HWND status = Control(window_, kStatusId);
    EXPECT_TRUE(WaitForText(status, L"selected Gamma")) << WindowText(status).c_str();
    EXPECT_EQ(list.SelectedItem(), 2);
    EXPECT_TRUE(list.ItemState(2, LVIS_SELECTED) & LVIS_SELECTED);

    ASSERT_TRUE(MoveMouseTo(CenterOf(list.ItemRectOnScreen(1, LVIR_ICON))));
    EXPECT_TRUE(WaitForText(status, L"selected Beta")) << WindowText(status).c_str();
    LeftClick();
    Settle(window_);
    EXPECT_TRUE(WaitForText(Control(window_, kListClickId), L"list click 1"));
    EXPECT_TRUE(WaitForText(status, L"activated Beta")) << WindowText(status).c_str();
}

TEST_F(SupportWindowInput, ButtonClickIsSeen)
{
    HWND button = Control(window_, kButtonId);
    ASSERT_TRUE(ClickAt(CenterOf(WindowRectOnScreen(button))));
    Settle(window_);
    EXPECT_TRUE(WaitForText(Control(window_, kClicksId), L"clicks: 1"));
    EXPECT_EQ(FocusedWindow(window_), button);
    EXPECT_TRUE(ButtonState(button) & BST_FOCUS);
}

TEST_F(SupportWindowInput, TabShiftTabAndArrowsMoveFocus)
{
    ASSERT_TRUE(BringToForeground(window_));
    EXPECT_TRUE(WaitUntil([&] { return ActiveWindow(window_) == window_; }));
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlId(window_) == kListId; })) << FocusedControlId(window_);
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlId(window_) == kButtonId; })) << FocusedControlId(window_);
    PressKey(VK_SPACE);
    EXPECT_TRUE(WaitForText(Control(window_, kClicksId), L"clicks: 1"));
    PressKey(VK_TAB, kShift);
    ASSERT_TRUE(WaitUntil([&] { return FocusedControlId(window_) == kListId; })) << FocusedControlId(window_);

    ListViewProbe list(Control(window_, kListId));
    PressKey(VK_RIGHT);
    PressKey(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return list.FocusedItem() >= 1; })) << list.FocusedItem();
    Settle(window_);
    TypeKeys(L"d");  // type-ahead finds "Delta"
    EXPECT_TRUE(WaitUntil([&] { return list.FocusedItem() == 3; })) << list.FocusedItem();
}

TEST_F(SupportWindowInput, AltF4ClosesTheWindow)
{
    ASSERT_TRUE(BringToForeground(window_));
    PressKey(VK_F4, kAlt);
    DWORD code = 0;
    ASSERT_TRUE(process_.WaitForExit(kDeadlineMs, &code));
    EXPECT_EQ(code, kExitOnClose);
}

TEST_F(SupportWindowInput, EscapeEndsWithCancel)
{
    ASSERT_TRUE(BringToForeground(window_));
    PressKey(VK_ESCAPE);
    DWORD code = 0;
    ASSERT_TRUE(process_.WaitForExit(kDeadlineMs, &code));
    EXPECT_EQ(code, kExitOnEscape);
}

}  // namespace
