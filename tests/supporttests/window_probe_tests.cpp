// Looking into the fixture window from this process: controls, texts, list
// items and their rectangles, and what is painted on the screen.
#include <gtest/gtest.h>

#include "fixture.h"

namespace {

using namespace qvtest;
using namespace qvsupporttest;

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

using SupportWindowProbe = FixtureWindowTest;

TEST_F(SupportWindowProbe, ReadsControlsAcrossProcesses)
{
    EXPECT_EQ(WindowText(window_), L"Fixture");
    EXPECT_EQ(WindowClass(window_), kFixtureClass);
    HWND button = Control(window_, kButtonId);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(WindowText(button), L"Press");
    EXPECT_TRUE(IsVisible(button));
    EXPECT_EQ(WindowText(Control(window_, kStatusId)), L"ready");
    EXPECT_EQ(ButtonState(button) & BST_PUSHED, 0);
    EXPECT_TRUE(Inside(WindowRectOnScreen(button), ClientRectOnScreen(window_)));
    const RECT client = ClientRectOnScreen(window_);
    EXPECT_EQ(client.right - client.left, 460);
    EXPECT_EQ(client.bottom - client.top, 340);
    EXPECT_EQ(Control(window_, 999), nullptr);
}

TEST_F(SupportWindowProbe, ReadsListViewItems)
{
    ListViewProbe list(Control(window_, kListId));
    ASSERT_TRUE(list.ok());
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.ItemText(0), L"Alpha");
    EXPECT_EQ(list.ItemText(2), L"Gamma");
    EXPECT_EQ(list.ItemText(3, 1), L"delta");
    EXPECT_EQ(list.ItemText(7), L"");
    EXPECT_EQ(list.SelectedItem(), -1);
    const RECT listRect = ClientRectOnScreen(list.hwnd());
    RECT previous{};
    for (int i = 0; i < 4; ++i) {
        const RECT bounds = list.ItemRectOnScreen(i);
        EXPECT_TRUE(Inside(bounds, listRect)) << i;
        EXPECT_TRUE(Inside(list.ItemRectOnScreen(i, LVIR_ICON), bounds)) << i;
        if (i > 0) {
            EXPECT_GT(bounds.left, previous.left) << "icons sit in a row";
        }
        previous = bounds;
    }
}

TEST_F(SupportWindowProbe, CaptureReadsThePaintedColour)
{
    const ScreenCapture shot = ScreenCapture::OfClient(window_);
    ASSERT_TRUE(shot.ok());
    EXPECT_EQ(shot.width(), 460);
    EXPECT_EQ(shot.PixelAt(kMarkRect.left + 5, kMarkRect.top + 5), kMarkColor);
    EXPECT_EQ(shot.RgbAt(kMarkRect.right - 1, kMarkRect.bottom - 1), (Rgb{0x20, 0xA0, 0x60}));
    EXPECT_EQ(shot.PixelAt(kMarkRect.right, kMarkRect.bottom), RGB(255, 255, 255));
    EXPECT_EQ(shot.CountColor(kMarkRect, kMarkColor), 100 * 80);
    EXPECT_EQ(shot.PixelAt(-1, 0), CLR_INVALID);

    const ScratchFolder scratch(L"capture");
    ASSERT_TRUE(shot.SaveBmp(scratch.File(L"fixture.bmp")));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(scratch.File(L"fixture.bmp").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 14u + 40u + 460u * 340u * 4u);
}

}  // namespace
