// The application object's arrow-key forwarding, on the real dialog run
// in-process: an arrow key pressed on a category button goes to the dialog's
// key handler once and never to the button; on the list or a footer button it
// takes the dialog manager's usual path.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>

#include "catalogue/CatalogueModel.h"
#include "res/resource.h"
#include "tests/launcher/DialogHost.h"
#include "tests/shell/shell_machine.h"
#include "tests/support/gui_support.h"

namespace {

using namespace qvtest;
using namespace qvshelltest;

constexpr UINT_PTR kSubclassId = 0x51E11;

bool IsArrow(WPARAM key) { return key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN; }

// What one window saw of the arrow keys, read on the dialog thread.
struct KeySeen {
    int arrowKeyDowns = 0;
    WPARAM lastKey = 0;
    int categoryAfter = -1;  // CurrentCategory right after the window handled the key
};

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_KEYDOWN && IsArrow(wParam)) {
        auto* seen = reinterpret_cast<KeySeen*>(data);
        ++seen->arrowKeyDowns;
        seen->lastKey = wParam;
        seen->categoryAfter = CurrentCategory;
    }
    return result;
}

// Watches WM_KEYDOWN at the dialog and at its controls for the test's life.
class KeyWatch {
public:
    KeyWatch(DialogHost& host, std::initializer_list<int> controls) : host_(host)
    {
        windows_.push_back(host.Window());
        for (int id : controls)
            windows_.push_back(host.Control(id));
        for (HWND hwnd : windows_)
            seen_[hwnd] = std::make_unique<KeySeen>();
        host_.Call([this](CKivanoDlg&) {
            for (HWND hwnd : windows_)
                installed_ += SetWindowSubclass(hwnd, CountingProc, kSubclassId,
                                                reinterpret_cast<DWORD_PTR>(seen_[hwnd].get()))
                                  ? 1
                                  : 0;
        });
    }
    ~KeyWatch()
    {
        host_.Call([this](CKivanoDlg&) {
            for (HWND hwnd : windows_)
                RemoveWindowSubclass(hwnd, CountingProc, kSubclassId);
        });
    }
    bool ok() const { return installed_ == static_cast<int>(windows_.size()); }
    KeySeen At(HWND hwnd)
    {
        KeySeen copy;
        host_.Call([&](CKivanoDlg&) { copy = *seen_[hwnd]; });
        return copy;
    }
    int ControlsTotal()
    {
        int total = 0;
        host_.Call([&](CKivanoDlg&) {
            for (size_t i = 1; i < windows_.size(); ++i)
                total += seen_[windows_[i]]->arrowKeyDowns;
        });
        return total;
    }

private:
    DialogHost& host_;
    std::vector<HWND> windows_;
    std::map<HWND, std::unique_ptr<KeySeen>> seen_;
    int installed_ = 0;
};

class ShellArrowKeys : public testing::Test {
protected:
    void SetUp() override
    {
        // Categories 1, 2 and 3 present; 0 and 4 absent.
        ASSERT_TRUE(standIns_.ok());
        MoveMouseAway();  // a bitmap button the mouse leaves takes the focus away
        host_ = std::make_unique<DialogHost>();
        ASSERT_NE(host_->Window(), nullptr);
        ASSERT_TRUE(BringToForeground(host_->Window()));
        host_->Call([](CKivanoDlg& dlg) {
            ASSERT_EQ(dlg.m_bCategoryPresent[0], 0);
            ASSERT_NE(dlg.m_bCategoryPresent[1], 0);
            ASSERT_NE(dlg.m_bCategoryPresent[2], 0);
            ASSERT_NE(dlg.m_bCategoryPresent[3], 0);
        });
    }

    void FocusControl(int id)
    {
        HWND control = host_->Control(id);
        host_->Call([control](CKivanoDlg&) { SetFocus(control); });
        host_->Settle();
    }
    int Category()
    {
        int category = -1;
        host_->Call([&](CKivanoDlg&) { category = CurrentCategory; });
        return category;
    }
    int Focused() { return FocusedControlId(host_->Window()); }
    // A key press, a wait until `window` has seen `count` arrow keys in all, then
    // a settling after which a key that must not come elsewhere would show.
    KeySeen PressUntilSeen(WORD key, KeyWatch& watch, HWND window, int count)
    {
        PressKey(key);
        EXPECT_TRUE(WaitUntil([&] { return watch.At(window).arrowKeyDowns >= count; })) << "key " << key;
        host_->Settle();
        return watch.At(window);
    }

    InstalledStandIns standIns_{{kFingerprintVault, kRecoveryMedia, kPowerOptimizer}};
    std::unique_ptr<DialogHost> host_;
};

TEST_F(ShellArrowKeys, OnACategoryButtonReachOnlyTheDialogOnce)
{
    KeyWatch watch(*host_, {IDC_CATEGORY0, IDC_CATEGORY1, IDC_CATEGORY2, IDC_CATEGORY3, IDC_CATEGORY4});
    ASSERT_TRUE(watch.ok());
    // The key steps from the current category (the lowest present one, 1), whose button has the focus.
    ASSERT_EQ(Category(), 1);
    FocusControl(IDC_CATEGORY1);
    ASSERT_EQ(Focused(), IDC_CATEGORY1);

    KeySeen dialog = PressUntilSeen(VK_DOWN, watch, host_->Window(), 1);
    EXPECT_EQ(dialog.arrowKeyDowns, 1);
    EXPECT_EQ(dialog.lastKey, static_cast<WPARAM>(VK_DOWN));
    EXPECT_EQ(dialog.categoryAfter, 2) << "the next present category was not selected";
    EXPECT_EQ(watch.ControlsTotal(), 0) << "a category button saw the arrow key";
    EXPECT_TRUE(WaitUntil([&] { return Focused() == IDC_CATEGORY2; })) << Focused();

    dialog = PressUntilSeen(VK_UP, watch, host_->Window(), 2);
    EXPECT_EQ(dialog.arrowKeyDowns, 2);
    EXPECT_EQ(dialog.lastKey, static_cast<WPARAM>(VK_UP));
    EXPECT_EQ(dialog.categoryAfter, 1);
    EXPECT_EQ(watch.ControlsTotal(), 0);
    EXPECT_TRUE(WaitUntil([&] { return Focused() == IDC_CATEGORY1; })) << Focused();

    // Left from the lowest present category wraps past the absent 0 and 4.
    dialog = PressUntilSeen(VK_LEFT, watch, host_->Window(), 3);
    EXPECT_EQ(dialog.arrowKeyDowns, 3);
    EXPECT_EQ(dialog.lastKey, static_cast<WPARAM>(VK_LEFT));
    EXPECT_EQ(dialog.categoryAfter, 3);
    EXPECT_EQ(watch.ControlsTotal(), 0);
    EXPECT_TRUE(WaitUntil([&] { return Focused() == IDC_CATEGORY3; })) << Focused();
}

TEST_F(ShellArrowKeys, OnTheListOrAFooterButtonAreNotForwarded)
{
    KeyWatch watch(*host_, {IDC_ITEM_LIST, IDC_SUPPORT_BUTTON, IDC_HELP_BUTTON});
    ASSERT_TRUE(watch.ok());
    const int category = Category();
    ASSERT_EQ(category, 1);

    // The list handles the key itself.
    FocusControl(IDC_ITEM_LIST);
    ASSERT_EQ(Focused(), IDC_ITEM_LIST);
    EXPECT_EQ(PressUntilSeen(VK_DOWN, watch, host_->Control(IDC_ITEM_LIST), 1).arrowKeyDowns, 1);
    EXPECT_EQ(watch.At(host_->Window()).arrowKeyDowns, 0) << "the list's arrow key was forwarded";
    EXPECT_EQ(Category(), category);
    EXPECT_EQ(Focused(), IDC_ITEM_LIST);

    // On a footer button the dialog manager moves the focus within the footer group.
    FocusControl(IDC_SUPPORT_BUTTON);
    ASSERT_EQ(Focused(), IDC_SUPPORT_BUTTON);
    PressKey(VK_RIGHT);
    EXPECT_TRUE(WaitUntil([&] { return Focused() == IDC_HELP_BUTTON; })) << Focused();
    host_->Settle();
    EXPECT_EQ(watch.At(host_->Window()).arrowKeyDowns, 0) << "the footer button's arrow key was forwarded";
    EXPECT_EQ(Category(), category);
}

}  // namespace
