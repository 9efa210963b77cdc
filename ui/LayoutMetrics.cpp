#include "ui/LayoutMetrics.h"

#include <array>
#include <cstring>

int ScreenDpi = 96;

namespace {

constexpr LayoutMetricsTable Derive()
{
    LayoutMetricsTable m = {};
    m.ClientWidth = 685;
    m.TitleStripHeight = 19;
    m.WordmarkWidth = 60;
    m.HeaderHeight = 76;
    m.HeaderBandHeight = 23;
    m.HeaderIconLeft = 16;
    m.HeaderIconTop = 14;
    m.HeaderIconWidth = 48;
    m.HeaderIconHeight = 48;
    m.HeaderTextLeft = 80;
    m.HeaderTextLineHeight = 20;
    m.HeadingTextWidth = 120;
    m.CategoryHeadingLeft = 7;
    m.CategoryButtonLeft = 5;
    m.CategoryButtonWidth = 171;
    m.CategoryButtonHeight = 46;
    m.CategoryButtonGap = 4;
    m.CategoryTextInset = 57;
    m.SelectionBarLeft = 179;
    m.SelectionBarWidth = 4;
    m.IconSpacingX = 72;
    m.IconSpacingY = 80;
    m.LargeIconSize = 32;
    m.SmallIconSize = 16;
    m.DescriptionHeight = 65;
    m.InfoIconLeft = 16;
    m.InfoIconWidth = 48;
    m.InfoIconHeight = 48;
    m.DescriptionTextLeft = 77;
    m.FooterButtonWidth = 67;
    m.FooterButtonHeight = 21;
    m.SupportButtonLeft = 0;

    // Derived entries, each from base entries or entries derived before it.
    m.ClientHeight = 19 + 76 + 23 + 4 + 254 + 4 + 65 + 23 + 21;
    m.TitleTextTop = m.TitleStripHeight + 23;
    m.SubtitleTextTop = m.TitleStripHeight + 43;
    m.HeadingTextTop = m.TitleStripHeight + m.HeaderHeight + 7;
    m.ContentsHeadingLeft = m.SelectionBarLeft + m.SelectionBarWidth + 7;
    m.ColumnTop = m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight + m.CategoryButtonGap;
    m.ColumnHeight = 5 * (m.CategoryButtonHeight + m.CategoryButtonGap) + m.CategoryButtonGap;
    m.ListLeft = m.CategoryButtonLeft + m.SelectionBarLeft + m.SelectionBarWidth;
    const int listRoom = m.ClientWidth - m.SelectionBarLeft - m.SelectionBarWidth;
    m.ListWidth = listRoom - listRoom % m.IconSpacingX;
    m.ListHeight = m.ColumnHeight - m.ColumnHeight % m.IconSpacingY;
    m.DescriptionTop = m.ColumnTop + m.ColumnHeight + 4 + 1;
    m.InfoIconTop = m.DescriptionTop + 9;
    m.DescriptionTextTop = m.DescriptionTop + 14;
    m.DescriptionTextWidth = m.ClientWidth - 91;
    m.DescriptionTextHeight = m.DescriptionHeight - 22;
    m.FooterTop = m.ClientHeight - 19;
    m.HelpButtonLeft = m.FooterButtonWidth;
    m.CloseButtonLeft = m.ClientWidth - m.FooterButtonWidth;
    return m;
}

constexpr LayoutMetricsTable kLayoutAt96 = Derive();
constexpr ButtonFaceMetricsTable kFaceAt96 = {15, 8, 30, 30};

static_assert(kLayoutAt96.ClientHeight == 489 && kLayoutAt96.ListWidth == 432 &&
              kLayoutAt96.ListHeight == 240 && kLayoutAt96.FooterTop == 470);

bool g_layoutNotScaled = true;
bool g_faceNotScaled = true;

// Both tables are plain runs of int: scale them entry by entry.
template <typename Table>
Table Scaled(Table table, int dpi)
{
    static_assert(sizeof(Table) % sizeof(int) == 0);
    std::array<int, sizeof(Table) / sizeof(int)> entries;
    std::memcpy(entries.data(), &table, sizeof(Table));
    for (int& v : entries)
        v = v * dpi / 96;
    std::memcpy(&table, entries.data(), sizeof(Table));
    return table;
}

}  // namespace

LayoutMetricsTable LayoutMetrics = kLayoutAt96;
ButtonFaceMetricsTable ButtonFaceMetrics = kFaceAt96;

LayoutMetricsTable LayoutMetricsAt96() { return kLayoutAt96; }
ButtonFaceMetricsTable ButtonFaceMetricsAt96() { return kFaceAt96; }
LayoutMetricsTable ScaledLayoutMetrics(int dpi) { return Scaled(kLayoutAt96, dpi); }
ButtonFaceMetricsTable ScaledButtonFaceMetrics(int dpi) { return Scaled(kFaceAt96, dpi); }

void ScaleLayoutMetrics()
{
    if (!g_layoutNotScaled)
        return;
    LayoutMetrics = ScaledLayoutMetrics(ScreenDpi);
    g_layoutNotScaled = false;
}

void ScaleButtonFaceMetrics()
{
    if (!g_faceNotScaled)
        return;
    ButtonFaceMetrics = ScaledButtonFaceMetrics(ScreenDpi);
    g_faceNotScaled = false;
}
