#include "framework/afxstr.h"

#include <gtest/gtest.h>

TEST(CStringEditing, InsertReplaceRemove)
{
    CString path(L"C:\\Program Files\\Utility\\Tool.exe");
    path.Insert(16, L" (x86)");
    EXPECT_EQ(path, L"C:\\Program Files (x86)\\Utility\\Tool.exe");

    CString quoted(L"\"C:\\a b\\x.exe\" \"y\"");
    EXPECT_EQ(quoted.Remove(L'"'), 4);
    EXPECT_EQ(quoted, L"C:\\a b\\x.exe y");

    CString sys(L"C:\\windows\\system32\\system32.dll");
    EXPECT_EQ(sys.Replace(L"system32", L"SysWOW64"), 2);
    EXPECT_EQ(sys, L"C:\\windows\\SysWOW64\\SysWOW64.dll");
}

TEST(CStringEditing, FindAndSlicesStayInBounds)
{
    const CString text(L"abc.exe");
    EXPECT_EQ(text.Find(L".exe"), 3);
    EXPECT_EQ(text.Find(L".EXE"), -1);
    EXPECT_EQ(text.Find(L"a", 99), -1);
    EXPECT_EQ(text.ReverseFind(L'\\'), -1);
    EXPECT_EQ(text.Left(-1), L"");
    EXPECT_EQ(text.Left(99), L"abc.exe");
    EXPECT_EQ(text.Mid(99), L"");
    EXPECT_EQ(text.Mid(4, 99), L"exe");
}

TEST(CStringLoading, MissingStringIsEmptyAndFalse)
{
    CString text(L"previous");
    EXPECT_FALSE(text.LoadString(64999));
    EXPECT_TRUE(text.IsEmpty());
}
