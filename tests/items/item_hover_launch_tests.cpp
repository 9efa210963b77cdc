// The item list under the real mouse and keyboard: resting on an item selects
// and describes it, a category button describes its category, a single click
// or Enter starts the item, and an applet item goes through Control.exe.
#include <gtest/gtest.h>

#include "catalogue/CatalogueModel.h"
#include "res/resource.h"
#include "tests/items/items_machine.h"
#include "tests/launcher/DialogHost.h"

namespace {

using namespace qvtest;
using namespace itemstest;

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

int CurrentItemOf(DialogHost& host)
{
    int item = -2;
    host.Call([&](CKivanoDlg&) { item = CurrentItem; });
    return item;
}

// The SECURE category with its two rows that share one program: row 0 starts
// it with "/s", row 3 with "/u". Nothing else is installed, so the list shows
// exactly these two, and the window opens on SECURE.
class ItemsSecureCategory : public testing::Test {
protected:
    ItemsSecureCategory() : scratch_(L"items"), log_(scratch_.File(L"launches.log"))
    {
        log_.UseForThisProcess();
        installed_ = machine_.Copy(RecorderExePath(), kFingerprintVault);
    }

    // Opens the window and brings it to the front, so that the mouse and keys reach it.
    void Open()
    {
        ASSERT_TRUE(installed_);
        // The pointer must not rest on a button while the window comes up.
        MoveMouseAway();
        host_ = std::make_unique<DialogHost>();
        ASSERT_NE(host_->Window(), nullptr);
        ASSERT_TRUE(BringToForeground(host_->Window()));
        host_->Settle();
        host_->Call([](CKivanoDlg& dlg) {
            ASSERT_EQ(dlg.m_bCategoryPresent[0], 0);
            ASSERT_NE(dlg.m_bCategoryPresent[1], 0);
            ASSERT_EQ(CurrentCategory, 1);
        });
        list_ = std::make_unique<ListViewProbe>(host_->Control(IDC_ITEM_LIST));
        ASSERT_TRUE(list_->ok());
        ASSERT_EQ(list_->Count(), 2);
        ASSERT_EQ(list_->ItemText(0), L"Fingerprint Vault");
        ASSERT_EQ(list_->ItemText(1), L"Remove Fingerprints");
    }

    POINT ItemPoint(int item) const { return CenterOf(list_->ItemRectOnScreen(item, LVIR_ICON)); }

    std::wstring Description() const { return TextOf(host_->Control(IDC_DESCRIPTION)); }

    // Waits until the recorder has logged `count` starts, then a short window
    // for an extra start that must not come (a busy machine can only make that pass).
    std::vector<LaunchRecord> Starts(size_t count)
    {
        EXPECT_TRUE(log_.WaitForLines(count)) << "expected " << count << " start(s)";
        Sleep(300);
        return log_.Read();
    }

    ScratchFolder scratch_;
    RecorderLog log_;
    Installation machine_;
    bool installed_ = false;
    std::unique_ptr<DialogHost> host_;
    std::unique_ptr<ListViewProbe> list_;
};

TEST_F(ItemsSecureCategory, HoverDescribesButtonDescribesCategoryClickStarts)
{
    Open();
    const std::wstring vaultText = Categories[1].Items[0].Description.GetString();
    const std::wstring removeText = Categories[1].Items[1].Description.GetString();
    const std::wstring categoryText = Categories[1].Text.GetString();
    ASSERT_NE(vaultText, removeText);
    EXPECT_EQ(Description(), categoryText);
    EXPECT_EQ(CurrentItemOf(*host_), -1);

    // Resting on the second item selects it without a click and describes it.
    ASSERT_TRUE(MoveMouseTo(ItemPoint(1)));
    EXPECT_TRUE(WaitOnDialog(*host_, [](CKivanoDlg&) { return CurrentItem == 1; })) << CurrentItemOf(*host_);
    EXPECT_TRUE(WaitForText(host_->Control(IDC_DESCRIPTION), removeText));
    EXPECT_EQ(list_->SelectedItem(), 1);
    // Then on the first.
    ASSERT_TRUE(MoveMouseTo(ItemPoint(0)));
    EXPECT_TRUE(WaitOnDialog(*host_, [](CKivanoDlg&) { return CurrentItem == 0; })) << CurrentItemOf(*host_);
    EXPECT_TRUE(WaitForText(host_->Control(IDC_DESCRIPTION), vaultText));
    host_->Settle();
    EXPECT_TRUE(log_.Read().empty()) << "resting the mouse started something";

    // Moving on to the category's button leaves the list as it is.
    ASSERT_TRUE(MoveMouseTo(CenterOf(WindowRectOnScreen(host_->Control(IDC_CATEGORY1)))));
    host_->Settle();
    EXPECT_EQ(list_->Count(), 2);
    EXPECT_EQ(list_->ItemText(0), L"Fingerprint Vault");
    EXPECT_EQ(list_->ItemText(1), L"Remove Fingerprints");
    host_->Call([](CKivanoDlg&) { EXPECT_EQ(CurrentCategory, 1); });

    // One click on each item starts its program with that item's own arguments.
    ASSERT_TRUE(ClickAt(ItemPoint(0)));
    auto starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(SamePath(starts[0].exe, kFingerprintVault)) << starts[0].line.c_str();
    EXPECT_EQ(starts[0].args, L"/s");
    // The launcher's own folder (the current directory it set) is the started program's.
    EXPECT_TRUE(SamePath(starts[0].cwd, TestExeFolder())) << starts[0].cwd.c_str();
    EXPECT_TRUE(WaitForText(host_->Control(IDC_DESCRIPTION), vaultText));

    ASSERT_TRUE(ClickAt(ItemPoint(1)));
    starts = Starts(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_TRUE(SamePath(starts[1].exe, kFingerprintVault)) << starts[1].line.c_str();
    EXPECT_EQ(starts[1].args, L"/u");
    EXPECT_TRUE(WaitForText(host_->Control(IDC_DESCRIPTION), removeText));
    // Starting leaves the window as it was.
    EXPECT_EQ(list_->Count(), 2);
    EXPECT_TRUE(IsWindowVisible(host_->Window()));
    MoveMouseAway();
}

TEST_F(ItemsSecureCategory, EnterStartsNothingUntilAnItemIsHovered)
{
    Open();
    MoveMouseAway();
    host_->Settle();
    host_->Call([](CKivanoDlg& dlg) { ::SetFocus(dlg.m_listItems.m_hWnd); });
    host_->Settle();
    ASSERT_EQ(FocusedControlId(host_->Window()), IDC_ITEM_LIST);
    ASSERT_EQ(CurrentItemOf(*host_), -1);

    PressKey(VK_RETURN);
    host_->Settle();
    // A short window for a start that must not come.
    EXPECT_FALSE(log_.WaitForLines(1, 1500)) << "Enter with no item selected started something";
    EXPECT_TRUE(IsWindowVisible(host_->Window()));

    ASSERT_TRUE(MoveMouseTo(ItemPoint(1)));
    ASSERT_TRUE(WaitOnDialog(*host_, [](CKivanoDlg&) { return CurrentItem == 1; })) << CurrentItemOf(*host_);
    ASSERT_EQ(FocusedControlId(host_->Window()), IDC_ITEM_LIST);
    PressKey(VK_RETURN);
    const auto starts = Starts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(SamePath(starts[0].exe, kFingerprintVault)) << starts[0].line.c_str();
    EXPECT_EQ(starts[0].args, L"/u");
    MoveMouseAway();
}

// The CONNECT row "Network Connections" names the applet ncpa.cpl, found in
// the system folder; a click hands it to Control.exe, which loads it.
TEST(ItemsAppletItem, ClickStartsAppletThroughControlPanel)
{
    ScratchFolder scratch(L"itemscpl");
    RecorderLog log(scratch.File(L"launches.log"));
    log.UseForThisProcess();
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring applet = JoinPath(system, L"ncpa.cpl");
    Installation machine;
    ASSERT_TRUE(machine.Copy(RecorderCplPath(), applet));

    MoveMouseAway();
    DialogHost host;
    ASSERT_NE(host.Window(), nullptr);
    ASSERT_TRUE(BringToForeground(host.Window()));
    host.Settle();
    host.Call([](CKivanoDlg&) { ASSERT_EQ(CurrentCategory, 0); });
    ListViewProbe list(host.Control(IDC_ITEM_LIST));
    ASSERT_EQ(list.Count(), 1);
    ASSERT_EQ(list.ItemText(0), L"Network Connections");

    ASSERT_TRUE(ClickAt(CenterOf(list.ItemRectOnScreen(0, LVIR_ICON))));
    const auto started = [](const LaunchRecord& r) { return r.msg == L"CPL_STARTWPARMSW" || r.msg == L"CPL_DBLCLK"; };
    EXPECT_TRUE(log.WaitFor(started)) << "the applet was not started";
    // Control.exe lets the applet go before the file is taken away.
    EXPECT_TRUE(log.WaitFor([](const LaunchRecord& r) { return r.msg == L"CPL_EXIT"; }));
    const auto records = log.Read();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().msg, L"CPL_INIT");
    EXPECT_TRUE(SamePath(records.front().cpl, applet)) << records.front().line.c_str();
    MoveMouseAway();
}

}  // namespace
