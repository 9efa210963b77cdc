// The real launcher under a language read right to left. ctest runs this
// program under a locale (Wine takes the UI language from it) with
// QV_EXPECTED_TABLE, the table that locale must choose, and
// QV_EXPECTED_LAYOUT, "rtl" when that table reads right to left. The window
// is then mirrored as the system mirrors its own programs: the category
// column and Support at the right, Close at the left, the list's first item
// at the right, the names read through oleacc in the language, the
// description read from the right (its full stop at the left), and every
// picture drawn the right way round at its mirrored place.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/paint/paint_support.h"
#include "tests/robustness/launcher_machine.h"
#include "framework/afxgdi.h"
#include "ui/LayoutMetrics.h"

namespace {

using namespace qvtest;

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[16] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 16);
    return length > 0 && length < 16 ? value : L"";
}

RECT ScreenRect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// The height of a line of the dialog's font (Tahoma 8 pt), which the
// description is drawn with, at `dpi`.
int DialogLineHeight(int dpi)
{
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(8, dpi, 72);
    lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    CFont font;
    CDC dc;
    TEXTMETRICW metrics{};
    if (font.CreateFontIndirect(&lf) && dc.CreateCompatibleDC(nullptr)) {
        CSelect select(dc, font.m_hObject);
        GetTextMetricsW(dc, &metrics);
    }
    return metrics.tmHeight;
}

// Whether the last line of the text drawn in `text` (black on white, lines
// from its top) ends with its full stop on the given side: the outermost mark
// there stands apart and is a dot, no wider or taller than a quarter of a
// line, in the line's lower half.
bool FullStopAt(const ScreenCapture& shot, const RECT& text, int lineHeight, bool left)
{
    const auto ink = [&](int x, int y) { return shot.PixelAt(x, y) != RGB(255, 255, 255); };
    int top = -1;
    for (int y = text.top; y < text.bottom && lineHeight > 0; ++y)
        for (int x = text.left; x < text.right; ++x)
            if (ink(x, y))
                top = text.top + (y - text.top) / lineHeight * lineHeight;
    if (top < 0)
        return false;
    const int bottom = std::min<int>(top + lineHeight, text.bottom);
    const auto inkIn = [&](int x) {
        for (int y = top; y < bottom; ++y)
            if (ink(x, y))
                return true;
        return false;
    };
    const int step = left ? 1 : -1;
    int x = left ? text.left : text.right - 1;
    while (x >= text.left && x < text.right && !inkIn(x))
        x += step;
    int width = 0;
    int high = bottom;
    int low = top - 1;
    for (; x >= text.left && x < text.right && inkIn(x); x += step, ++width)
        for (int y = top; y < bottom; ++y)
            if (ink(x, y)) {
                high = std::min(high, y);
                low = std::max(low, y);
            }
    const int most = std::max(2, lineHeight / 4);
    return width > 0 && width <= most && low - high < most && high >= top + lineHeight / 2;
}

struct Picture {
    std::string what;
    RECT area;  // in the client area's capture
};

// Where a window shows its pictures: the wordmark, the header's person, the
// information sign, the present categories' icons on their buttons and the
// utilities' icons in the list (each icon itself, without the white around it
// in its cell). `mirrored`: at their places in a mirrored window.
std::vector<Picture> Pictures(HWND window, const ScreenCapture& shot, int dpi, bool mirrored)
{
    const LayoutMetricsTable m = ScaledLayoutMetrics(dpi);
    const ButtonFaceMetricsTable f = ScaledButtonFaceMetrics(dpi);
    const auto at = [mirrored](const RECT& in, int left, int top, int width, int height) {
        const int x = mirrored ? in.right - left - width : in.left + left;
        return RECT{x, in.top + top, x + width, in.top + top + height};
    };
    const RECT client{0, 0, shot.width(), shot.height()};
    std::vector<Picture> pictures = {
        {"wordmark", at(client, m.ClientWidth - m.WordmarkWidth, 0, m.WordmarkWidth, m.TitleStripHeight)},
        {"header picture",
         at(client, m.HeaderIconLeft, m.TitleStripHeight + m.HeaderIconTop, m.HeaderIconWidth, m.HeaderIconHeight)},
        {"information sign", at(client, m.InfoIconLeft, m.InfoIconTop, m.InfoIconWidth, m.InfoIconHeight)},
    };
    for (int k = 0; k < 5; ++k) {
        const HWND button = Control(window, IDC_CATEGORY0 + k);
        if (IsWindowVisible(button))
            pictures.push_back({"category " + std::to_string(k) + " icon",
                                at(shot.FromScreen(ScreenRect(button)), f.ButtonIconLeft, f.ButtonIconTop,
                                   f.ButtonIconWidth, f.ButtonIconHeight)});
    }
    ListViewProbe items(Control(window, IDC_ITEM_LIST));
    for (int i = 0; items.ok() && i < items.Count(); ++i)
        pictures.push_back({"utility " + std::to_string(i) + " icon",
                            shot.Bounds(shot.FromScreen(items.ItemRectOnScreen(i, LVIR_ICON)), RGB(255, 255, 255))});
    return pictures;
}

TEST(MirroredRun, WindowReadsFromTheRightAndKeepsPicturesTheRightWayRound)
{
    const LANGID table = static_cast<LANGID>(wcstoul(Environment(L"QV_EXPECTED_TABLE").c_str(), nullptr, 16));
    const std::wstring layout = Environment(L"QV_EXPECTED_LAYOUT");
    ASSERT_TRUE(table != 0 && (layout == L"rtl" || layout == L"ltr"))
        << "run through ctest, which sets LC_ALL, QV_EXPECTED_TABLE and QV_EXPECTED_LAYOUT";
    const bool rtl = layout == L"rtl";
    const std::wstring exe = Environment(L"QV_MIRRORED_PSEUDO").empty() ? LauncherExePath()
                                                                          : WindowsPathFromUnix(QV_MIRRORED_TEST_EXE);
    qvrobust::LauncherMachine machine(L"mirrored");
    StringTables tables;
    ASSERT_TRUE(machine.ok() && tables.Open(exe));
    MoveMouseAway();
    ASSERT_TRUE(WaitUntilMutexGone(kLauncherMutex));
    qvrobust::RunningLauncher launcher(exe);
    ASSERT_TRUE(launcher.ok());
    const HWND window = launcher.window();
    painttest::MoveMouseOutside(window);
    EXPECT_EQ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, rtl);
    for (const int id : {IDC_DESCRIPTION, IDC_ITEM_LIST})
        EXPECT_EQ((GetWindowLongW(Control(window, id), GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, rtl) << "control " << id;

    // Names in the table's language; the category column beside the list
    // on the side the reading starts from, Close on the other side of Support.
    const RECT list = ScreenRect(Control(window, IDC_ITEM_LIST));
    int categories = 0;
    for (int k = 0; k < 5; ++k) {
        const HWND button = Control(window, IDC_CATEGORY0 + k);
        if (!IsWindowVisible(button))
            continue;
        ++categories;
        std::wstring caption = tables.Text(IDS_CATEGORY_CAPTION_BASE + 1000u * static_cast<UINT>(k), table);
        for (size_t at = 0; (at = caption.find(L"&&", at)) != std::wstring::npos; ++at)
            caption.erase(at, 1);
        EXPECT_EQ(AccessibleProbe(button).Name(), caption) << "category " << k;
        const RECT r = ScreenRect(button);
        EXPECT_TRUE(rtl ? r.left >= list.right : r.right <= list.left) << "category " << k << " beside the list";
    }
    EXPECT_GT(categories, 0);
    EXPECT_EQ(AccessibleProbe(Control(window, IDC_CLOSE_BUTTON)).Name(), tables.Text(IDS_CLOSE_CAPTION, table));
    const RECT close = ScreenRect(Control(window, IDC_CLOSE_BUTTON));
    const RECT support = ScreenRect(Control(window, IDC_SUPPORT_BUTTON));
    EXPECT_TRUE(rtl ? close.right <= support.left : close.left >= support.right);

    // The list arranges its items from the side the reading starts from.
    ListViewProbe items(Control(window, IDC_ITEM_LIST));
    ASSERT_TRUE(items.ok());
    ASSERT_TRUE(WaitUntil([&] { return items.Count() > 1; }));
    const RECT first = items.ItemRectOnScreen(0);
    const RECT second = items.ItemRectOnScreen(1);
    EXPECT_TRUE(rtl ? first.left > second.left : first.left < second.left);
    EXPECT_TRUE(rtl ? list.right - first.right < first.left - list.left : first.left - list.left < list.right - first.right);

    // The description reads from the same side: its full stop ends it on the
    // other, also where a Latin name ends the text (Close's, "... Quorvane."),
    // which a paragraph read left to right would put after the name.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const int line = DialogLineHeight(dpi);
    const HWND description = Control(window, IDC_DESCRIPTION);
    const ScreenCapture shot = painttest::StableCapture(window);
    ASSERT_TRUE(shot.ok());
    const RECT text = shot.FromScreen(ScreenRect(description));
    EXPECT_TRUE(FullStopAt(shot, text, line, rtl)) << "the category's description";
    const std::vector<Picture> pictures = Pictures(window, shot, dpi, rtl);
    const int itemCount = items.Count();
    ASSERT_TRUE(MoveMouseTo(CenterOf(ScreenRect(Control(window, IDC_CLOSE_BUTTON)))));
    ASSERT_TRUE(WaitForText(description, tables.Text(IDS_CLOSE_TEXT, table)));
    const ScreenCapture closing = painttest::StableCapture(window);
    EXPECT_TRUE(FullStopAt(closing, text, line, rtl)) << "Close's description";
    if (HasFailure()) {
        std::wcerr << painttest::SaveCapture(shot, L"mirrored-" + layout + L".bmp") << L"\n";
        std::wcerr << painttest::SaveCapture(closing, L"mirrored-" + layout + L"-close.bmp") << L"\n";
    }
    MoveMouseAway();
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process().WaitForExit());
    if (!rtl)
        return;

    // Every picture shows the pixels the left-to-right window shows, not their
    // mirror image, at its mirrored place. The left-to-right window is the
    // other launcher's on this machine: under these locales both show English
    // left to right (the pseudo-locale's launcher has no table for Arabic or
    // Hebrew, the real one none for the Finnish its table is filed under).
    const std::wstring other =
        Environment(L"QV_MIRRORED_PSEUDO").empty() ? WindowsPathFromUnix(QV_MIRRORED_TEST_EXE) : LauncherExePath();
    ASSERT_TRUE(WaitUntilMutexGone(kLauncherMutex));
    qvrobust::RunningLauncher leftToRight(other);
    ASSERT_TRUE(leftToRight.ok());
    EXPECT_EQ(GetWindowLongW(leftToRight.window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
    painttest::MoveMouseOutside(leftToRight.window());
    ListViewProbe otherItems(Control(leftToRight.window(), IDC_ITEM_LIST));
    ASSERT_TRUE(WaitUntil([&] { return otherItems.Count() == itemCount; }));
    const ScreenCapture reference = painttest::StableCapture(leftToRight.window());
    ASSERT_TRUE(reference.ok());
    const std::vector<Picture> expected = Pictures(leftToRight.window(), reference, dpi, false);
    PostMessageW(leftToRight.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(leftToRight.process().WaitForExit());
    const auto differing = [](const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
        if (a.empty() || a.size() != b.size())
            return -1;
        int count = 0;
        for (size_t i = 0; i < a.size(); ++i)
            count += a[i] != b[i] ? 1 : 0;
        return count;
    };
    ASSERT_EQ(pictures.size(), expected.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        const std::vector<COLORREF> right = reference.Pixels(expected[i].area);
        EXPECT_GT(differing(right, reference.Pixels(expected[i].area, true)), 0)
            << expected[i].what << " reads the same mirrored";
        EXPECT_EQ(differing(shot.Pixels(pictures[i].area), right), 0)
            << expected[i].what << ": pixels differ from the left-to-right window's";
    }
    if (HasFailure())
        std::wcerr << painttest::SaveCapture(reference, L"mirrored-" + layout + L"-reference.bmp") << L"\n";
}

}  // namespace
