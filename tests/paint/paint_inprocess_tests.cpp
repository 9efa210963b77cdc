// The main dialog in this process (DialogHost): the caption with a doubled
// ampersand, the composed window against the one drawn step by step, and a
// long run of activation changes and repaints that must leave no GDI object,
// DC, image list or window behind.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <utility>

#include "catalogue/CatalogueModel.h"
#include "framework/afxcmn.h"
#include "framework/afxgdi.h"
#include "res/resource.h"
#include "tests/launcher/DialogHost.h"
#include "ui/ItemImageCache.h"
#include "ui/LayoutMetrics.h"
#include "tests/paint/paint_support.h"

namespace {

using namespace qvtest;
using namespace painttest;

std::vector<std::wstring> ConnectProtectOptimize()
{
    std::vector<std::wstring> programs;
    AddPrograms(&programs, kConnect);
    AddPrograms(&programs, kProtect);
    AddPrograms(&programs, kOptimize);
    return programs;
}

SIZE Measure(HDC dc, const wchar_t* text, UINT format, int boxWidth = 1000)
{
    RECT box = {0, 0, boxWidth, 1000};
    DrawTextW(dc, text, -1, &box, format | DT_CALCRECT);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

// The light pixels of a region, relative to their bounding box's top-left.
std::set<std::pair<int, int>> Ink(const ScreenCapture& shot, const RECT& region)
{
    std::set<std::pair<int, int>> points;
    int left = region.right, top = region.bottom;
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            if (IsLight(shot.PixelAt(x, y))) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x)
            if (IsLight(shot.PixelAt(x, y)))
                points.insert({x - left, y - top});
    return points;
}

// `text` drawn white on black with `font` and `format` in a box of the given
// size, as a capture of our own.
std::set<std::pair<int, int>> RenderedInk(HFONT font, const wchar_t* text, UINT format, int width, int height)
{
    std::set<std::pair<int, int>> points;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, font);
    RECT box = {0, 0, width, height};
    FillRect(memory, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(memory, RGB(255, 255, 255));
    SetBkMode(memory, TRANSPARENT);
    DrawTextW(memory, text, -1, &box, format);
    int left = width, top = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (IsLight(GetPixel(memory, x, y))) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (IsLight(GetPixel(memory, x, y)))
                points.insert({x - left, y - top});
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return points;
}

size_t Difference(const std::set<std::pair<int, int>>& a, const std::set<std::pair<int, int>>& b)
{
    size_t n = 0;
    for (const auto& p : a)
        n += b.count(p) ? 0 : 1;
    for (const auto& p : b)
        n += a.count(p) ? 0 : 1;
    return n;
}

TEST(ButtonCaption, DoubledAmpersandIsDrawnAsOne)
{
    StandIns standIns(ConnectProtectOptimize());
    ASSERT_TRUE(standIns.ok());
    MoveMouseAway();
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    const LayoutMetricsTable m = LayoutMetrics;

    HFONT font = nullptr;
    UINT format = 0;
    host.Call([&](CKivanoDlg& d) {
        ASSERT_EQ(d.m_bCategoryPresent[2], 1);
        const CBitmapButtonEx& button = d.m_btnCategory[2];
        EXPECT_EQ(button.m_strText, CString(L"PROTECT && FIX"));
        font = static_cast<HFONT>(button.m_pFont->m_hObject);
        format = button.m_nTextFormat;
        // Make it the selected category: white caption on black.
        d.OnCategoryButton(2);
        d.m_nRememberedCategory = 2;
    });
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(format & DT_NOPREFIX, 0u) << "the caption is drawn with DT_NOPREFIX";

    // Measured with the button's own font and format (on one line, so that
    // word wrapping does not hide the width): as wide as one ampersand, not two.
    HDC dc = GetDC(host.Control(IDC_CATEGORY2));
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    const UINT oneLine = (format & ~static_cast<UINT>(DT_WORDBREAK)) | DT_SINGLELINE;
    const SIZE drawn = Measure(dc, L"PROTECT && FIX", oneLine);
    const SIZE single = Measure(dc, L"PROTECT & FIX", oneLine | DT_NOPREFIX);
    const SIZE doubled = Measure(dc, L"PROTECT && FIX", oneLine | DT_NOPREFIX);
    // And in the caption box the button wraps in.
    const int boxWidth = m.CategoryButtonWidth - m.CategoryTextInset + 2;
    const SIZE drawnBox = Measure(dc, L"PROTECT && FIX", format, boxWidth);
    const SIZE singleBox = Measure(dc, L"PROTECT & FIX", format | DT_NOPREFIX, boxWidth);
    SelectObject(dc, old);
    ReleaseDC(host.Control(IDC_CATEGORY2), dc);
    EXPECT_EQ(drawn.cx, single.cx);
    EXPECT_NE(drawn.cx, doubled.cx);
    EXPECT_EQ(drawnBox.cx, singleBox.cx);
    EXPECT_EQ(drawnBox.cy, singleBox.cy);

    // On the screen: the caption's white pixels are those of "PROTECT & FIX"
    // drawn in the same font and box, not those of "PROTECT && FIX".
    ASSERT_TRUE(BringToForeground(host.Window()));
    host.Settle();
    const ScreenCapture shot = StableCapture(host.Window());
    ASSERT_TRUE(shot.ok());
    const RECT r = ChildRectInClient(host.Window(), host.Control(IDC_CATEGORY2));
    const RECT caption = {r.left + m.CategoryTextInset, r.top, r.right, r.bottom};
    ASSERT_EQ(shot.PixelAt(caption.right - 3, caption.top + 2), 0x000000u) << "PROTECT && FIX is not selected";
    const auto onScreen = Ink(shot, caption);
    const int w = caption.right - caption.left + 2;
    const int h = caption.bottom - caption.top;
    const auto one = RenderedInk(font, L"PROTECT & FIX", format | DT_NOPREFIX, w, h);
    const auto two = RenderedInk(font, L"PROTECT && FIX", format | DT_NOPREFIX, w, h);
    ASSERT_GT(onScreen.size(), 30u);
    EXPECT_LE(Difference(onScreen, one), onScreen.size() / 20) << "caption differs from PROTECT & FIX";
    EXPECT_GT(Difference(onScreen, two), Difference(onScreen, one) + 10) << "caption looks like PROTECT && FIX";
    if (HasFailure())
        std::wcerr << L"capture: " << SaveCapture(shot, L"button-caption.bmp") << L"\n";
}

// A category button keeps the faces of its last two looks: going back to a
// look shows its face as drawn, a look it has not had (another caption) is
// drawn, not taken for a kept one, and however often the looks change no
// more than two faces are kept.
TEST(ButtonFace, KeptLooksShowTheirFaceAndStayTwo)
{
    StandIns standIns(ConnectProtectOptimize());
    ASSERT_TRUE(standIns.ok());
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    host.Call([](CKivanoDlg& d) {
        CBitmapButtonEx& button = d.m_btnCategory[0];
        RECT r;
        button.GetClientRect(&r);
        const CString caption = button.m_strText;
        const auto face = [&](COLORREF background, const CString& text) {
            button.m_crBackground = background;
            button.m_strText = text;
            return ScreenCapture::OfDrawing(r.right, r.bottom, [&](HDC dc) {
                CDC target;
                target.Attach(dc);
                button.DrawFace(target, r);
                target.Detach();
                return true;
            });
        };
        const ScreenCapture selected = face(0x000000, caption);
        const ScreenCapture plain = face(0xFFFFFF, caption);
        ASSERT_TRUE(selected.ok());
        EXPECT_FALSE(SameImage(selected, plain));
        const int live = AfxGdiLiveObjects();
        for (int i = 0; i < 20; ++i) {
            EXPECT_TRUE(SameImage(face(0xFFFFFF, caption), plain));
            EXPECT_TRUE(SameImage(face(0x000000, caption), selected));
        }
        EXPECT_FALSE(SameImage(face(0x000000, L"RENAMED"), selected)) << "a kept face shown for another caption";
        EXPECT_TRUE(SameImage(face(0x000000, caption), selected)) << "the face drawn again differs";
        EXPECT_EQ(AfxGdiLiveObjects(), live) << "more faces kept than two";
        d.OnCategoryButton(0);
    });
}

// The window drawn step by step: given a scene without category buttons, the
// composition keeps no face, and the whole window repainted has each button
// paint itself (its face and focus rectangle); then the strips, the header and
// the bar are drawn straight onto the window, over whatever the buffer showed
// there, and the scene is given back.
ScreenCapture DrawnStepByStep(DialogHost& host)
{
    host.Call([](CKivanoDlg& d) {
        CWindowComposition::Scene noButtons = d.CompositionScene();
        noButtons.buttons = {};
        d.m_composition.SetScene(noButtons);
        RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        {
            CClientDC window(&d);
            for (const auto part : {CWindowComposition::kStrips, CWindowComposition::kHeader, CWindowComposition::kBar})
                d.m_composition.Draw(window, part);
        }
        d.m_composition.SetScene(d.CompositionScene());
    });
    return StableCapture(host.Window());
}

// The window composed in its back buffer shows the pixels of the same window
// drawn straight onto it, at every scale of the layout, a focus rectangle
// included, left to right and mirrored (a window read right to left); and the
// title strip uncovered on its own gets its decoration back from the erase.
TEST(PaintComposition, SameWindowAsDrawnStepByStepAt96120And144Dpi)
{
    StandIns standIns(ConnectProtectOptimize());
    ASSERT_TRUE(standIns.ok());
    MoveMouseAway();
    ScaleLayoutMetrics();
    ScaleButtonFaceMetrics();
    const LayoutMetricsTable processLayout = LayoutMetrics;
    const ButtonFaceMetricsTable processFaces = ButtonFaceMetrics;
    for (const DWORD layout : {DWORD{0}, DWORD{LAYOUT_RTL}})
    for (int dpi : {96, 120, 144}) {
        SCOPED_TRACE(testing::Message() << dpi << " DPI" << (layout ? ", mirrored" : ""));
        LayoutMetrics = ScaledLayoutMetrics(dpi);
        ButtonFaceMetrics = ScaledButtonFaceMetrics(dpi);
        SetProcessDefaultLayout(layout);
        DialogHost host;
        SetProcessDefaultLayout(0);
        ASSERT_NE(host.Window(), nullptr);
        ASSERT_TRUE(BringToForeground(host.Window()));
        host.Call([](CKivanoDlg& d) {
            d.OnCategoryButton(2);
            d.m_nRememberedCategory = 2;
            d.m_btnCategory[0].SetFocus();
        });
        // Composed: the whole window repainted, then (unless a part is given)
        // a paint of the dialog alone, as an activation sends it: there the
        // category buttons are shown only as the selection bar orders it.
        const auto composedPaint = [&](const RECT* part) {
            const UINT children = part ? 0 : RDW_ALLCHILDREN;
            RedrawWindow(host.Window(), part, nullptr, RDW_INVALIDATE | RDW_ERASE | children);
            const ScreenCapture repainted = StableCapture(host.Window());
            if (part)
                return repainted;
            SendMessageW(host.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
            return StableCapture(host.Window());
        };
        const ScreenCapture composed = composedPaint(nullptr);
        const ScreenCapture direct = DrawnStepByStep(host);
        const RECT title = {0, 0, LayoutMetrics.ClientWidth, LayoutMetrics.TitleStripHeight};
        const ScreenCapture uncovered = composedPaint(&title);
        ASSERT_TRUE(composed.ok());
        EXPECT_EQ(composed.width(), LayoutMetrics.ClientWidth);
        EXPECT_TRUE(SameImage(composed, direct)) << "composed and direct paints differ";
        int lost = 0;
        for (int y = title.top; y < title.bottom; ++y)
            for (int x = title.left; x < title.right; ++x)
                lost += uncovered.PixelAt(x, y) != composed.PixelAt(x, y) ? 1 : 0;
        EXPECT_EQ(lost, 0) << "pixels of the uncovered title strip not shown again";
        if (HasFailure()) {
            const std::wstring name = L"composition-" + std::to_wstring(dpi) + (layout ? L"-mirrored" : L"");
            std::wcerr << SaveCapture(composed, name + L"-composed.bmp") << L"\n"
                       << SaveCapture(direct, name + L"-direct.bmp") << L"\n"
                       << SaveCapture(uncovered, name + L"-uncovered.bmp") << L"\n";
        }
    }
    LayoutMetrics = processLayout;
    ButtonFaceMetrics = processFaces;
}

// A category switch shows the two buttons' new faces from the buffer, with
// the focus rectangle where the focus is: the paints their pushed state's
// change asked for have nothing left to do, and the window is the one drawn
// step by step. Each button knows whether it has the focus as GetFocus says.
TEST(PaintComposition, SwitchShowsTheNewFacesAndLeavesNoButtonPaintPending)
{
    StandIns standIns(ConnectProtectOptimize());
    ASSERT_TRUE(standIns.ok());
    MoveMouseAway();
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    ASSERT_TRUE(BringToForeground(host.Window()));
    host.Settle();
    for (const int k : {3, 2, 0}) {
        SCOPED_TRACE(testing::Message() << "switch to category " << k);
        host.Call([k](CKivanoDlg& d) {
            const HWND button = d.m_btnCategory[k].m_hWnd;
            ::SetFocus(k == 2 ? button : d.m_listItems.m_hWnd);
            for (int j : {0, 2, 3})
                EXPECT_EQ(d.m_btnCategory[j].HasFocus(), ::GetFocus() == d.m_btnCategory[j].m_hWnd) << j;
            d.m_nRememberedCategory = k;  // as a press does; the reference's repaint re-selects it
            d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CATEGORY0 + k, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            EXPECT_EQ(CurrentCategory, k);
            for (int j : {0, 2, 3}) {
                RECT pending;
                EXPECT_FALSE(::GetUpdateRect(d.m_btnCategory[j].m_hWnd, &pending, FALSE)) << "button " << j;
            }
        });
        const ScreenCapture switched = StableCapture(host.Window());
        const ScreenCapture direct = DrawnStepByStep(host);
        ASSERT_TRUE(switched.ok());
        EXPECT_TRUE(SameImage(switched, direct)) << "switched and direct paints differ";
        if (HasFailure()) {
            const std::wstring name = L"switch-" + std::to_wstring(k);
            std::wcerr << SaveCapture(switched, name + L"-switched.bmp") << L"\n"
                       << SaveCapture(direct, name + L"-direct.bmp") << L"\n";
        }
    }
}

int CountChildren(HWND parent)
{
    int count = 0;
    EnumChildWindows(
        parent, [](HWND, LPARAM p) -> BOOL { ++*reinterpret_cast<int*>(p); return TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

int CountThreadWindows(HWND any)
{
    int count = 0;
    EnumThreadWindows(
        GetWindowThreadProcessId(any, nullptr),
        [](HWND, LPARAM p) -> BOOL { ++*reinterpret_cast<int*>(p); return TRUE; },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

struct Counts {
    int gdi, dcs, imageLists, keptImageLists, icons, children, windows;
    bool operator==(const Counts& o) const
    {
        return gdi == o.gdi && dcs == o.dcs && imageLists == o.imageLists && keptImageLists == o.keptImageLists &&
               icons == o.icons && children == o.children && windows == o.windows;
    }
};

std::ostream& operator<<(std::ostream& out, const Counts& c)
{
    return out << "gdi " << c.gdi << ", dcs " << c.dcs << ", image lists " << c.imageLists << " (kept "
               << c.keptImageLists << "), extracted icons " << c.icons << ", children " << c.children
               << ", thread windows " << c.windows;
}

Counts Take(DialogHost& host)
{
    Counts c{};
    host.Call([&](CKivanoDlg& d) {
        c.gdi = AfxGdiLiveObjects();
        c.dcs = AfxLiveDCs();
        c.keptImageLists = d.m_imageCache.KeptImageLists();
        c.imageLists = AfxLiveImageLists() - c.keptImageLists;  // the dialog's own
        c.icons = LiveExtractedIcons();
    });
    c.children = CountChildren(host.Window());
    c.windows = CountThreadWindows(host.Window());
    return c;
}

TEST(PaintStress, ActivationsAndRepaintsLeaveNothingBehind)
{
    StandIns standIns(ConnectProtectOptimize());
    ASSERT_TRUE(standIns.ok());
    MoveMouseAway();
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    HWND dialog = host.Window();
    host.Call([](CKivanoDlg& d) {
        // OPTIMIZE remembered: every paint re-selects it and refills its list.
        d.OnCategoryButton(3);
        d.m_nRememberedCategory = 3;
    });
    host.Settle();
    const Counts start = Take(host);
    EXPECT_EQ(start.dcs, 0);
    EXPECT_EQ(start.imageLists, 2);
    EXPECT_EQ(start.icons, 0);

    constexpr int kRounds = 20;
    constexpr int kActivationsPerRound = 100;  // 2000 activation changes in all
    constexpr int kRepaintsPerRound = 10;      // 200 window repaints and button redraws
    const auto began = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < kActivationsPerRound; ++i)
            SendMessageW(dialog, WM_ACTIVATE, (i % 2) ? WA_ACTIVE : WA_INACTIVE, 0);
        for (int i = 0; i < kRepaintsPerRound; ++i) {
            InvalidateRect(dialog, nullptr, TRUE);
            UpdateWindow(dialog);
            for (int id : {IDC_CATEGORY0, IDC_CATEGORY2, IDC_CATEGORY3, IDC_SUPPORT_BUTTON, IDC_HELP_BUTTON,
                           IDC_CLOSE_BUTTON})
                RedrawWindow(host.Control(id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        host.Settle();
        const Counts now = Take(host);
        ASSERT_EQ(now, start) << "after round " << round;
        std::cout << "round " << round << ": "
                  << std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count() << " s\n";
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::cout << "stress run: " << seconds << " s\n";

    // Still answering, and still painting: the last activation left it active.
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDeadlineMs, &result), 0);
    ASSERT_TRUE(BringToForeground(dialog));
    InvalidateRect(dialog, nullptr, TRUE);
    const ScreenCapture shot = StableCapture(dialog);
    ASSERT_TRUE(shot.ok());
    const LayoutMetricsTable m = LayoutMetrics;
    const int step = m.CategoryButtonHeight + m.CategoryButtonGap;
    const int barX = m.SelectionBarLeft + 1;
    EXPECT_EQ(shot.PixelAt(m.ClientWidth / 3, m.TitleStripHeight / 2), 0x000000u);
    EXPECT_EQ(shot.PixelAt(m.ClientWidth - 4, m.TitleStripHeight + 2), 0xE3EAE9u);
    EXPECT_EQ(shot.PixelAt(m.ClientWidth - 4, m.TitleStripHeight + m.HeaderHeight + 2), 0xD5DFDEu);
    EXPECT_EQ(shot.PixelAt(barX, m.ColumnTop + 2 * step + 5), 0x3D4B50u) << "marker not on OPTIMIZE's row";
    EXPECT_EQ(shot.PixelAt(barX, m.ColumnTop + 5), 0x9EB1B6u);
    EXPECT_EQ(shot.PixelAt(m.CategoryButtonLeft + m.CategoryButtonWidth - 3, m.ColumnTop + 2 * step + 2), 0x000000u)
        << "OPTIMIZE's button not black";
    EXPECT_EQ(shot.PixelAt(m.CategoryButtonLeft + m.CategoryButtonWidth - 3, m.ColumnTop + 2), 0xFFFFFFu);
    host.Call([](CKivanoDlg& d) {
        EXPECT_EQ(d.m_listItems.GetItemCount(), 3);
        EXPECT_EQ(CurrentCategory, 3);
    });
    if (HasFailure())
        std::wcerr << L"capture: " << SaveCapture(shot, L"paint-stress.bmp") << L"\n";

    const Counts end = Take(host);
    EXPECT_EQ(end, start);
}

}  // namespace
