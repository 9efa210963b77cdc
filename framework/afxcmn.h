// Common controls: CListCtrl (list view) and CImageList.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/afxwin.h"

int AfxLiveImageLists();

// Owns its image list: the destructor destroys it.
class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // A new image list with the images, size and flags of `source`.
    BOOL Create(const CImageList* source);
    BOOL DeleteImageList();
    // Takes ownership of an image list made elsewhere (deleting any held one);
    // Detach gives it up again.
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    // Appends a copy of the icon (scaled to the list's size); the caller keeps the icon.
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    int Replace(int index, HICON icon) { return ImageList_ReplaceIcon(m_hImageList, index, icon); }
    BOOL Remove(int index) { return ImageList_Remove(m_hImageList, index); }
    operator HIMAGELIST() const { return m_hImageList; }
};

class CListCtrl : public CWnd {
public:
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    HIMAGELIST SetImageList(CImageList* list, int which)
    {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which),
            reinterpret_cast<LPARAM>(list ? list->m_hImageList : nullptr)));
    }
    // Sets the extended styles with a mask of 0: every other extended style is cleared.
    DWORD SetExtendedStyle(DWORD styles)
    { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(styles))); }
    DWORD GetExtendedStyle() const
    { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    int InsertColumn(int column, const wchar_t* heading, int format, int width, int subItem);
    int GetColumnCount() const;
    int InsertItem(const LVITEMW* item)
    { return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item))); }
    BOOL SetItem(const LVITEMW* item)
    { return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
    CString GetItemText(int item, int subItem) const;
    // LVM_SETICONSPACING; returns the previous spacing.
    SIZE SetIconSpacing(int cx, int cy);
    int SetSelectionMark(int index)
    { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, index)); }
    BOOL Arrange(UINT code) { return static_cast<BOOL>(SendMessage(LVM_ARRANGE, code)); }
};
