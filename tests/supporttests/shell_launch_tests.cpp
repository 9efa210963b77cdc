// Documents, URLs and Control Panel applets handed to the shell reach the
// recorders with exactly what was passed.
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include "tests/support/gui_support.h"

namespace {

using namespace qvtest;

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

INT_PTR Open(const std::wstring& file, const wchar_t* parameters, const std::wstring& folder)
{
    return reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, file.c_str(), parameters, folder.c_str(), SW_SHOWNORMAL));
}

// The recorder lives at a fixed place in the prefix, as the launcher's utilities do.
class SupportShell : public testing::Test {
protected:
    SupportShell()
        : scratch_(L"shell"), recorder_(RecorderExePath(), L"C:\\qvsupport\\bin\\recorder.exe"),
          log_(scratch_.File(L"launches.log"))
    {
        log_.UseForThisProcess();
    }

    ScratchFolder scratch_;
    FileCopyGuard recorder_;
    RecorderLog log_;
};

TEST_F(SupportShell, DocumentWithTestExtensionReachesRecorder)
{
    ASSERT_TRUE(recorder_.ok());
    FileAssociation association(L".qvsupdoc", L"QvSupportDocument", recorder_.path());
    ASSERT_TRUE(association.ok());
    const std::wstring document = scratch_.File(L"user guide.qvsupdoc");
    FileCopyGuard content(FileContents{"a document, not a program\r\n"}, document);
    ASSERT_TRUE(content.ok());

    EXPECT_GT(Open(document, nullptr, scratch_.path()), 32);
    ASSERT_TRUE(log_.WaitForLines(1));
    const LaunchRecord record = log_.Read().at(0);
    EXPECT_TRUE(SamePath(record.exe, recorder_.path())) << record.line.c_str();
    EXPECT_EQ(record.args, L"\"" + document + L"\"");
    EXPECT_TRUE(SamePath(record.cwd, scratch_.path())) << record.cwd.c_str();
}

TEST_F(SupportShell, CustomSchemeUrlReachesRecorderExactly)
{
    UrlSchemeAssociation association(L"qvsupport", recorder_.path());
    ASSERT_TRUE(association.ok());
    const std::wstring url = L"qvsupport://catalogue/item?id=7&mode=full";
    EXPECT_GT(Open(url, nullptr, scratch_.path()), 32);
    ASSERT_TRUE(log_.WaitForLines(1));
    EXPECT_EQ(log_.Read().at(0).args, L"\"" + url + L"\"");
}

TEST_F(SupportShell, HttpAndHttpsGoToRecorderAndBackAfterwards)
{
    std::wstring before;
    const bool hadHandler = ReadRegString(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", L"", &before);
    {
        UrlSchemeAssociation http(L"http", recorder_.path());
        UrlSchemeAssociation https(L"https", recorder_.path());
        ASSERT_TRUE(http.ok() && https.ok());
        EXPECT_GT(Open(L"http://support.example.com/page?a=1&b=2", nullptr, scratch_.path()), 32);
        ASSERT_TRUE(log_.WaitForLines(1));
        EXPECT_GT(Open(L"https://support.example.com/guide#top", nullptr, scratch_.path()), 32);
        ASSERT_TRUE(log_.WaitForLines(2));
        const auto records = log_.Read();
        EXPECT_EQ(records.at(0).args, L"\"http://support.example.com/page?a=1&b=2\"");
        EXPECT_EQ(records.at(1).args, L"\"https://support.example.com/guide#top\"");
    }
    std::wstring after;
    EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", L"", &after), hadHandler);
    EXPECT_EQ(after, before);
}

TEST_F(SupportShell, ExeWithParametersKeepsThem)
{
    EXPECT_GT(Open(recorder_.path(), L"/select \"C:\\a b\\c.txt\"", scratch_.path()), 32);
    ASSERT_TRUE(log_.WaitForLines(1));
    EXPECT_EQ(log_.Read().at(0).args, L"/select \"C:\\a b\\c.txt\"");
}

TEST_F(SupportShell, ControlExeLoadsRecorderApplet)
{
    const std::wstring applet = L"C:\\qvsupport\\cpl\\recorder.cpl";  // no blanks: Wine's control.exe splits there
    FileCopyGuard cpl(RecorderCplPath(), applet);
    ASSERT_TRUE(cpl.ok());
    EXPECT_GT(Open(L"Control.exe", applet.c_str(), scratch_.path()), 32);
    const auto started = [](const LaunchRecord& r) { return r.msg == L"CPL_STARTWPARMSW" || r.msg == L"CPL_DBLCLK"; };
    ASSERT_TRUE(log_.WaitFor(started)) << "the applet was not started";
    // Let control.exe finish before the applet file goes.
    EXPECT_TRUE(log_.WaitFor([](const LaunchRecord& r) { return r.msg == L"CPL_EXIT"; }));
    const auto records = log_.Read();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().msg, L"CPL_INIT");
    EXPECT_TRUE(SamePath(records.front().cpl, applet)) << records.front().line.c_str();
}

}  // namespace
