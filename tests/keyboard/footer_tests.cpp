// The footer's Web site, Help and Close commands, in-process, used with the
// real mouse and the keyboard. What the launcher hands to the shell is seen
// both at the shell's entry and at the recorder that the shell starts.
#include <gtest/gtest.h>

#include "framework/afxcmn.h"
#include "tests/keyboard/dialog_input.h"

namespace {

using namespace qvkeys;

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A recorder at a fixed place, a launch log, and the shell spy.
class FooterTest : public testing::Test {
protected:
    FooterTest() : scratch_(L"footer"), log_(scratch_.File(L"launches.log"))
    {
        log_.UseForThisProcess();
        recorderOk_ = machine_.Program(recorder_);
    }

    // Starts the dialog once the machine is set up.
    void Open()
    {
        ASSERT_TRUE(recorderOk_);
        ASSERT_TRUE(spy_.ok()) << "ShellExecuteW's import slot not replaced";
        host_ = std::make_unique<DialogHost>();
        ASSERT_NE(host_->Window(), nullptr);
        PrepareForKeys(*host_);
    }

    void TearDown() override { host_.reset(); }

    void ClickButton(int id)
    {
        ASSERT_TRUE(qvtest::ClickAt(qvtest::CenterOf(qvtest::WindowRectOnScreen(host_->Control(id)))));
    }

    // Tab from the list to footer button `id` (no category is present).
    void TabTo(int id)
    {
        for (int i = 0; i < 4 && qvtest::FocusedControlId(host_->Window()) != id; ++i) {
            const int before = qvtest::FocusedControlId(host_->Window());
            Press(host_->Window(), VK_TAB);
            qvtest::WaitUntil([&] { return qvtest::FocusedControlId(host_->Window()) != before; });
        }
        ASSERT_EQ(qvtest::FocusedControlId(host_->Window()), id);
    }

    std::wstring FooterText(const CString& which)
    {
        std::wstring text;
        host_->Call([&](CKivanoDlg&) { text = which.GetString(); });
        return text;
    }

    // Waits for `count` shell calls, then a short window for an extra one that
    // must not come (a busy machine can only make that check pass).
    std::vector<ShellCall> ShellCalls(size_t count)
    {
        qvtest::WaitUntil([&] { return spy_.Calls().size() >= count; });
        Sleep(300);
        return spy_.Calls();
    }

    const std::wstring recorder_ = L"C:\\qvkeys\\bin\\recorder.exe";
    qvtest::ScratchFolder scratch_;
    qvtest::RecorderLog log_;
    TestMachine machine_;
    bool recorderOk_ = false;
    ShellExecuteSpy spy_;
    std::unique_ptr<DialogHost> host_;
};

// ---------------------------------------------------------------- Web site

TEST_F(FooterTest, SupportEnterAndClickHandTheAddressToTheShellUnchanged)
{
    const std::wstring url = L"qvkeyssupport://support.velmora.example/kivano?model=QX-7&lang=en-GB#top";
    ASSERT_TRUE(machine_.AssociateScheme(L"qvkeyssupport", recorder_));
    ASSERT_TRUE(machine_.Url(kSupportKey, url));
    Open();

    // Enter on the focused button.
    TabTo(IDC_SUPPORT_BUTTON);
    Press(host_->Window(), VK_RETURN);
    ASSERT_TRUE(log_.WaitForLines(1));
    EXPECT_EQ(Description(*host_), L"Go to the VELMORA web site.");

    // A click with the mouse.
    ClickButton(IDC_SUPPORT_BUTTON);
    ASSERT_TRUE(log_.WaitForLines(2));
    const auto calls = ShellCalls(2);
    ASSERT_EQ(calls.size(), 2u);
    for (const ShellCall& call : calls) {
        EXPECT_EQ(call.file, url);
        EXPECT_FALSE(call.hasParameters);
        EXPECT_TRUE(call.hasDirectory && call.directory.empty()) << call.directory.c_str();
    }
    const auto records = log_.Read();
    ASSERT_EQ(records.size(), 2u);
    for (const auto& record : records) {
        EXPECT_TRUE(SamePath(record.exe, recorder_)) << record.line.c_str();
        EXPECT_EQ(record.args, L"\"" + url + L"\"");
    }
    EXPECT_EQ(Description(*host_), FooterText(SupportText));
    EXPECT_TRUE(IsWindowVisible(host_->Window()));
}

TEST_F(FooterTest, SupportHandsAnEmptyAddressOverAsWell)
{
    ASSERT_TRUE(machine_.Url(kSupportKey, L""));
    Open();
    ClickButton(IDC_SUPPORT_BUTTON);
    const auto calls = ShellCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, L"");
    EXPECT_FALSE(calls[0].hasParameters);
    EXPECT_TRUE(qvtest::WaitForText(host_->Control(IDC_DESCRIPTION), L"Go to the VELMORA web site."));
    EXPECT_TRUE(IsWindowVisible(host_->Window()));
    EXPECT_FALSE(log_.WaitForLines(1, 300));  // a short window for a start that must not come
}

TEST_F(FooterTest, SupportWithoutValueHandsOverAnEmptyAddress)
{
    ASSERT_TRUE(machine_.Url(kSupportKey, L"", /*remove=*/true));
    Open();
    TabTo(IDC_SUPPORT_BUTTON);
    Press(host_->Window(), VK_RETURN);
    const auto calls = ShellCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, L"");
    EXPECT_TRUE(qvtest::WaitForText(host_->Control(IDC_DESCRIPTION), L"Go to the VELMORA web site."));
}

TEST_F(FooterTest, SupportNamingAFileOpensThatFile)
{
    const std::wstring page = L"C:\\qvkeys\\docs\\Support Page.qvkdoc";
    ASSERT_TRUE(machine_.Document(page));
    ASSERT_TRUE(machine_.Associate(L".qvkdoc", L"QvKeysDocument", recorder_));
    ASSERT_TRUE(machine_.Url(kSupportKey, page));
    Open();
    ClickButton(IDC_SUPPORT_BUTTON);
    ASSERT_TRUE(log_.WaitForLines(1));
    const auto calls = ShellCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, page);
    const auto records = log_.Read();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, L"\"" + page + L"\"");
}

// -------------------------------------------------------------------- Help

TEST_F(FooterTest, HelpOpensTheRegisteredDocumentBeforeTheUserGuide)
{
    const std::wstring manual = L"C:\\qvkeys\\docs\\Owner Manual.qvkdoc";
    ASSERT_TRUE(machine_.Document(manual));
    ASSERT_TRUE(machine_.Associate(L".qvkdoc", L"QvKeysDocument", recorder_));
    ASSERT_TRUE(machine_.Document(kUserGuide));
    ASSERT_TRUE(machine_.Associate(L".pdf", L"QvKeysPdf", recorder_));
    ASSERT_TRUE(machine_.Url(kHelpKey, manual));
    Open();

    ClickButton(IDC_HELP_BUTTON);
    ASSERT_TRUE(log_.WaitForLines(1));
    TabTo(IDC_HELP_BUTTON);
    Press(host_->Window(), VK_RETURN);
    ASSERT_TRUE(log_.WaitForLines(2));
    const auto calls = ShellCalls(2);
    ASSERT_EQ(calls.size(), 2u);
    const auto records = log_.Read();
    ASSERT_EQ(records.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(calls[i].file, manual);
        EXPECT_FALSE(calls[i].hasParameters);
        EXPECT_EQ(records[i].args, L"\"" + manual + L"\"");
    }
    EXPECT_EQ(Description(*host_), FooterText(HelpText));
}

TEST_F(FooterTest, HelpWithAWebAddressFallsBackToTheUserGuide)
{
    ASSERT_FALSE(qvtest::FileExists(kUserGuide)) << "the test prefix should not hold a user's guide";
    ASSERT_TRUE(machine_.Document(kUserGuide));
    ASSERT_TRUE(machine_.Associate(L".pdf", L"QvKeysPdf", recorder_));
    ASSERT_TRUE(machine_.AssociateScheme(L"https", recorder_));
    ASSERT_TRUE(machine_.Url(kHelpKey, L"https://www.velmora.example/guide/UserGuide.pdf"));
    Open();

    TabTo(IDC_HELP_BUTTON);
    Press(host_->Window(), VK_RETURN);
    ASSERT_TRUE(log_.WaitForLines(1));
    const auto calls = ShellCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, kUserGuide);
    const auto records = log_.Read();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, std::wstring(L"\"") + kUserGuide + L"\"");
    EXPECT_TRUE(qvtest::WaitForText(host_->Control(IDC_DESCRIPTION), FooterText(HelpText)));
}

TEST_F(FooterTest, HelpWithNeitherDocumentOnlyShowsItsDescription)
{
    ASSERT_FALSE(qvtest::FileExists(kUserGuide)) << "the test prefix should not hold a user's guide";
    ASSERT_TRUE(machine_.Associate(L".pdf", L"QvKeysPdf", recorder_));
    ASSERT_TRUE(machine_.Url(kHelpKey, L"C:\\qvkeys\\docs\\Missing Manual.pdf"));
    Open();
    const std::wstring before = Description(*host_);

    ClickButton(IDC_HELP_BUTTON);
    const std::wstring helpText = FooterText(HelpText);
    const std::wstring start = L"This tells how to begin using your computer.";
    EXPECT_EQ(helpText.substr(0, start.size()), start) << helpText.c_str();
    EXPECT_NE(before, helpText);
    EXPECT_TRUE(qvtest::WaitForText(host_->Control(IDC_DESCRIPTION), helpText));
    // Short windows for a call and a start that must not come.
    EXPECT_FALSE(qvtest::WaitUntil([&] { return !spy_.Calls().empty(); }, 3300));
    EXPECT_FALSE(log_.WaitForLines(1, 300));
    EXPECT_TRUE(IsWindowVisible(host_->Window()));
}

// ------------------------------------------------------------------- Close

TEST_F(FooterTest, CloseClickedRunsOnCloseAndEndsWithCancel)
{
    Open();
    host_->Call([](CKivanoDlg& dlg) {
        EXPECT_NE(dlg.m_pLargeImageList, nullptr);
        EXPECT_NE(dlg.m_pHeadingFont, nullptr);
    });
    ClickButton(IDC_CLOSE_BUTTON);
    ASSERT_TRUE(host_->WaitForEnd());
    EXPECT_EQ(host_->Result(), IDCANCEL);
    EXPECT_EQ(host_->Dialog().m_pLargeImageList, nullptr);
    EXPECT_EQ(host_->Dialog().m_pSmallImageList, nullptr);
    EXPECT_EQ(host_->Dialog().m_pHeadingFont, nullptr);
    EXPECT_EQ(AfxLiveImageLists(), 0);
    EXPECT_TRUE(spy_.Calls().empty());
}

TEST_F(FooterTest, CloseEnteredRunsOnCloseAndEndsWithCancel)
{
    Open();
    TabTo(IDC_CLOSE_BUTTON);
    EXPECT_TRUE(qvtest::WaitForText(host_->Control(IDC_DESCRIPTION), L"Click this button to close Quorvane."));
    Press(host_->Window(), VK_RETURN);
    ASSERT_TRUE(host_->WaitForEnd());
    EXPECT_EQ(host_->Result(), IDCANCEL);
    EXPECT_EQ(host_->Dialog().m_pLargeImageList, nullptr);
    EXPECT_EQ(host_->Dialog().m_pSmallImageList, nullptr);
    EXPECT_EQ(host_->Dialog().m_pHeadingFont, nullptr);
    EXPECT_EQ(AfxLiveImageLists(), 0);
}

TEST_F(FooterTest, EscapeEndsWithoutOnClose)
{
    Open();
    Press(host_->Window(), VK_ESCAPE);
    ASSERT_TRUE(host_->WaitForEnd());
    EXPECT_EQ(host_->Result(), IDCANCEL);
    // OnClose did not run: the heading font and the image lists are still held.
    EXPECT_NE(host_->Dialog().m_pHeadingFont, nullptr);
    EXPECT_NE(host_->Dialog().m_pLargeImageList, nullptr);
    EXPECT_GT(AfxLiveImageLists(), 0);
}

}  // namespace
