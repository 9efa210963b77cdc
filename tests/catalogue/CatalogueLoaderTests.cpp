// Loading items, categories and footer texts from the test string table
// (strings.rc) on a machine with the test utilities installed.
#include "CatalogueTestMachine.h"
#include "catalogue/CatalogueLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

const std::wstring kTool = L"C:\\Program Files\\QvTestUtil\\QvTool64.exe";
const std::wstring kIconBeside = L"C:\\Program Files\\QvTestUtil\\\\QvTestIcon.ico";
const std::wstring kApplet = L"C:\\Program Files\\QvTestUtil\\QvTestApplet.cpl";

struct Expected {
    std::wstring name, description, iconFile, path, arguments;
    int iconIndex;
};

struct ItemCase {
    int index;  // row of category 0
    std::optional<Expected> item;
};

void ExpectItem(const ItemInfo& item, const Expected& e)
{
    EXPECT_EQ(item.Name.Str(), e.name);
    EXPECT_EQ(item.Description.Str(), e.description);
    EXPECT_EQ(item.IconFile.Str(), e.iconFile);
    EXPECT_EQ(item.Path.Str(), e.path);
    EXPECT_EQ(item.Arguments.Str(), e.arguments);
    EXPECT_EQ(item.IconIndex, e.iconIndex);
}

class CatalogueLoadOnMachine : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(strings.Loaded());
        Categories.clear();
        for (CString* text : {&SupportCaption, &SupportText, &SupportUrl, &HelpCaption, &HelpText, &HelpUrl,
                              &CloseCaption, &CloseText})
            text->Empty();
    }
    StringModule strings{L"catalogue_strings.dll"};
    TestUtilities machine;
};

using LoadItemOnMachine = CatalogueLoadOnMachine;

}  // namespace

TEST_F(LoadItemOnMachine, RowsBecomeItemsWithTheirFallbacks)
{
    const std::wstring sysMain = L"C:\\windows\\system32\\QvTestMain.cpl";
    const ItemCase cases[] = {
        {0, std::nullopt},   // no program string
        {2, std::nullopt},   // program not installed
        {3, std::nullopt},   // found in the current directory, no backslash
        {4, std::nullopt},   // found through forward slashes, no backslash
        {14, std::nullopt},  // arguments without a program
        {15, std::nullopt},  // program text longer than a path
        {16, std::nullopt},  // empty program string
        {1, Expected{kTool, kTool, kTool, kTool, L"", 0}},
        {5, Expected{L"Tool Five", L"Tool Five", kIconBeside, kTool, L"/five", 2}},
        {6, Expected{kTool, L"Six", kTool, kTool, L"", 0}},
        {7, Expected{kIconBeside, kIconBeside, kIconBeside, kTool, L"", 0}},
        {8, Expected{kTool, kTool, kTool, kTool, L"", -3}},
        {9, Expected{kTool, kTool, kTool, kTool, L"", 0}},
        {10, Expected{kTool, kTool, kTool, kTool, L"", 123456789}},  // nine characters read
        {11, Expected{kTool, kTool, kTool, kTool, L"", 7}},
        {12, Expected{L"Applet", L"Applet", kApplet, kApplet, L"/s", 0}},
        {13, Expected{L"Applet", L"Applet", kApplet, kApplet, L"/u", 0}},
        {17, Expected{kTool, kTool, kTool, kTool, L"", 0}},  // icon text too long: the program's icon
        {18, Expected{L"Main", L"Main", sysMain, sysMain, L"", 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.index);
        ItemInfo item;
        item.Name = L"untouched";
        item.IconIndex = 99;
        const BOOL loaded = LoadItem(0, c.index, item);
        ASSERT_EQ(loaded != FALSE, c.item.has_value());
        if (c.item)
            ExpectItem(item, *c.item);
        else
            ExpectItem(item, Expected{L"untouched", L"", L"", L"", L"", 99});
    }
}

TEST_F(CatalogueLoadOnMachine, FiveCategoriesTwelveItemsAtMost)
{
    EXPECT_EQ(CurrentCategory, 0);
    EXPECT_EQ(CurrentItem, -1);
    ProbeRecorder recorder;
    int present[kCategoryCount] = {1, 1, 1, 1, 0};
    LoadCatalogue(present);

    ASSERT_EQ(Categories.size(), 5u);
    EXPECT_EQ(std::vector<int>(present, present + kCategoryCount), (std::vector<int>{1, 1, 0, 1, 0}));
    const int counts[kCategoryCount] = {12, 12, 0, 1, 1};
    for (int k = 0; k < kCategoryCount; ++k) {
        EXPECT_EQ(Categories[k].ItemCount, counts[k]) << "category " << k;
        EXPECT_EQ(Categories[k].Items.size(), static_cast<size_t>(counts[k])) << "category " << k;
    }

    // Thirteen loadable rows: the twelve lowest indices, and the thirteenth
    // row's program is never looked for.
    std::vector<std::wstring> arguments;
    for (const auto& item : Categories[1].Items)
        arguments.push_back(item.Arguments.Str());
    EXPECT_EQ(arguments, (std::vector<std::wstring>{L"/0", L"/2", L"/3", L"/4", L"/5", L"/6", L"/7", L"/8", L"/9",
                                                    L"/10", L"/11", L"/12"}));
    EXPECT_TRUE(std::none_of(recorder.events.begin(), recorder.events.end(),
                             [](const std::wstring& e) { return e.find(L"QvTool13") != std::wstring::npos; }));

    EXPECT_EQ(Categories[0].Caption, L"CONNECT");
    EXPECT_EQ(Categories[0].Items.back().Name, L"Main");
    EXPECT_EQ(Categories[2].Caption, L"PROTECT && FIX");
    EXPECT_EQ(Categories[2].Text, L"Protect text.");
    EXPECT_TRUE(Categories[3].Caption.IsEmpty());
    EXPECT_TRUE(Categories[3].Text.IsEmpty());
    EXPECT_EQ(Categories[3].Items.front().Name, L"Last row");
    // Category 4 is loaded but its flag, clear from the start, stays clear.
    EXPECT_EQ(Categories[4].Items.front().Name, L"Hidden");
}

TEST_F(CatalogueLoadOnMachine, FooterTextsWithAndWithoutAddresses)
{
    const std::wstring url255 = L"https://example.test/" + std::wstring(255 - 21, L'a');
    const std::wstring url256 = url255 + L"b";
    struct FooterCase {
        const wchar_t* support;  // registry value, or null for none
        const wchar_t* help;
        std::wstring supportUrl, helpUrl;
    };
    const FooterCase cases[] = {
        {nullptr, nullptr, L"", L""},
        {url255.c_str(), url256.c_str(), url255, L""},
        {L"https://support.test/", L"C:\\Docs\\Guide.pdf", L"https://support.test/", L"C:\\Docs\\Guide.pdf"},
    };
    for (const auto& c : cases) {
        ScratchRegistry registry;
        if (c.support)
            registry.SetText(L"Software\\QvTestVendor\\SS", L"URL", c.support);
        if (c.help)
            registry.SetText(L"Software\\QvTestVendor\\Help", L"URL", c.help);
        SupportUrl.Empty();
        HelpUrl.Empty();
        LoadFooterTexts();
        EXPECT_EQ(SupportUrl.Str(), c.supportUrl);
        EXPECT_EQ(HelpUrl.Str(), c.helpUrl);
    }
    EXPECT_EQ(SupportCaption, L"Web site");
    EXPECT_EQ(SupportText, L"Go to the web site.");
    EXPECT_EQ(HelpCaption, L"Help");
    EXPECT_EQ(HelpText, L"How to begin.");
    EXPECT_EQ(CloseCaption, L"Close");
    EXPECT_EQ(CloseText, L"Click to close.");
}

TEST(CatalogueLoadWithoutStrings, NothingLoadsAndTextsStayAsTheyWere)
{
    StringModule none(L"");  // the test program itself: no string table
    for (CString* text : {&SupportCaption, &SupportUrl, &HelpText, &CloseCaption})
        *text = L"kept";
    LoadFooterTexts();
    for (CString* text : {&SupportCaption, &SupportUrl, &HelpText, &CloseCaption})
        EXPECT_EQ(*text, L"kept");

    int present[kCategoryCount] = {1, 1, 1, 1, 0};
    LoadCatalogue(present);
    ASSERT_EQ(Categories.size(), 5u);
    EXPECT_EQ(std::vector<int>(present, present + kCategoryCount), (std::vector<int>(kCategoryCount, 0)));
}
