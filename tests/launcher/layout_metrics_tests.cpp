#include "ui/LayoutMetrics.h"

#include <gtest/gtest.h>

TEST(LayoutMetrics, At96EveryDerivedEntryFollowsItsFormula)
{
    const LayoutMetricsTable m = LayoutMetricsAt96();
    EXPECT_EQ(m.ClientWidth, 685);
    EXPECT_EQ(m.ClientHeight, 489);
    EXPECT_EQ(m.TitleTextTop, 42);
    EXPECT_EQ(m.SubtitleTextTop, 62);
    EXPECT_EQ(m.HeadingTextTop, 102);
    EXPECT_EQ(m.ContentsHeadingLeft, 190);
    EXPECT_EQ(m.ColumnTop, 122);
    EXPECT_EQ(m.ColumnHeight, 254);
    EXPECT_EQ(m.ListLeft, 188);
    EXPECT_EQ(m.ListWidth, 432);
    EXPECT_EQ(m.ListHeight, 240);
    EXPECT_EQ(m.DescriptionTop, 381);
    EXPECT_EQ(m.InfoIconTop, 390);
    EXPECT_EQ(m.DescriptionTextTop, 395);
    EXPECT_EQ(m.DescriptionTextWidth, 594);
    EXPECT_EQ(m.DescriptionTextHeight, 43);
    EXPECT_EQ(m.FooterTop, 470);
    EXPECT_EQ(m.HelpButtonLeft, 67);
    EXPECT_EQ(m.CloseButtonLeft, 618);
}

TEST(LayoutMetrics, ScalingTruncatesEachEntryFromItsOwn96DpiValue)
{
    struct Case {
        int dpi;
        int clientWidth, clientHeight, titleStrip, columnTop, buttonHeight, buttonWidth;
        int listLeft, listWidth, listHeight, spacingX, spacingY, largeIcon;
    };
    const Case cases[] = {
        {96, 685, 489, 19, 122, 46, 171, 188, 432, 240, 72, 80, 32},
        {110, 784, 560, 21, 139, 52, 195, 215, 495, 275, 82, 91, 36},
        {120, 856, 611, 23, 152, 57, 213, 235, 540, 300, 90, 100, 40},
        {144, 1027, 733, 28, 183, 69, 256, 282, 648, 360, 108, 120, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const LayoutMetricsTable m = ScaledLayoutMetrics(c.dpi);
        EXPECT_EQ(m.ClientWidth, c.clientWidth);
        EXPECT_EQ(m.ClientHeight, c.clientHeight);
        EXPECT_EQ(m.TitleStripHeight, c.titleStrip);
        EXPECT_EQ(m.ColumnTop, c.columnTop);
        EXPECT_EQ(m.CategoryButtonHeight, c.buttonHeight);
        EXPECT_EQ(m.CategoryButtonWidth, c.buttonWidth);
        EXPECT_EQ(m.ListLeft, c.listLeft);
        EXPECT_EQ(m.ListWidth, c.listWidth);
        EXPECT_EQ(m.ListHeight, c.listHeight);
        EXPECT_EQ(m.IconSpacingX, c.spacingX);
        EXPECT_EQ(m.IconSpacingY, c.spacingY);
        EXPECT_EQ(m.LargeIconSize, c.largeIcon);
    }
    // A derived entry is scaled from its own value, not rebuilt from scaled parts.
    const LayoutMetricsTable m120 = ScaledLayoutMetrics(120);
    EXPECT_EQ(m120.ListLeft, 235);
    EXPECT_NE(m120.ListLeft, m120.CategoryButtonLeft + m120.SelectionBarLeft + m120.SelectionBarWidth);
    // At 110 DPI the list is no longer a whole number of icon columns wide.
    EXPECT_NE(ScaledLayoutMetrics(110).ListWidth % ScaledLayoutMetrics(110).IconSpacingX, 0);
}

TEST(LayoutMetrics, ButtonFaceScales)
{
    const ButtonFaceMetricsTable f96 = ScaledButtonFaceMetrics(96);
    EXPECT_EQ(f96.ButtonIconLeft, 15);
    EXPECT_EQ(f96.ButtonIconTop, 8);
    EXPECT_EQ(f96.ButtonIconWidth, 30);
    const ButtonFaceMetricsTable f120 = ScaledButtonFaceMetrics(120);
    EXPECT_EQ(f120.ButtonIconLeft, 18);
    EXPECT_EQ(f120.ButtonIconTop, 10);
    EXPECT_EQ(f120.ButtonIconWidth, 37);
    EXPECT_EQ(f120.ButtonIconHeight, 37);
}

TEST(LayoutMetrics, ScaledOncePerProcess)
{
    ScreenDpi = 144;
    ScaleLayoutMetrics();
    EXPECT_EQ(LayoutMetrics.ClientWidth, 1027);
    ScreenDpi = 120;
    ScaleLayoutMetrics();  // a second dialog in the same process
    EXPECT_EQ(LayoutMetrics.ClientWidth, 1027);
    EXPECT_EQ(LayoutMetrics.ListWidth, 648);
}
