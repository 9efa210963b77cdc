// Small steps shared by the in-process tests that drive the launcher's dialog
// with real mouse and keyboard input.
#pragma once

#include <gtest/gtest.h>

#include "catalogue/CatalogueModel.h"
#include "res/resource.h"
#include "tests/keyboard/keys_support.h"
#include "tests/launcher/DialogHost.h"

namespace qvkeys {

inline int CurrentCategoryOf(DialogHost& host)
{
    int value = -2;
    host.Call([&](CKivanoDlg&) { value = CurrentCategory; });
    return value;
}

inline int CurrentItemOf(DialogHost& host)
{
    int value = -2;
    host.Call([&](CKivanoDlg&) { value = CurrentItem; });
    return value;
}

inline int RememberedCategoryOf(DialogHost& host)
{
    int value = -2;
    host.Call([&](CKivanoDlg& dlg) { value = dlg.m_nRememberedCategory; });
    return value;
}

inline std::wstring CategoryText(DialogHost& host, int k)
{
    std::wstring text;
    host.Call([&](CKivanoDlg&) { text = Categories[static_cast<size_t>(k)].Text.GetString(); });
    return text;
}

inline std::wstring Description(DialogHost& host)
{
    return qvtest::WindowText(host.Control(IDC_DESCRIPTION));
}

// The current category is `k` and the focus is on its button.
inline bool WaitForCategory(DialogHost& host, int k, DWORD timeoutMs = qvtest::kDeadlineMs)
{
    return qvtest::WaitUntil(
        [&] {
            return CurrentCategoryOf(host) == k && qvtest::FocusedControlId(host.Window()) == IDC_CATEGORY0 + k;
        },
        timeoutMs);
}

// The centre of list item `index`'s icon on the screen.
inline POINT ItemPoint(DialogHost& host, int index)
{
    qvtest::ListViewProbe probe(host.Control(IDC_ITEM_LIST));
    return qvtest::CenterOf(probe.ItemRectOnScreen(index, LVIR_ICON));
}

// Rests the real mouse on list item `index` until it is the current item.
inline bool HoverItem(DialogHost& host, int index)
{
    const POINT at = ItemPoint(host, index);
    return qvtest::WaitUntil(
        [&] {
            qvtest::MoveMouseTo(at.x + (CurrentItemOf(host) == index ? 0 : 1), at.y);
            return CurrentItemOf(host) == index;
        },
        qvtest::kDeadlineMs, 50);
}

// The dialog in front, the mouse off it, the focus on the item list.
inline void PrepareForKeys(DialogHost& host)
{
    qvtest::MoveMouseAway();
    ASSERT_TRUE(qvtest::BringToForeground(host.Window()));
    ASSERT_TRUE(WaitForFocus(host.Window(), IDC_ITEM_LIST)) << qvtest::FocusedControlId(host.Window());
}

}  // namespace qvkeys
