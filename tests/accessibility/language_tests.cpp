// The real launcher in the language the platform picks: Wine takes a
// process's UI language from the Unix locale it starts under (LC_ALL). Every
// button, the list of every category and the description are read through
// oleacc, as a screen reader reads them, and compared with the table of the
// language the launcher must have chosen, read from its file.
#include <gtest/gtest.h>

#include <algorithm>

#include "res/resource.h"
#include "tests/paint/paint_support.h"
#include "tests/robustness/launcher_machine.h"

#ifndef QV_LANGUAGE_TEST_EXE
#define QV_LANGUAGE_TEST_EXE ""
#endif

namespace {

using namespace qvtest;
using qvrobust::LauncherMachine;
using qvrobust::RunningLauncher;

constexpr LANGID kEnglish = 0x0409;
constexpr LANGID kGerman = 0x0007;
constexpr LANGID kFinnish = 0x000B;  // the language test launcher files its pseudo-locale table here

// One text read from the window, and the string it must show.
struct Read {
    std::string what;
    std::wstring text;
    UINT id;
    bool caption;  // drawn by DrawText: "&&" shows as "&"
};

std::wstring AsShown(const std::wstring& text, bool caption)
{
    std::wstring shown = text;
    for (size_t at = 0; caption && (at = shown.find(L"&&", at)) != std::wstring::npos; ++at)
        shown.erase(at, 1);
    return shown;
}

// Reads the buttons, then chooses each present category with its default
// action and reads its list and the description. The mouse stays outside,
// so the description shows the chosen category's text.
std::vector<Read> ReadWindow(HWND window, const LauncherMachine& machine)
{
    std::vector<Read> read;
    HWND list = Control(window, IDC_ITEM_LIST);
    read.push_back({"list name", AccessibleProbe(list).Name(), IDS_CONTENTS_HEADING, false});
    struct Footer {
        int control;
        UINT caption, text;
    };
    const Footer footers[] = {{IDC_SUPPORT_BUTTON, IDS_SUPPORT_CAPTION, IDS_SUPPORT_TEXT},
                              {IDC_HELP_BUTTON, IDS_HELP_CAPTION, IDS_HELP_TEXT},
                              {IDC_CLOSE_BUTTON, IDS_CLOSE_CAPTION, IDS_CLOSE_TEXT}};
    for (const Footer& f : footers) {
        AccessibleProbe button(Control(window, f.control));
        read.push_back({"footer button", button.Name(), f.caption, true});
        read.push_back({"footer description", button.Description(), f.text, false});
        read.push_back({"footer default action", button.DefaultAction(), IDS_PRESS_ACTION, false});
    }
    for (int k = 0; k < 5; ++k) {
        const std::vector<int>& rows = machine.ShownRows(k);
        if (rows.empty())
            continue;
        const std::string category = "category " + std::to_string(k);
        const UINT k1000 = 1000u * static_cast<UINT>(k);
        HWND buttonWindow = Control(window, IDC_CATEGORY0 + k);
        AccessibleProbe button(buttonWindow);
        read.push_back({category + " button", button.Name(), IDS_CATEGORY_CAPTION_BASE + k1000, true});
        read.push_back({category + " description", button.Description(), IDS_CATEGORY_TEXT_BASE + k1000, false});
        read.push_back({category + " default action", button.DefaultAction(), IDS_PRESS_ACTION, false});
        // The state is read by the launcher's own thread once the click,
        // list fill and description included, has been handled.
        EXPECT_TRUE(button.DoDefaultAction()) << category;
        EXPECT_TRUE(WaitUntil([&] { return (button.State() & STATE_SYSTEM_PRESSED) != 0; }, 5000)) << category;
        AccessibleProbe items(list);
        EXPECT_EQ(items.ChildCount(), static_cast<long>(rows.size())) << category;
        for (size_t j = 0; j < rows.size() && static_cast<long>(j) < items.ChildCount(); ++j) {
            const UINT t = static_cast<UINT>(rows[j]);
            const long child = static_cast<long>(j) + 1;
            read.push_back({category + " item name", items.Name(child), IDS_ITEM_NAME_BASE + t, false});
            read.push_back({category + " item description", items.Description(child), IDS_ITEM_DESCRIPTION_BASE + t,
                            false});
        }
        read.push_back({category + " shown description", AccessibleProbe(Control(window, IDC_DESCRIPTION)).Name(),
                        IDS_CATEGORY_TEXT_BASE + k1000, false});
    }
    return read;
}

// Starts `exe` on a machine with the shipped utilities and reads its window.
std::vector<Read> ReadLauncherUnder(const std::wstring& exe, const LauncherMachine& machine)
{
    MoveMouseAway();
    if (!WaitUntilMutexGone(kLauncherMutex, 10000)) {
        ADD_FAILURE() << "another launcher is running";
        return {};
    }
    RunningLauncher launcher(exe);
    if (!launcher.ok()) {
        ADD_FAILURE() << "the launcher's window did not appear";
        return {};
    }
    painttest::MoveMouseOutside(launcher.window());
    std::vector<Read> read = ReadWindow(launcher.window(), machine);
    PostMessageW(launcher.window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process().WaitForExit(10000));
    return read;
}

// Every text read is the string of `language`'s table.
void ExpectTable(const std::vector<Read>& read, const StringTables& tables, LANGID language)
{
    for (const Read& r : read) {
        const std::optional<std::wstring> expected = tables.Find(r.id, language);
        ASSERT_TRUE(expected.has_value()) << "string " << r.id << " missing from table " << std::hex << language;
        EXPECT_EQ(r.text, AsShown(*expected, r.caption)) << r.what << " (string " << r.id << ")";
    }
}

// The table the test's locale must choose, as its ctest entry gives it
// (QV_EXPECTED_TABLE, a LANGID in hex); 0 when not given.
LANGID ExpectedTable()
{
    wchar_t value[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"QV_EXPECTED_TABLE", value, 16);
    return length > 0 && length < 16 ? static_cast<LANGID>(wcstoul(value, nullptr, 16)) : 0;
}

// The locale this test program was started under: the launcher it starts
// inherits it, and Wine takes the launcher's UI language from it. (Wine
// starts a Windows program from the Unix environment of the one that starts
// it: an LC_ALL in the child's Windows environment would change nothing.)
std::wstring TestLocale()
{
    wchar_t value[64] = {};
    const DWORD length = GetEnvironmentVariableW(L"LC_ALL", value, 64);
    return length > 0 && length < 64 ? value : L"(none)";
}

// The Close button's caption in each table, spelled out.
std::wstring CloseCaption(LANGID table)
{
    switch (table) {
    case 0x0007: return L"Schlie\u00dfen";
    case 0x000C: return L"Fermer";
    case 0x000A: return L"Cerrar";
    case 0x0411: return L"\u9589\u3058\u308b";  // 閉じる
    case 0x0804: return L"\u5173\u95ed";         // 关闭
    default: return L"Close";
    }
}

// Run by ctest under each locale (tests/accessibility/CMakeLists.txt): de_DE,
// de_AT and de_CH give German, fr_FR and fr_CA French, es_ES Spanish, ja_JP
// Japanese, zh_CN Chinese, and fi_FI, which has no table, today's English.
TEST(LanguageWindow, EveryTextIsThatOfTheTableTheLocaleChooses)
{
    const LANGID table = ExpectedTable();
    ASSERT_NE(table, 0) << "run through ctest, which sets QV_EXPECTED_TABLE and LC_ALL";
    const std::wstring locale = TestLocale();
    SCOPED_TRACE(testing::Message() << "LC_ALL=" << std::string(locale.begin(), locale.end()));
    LauncherMachine machine(L"language");
    ASSERT_TRUE(machine.ok());
    const std::wstring exe = LauncherExePath();
    StringTables tables(exe);
    ASSERT_TRUE(tables.ok());

    const std::vector<Read> read = ReadLauncherUnder(exe, machine);
    ASSERT_GT(read.size(), 40u);
    ExpectTable(read, tables, table);
    std::vector<std::wstring> texts;
    for (const Read& r : read)
        texts.push_back(r.text);
    EXPECT_NE(std::find(texts.begin(), texts.end(), CloseCaption(table)), texts.end());
    if (table != kEnglish) {
        for (int k = 0; k < 4; ++k)
            EXPECT_NE(tables.Text(IDS_CATEGORY_CAPTION_BASE + 1000u * static_cast<UINT>(k), table),
                      tables.Text(IDS_CATEGORY_CAPTION_BASE + 1000u * static_cast<UINT>(k), kEnglish));
        return;
    }
    // English is today's window: its texts spelled out, not only read from the table.
    for (const wchar_t* expected : {L"CONNECT", L"SECURE", L"PROTECT & FIX", L"OPTIMIZE", L"Web site", L"Help",
                                    L"Contents", L"Press", L"You can optimize your computer.", L"Fingerprint Vault"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << "no text reads " << expected;
}

// The language test launcher: its German comes from a PO file that
// translates a few strings only, and its pseudo-locale table is filed
// under Finnish, since Wine has no locale whose UI language is qps-ploc.
// Run by ctest under de_DE and fi_FI.
class LanguageTestLauncher : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FileExists(exe_)) << "QuorvaneLanguageTest.exe not built";
        ASSERT_NE(ExpectedTable(), 0) << "run through ctest, which sets QV_EXPECTED_TABLE and LC_ALL";
        ASSERT_TRUE(machine_.ok());
        ASSERT_TRUE(tables_.ok());
    }
    const std::wstring exe_ = WindowsPathFromUnix(QV_LANGUAGE_TEST_EXE);
    LauncherMachine machine_{L"language-test"};
    StringTables tables_{exe_};
};

TEST_F(LanguageTestLauncher, MissingTranslationsShowInEnglishAndNoItemIsLost)
{
    const std::optional<std::vector<UINT>> filled = tables_.Filled(kGerman);
    ASSERT_TRUE(filled.has_value());
    const auto isFilled = [&](UINT id) { return std::find(filled->begin(), filled->end(), id) != filled->end(); };

    ASSERT_EQ(ExpectedTable(), kGerman);
    const std::vector<Read> read = ReadLauncherUnder(exe_, machine_);
    ASSERT_GT(read.size(), 40u);
    int english = 0;
    int german = 0;
    for (const Read& r : read) {
        const std::wstring englishText = AsShown(tables_.Text(r.id, kEnglish), r.caption);
        if (isFilled(r.id)) {
            EXPECT_EQ(r.text, englishText) << r.what << " (string " << r.id << ", not translated)";
            english += r.what.find("item name") != std::string::npos;
        } else {
            EXPECT_EQ(r.text, AsShown(tables_.Text(r.id, kGerman), r.caption)) << r.what << " (string " << r.id << ")";
            german += r.text != englishText;
        }
    }
    EXPECT_GT(english, 0) << "no item name was left untranslated";
    EXPECT_GT(german, 0) << "nothing was shown in German";
}

TEST_F(LanguageTestLauncher, PseudoLocaleLeavesNoVisibleTextInPlainEnglish)
{
    ASSERT_EQ(ExpectedTable(), kFinnish);
    const std::vector<Read> read = ReadLauncherUnder(exe_, machine_);
    ASSERT_GT(read.size(), 40u);
    ExpectTable(read, tables_, kFinnish);
    for (const Read& r : read) {
        const bool marked = r.text.size() > 2 && r.text.front() == L'[' && r.text.back() == L']' &&
                            r.text.find(L'\u00b7') != std::wstring::npos;
        EXPECT_TRUE(marked) << r.what << " (string " << r.id << ") is not a pseudo-locale text";
    }
}

}  // namespace
