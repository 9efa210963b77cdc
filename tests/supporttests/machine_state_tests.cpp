// Registry values in both views and in HKCR, copied files and the DPI setting
// all come back as they were.
#include <gtest/gtest.h>

#include "fixture.h"

namespace {

using namespace qvtest;

const wchar_t kKey[] = L"Software\\QvSupportTest\\Views";

TEST(SupportMachine, RegistryViewsAreSeparateAndRestored)
{
    ASSERT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\QvSupportTest", RegView::Bits64));
    ASSERT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\QvSupportTest", RegView::Bits32));
    {
        RegistryValueGuard wide(HKEY_LOCAL_MACHINE, kKey, L"URL", RegView::Bits64);
        RegistryValueGuard narrow(HKEY_LOCAL_MACHINE, kKey, L"URL", RegView::Bits32);
        ASSERT_TRUE(wide.SetString(L"http://64.example/"));
        ASSERT_TRUE(narrow.SetString(L"http://32.example/"));
        std::wstring value;
        ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kKey, L"URL", &value, RegView::Bits64));
        EXPECT_EQ(value, L"http://64.example/");
        ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kKey, L"URL", &value, RegView::Bits32));
        EXPECT_EQ(value, L"http://32.example/");
        ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\QvSupportTest\\Views", L"URL", &value,
                                  RegView::Bits64));
        EXPECT_EQ(value, L"http://32.example/");
    }
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\QvSupportTest", RegView::Bits64));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\QvSupportTest", RegView::Bits32));
}

TEST(SupportMachine, RegistryGuardPutsBackEarlierValueAndDeletes)
{
    RegistryValueGuard outer(HKEY_LOCAL_MACHINE, kKey, L"Value");
    ASSERT_TRUE(outer.SetDword(7));
    {
        RegistryValueGuard inner(HKEY_LOCAL_MACHINE, kKey, L"Value");
        EXPECT_TRUE(inner.HadValue());
        ASSERT_TRUE(inner.Delete());
        DWORD value = 0;
        EXPECT_FALSE(ReadRegDword(HKEY_LOCAL_MACHINE, kKey, L"Value", &value));
        ASSERT_TRUE(inner.SetString(L"text", REG_EXPAND_SZ));
    }
    DWORD value = 0;
    ASSERT_TRUE(ReadRegDword(HKEY_LOCAL_MACHINE, kKey, L"Value", &value));
    EXPECT_EQ(value, 7u);
    outer.Restore();
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\QvSupportTest"));
}

TEST(SupportMachine, AssociationsAreRemovedAfterwards)
{
    {
        FileAssociation document(L".qvsupgone", L"QvSupportGone", L"C:\\x\\recorder.exe");
        UrlSchemeAssociation scheme(L"qvsupgone", L"C:\\x\\recorder.exe");
        ASSERT_TRUE(document.ok() && scheme.ok());
        std::wstring command;
        ASSERT_TRUE(ReadRegString(HKEY_CLASSES_ROOT, L"QvSupportGone\\shell\\open\\command", L"", &command));
        EXPECT_EQ(command, L"\"C:\\x\\recorder.exe\" \"%1\"");
        std::wstring protocol = L"not empty";
        EXPECT_TRUE(ReadRegString(HKEY_CLASSES_ROOT, L"qvsupgone", L"URL Protocol", &protocol));
        EXPECT_EQ(protocol, L"");
    }
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L".qvsupgone"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"QvSupportGone"));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, L"qvsupgone"));
}

TEST(SupportMachine, FileCopyCreatesAndRemovesFolders)
{
    const std::wstring target = L"C:\\QvSupport Test\\Deep Folder\\tool.exe";
    {
        FileCopyGuard copy(RecorderExePath(), target);
        ASSERT_TRUE(copy.ok());
        EXPECT_TRUE(FileExists(target));
        {
            FileCopyGuard replaced(FolderOf(RecorderExePath()) + L"\\recorder.cpl", target);
            ASSERT_TRUE(replaced.ok());
        }
        EXPECT_TRUE(FileExists(target)) << "the earlier file comes back";
    }
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(GetFileAttributesW(L"C:\\QvSupport Test"), INVALID_FILE_ATTRIBUTES);
}

TEST(SupportMachine, DpiGuardReachesNewProcessesAndIsUndone)
{
    DWORD before = 0;
    const bool had = ReadRegDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", &before);
    {
        DpiGuard dpi(120);
        ASSERT_TRUE(dpi.ok());
        LaunchedProcess fixture({qvsupporttest::FixtureExePath(), L"", L"", {}});
        HWND window = fixture.WaitForWindow(qvsupporttest::kFixtureClass);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WindowText(Control(window, qvsupporttest::kDpiId)), L"dpi=120");
    }
    DWORD after = 0;
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", &after), had);
    EXPECT_EQ(after, before);
}

}  // namespace
