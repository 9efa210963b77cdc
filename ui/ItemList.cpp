// The item list: rebuilt for the current category on every selection.
#include "app/KivanoDlg.h"

#include <shellapi.h>

#include "catalogue/CatalogueModel.h"
#include "catalogue/FileExists.h"
#include "ui/LayoutMetrics.h"

void CKivanoDlg::FillItemList()
{
    // 1. Empty the list and drop the previous image lists.
    ReleaseItemList();

    // 2. The base initialisation's data exchange attaches the controls on the
    // first fill and shows the caller's description on every fill.
    CDialog::OnInitDialog();
    UpdateData(TRUE);

    // 3, 4. Fresh image lists and the list's fixed extended styles.
    m_pLargeImageList = new CImageList;
    m_pLargeImageList->Create(LayoutMetrics.LargeIconSize, LayoutMetrics.LargeIconSize,
                              ILC_COLOR32 | ILC_MASK, 12, 9);
    m_pSmallImageList = new CImageList;
    m_pSmallImageList->Create(LayoutMetrics.SmallIconSize, LayoutMetrics.SmallIconSize,
                              ILC_COLOR32 | ILC_MASK, 9, 9);
    m_listItems.SetExtendedStyle(LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE);
    m_listItems.SetImageList(m_pLargeImageList, LVSIL_NORMAL);
    m_listItems.SetImageList(m_pSmallImageList, LVSIL_SMALL);

    // 5. Two hidden columns, so that each item can carry its description.
    if (m_listItems.GetColumnCount() == 0) {
        RECT rect;
        m_listItems.GetWindowRect(&rect);
        const int width = rect.right - rect.left;
        m_listItems.InsertColumn(0, L"ITEM", LVCFMT_LEFT, width / 3, 0);
        m_listItems.InsertColumn(1, L"SUB_ITEM", LVCFMT_LEFT, (2 * width) / 3, 1);
    }

    // 6. Keep the items whose icon file is still there, one image each.
    CategoryInfo& category = Categories[static_cast<size_t>(CurrentCategory)];
    std::vector<ItemInfo> items = category.Items;
    size_t p = 0;
    while (p < items.size()) {
        if (!FileExists(items[p].IconFile)) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(p));
            continue;
        }
        HICON large = nullptr;
        HICON small = nullptr;
        if (ExtractIconExW(items[p].IconFile, items[p].IconIndex, &large, &small, 1) != 0) {
            m_pLargeImageList->Add(large);
            m_pSmallImageList->Add(small);
            if (large)
                DestroyIcon(large);
            if (small)
                DestroyIcon(small);
        } else {
            // The window's own icons: added as copies, never destroyed here.
            m_pLargeImageList->Add(reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_BIG)));
            m_pSmallImageList->Add(reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_SMALL)));
        }
        ++p;
    }

    // 7. Items gone from the disk stay gone for the rest of the run.
    const int n = static_cast<int>(items.size());
    if (n != category.ItemCount) {
        category.ItemCount = n;
        category.Items = items;
    }

    // 8. One list item per kept item, in catalogue order; sub-item 1 holds the description.
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
