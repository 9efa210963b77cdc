#include "framework/afxcmn.h"

namespace {
int g_liveImageLists = 0;
}

int AfxLiveImageLists()
{
    return g_liveImageLists;
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    return Attach(ImageList_Create(cx, cy, flags, initial, grow));
}

BOOL CImageList::Create(const CImageList* source)
{
    return Attach(ImageList_Duplicate(source->m_hImageList));
}

BOOL CImageList::Attach(HIMAGELIST list)
{
    DeleteImageList();
    m_hImageList = list;
    if (m_hImageList)
        ++g_liveImageLists;
    return m_hImageList != nullptr;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST list = m_hImageList;
    if (list)
        --g_liveImageLists;
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList()
{
    if (m_hImageList == nullptr)
        return FALSE;
    const BOOL destroyed = ImageList_Destroy(m_hImageList);
    --g_liveImageLists;
    m_hImageList = nullptr;
    return destroyed;
}

int CListCtrl::InsertColumn(int column, const wchar_t* heading, int format, int width, int subItem)
{
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<wchar_t*>(heading);
    col.iSubItem = subItem;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                                        reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::GetColumnCount() const
{
    // The list has no header to ask in icon view; probe the columns instead.
    int count = 0;
    LVCOLUMNW col = {};
    col.mask = LVCF_FMT;
    while (SendMessage(LVM_GETCOLUMNW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(&col)))
        ++count;
    return count;
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW lvi = {};
        lvi.iSubItem = subItem;
        lvi.pszText = buffer.data();
        lvi.cchTextMax = static_cast<int>(buffer.size());
        const int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                                        reinterpret_cast<LPARAM>(&lvi)));
        if (length < static_cast<int>(buffer.size()) - 1) {
            buffer.resize(static_cast<size_t>(length > 0 ? length : 0));
            return CString(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

SIZE CListCtrl::SetIconSpacing(int cx, int cy)
{
    const DWORD previous = static_cast<DWORD>(SendMessage(LVM_SETICONSPACING, 0, MAKELONG(cx, cy)));
    return SIZE{LOWORD(previous), HIWORD(previous)};
}
