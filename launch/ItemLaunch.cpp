// Starting the catalogue's utilities from the item list.
#include "app/KivanoDlg.h"

#include "catalogue/CatalogueModel.h"
#include "launch/LaunchProgram.h"

namespace {
// The item at `index` of the current category, or null when there is none.
const ItemInfo* CurrentCategoryItem(int index)
{
    const CategoryInfo& category = Categories[static_cast<size_t>(CurrentCategory)];
    if (index < 0 || index >= static_cast<int>(category.Items.size()))
        return nullptr;
    return &category.Items[static_cast<size_t>(index)];
}
}  // namespace

void CKivanoDlg::LaunchSelectedItem()
{
    const ItemInfo* item = CurrentCategoryItem(CurrentItem);
    if (item)
        m_strDescription = item->Description;
    if (m_listItems.m_hWnd == nullptr || item == nullptr)
        return;
    LaunchProgram(item->Path, item->Arguments, CString());
}

void CKivanoDlg::OnItemActivate(NMHDR* pNMHDR, LRESULT* pResult)
{
    const int index = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem;
    UpdateData(TRUE);
    const ItemInfo* item = CurrentCategoryItem(index);
    if (item)
        m_strDescription = item->Description;
    UpdateData(FALSE);
    if (m_listItems.m_hWnd && item)
        LaunchProgram(item->Path, item->Arguments, CString());
    *pResult = 0;
}
