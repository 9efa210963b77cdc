// The window's geometry in device pixels, designed for 96 DPI and scaled once
// per process by ScreenDpi / 96 (truncating). Derived entries are computed
// from the 96-DPI base values and then scaled like any other entry, never
// recomputed from scaled ones.
#pragma once

// Horizontal DPI of the desktop; 96 until start-up measures it.
extern int ScreenDpi;

struct LayoutMetricsTable {
    int ClientWidth;
    int ClientHeight;
    int TitleStripHeight;
    int WordmarkWidth;
    int HeaderHeight;
    int HeaderBandHeight;
    int HeaderIconLeft;
    int HeaderIconTop;
    int HeaderIconWidth;
    int HeaderIconHeight;
    int HeaderTextLeft;
    int HeaderTextLineHeight;
    int TitleTextTop;
    int SubtitleTextTop;
    int HeadingTextTop;
    int HeadingTextWidth;
    int CategoryHeadingLeft;
    int ContentsHeadingLeft;
    int ColumnTop;
    int ColumnHeight;
    int CategoryButtonLeft;
    int CategoryButtonWidth;
    int CategoryButtonHeight;
    int CategoryButtonGap;
    int CategoryTextInset;
    int SelectionBarLeft;
    int SelectionBarWidth;
    int ListLeft;
    int ListWidth;
    int ListHeight;
    int IconSpacingX;
    int IconSpacingY;
    int LargeIconSize;
    int SmallIconSize;
    int DescriptionTop;
    int DescriptionHeight;
    int InfoIconLeft;
    int InfoIconTop;
    int InfoIconWidth;
    int InfoIconHeight;
    int DescriptionTextLeft;
    int DescriptionTextTop;
    int DescriptionTextWidth;
    int DescriptionTextHeight;
    int FooterTop;
    int FooterButtonWidth;
    int FooterButtonHeight;
    int SupportButtonLeft;
    int HelpButtonLeft;
    int CloseButtonLeft;
};

struct ButtonFaceMetricsTable {
    int ButtonIconLeft;
    int ButtonIconTop;
    int ButtonIconWidth;
    int ButtonIconHeight;
};

extern LayoutMetricsTable LayoutMetrics;
extern ButtonFaceMetricsTable ButtonFaceMetrics;

// The tables at 96 DPI, derived entries included.
LayoutMetricsTable LayoutMetricsAt96();
ButtonFaceMetricsTable ButtonFaceMetricsAt96();
// Every entry of the 96-DPI tables scaled to dpi: v * dpi / 96, truncated.
LayoutMetricsTable ScaledLayoutMetrics(int dpi);
ButtonFaceMetricsTable ScaledButtonFaceMetrics(int dpi);

// Scales LayoutMetrics to ScreenDpi the first time it is called in the process.
void ScaleLayoutMetrics();
// Scales ButtonFaceMetrics to ScreenDpi the first time it is called in the process.
void ScaleButtonFaceMetrics();
