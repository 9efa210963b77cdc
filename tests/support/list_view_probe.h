// Reading another process's list-view control. Messages that carry a pointer
// get a buffer inside the owning process (VirtualAllocEx) that is written and
// read back with WriteProcessMemory/ReadProcessMemory.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace qvtest {

class ListViewProbe {
public:
    explicit ListViewProbe(HWND list);
    ~ListViewProbe();
    ListViewProbe(const ListViewProbe&) = delete;
    ListViewProbe& operator=(const ListViewProbe&) = delete;

    bool ok() const { return buffer_ != nullptr; }
    HWND hwnd() const { return list_; }

    int Count() const;
    std::wstring ItemText(int item, int subItem = 0) const;
    UINT ItemState(int item, UINT mask = LVIS_SELECTED | LVIS_FOCUSED) const;
    int SelectedItem() const;  // first selected, -1 when none
    int FocusedItem() const;
    // LVM_GETITEMRECT (LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL, LVIR_SELECTBOUNDS) in
    // screen coordinates; an empty rect on failure.
    RECT ItemRectOnScreen(int item, int portion = LVIR_BOUNDS) const;

private:
    bool Write(const void* data, SIZE_T size, SIZE_T offset = 0) const;
    bool Read(void* data, SIZE_T size, SIZE_T offset = 0) const;
    bool Send(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) const;

    HWND list_;
    HANDLE process_ = nullptr;
    void* buffer_ = nullptr;
};

}  // namespace qvtest
