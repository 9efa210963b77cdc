// The real launcher under a language read right to left. ctest runs this
// program under a locale (Wine takes the UI language from it) with
// QV_EXPECTED_TABLE, the table that locale must choose, and
// QV_EXPECTED_LAYOUT, "rtl" when that table reads right to left. The window
// is then mirrored as the system mirrors its own programs: the category
// column and Support at the right, Close at the left, the list's first item
// at the right, the names read through oleacc in the language, and the
// maker's sign drawn the right way round at its mirrored place.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/paint/paint_support.h"
#include "tests/robustness/launcher_machine.h"
#include "ui/Canvas.h"
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

// The maker's sign as the launcher draws it left to right: its bitmap from
// the launcher's resources stretched in halftone mode to the layout's size,
// row by row; mirrored when asked.
std::vector<COLORREF> Sign(const std::wstring& exe, int width, int height, bool mirrored)
{
    std::vector<COLORREF> pixels;
    const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    CBitmap bitmap;
    CBitmap canvas;
    CDC source;
    CDC target;
    BITMAP info{};
    if (module && bitmap.Attach(::LoadImageW(module, MAKEINTRESOURCEW(IDB_WORDMARK), IMAGE_BITMAP, 0, 0,
                                             LR_CREATEDIBSECTION)) &&
        bitmap.GetBitmap(&info) && CreateCanvas(canvas, width, height) && source.CreateCompatibleDC(nullptr) &&
        target.CreateCompatibleDC(nullptr)) {
        CSelect from(source, bitmap.m_hObject);
        CSelect to(target, canvas.m_hObject);
        target.SetStretchBltMode(HALFTONE);
        target.SetBrushOrg(0, 0);
        target.StretchBlt(0, 0, width, height, &source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                pixels.push_back(GetPixel(target, mirrored ? width - 1 - x : x, y));
            }
    }
    if (module)
        FreeLibrary(module);
    return pixels;
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

    // The maker's sign: the pixels of the left-to-right window's sign, not
    // their mirror image, at the place the reading order gives it.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const LayoutMetricsTable m = ScaledLayoutMetrics(dpi);
    const std::vector<COLORREF> sign = Sign(exe, m.WordmarkWidth, m.TitleStripHeight, false);
    ASSERT_EQ(sign.size(), static_cast<size_t>(m.WordmarkWidth * m.TitleStripHeight));
    ASSERT_NE(sign, Sign(exe, m.WordmarkWidth, m.TitleStripHeight, true)) << "the sign reads the same mirrored";
    const qvtest::ScreenCapture shot = painttest::StableCapture(window);
    ASSERT_TRUE(shot.ok());
    const int left = rtl ? 0 : shot.width() - m.WordmarkWidth;
    int differing = 0;
    for (int y = 0; y < m.TitleStripHeight; ++y)
        for (int x = 0; x < m.WordmarkWidth; ++x)
            differing += shot.PixelAt(left + x, y) != sign[static_cast<size_t>(y * m.WordmarkWidth + x)] ? 1 : 0;
    EXPECT_EQ(differing, 0) << "pixels of the sign differ from the left-to-right window's";
    if (HasFailure())
        std::wcerr << painttest::SaveCapture(shot, L"mirrored-" + layout + L".bmp") << L"\n";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process().WaitForExit());
}

}  // namespace
