// The window with a resource module that lacks every string, bitmap and the
// icon: it still opens, paints and closes, with empty texts and no category.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/CatalogueModel.h"
#include "framework/afxgdi.h"
#include "framework/afxres.h"
#include "res/resource.h"
#include "tests/launcher/DialogHost.h"

namespace {
HMODULE LoadBesideTest(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.resize(folder.rfind(L'\\') + 1);
    return LoadLibraryExW((folder + name).c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}
}  // namespace

TEST(DialogMissingResources, OpensPaintsAndClosesWithEmptyTexts)
{
    HMODULE resources = LoadBesideTest(L"dialog_only_resources.dll");
    ASSERT_NE(resources, nullptr);
    AfxSetResourceHandle(resources);
    {
        DialogHost host;
        ASSERT_NE(host.Window(), nullptr);
        EXPECT_TRUE(IsWindowVisible(host.Window()));
        wchar_t title[64] = {};
        GetWindowTextW(host.Window(), title, 64);
        EXPECT_STREQ(title, L"Quorvane");  // the template's caption
        for (int id = IDC_CATEGORY0; id <= IDC_CATEGORY4; ++id)
            EXPECT_FALSE(IsWindowVisible(host.Control(id))) << id;

        int objectsAfterFirstPaint = 0;
        host.Call([&](CKivanoDlg& dlg) {
            EXPECT_EQ(dlg.m_hIcon, nullptr);
            EXPECT_TRUE(dlg.m_strTitle.IsEmpty());
            EXPECT_TRUE(dlg.m_strDescription.IsEmpty());
            EXPECT_TRUE(SupportUrl.IsEmpty());
            EXPECT_EQ(Categories.size(), 5u);
            EXPECT_EQ(dlg.m_listItems.GetItemCount(), 0);
            objectsAfterFirstPaint = AfxGdiLiveObjects();
        });
        // Repaints and activation changes with every bitmap missing.
        for (int i = 0; i < 20; ++i) {
            SendMessageW(host.Window(), WM_ACTIVATE, i % 2 ? WA_ACTIVE : WA_INACTIVE, 0);
            RedrawWindow(host.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        host.Settle();
        host.Call([&](CKivanoDlg&) { EXPECT_EQ(AfxGdiLiveObjects(), objectsAfterFirstPaint); });

        // Help with no text and no guide only shows its (empty) description.
        SendMessageW(host.Window(), WM_COMMAND, MAKEWPARAM(IDC_HELP_BUTTON, BN_CLICKED), 0);
        PostMessageW(host.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(host.WaitForEnd());
        EXPECT_EQ(host.Result(), IDCANCEL);
    }
    AfxSetResourceHandle(nullptr);
    FreeLibrary(resources);
}
