// What each fill of the item list leaves: items whose program has gone are
// dropped for good, icons that cannot be extracted become the window's own,
// kept images follow their files and items,
// the columns and image lists do not pile up, and the selection bar's marker
// counts only the categories that are shown.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "catalogue/CatalogueModel.h"
#include "framework/afxcmn.h"
#include "res/resource.h"
#include "tests/items/items_machine.h"
#include "tests/launcher/DialogHost.h"
#include "ui/ItemImageCache.h"
#include "ui/LayoutMetrics.h"

namespace {

using namespace qvtest;
using namespace itemstest;

std::vector<std::wstring> ListTexts(HWND list)
{
    ListViewProbe probe(list);
    std::vector<std::wstring> texts;
    for (int i = 0; i < probe.Count(); ++i)
        texts.push_back(probe.ItemText(i));
    return texts;
}

// A press and release on category button k, as the user chooses a category.
void ChooseCategory(DialogHost& host, int k)
{
    ASSERT_TRUE(ClickAt(CenterOf(WindowRectOnScreen(host.Control(IDC_CATEGORY0 + k)))));
    ASSERT_TRUE(WaitOnDialog(host, [k](CKivanoDlg& dlg) {
        return CurrentCategory == k && dlg.m_nRememberedCategory == k;
    }));
    MoveMouseAway();
    host.Settle();
}

TEST(ItemsVanishing, DeletedProgramLeavesTheListForGood)
{
    Installation machine;
    ASSERT_TRUE(machine.Copy(RecorderExePath(), kFingerprintVault));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kPowerOptimizer));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kSystemDiagnostics));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kDriverUpdater));

    MoveMouseAway();
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    ASSERT_TRUE(BringToForeground(host.Window()));
    host.Settle();
    const HWND list = host.Control(IDC_ITEM_LIST);
    ChooseCategory(host, 3);
    ASSERT_EQ(ListTexts(list),
              (std::vector<std::wstring>{L"Battery Optimizer", L"System Diagnostics", L"Driver Updater"}));
    ChooseCategory(host, 1);

    // The middle item's program goes while the window is open.
    machine.Remove(kSystemDiagnostics);
    ASSERT_FALSE(FileExists(kSystemDiagnostics));
    ChooseCategory(host, 3);
    EXPECT_EQ(ListTexts(list), (std::vector<std::wstring>{L"Battery Optimizer", L"Driver Updater"}));
    host.Call([](CKivanoDlg&) {
        EXPECT_EQ(Categories[3].ItemCount, 2);
        ASSERT_EQ(Categories[3].Items.size(), 2u);
        EXPECT_EQ(Categories[3].Items[1].Name, CString(L"Driver Updater"));
    });
    // The description of the second list item is now the Driver Updater's.
    ListViewProbe probe(list);
    EXPECT_EQ(probe.ItemText(1, 1), std::wstring(Categories[3].Items[1].Description.GetString()));

    // Putting the file back does not bring the item back.
    ASSERT_TRUE(machine.Copy(StandinExePath(), kSystemDiagnostics));
    ChooseCategory(host, 1);
    ChooseCategory(host, 3);
    EXPECT_EQ(ListTexts(list), (std::vector<std::wstring>{L"Battery Optimizer", L"Driver Updater"}));

    // When every item of the category has gone, the list is empty, the
    // category's text is shown and its button stays.
    machine.Remove(kPowerOptimizer);
    machine.Remove(kDriverUpdater);
    ChooseCategory(host, 1);
    EXPECT_EQ(ListTexts(list).size(), 2u);
    ChooseCategory(host, 3);
    EXPECT_TRUE(ListTexts(list).empty());
    EXPECT_EQ(TextOf(host.Control(IDC_DESCRIPTION)), std::wstring(Categories[3].Text.GetString()));
    EXPECT_TRUE(IsWindowVisible(host.Control(IDC_CATEGORY3)));
    host.Call([](CKivanoDlg& dlg) {
        EXPECT_NE(dlg.m_bCategoryPresent[3], 0);
        EXPECT_EQ(Categories[3].ItemCount, 0);
        EXPECT_EQ(CurrentItem, -1);
        EXPECT_EQ(dlg.m_pLargeImageList->GetImageCount(), 0);
    });
    // Another category is untouched by all this.
    ChooseCategory(host, 1);
    EXPECT_EQ(ListTexts(list), (std::vector<std::wstring>{L"Fingerprint Vault", L"Remove Fingerprints"}));
}

// Image i of `list` drawn on white, as 0x00RRGGBB pixels.
std::vector<DWORD> Render(HIMAGELIST list, int i)
{
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    std::vector<DWORD> pixels;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc && bitmap && bits) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, cx, cy};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(list, i, dc, 0, 0, ILD_NORMAL);
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        pixels.assign(p, p + cx * cy);
        SelectObject(dc, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// How `icon` looks once added to an image list made the way the fill makes its own.
std::vector<DWORD> RenderAsListImage(HICON icon, int size)
{
    HIMAGELIST reference = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 1);
    std::vector<DWORD> pixels;
    if (reference && ImageList_ReplaceIcon(reference, -1, icon) == 0)
        pixels = Render(reference, 0);
    if (reference)
        ImageList_Destroy(reference);
    return pixels;
}

TEST(ItemsIcons, UnextractableIconShowsWindowIconAndTitleIconStays)
{
    Installation machine;
    // CONNECT: a program with an icon of its own.
    ASSERT_TRUE(machine.Copy(StandinExePath(), kConnectionManager));
    // PROTECT && FIX: a valid program without any icon, and a program whose
    // named icon file is no icon at all.
    ASSERT_TRUE(machine.Copy(RecorderExePath(), kRecoveryMedia));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kBackupUtility));
    ASSERT_TRUE(machine.Write("not an icon, just text\r\n", kBackupIcon));

    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    const HICON bigBefore = reinterpret_cast<HICON>(SendMessageW(host.Window(), WM_GETICON, ICON_BIG, 0));
    const HICON smallBefore = reinterpret_cast<HICON>(SendMessageW(host.Window(), WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(bigBefore, nullptr);
    ASSERT_NE(smallBefore, nullptr);
    const int large = LayoutMetrics.LargeIconSize;
    const int small = LayoutMetrics.SmallIconSize;
    const std::vector<DWORD> appLarge = RenderAsListImage(bigBefore, large);
    const std::vector<DWORD> appSmall = RenderAsListImage(smallBefore, small);
    ASSERT_FALSE(appLarge.empty());
    ASSERT_FALSE(appSmall.empty());

    // The stand-in's own icon is not the window's: the comparison below can tell them apart.
    host.Call([&](CKivanoDlg& dlg) {
        ASSERT_EQ(CurrentCategory, 0);
        ASSERT_EQ(dlg.m_listItems.GetItemCount(), 1);
        ASSERT_EQ(dlg.m_pLargeImageList->GetImageCount(), 1);
        EXPECT_NE(Render(*dlg.m_pLargeImageList, 0), appLarge);
        EXPECT_NE(Render(*dlg.m_pSmallImageList, 0), appSmall);
    });

    host.Call([](CKivanoDlg& dlg) {
        dlg.OnCategoryButton(2);
        dlg.m_nRememberedCategory = 2;
    });
    host.Settle();
    host.Call([&](CKivanoDlg& dlg) {
        ASSERT_EQ(CurrentCategory, 2);
        ASSERT_EQ(dlg.m_listItems.GetItemCount(), 2);
        ASSERT_EQ(dlg.m_pLargeImageList->GetImageCount(), 2);
        ASSERT_EQ(dlg.m_pSmallImageList->GetImageCount(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(Render(*dlg.m_pLargeImageList, i), appLarge) << "large image " << i;
            EXPECT_EQ(Render(*dlg.m_pSmallImageList, i), appSmall) << "small image " << i;
        }
    });
    EXPECT_EQ(ListTexts(host.Control(IDC_ITEM_LIST)),
              (std::vector<std::wstring>{L"Recovery Media Creator", L"Backup Utility"}));

    // The window's icons are lent to the list, not given away.
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(host.Window(), WM_GETICON, ICON_BIG, 0)), bigBefore);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(host.Window(), WM_GETICON, ICON_SMALL, 0)), smallBefore);
    ICONINFO iconInfo = {};
    ASSERT_TRUE(GetIconInfo(bigBefore, &iconInfo)) << "the window's icon was destroyed";
    if (iconInfo.hbmColor)
        DeleteObject(iconInfo.hbmColor);
    if (iconInfo.hbmMask)
        DeleteObject(iconInfo.hbmMask);
    EXPECT_EQ(RenderAsListImage(bigBefore, large), appLarge);
}

// How the icon of `file` looks in the list's large image list.
std::vector<DWORD> FileImage(const std::wstring& file)
{
    HICON large = nullptr;
    HICON small = nullptr;
    std::vector<DWORD> pixels;
    if (ExtractIconExW(file.c_str(), 0, &large, &small, 1) != 0)
        pixels = RenderAsListImage(large, LayoutMetrics.LargeIconSize);
    for (HICON icon : {large, small}) {
        if (icon)
            DestroyIcon(icon);
    }
    return pixels;
}

std::vector<std::vector<DWORD>> ListImages(DialogHost& host)
{
    std::vector<std::vector<DWORD>> images;
    host.Call([&](CKivanoDlg& dlg) {
        for (int i = 0; i < dlg.m_listItems.GetItemCount(); ++i)
            images.push_back(Render(*dlg.m_pLargeImageList, i));
    });
    return images;
}

// Images are kept between fills: a file replaced on disk shows its new icon,
// an icon that could not be extracted for a moment is tried again, and when
// an item goes the others keep their own images.
TEST(ItemsKeptImages, ReplacedFileShowsItsNewIconAndImagesStayWithTheirItems)
{
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring other = JoinPath(system, L"notepad.exe");
    Installation machine;
    ASSERT_TRUE(machine.Copy(RecorderExePath(), kFingerprintVault));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kPowerOptimizer));
    ASSERT_TRUE(machine.Copy(RecorderExePath(), kSystemDiagnostics));  // no icon: the window's
    ASSERT_TRUE(machine.Copy(other, kDriverUpdater));

    MoveMouseAway();
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    ASSERT_TRUE(BringToForeground(host.Window()));
    host.Settle();
    const HWND list = host.Control(IDC_ITEM_LIST);
    // The list built at the end of initialisation has its selection mark where a selection leaves it.
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0), 0);
    const std::vector<DWORD> standin = FileImage(StandinExePath());
    const std::vector<DWORD> notepad = FileImage(other);
    const std::vector<DWORD> window = RenderAsListImage(
        reinterpret_cast<HICON>(SendMessageW(host.Window(), WM_GETICON, ICON_BIG, 0)), LayoutMetrics.LargeIconSize);
    ASSERT_FALSE(standin.empty());
    ASSERT_FALSE(notepad.empty());
    ASSERT_NE(standin, notepad);
    ASSERT_NE(notepad, window);

    // While another program holds a file, its icon cannot be extracted and
    // the window's stands in; that is not kept: the next fill tries again.
    HANDLE held = CreateFileW(kDriverUpdater.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ChooseCategory(host, 3);
    EXPECT_EQ(ListImages(host), (std::vector<std::vector<DWORD>>{standin, window, window}));
    CloseHandle(held);
    ChooseCategory(host, 1);
    ChooseCategory(host, 3);
    EXPECT_EQ(ListImages(host), (std::vector<std::vector<DWORD>>{standin, window, notepad}));

    machine.Remove(kSystemDiagnostics);
    ASSERT_TRUE(machine.Copy(other, kSystemDiagnostics));
    ChooseCategory(host, 1);
    ChooseCategory(host, 3);
    EXPECT_EQ(ListImages(host), (std::vector<std::vector<DWORD>>{standin, notepad, notepad}));

    machine.Remove(kPowerOptimizer);
    ChooseCategory(host, 1);
    ChooseCategory(host, 3);
    EXPECT_EQ(ListTexts(list), (std::vector<std::wstring>{L"System Diagnostics", L"Driver Updater"}));
    EXPECT_EQ(ListImages(host), (std::vector<std::vector<DWORD>>{notepad, notepad}));
}

// A black-and-white 32 x 32 icon (no colour bitmap once loaded): white lines
// on black, transparent at the edges.
std::string MonochromeIcon()
{
    std::string ico;
    const auto put = [&](unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            ico.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(0, 2), put(1, 2), put(1, 2);                                    // icon directory, one image
    put(32, 1), put(32, 1), put(2, 1), put(0, 1), put(1, 2), put(1, 2);  // 32 x 32, two colours
    put(40 + 8 + 128 + 128, 4), put(22, 4);
    put(40, 4), put(32, 4), put(64, 4), put(1, 2), put(1, 2);            // header, 1 bit per pixel
    for (int i = 0; i < 6; ++i)
        put(0, 4);
    put(0x000000, 4), put(0xFFFFFF, 4);  // palette: black, white
    for (int y = 0; y < 32; ++y)         // colour rows, bottom up
        put(y == 15 || y == 16 ? 0xFFFFFFFFu : 0x00018000u, 4);
    for (int y = 0; y < 32; ++y)  // mask rows: the outer two pixels transparent
        put(y < 2 || y >= 30 ? 0xFFFFFFFFu : 0x000000C0u | 0x03000000u, 4);
    return ico;
}

// A list made afresh takes its icons in one batch; an icon the batch cannot
// take (one without colour bitmap) and a file without icon (the window's
// stands in) keep their places, every later item keeps its own image, and
// every image looks as one ImageList_ReplaceIcon per icon would have made it.
TEST(ItemsKeptImages, BatchKeepsEveryImageWithItsItem)
{
    const std::wstring mono = kVelmora + L"QvTestIcons\\mono.ico";
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring notepad = JoinPath(system, L"notepad.exe");
    Installation machine;
    ASSERT_TRUE(machine.Write(MonochromeIcon(), mono));
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    const int size = LayoutMetrics.LargeIconSize;

    const std::vector<std::wstring> files = {StandinExePath(), mono, RecorderExePath(), notepad, StandinExePath()};
    std::vector<ItemImageKey> keys;
    for (const std::wstring& file : files) {
        ItemImageKey key;
        key.file = file.c_str();
        keys.push_back(key);
    }
    CItemImageCache cache;
    CImageList large;
    CImageList small;
    ASSERT_TRUE(cache.Build(-1, keys, size, LayoutMetrics.SmallIconSize, host.Window(), large, small));
    ASSERT_EQ(large.GetImageCount(), 5);
    ASSERT_EQ(small.GetImageCount(), 5);

    HICON monoIcon = nullptr;
    ASSERT_EQ(ExtractIconExW(mono.c_str(), 0, &monoIcon, nullptr, 1), 1u);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(monoIcon, &info));
    EXPECT_EQ(info.hbmColor, nullptr) << "the icon has a colour bitmap: the batch takes it";
    for (HBITMAP bitmap : {info.hbmColor, info.hbmMask})
        if (bitmap)
            DeleteObject(bitmap);
    const std::vector<DWORD> monoImage = RenderAsListImage(monoIcon, size);
    DestroyIcon(monoIcon);
    const std::vector<DWORD> window =
        RenderAsListImage(reinterpret_cast<HICON>(SendMessageW(host.Window(), WM_GETICON, ICON_BIG, 0)), size);
    const std::vector<std::vector<DWORD>> expected = {FileImage(StandinExePath()), monoImage, window,
                                                      FileImage(notepad), FileImage(StandinExePath())};
    for (int i = 0; i < 5; ++i) {
        ASSERT_FALSE(expected[static_cast<size_t>(i)].empty());
        EXPECT_EQ(Render(large, i), expected[static_cast<size_t>(i)]) << "image " << i;
    }
}

std::wstring ColumnHeading(HWND list, int column)
{
    wchar_t text[64] = {};
    LVCOLUMNW c = {};
    c.mask = LVCF_TEXT;
    c.pszText = text;
    c.cchTextMax = 64;
    if (!SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c)))
        return L"<none>";
    return text;
}

TEST(ItemsColumns, ManySwitchesKeepTwoColumnsAndOneImagePerItem)
{
    Installation machine;
    ASSERT_TRUE(machine.Copy(StandinExePath(), kConnectionManager));
    ASSERT_TRUE(machine.Copy(RecorderExePath(), kFingerprintVault));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kPowerOptimizer));
    ASSERT_TRUE(machine.Copy(RecorderExePath(), kSystemDiagnostics));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kDriverUpdater));

    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    const int expected[4] = {1, 2, 0, 3};
    for (int round = 0; round < 40; ++round) {
        const int k = (round % 2) ? 3 : round % 4 == 0 ? 0 : 1;
        host.Call([&](CKivanoDlg& dlg) {
            dlg.OnCategoryButton(k);
            dlg.m_nRememberedCategory = k;
            const HWND list = dlg.m_listItems.m_hWnd;
            ASSERT_EQ(dlg.m_listItems.GetColumnCount(), 2) << "round " << round;
            EXPECT_EQ(ColumnHeading(list, 0), L"ITEM");
            EXPECT_EQ(ColumnHeading(list, 1), L"SUB_ITEM");
            ASSERT_EQ(dlg.m_listItems.GetItemCount(), expected[k]) << "round " << round;
            EXPECT_EQ(dlg.m_pLargeImageList->GetImageCount(), expected[k]) << "round " << round;
            EXPECT_EQ(dlg.m_pSmallImageList->GetImageCount(), expected[k]) << "round " << round;
            // The dialog's two, and at most a pair kept for each category.
            EXPECT_EQ(AfxLiveImageLists(), 2 + dlg.m_imageCache.KeptImageLists()) << "round " << round;
            EXPECT_LE(dlg.m_imageCache.KeptImageLists(), 2 * CItemImageCache::kCategories);
            // The list shows the dialog's current image lists.
            EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)),
                      dlg.m_pLargeImageList->m_hImageList);
            EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
                      dlg.m_pSmallImageList->m_hImageList);
        });
        if (testing::Test::HasFatalFailure())
            return;
    }
    // Repaints re-select the remembered category and fill again: still the same.
    RedrawWindow(host.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    host.Settle();
    host.Call([](CKivanoDlg& dlg) {
        EXPECT_EQ(dlg.m_listItems.GetColumnCount(), 2);
        EXPECT_EQ(AfxLiveImageLists(), 2 + dlg.m_imageCache.KeptImageLists());
        EXPECT_EQ(dlg.m_pLargeImageList->GetImageCount(), dlg.m_listItems.GetItemCount());
    });
}

TEST(ItemsSelectionBar, MarkerRowCountsPresentCategoriesOnly)
{
    Installation machine;
    ASSERT_TRUE(machine.Copy(StandinExePath(), kConnectionManager));
    ASSERT_TRUE(machine.Copy(StandinExePath(), kRecoveryMedia));

    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    host.Call([](CKivanoDlg& dlg) {
        ASSERT_NE(dlg.m_bCategoryPresent[0], 0);
        ASSERT_EQ(dlg.m_bCategoryPresent[1], 0);
        ASSERT_NE(dlg.m_bCategoryPresent[2], 0);
    });
    const LayoutMetricsTable& m = LayoutMetrics;
    const int x = m.SelectionBarLeft + 1;
    const auto rowY = [&](int r) {
        return m.ColumnTop + r * (m.CategoryButtonHeight + m.CategoryButtonGap) + m.CategoryButtonHeight / 2;
    };
    const Rgb marker{0x50, 0x4B, 0x3D};
    const Rgb bar{0xB6, 0xB1, 0x9E};

    for (const int k : {2, 0, 2}) {
        host.Call([k](CKivanoDlg& dlg) {
            dlg.OnCategoryButton(k);
            dlg.m_nRememberedCategory = k;
        });
        host.Settle();
        const int markedRow = k == 2 ? 1 : 0;
        const ScreenCapture shot = ScreenCapture::OfClient(host.Window());
        ASSERT_TRUE(shot.ok());
        for (int r = 0; r < 3; ++r) {
            const Rgb seen = shot.RgbAt(x, rowY(r));
            EXPECT_EQ(seen, r == markedRow ? marker : bar)
                << "category " << k << ", row " << r << ": " << int(seen.r) << "," << int(seen.g) << ","
                << int(seen.b);
        }
        if (testing::Test::HasFailure())
            shot.SaveBmp(JoinPath(TestExeFolder(), L"items_selection_bar.bmp"));
    }
}

}  // namespace
