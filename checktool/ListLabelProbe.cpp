#include "checktool/ListLabelProbe.h"

#include <commctrl.h>

#include "res/resource.h"

ListLabelProbe::ListLabelProbe(const DialogControl& list, const LayoutMetricsTable& m, HFONT font)
{
    const INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, m.ClientWidth, m.ClientHeight, nullptr, nullptr,
                               instance, nullptr);
    if (m_parent) {
        m_view = CreateWindowExW(list.exStyle, list.className.c_str(), L"", list.style | WS_CHILD, 0, 0,
                                 m.ListWidth, m.ListHeight, m_parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ITEM_LIST)), instance, nullptr);
    }
    m_images = ImageList_Create(m.LargeIconSize, m.LargeIconSize, ILC_COLOR32 | ILC_MASK, 1, 1);
    if (!m_view || !m_images)
        return;
    // The launcher's order: images first, then the spacing, which an explicit
    // value keeps through later image-list changes.
    ListView_SetImageList(m_view, m_images, LVSIL_NORMAL);
    SendMessageW(m_view, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ListView_SetIconSpacing(m_view, m.IconSpacingX, m.IconSpacingY);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(L"");
    RECT cell = {};
    if (ListView_InsertItem(m_view, &item) == 0 && ListView_GetItemRect(m_view, 0, &cell, LVIR_BOUNDS)) {
        m_cellWidth = cell.right - cell.left;
        m_ok = m_cellWidth > 0;
    }
}

ListLabelProbe::~ListLabelProbe()
{
    if (m_view) {
        ListView_SetImageList(m_view, nullptr, LVSIL_NORMAL);
        DestroyWindow(m_view);
    }
    if (m_images)
        ImageList_Destroy(m_images);
    if (m_parent)
        DestroyWindow(m_parent);
}

RECT ListLabelProbe::Label(const std::wstring& name) const
{
    RECT label = {};
    if (!m_ok)
        return label;
    ListView_SetItemText(m_view, 0, 0, const_cast<wchar_t*>(name.c_str()));
    if (!ListView_GetItemRect(m_view, 0, &label, LVIR_LABEL))
        return RECT{};
    return label;
}
