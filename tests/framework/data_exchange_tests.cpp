// Data exchange between a window's members and its controls: the text goes to
// and comes from the control of the identifier given, whether an object is
// attached to it (found among the attached windows) or not (found by the
// window manager), and never to another window's control of that identifier.
#include <gtest/gtest.h>

#include "framework/afxdd.h"
#include "framework/afxwin.h"

namespace {

HWND MakeStatic(HWND parent, int id, const wchar_t* text)
{
    return CreateWindowExW(0, L"STATIC", text, WS_CHILD, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

std::wstring TextOf(HWND window)
{
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

TEST(DataExchangeText, ReachesTheControlOfItsIdentifierAttachedOrNot)
{
    HWND top = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(top, nullptr);
    ASSERT_NE(other, nullptr);
    const HWND attachedControl = MakeStatic(top, 101, L"attached");
    const HWND plainControl = MakeStatic(top, 102, L"plain");
    const HWND otherControl = MakeStatic(other, 101, L"other's");  // the same identifier elsewhere, attached too
    CWnd dialog;
    CWnd attached;
    CWnd othersAttached;
    dialog.m_hWnd = top;
    ASSERT_TRUE(attached.SubclassWindow(attachedControl));
    ASSERT_TRUE(othersAttached.SubclassWindow(otherControl));

    EXPECT_EQ(dialog.AttachedChild(101), attachedControl);
    EXPECT_EQ(dialog.AttachedChild(102), nullptr) << "no object is attached to it";
    EXPECT_EQ(dialog.AttachedChild(103), nullptr);

    CString value;
    CDataExchange save(&dialog, TRUE);
    DDX_Text(&save, 101, value);
    EXPECT_EQ(value, CString(L"attached"));
    DDX_Text(&save, 102, value);
    EXPECT_EQ(value, CString(L"plain"));

    CDataExchange show(&dialog, FALSE);
    value = L"one";
    DDX_Text(&show, 101, value);
    value = L"two";
    DDX_Text(&show, 102, value);
    EXPECT_EQ(TextOf(attachedControl), L"one");
    EXPECT_EQ(TextOf(plainControl), L"two");
    EXPECT_EQ(TextOf(otherControl), L"other's");

    dialog.m_hWnd = nullptr;
    DestroyWindow(top);
    DestroyWindow(other);
}

}  // namespace
