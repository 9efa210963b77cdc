// The launcher's window as it appears on the screen at 96, 120 and 144 DPI:
// decoration colours, the selection bar and its marker, the category and
// footer buttons' faces and the description, probed at the places the
// scaled layout gives. Categories 0, 2 and 3 are installed and 1 is not, so
// the buttons stack without a hole and the marker row counts present
// categories only.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/paint/paint_support.h"

namespace {

using namespace qvtest;
using namespace painttest;

class PaintScreen : public testing::TestWithParam<int> {};

// A probe: a pixel of the client area expected to have one colour.
void ExpectPixel(const ScreenCapture& shot, int x, int y, COLORREF expected, const char* what, int tolerance = 0)
{
    const COLORREF actual = shot.PixelAt(x, y);
    EXPECT_TRUE(Near(actual, expected, tolerance))
        << what << " at (" << x << ", " << y << "): " << Hex(actual) << ", expected " << Hex(expected);
}

TEST_P(PaintScreen, DecorationButtonsAndDescriptionAtTheirScaledPlaces)
{
    const int dpi = GetParam();
    const LayoutMetricsTable m = ScaledLayoutMetrics(dpi);

    std::vector<std::wstring> programs;
    AddPrograms(&programs, kConnect);
    AddPrograms(&programs, kProtect);
    AddPrograms(&programs, kOptimize);
    StandIns standIns(programs);
    ASSERT_TRUE(standIns.ok());

    DpiGuard dpiSetting(static_cast<DWORD>(dpi));
    ASSERT_TRUE(dpiSetting.ok());
    MoveMouseAway();
    const std::wstring exe = LauncherExePath();
    ASSERT_FALSE(exe.empty()) << "Quorvane.exe not found";
    LaunchedProcess launcher({exe, L"", L"", {}});
    ASSERT_TRUE(launcher.started());
    HWND window = launcher.WaitForWindow(kLauncherClass);
    ASSERT_NE(window, nullptr) << "the launcher's window did not appear";
    ASSERT_TRUE(launcher.WaitForIdle());
    ASSERT_TRUE(BringToForeground(window));
    MoveMouseOutside(window);

    RECT client{};
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, m.ClientWidth) << "the launcher did not take the DPI " << dpi;
    ASSERT_EQ(client.bottom, m.ClientHeight);

    // Present buttons stacked from ColumnTop without a hole for category 1.
    HWND button0 = Control(window, IDC_CATEGORY0);
    HWND button2 = Control(window, IDC_CATEGORY2);
    HWND button3 = Control(window, IDC_CATEGORY3);
    const int step = m.CategoryButtonHeight + m.CategoryButtonGap;
    ASSERT_TRUE(WaitUntil([&] { return ChildRectInClient(window, button3).top == m.ColumnTop + 2 * step; }))
        << "category 3's button never reached its row";
    EXPECT_FALSE(IsVisible(Control(window, IDC_CATEGORY1)));
    EXPECT_FALSE(IsVisible(Control(window, IDC_CATEGORY4)));
    const HWND stacked[] = {button0, button2, button3};
    for (int row = 0; row < 3; ++row) {
        const RECT r = ChildRectInClient(window, stacked[row]);
        EXPECT_TRUE(IsVisible(stacked[row])) << "row " << row;
        EXPECT_EQ(r.left, m.CategoryButtonLeft) << "row " << row;
        EXPECT_EQ(r.top, m.ColumnTop + row * step) << "row " << row;
        EXPECT_EQ(r.right - r.left, m.CategoryButtonWidth) << "row " << row;
        EXPECT_EQ(r.bottom - r.top, m.CategoryButtonHeight) << "row " << row;
    }
    if (dpi == 96) {
        EXPECT_EQ(ChildRectInClient(window, button0).top, m.ColumnTop);
        EXPECT_EQ(ChildRectInClient(window, button2).top, m.ColumnTop + 50);
        EXPECT_EQ(ChildRectInClient(window, button3).top, m.ColumnTop + 100);
    }
    const RECT descriptionRect = ChildRectInClient(window, Control(window, IDC_DESCRIPTION));
    EXPECT_EQ(descriptionRect.left, m.DescriptionTextLeft);
    EXPECT_EQ(descriptionRect.top, m.DescriptionTextTop);
    EXPECT_EQ(descriptionRect.right - descriptionRect.left, m.DescriptionTextWidth);
    EXPECT_EQ(descriptionRect.bottom - descriptionRect.top, m.DescriptionTextHeight);

    // Choose OPTIMIZE with a real click: its button is the third present one.
    ASSERT_TRUE(ClickAt(CenterOf(WindowRectOnScreen(button3))));
    MoveMouseOutside(window);
    // Leaving the button takes the focus off it (the dialog's default focus
    // handling passes it on to the control it last saved), so no focus
    // rectangle is left on the captured buttons.
    ASSERT_TRUE(WaitUntil([&] { return (ButtonState(button3) & BST_PUSHED) && FocusedWindow(window) != button3; }))
        << "state " << ButtonState(button3);
    EXPECT_EQ(ListTexts(Control(window, IDC_ITEM_LIST)), NamesOf(kOptimize));

    const ScreenCapture shot = StableCapture(window);
    ASSERT_TRUE(shot.ok()) << "the window never stopped changing";
    const std::wstring saved = SaveCapture(shot, L"paint-" + std::to_wstring(dpi) + L"dpi.bmp");
    EXPECT_FALSE(saved.empty());
    ASSERT_EQ(shot.width(), m.ClientWidth);

    const int W = m.ClientWidth;
    // Title strip: black left of the wordmark, over its whole height.
    for (int x : {0, W / 3, W - m.WordmarkWidth - 2})
        for (int y : {0, m.TitleStripHeight / 2, m.TitleStripHeight - 1})
            ExpectPixel(shot, x, y, 0x000000, "title strip");
    // Header panel, right of the title box and left of the header image.
    ExpectPixel(shot, W - 4, m.TitleStripHeight + 2, 0xE3EAE9, "header panel");
    ExpectPixel(shot, W - m.HeaderTextLeft / 2, m.TitleStripHeight + m.HeaderHeight / 2, 0xE3EAE9, "header panel");
    ExpectPixel(shot, 4, m.TitleStripHeight + m.HeaderHeight - 2, 0xE3EAE9, "header panel");
    // The band under it, and its thin line.
    const int band = m.TitleStripHeight + m.HeaderHeight;
    ExpectPixel(shot, W - 4, band + 2, 0xD5DFDE, "header band");
    ExpectPixel(shot, 2, band + 1, 0xD5DFDE, "header band");
    ExpectPixel(shot, W / 2, band + m.HeaderBandHeight - 2, 0x9C9C9C, "header band line");
    ExpectPixel(shot, W / 2, band + m.HeaderBandHeight - 1, 0xD5DFDE, "header band");
    // Separator above the description area and the footer band.
    ExpectPixel(shot, W - 4, m.ColumnTop + m.ColumnHeight + 4, 0xD5DFDE, "separator line");
    const int f = m.DescriptionTop + m.DescriptionHeight;
    ExpectPixel(shot, W / 2, f, 0xD5DFDE, "footer band");
    ExpectPixel(shot, W / 2, f + 1, 0x9C9C9C, "footer band line");
    ExpectPixel(shot, W / 2, f + m.HeaderBandHeight - 1, 0xD5DFDE, "footer band");

    // Selection bar: the marker beside row 2 (OPTIMIZE, with SECURE absent),
    // the bar's own colour beside the other rows and below the buttons.
    const int barX = m.SelectionBarLeft + m.SelectionBarWidth / 2;
    for (int row = 0; row < 5; ++row) {
        const int y = m.ColumnTop + row * step + m.CategoryButtonHeight / 2;
        ExpectPixel(shot, barX, y, row == 2 ? 0x3D4B50 : 0x9EB1B6, row == 2 ? "marker" : "selection bar");
    }
    ExpectPixel(shot, m.SelectionBarLeft, m.ColumnTop + 2 * step, 0x3D4B50, "marker top");
    ExpectPixel(shot, m.SelectionBarLeft + m.SelectionBarWidth - 1, m.ColumnTop + 2 * step + m.CategoryButtonHeight - 1,
                0x3D4B50, "marker bottom");
    ExpectPixel(shot, barX, m.ColumnTop + 2 * step + m.CategoryButtonHeight, 0x9EB1B6, "bar below the marker");
    ExpectPixel(shot, barX, m.ColumnTop + m.ColumnHeight - 1, 0x9EB1B6, "selection bar end");

    // White dialog background: the gap above the column, between the buttons
    // and the bar, right of the list.
    ExpectPixel(shot, W / 2, m.ColumnTop - 1, 0xFFFFFF, "background above the column");
    ExpectPixel(shot, m.CategoryButtonLeft + m.CategoryButtonWidth + 1, m.ColumnTop + 3 * step + 5, 0xFFFFFF,
                "background beside the buttons");
    ExpectPixel(shot, W - 3, m.ColumnTop + m.ColumnHeight / 2, 0xFFFFFF, "background right of the list");
    ExpectPixel(shot, m.CategoryButtonLeft + 3, m.ColumnTop + 3 * step + m.CategoryButtonHeight / 2, 0xFFFFFF,
                "background where no fourth button is");

    // Category buttons: caption area (right of the icon) of each present button.
    auto captionArea = [&](int row) {
        const int top = m.ColumnTop + row * step;
        return RECT{m.CategoryButtonLeft + m.CategoryTextInset, top,
                    m.CategoryButtonLeft + m.CategoryButtonWidth, top + m.CategoryButtonHeight};
    };
    auto area = [](const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); };
    for (int row = 0; row < 3; ++row) {
        const RECT caption = captionArea(row);
        const RECT whole = {m.CategoryButtonLeft, caption.top, caption.right, caption.bottom};
        const int black = CountPixels(shot, whole, [](COLORREF c) { return c == 0x000000; });
        const int white = CountPixels(shot, whole, IsWhite);
        const int whiteCaption = CountPixels(shot, caption, IsWhite);
        if (row == 2) {
            EXPECT_GT(black, area(whole) * 6 / 10) << "selected button not black, row " << row;
            EXPECT_GE(whiteCaption, 20) << "no white caption on the selected button";
            ExpectPixel(shot, caption.right - 3, caption.top + 2, 0x000000, "selected button background");
        } else {
            EXPECT_GT(white, area(whole) * 6 / 10) << "button of row " << row << " not white";
            EXPECT_GE(CountPixels(shot, caption, IsDark), 20) << "no dark caption on row " << row;
            EXPECT_EQ(CountPixels(shot, caption, [](COLORREF c) { return c == 0x000000; }), 0)
                << "black on the unselected button of row " << row;
            ExpectPixel(shot, caption.right - 3, caption.top + 2, 0xFFFFFF, "button background");
        }
    }

    // Description: black text on white inside control 156.
    const RECT text = descriptionRect;
    const int pixels = area(text);
    const int dark = CountPixels(shot, text, IsDark);
    const int white = CountPixels(shot, text, IsWhite);
    const int coloured = CountPixels(shot, text, [](COLORREF c) { return !IsNeutral(c); });
    EXPECT_GE(dark, 30) << "no description text";
    EXPECT_GT(white, pixels * 7 / 10) << "description background not white";
    EXPECT_EQ(coloured, 0) << "colours other than black on white in the description";
    for (int x = text.left; x < text.right; x += 7)
        ExpectPixel(shot, x, text.bottom - 1, 0xFFFFFF, "description bottom row");
    EXPECT_EQ(WindowText(Control(window, IDC_DESCRIPTION)), L"You can optimize your computer.");

    if (HasFailure())
        std::wcerr << L"capture: " << saved << L"\n";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.WaitForExit());
}

INSTANTIATE_TEST_SUITE_P(PaintDpi, PaintScreen, testing::Values(96, 120, 144),
                         [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

}  // namespace
