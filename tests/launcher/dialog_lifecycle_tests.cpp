// The main dialog's life in-process: initialisation with an empty machine,
// and what each way of closing releases.
#include <gtest/gtest.h>

#include "catalogue/CatalogueModel.h"
#include "framework/afxcmn.h"
#include "res/resource.h"
#include "tests/launcher/DialogHost.h"

TEST(DialogLifecycle, EmptyMachineOpensWithNoCategoryAndCategoryZeroText)
{
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    for (int id = IDC_CATEGORY0; id <= IDC_CATEGORY4; ++id)
        EXPECT_FALSE(IsWindowVisible(host.Control(id))) << id;
    host.Call([](CKivanoDlg& dlg) {
        EXPECT_EQ(dlg.m_listItems.GetItemCount(), 0);
        EXPECT_EQ(dlg.m_strDescription, Categories[0].Text);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(dlg.m_bCategoryPresent[k], 0) << k;
        EXPECT_EQ(dlg.m_bLayoutReady, 1);
    });
    wchar_t text[256] = {};
    GetWindowTextW(host.Control(IDC_DESCRIPTION), text, 256);
    EXPECT_STREQ(text, L"You can connect your computer to network more easily.");
}

TEST(DialogLifecycle, CloseBoxReleasesListImageListsAndFont)
{
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    host.Call([](CKivanoDlg& dlg) {
        EXPECT_NE(dlg.m_pLargeImageList, nullptr);
        EXPECT_NE(dlg.m_pHeadingFont, nullptr);
    });
    PostMessageW(host.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(host.WaitForEnd());
    EXPECT_EQ(host.Result(), IDCANCEL);
    EXPECT_EQ(host.Dialog().m_pLargeImageList, nullptr);
    EXPECT_EQ(host.Dialog().m_pSmallImageList, nullptr);
    EXPECT_EQ(host.Dialog().m_pHeadingFont, nullptr);
    EXPECT_EQ(AfxLiveImageLists(), 0);
}

TEST(DialogLifecycle, EscapeEndsWithoutOnClose)
{
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    PostMessageW(host.Window(), WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(host.WaitForEnd());
    EXPECT_EQ(host.Result(), IDCANCEL);
    // OnClose did not run: the font and image lists are still held until the
    // dialog object goes.
    EXPECT_NE(host.Dialog().m_pHeadingFont, nullptr);
    EXPECT_NE(host.Dialog().m_pLargeImageList, nullptr);
}
