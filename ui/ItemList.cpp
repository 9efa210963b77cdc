// The item list: rebuilt for the current category on every selection.
#include "app/KivanoDlg.h"

#include "catalogue/CatalogueModel.h"
#include "catalogue/FileExists.h"
#include "ui/LayoutMetrics.h"

void CKivanoDlg::FillItemList()
{
    // The list is not redrawn while it is rebuilt: it repaints once, at the end.
    if (m_listItems.m_hWnd != nullptr)
        m_listItems.SetRedraw(FALSE);

    // 1. Empty the list and drop the previous image lists.
    ReleaseItemList();

    // 2. The base initialisation's data exchange attaches the controls on the
    // first fill and shows the caller's description on every fill.
    CDialog::OnInitDialog();
    UpdateData(TRUE);

    // While the dialog initialises, the list is built once, at the end, for
    // the category finally selected; before the window is shown nobody can
    // tell the difference.
    if (m_bDeferListFill)
        m_bListPending = 1;
    else
        BuildItemList();

    if (m_listItems.m_hWnd != nullptr) {
        m_listItems.SetRedraw(TRUE);
        m_listItems.Invalidate(TRUE);
    }
}

void CKivanoDlg::BuildPendingItemList()
{
    if (!m_bListPending)
        return;
    m_bListPending = 0;
    m_listItems.SetRedraw(FALSE);
    BuildItemList();
    m_listItems.SetSelectionMark(0);  // as the last selection left it
    m_listItems.SetRedraw(TRUE);
    m_listItems.Invalidate(TRUE);
}

void CKivanoDlg::BuildItemList()
{
    // Set at the first fill; the later ones find them set.
    const DWORD styles = LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE;
    if (m_listItems.GetExtendedStyle() != styles)
        m_listItems.SetExtendedStyle(styles);

    // Two hidden columns, so that each item can carry its description.
    if (m_listItems.GetColumnCount() == 0) {
        RECT rect;
        m_listItems.GetWindowRect(&rect);
        const int width = rect.right - rect.left;
        m_listItems.InsertColumn(0, L"ITEM", LVCFMT_LEFT, width / 3, 0);
        m_listItems.InsertColumn(1, L"SUB_ITEM", LVCFMT_LEFT, (2 * width) / 3, 1);
    }

    // Keep the items whose icon file is still there; what the search found
    // of each file tells whether its kept images are still good.
    CategoryInfo& category = Categories[static_cast<size_t>(CurrentCategory)];
    std::vector<ItemInfo> items = category.Items;
    std::vector<ItemImageKey> keys;
    size_t p = 0;
    while (p < items.size()) {
        WIN32_FIND_DATAW found;
        if (!FileExists(items[p].IconFile, &found)) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(p));
            continue;
        }
        keys.push_back(MakeItemImageKey(items[p].IconFile, items[p].IconIndex, found));
        ++p;
    }

    // Two new image lists, image i belonging to kept item i.
    m_pLargeImageList = new CImageList;
    m_pSmallImageList = new CImageList;
    m_imageCache.Build(CurrentCategory, keys, LayoutMetrics.LargeIconSize, LayoutMetrics.SmallIconSize, m_hWnd,
                       *m_pLargeImageList, *m_pSmallImageList);
    m_listItems.SetImageList(m_pLargeImageList, LVSIL_NORMAL);
    m_listItems.SetImageList(m_pSmallImageList, LVSIL_SMALL);

    // Items gone from the disk stay gone for the rest of the run.
    const int n = static_cast<int>(items.size());
    if (n != category.ItemCount) {
        category.ItemCount = n;
        category.Items = items;
    }

    // One list item per kept item, in catalogue order; sub-item 1 holds the description.
    for (int i = 0; i < n; ++i) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.iSubItem = 0;
        item.pszText = const_cast<wchar_t*>(items[static_cast<size_t>(i)].Name.GetString());
        item.iImage = i;
        m_listItems.InsertItem(&item);
        LVITEMW sub = {};
        sub.mask = LVIF_TEXT;
        sub.iItem = i;
        sub.iSubItem = 1;
        sub.pszText = const_cast<wchar_t*>(items[static_cast<size_t>(i)].Description.GetString());
        m_listItems.SetItem(&sub);
    }
}
