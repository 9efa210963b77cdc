// Where the item list draws a name under its icon, read from a real list
// view: nothing documents the label's size, and the control sizes a label in
// two steps of its own (under Wine: wrapped at the icon's cell less 12 pixels,
// then drawn in a box up to 12 pixels wider, at most the cell).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "checktool/DialogTemplate.h"
#include "ui/LayoutMetrics.h"

class ListLabelProbe {
public:
    // A hidden list view of the template's class and styles with the window's
    // large icon size, icon spacing and `font`. Check ok() before use.
    ListLabelProbe(const DialogControl& list, const LayoutMetricsTable& m, HFONT font);
    ~ListLabelProbe();
    ListLabelProbe(const ListLabelProbe&) = delete;
    ListLabelProbe& operator=(const ListLabelProbe&) = delete;

    bool ok() const { return m_ok; }
    int CellWidth() const { return m_cellWidth; }
    // The box the control draws `name` in while its item is not focused.
    RECT Label(const std::wstring& name) const;

private:
    HWND m_parent = nullptr;
    HWND m_view = nullptr;
    HIMAGELIST m_images = nullptr;
    int m_cellWidth = 0;
    bool m_ok = false;
};
