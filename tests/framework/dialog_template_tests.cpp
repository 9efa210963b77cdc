// Changing a control's extended style in a dialog template before the dialog
// is made from it: both template forms, and templates that end too early.
#include "framework/afxdlg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A template written field by field, controls on DWORD boundaries.
class TemplateWriter {
public:
    std::vector<BYTE> bytes;

    void Word(WORD value) { Put(&value, sizeof(value)); }
    void Dword(DWORD value) { Put(&value, sizeof(value)); }
    void String(const std::wstring& text)
    {
        for (const wchar_t c : text)
            Word(static_cast<WORD>(c));
        Word(0);
    }
    void Align()
    {
        while (bytes.size() % 4 != 0)
            bytes.push_back(0);
    }
    DWORD DwordAt(size_t at) const
    {
        DWORD value = 0;
        std::memcpy(&value, bytes.data() + at, sizeof(value));
        return value;
    }

private:
    void Put(const void* data, size_t size)
    {
        const auto* p = static_cast<const BYTE*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
};

// DLGTEMPLATEEX with a font, a class named by a string, and three controls:
// 155 (class by ordinal, two bytes of creation data), 156 and 157 (class by
// name); `exStyleAt` receives where each control's extended style lies.
std::vector<BYTE> ExtendedTemplate(std::vector<size_t>* exStyleAt)
{
    TemplateWriter t;
    t.Word(1);
    t.Word(0xFFFF);
    t.Dword(0);                          // help id
    t.Dword(WS_EX_APPWINDOW);            // extended style
    t.Dword(WS_POPUP | DS_SETFONT);      // style
    t.Word(3);                           // controls
    for (int i = 0; i < 4; ++i)
        t.Word(10);                      // place
    t.Word(0);                           // no menu
    t.String(L"VelConsoleClass");
    t.String(L"Quorvane");
    t.Word(8);                           // point size, weight, italic and charset, face
    t.Word(400);
    t.Word(0);
    t.String(L"Tahoma");
    const struct {
        DWORD id;
        const wchar_t* className;  // null: the static class's ordinal
        WORD creationData;
    } controls[] = {{155, nullptr, 2}, {156, L"SysListView32", 0}, {157, L"Button", 0}};
    for (const auto& control : controls) {
        t.Align();
        t.Dword(0);  // help id
        exStyleAt->push_back(t.bytes.size());
        t.Dword(WS_EX_TRANSPARENT);
        t.Dword(WS_CHILD | WS_VISIBLE);
        for (int i = 0; i < 4; ++i)
            t.Word(5);
        t.Dword(control.id);
        if (control.className) {
            t.String(control.className);
        } else {
            t.Word(0xFFFF);
            t.Word(0x0082);
        }
        t.String(L"Text");
        t.Word(control.creationData);
        for (WORD i = 0; i < control.creationData; ++i)
            t.bytes.push_back(0xAB);
    }
    return t.bytes;
}

TEST(DialogTemplate, ExtendedStyleGoesToTheNamedControlOnly)
{
    std::vector<size_t> at;
    std::vector<BYTE> bytes = ExtendedTemplate(&at);
    const std::vector<BYTE> before = bytes;
    ASSERT_TRUE(AfxAddControlExStyle(bytes.data(), bytes.size(), 156, WS_EX_RTLREADING));
    TemplateWriter read{bytes};
    EXPECT_EQ(read.DwordAt(at[0]), static_cast<DWORD>(WS_EX_TRANSPARENT));
    EXPECT_EQ(read.DwordAt(at[1]), static_cast<DWORD>(WS_EX_TRANSPARENT | WS_EX_RTLREADING));
    EXPECT_EQ(read.DwordAt(at[2]), static_cast<DWORD>(WS_EX_TRANSPARENT));
    // The last control, after one with creation data and names of its own.
    ASSERT_TRUE(AfxAddControlExStyle(bytes.data(), bytes.size(), 157, WS_EX_RTLREADING));
    EXPECT_EQ(TemplateWriter{bytes}.DwordAt(at[2]), static_cast<DWORD>(WS_EX_TRANSPARENT | WS_EX_RTLREADING));

    std::vector<BYTE> unchanged = before;
    EXPECT_FALSE(AfxAddControlExStyle(unchanged.data(), unchanged.size(), 999, WS_EX_RTLREADING));
    EXPECT_EQ(unchanged, before);
}

TEST(DialogTemplate, PlainTemplateHasItsControlsFound)
{
    TemplateWriter t;
    t.Dword(WS_POPUP | DS_SETFONT);  // style
    t.Dword(0);                      // extended style
    t.Word(1);                       // controls
    for (int i = 0; i < 4; ++i)
        t.Word(10);
    t.Word(0);                       // no menu
    t.Word(0);                       // the system's dialog class
    t.String(L"Quorvane");
    t.Word(8);
    t.String(L"Tahoma");
    t.Align();
    t.Dword(WS_CHILD | SS_LEFT);     // style
    const size_t exStyleAt = t.bytes.size();
    t.Dword(0);                      // extended style
    for (int i = 0; i < 4; ++i)
        t.Word(5);
    t.Word(156);
    t.Word(0xFFFF);
    t.Word(0x0082);
    t.Word(0);                       // no title
    t.Word(0);                       // no creation data
    ASSERT_TRUE(AfxAddControlExStyle(t.bytes.data(), t.bytes.size(), 156, WS_EX_RTLREADING));
    EXPECT_EQ(t.DwordAt(exStyleAt), static_cast<DWORD>(WS_EX_RTLREADING));
}

TEST(DialogTemplate, TemplateEndingEarlyIsLeftAlone)
{
    std::vector<size_t> at;
    const std::vector<BYTE> whole = ExtendedTemplate(&at);
    for (size_t size = 0; size < whole.size(); ++size) {
        // Only the first `size` bytes are the template's; the rest must stay unread.
        std::vector<BYTE> bytes = whole;
        EXPECT_FALSE(AfxAddControlExStyle(bytes.data(), size, 155, WS_EX_RTLREADING)) << size << " bytes";
        EXPECT_EQ(bytes, whole) << size << " bytes";
    }
    // A string that never ends.
    std::vector<BYTE> endless(64, 0x41);
    endless[0] = 1;
    endless[1] = 0;
    endless[2] = 0xFF;
    endless[3] = 0xFF;
    const std::vector<BYTE> copy = endless;
    EXPECT_FALSE(AfxAddControlExStyle(endless.data(), endless.size(), 0x4141, WS_EX_RTLREADING));
    EXPECT_EQ(endless, copy);
    EXPECT_FALSE(AfxAddControlExStyle(nullptr, 16, 155, WS_EX_RTLREADING));
}

}  // namespace
