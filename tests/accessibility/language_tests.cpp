// The real launcher in the language the platform picks. Wine takes a
// program's UI language from the Unix locale, and a program inherits the Unix
// environment of the one that starts it (an LC_ALL in the Windows environment
// it is given changes nothing): so ctest runs this program under each locale
// (CMakeLists.txt), with QV_EXPECTED_TABLE, the LANGID of the table it must
// choose. Every button, every category's list and the description are read
// through oleacc and compared with that table, read from the launcher's file.
#include <gtest/gtest.h>

#include <algorithm>

#include "res/resource.h"
#include "tests/paint/paint_support.h"
#include "tests/robustness/launcher_machine.h"

namespace {

using namespace qvtest;

constexpr LANGID kEnglish = 0x0409;
constexpr LANGID kGerman = 0x0007;

struct Text {
    std::string what;
    std::wstring text;
    UINT id;       // the string it must show
    bool caption;  // drawn by DrawText, so "&&" shows as "&"
};

// Chooses each category with its default action (the mouse outside, so the
// description shows the category's text) and reads the window.
std::vector<Text> ReadLauncher(const std::wstring& exe, const qvrobust::LauncherMachine& machine)
{
    MoveMouseAway();
    EXPECT_TRUE(WaitUntilMutexGone(kLauncherMutex));
    qvrobust::RunningLauncher launcher(exe);
    if (!launcher.ok())
        return {};
    const HWND window = launcher.window();
    painttest::MoveMouseOutside(window);
    const HWND list = Control(window, IDC_ITEM_LIST);
    std::vector<Text> read = {{"list name", AccessibleProbe(list).Name(), IDS_CONTENTS_HEADING, false}};
    const auto readButton = [&](const std::string& what, int control, UINT caption, UINT text) {
        AccessibleProbe button(Control(window, control));
        read.push_back({what, button.Name(), caption, true});
        read.push_back({what + " description", button.Description(), text, false});
        read.push_back({what + " default action", button.DefaultAction(), IDS_PRESS_ACTION, false});
    };
    readButton("Web site", IDC_SUPPORT_BUTTON, IDS_SUPPORT_CAPTION, IDS_SUPPORT_TEXT);
    readButton("Help", IDC_HELP_BUTTON, IDS_HELP_CAPTION, IDS_HELP_TEXT);
    readButton("Close", IDC_CLOSE_BUTTON, IDS_CLOSE_CAPTION, IDS_CLOSE_TEXT);
    for (int k = 0; k < 5; ++k) {
        const std::vector<int>& rows = machine.ShownRows(k);
        const std::string category = "category " + std::to_string(k);
        const UINT k1000 = 1000u * static_cast<UINT>(k);
        if (rows.empty())
            continue;
        readButton(category, IDC_CATEGORY0 + k, IDS_CATEGORY_CAPTION_BASE + k1000, IDS_CATEGORY_TEXT_BASE + k1000);
        // The launcher's thread answers for the state only once it has
        // handled the click, the list fill and description included.
        AccessibleProbe button(Control(window, IDC_CATEGORY0 + k));
        EXPECT_TRUE(button.DoDefaultAction());
        EXPECT_TRUE(WaitUntil([&] { return (button.State() & STATE_SYSTEM_PRESSED) != 0; })) << category;
        AccessibleProbe items(list);
        EXPECT_EQ(items.ChildCount(), static_cast<long>(rows.size())) << category;
        for (long j = 0; j < static_cast<long>(rows.size()) && j < items.ChildCount(); ++j) {
            const UINT t = static_cast<UINT>(rows[static_cast<size_t>(j)]);
            read.push_back({category + " item", items.Name(j + 1), IDS_ITEM_NAME_BASE + t, false});
            read.push_back({category + " item description", items.Description(j + 1), IDS_ITEM_DESCRIPTION_BASE + t,
                            false});
        }
        read.push_back({category + " shown", AccessibleProbe(Control(window, IDC_DESCRIPTION)).Name(),
                        IDS_CATEGORY_TEXT_BASE + k1000, false});
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.process().WaitForExit());
    return read;
}

std::wstring Expected(const StringTables& tables, const Text& r, LANGID language)
{
    std::wstring text = tables.Text(r.id, language);
    for (size_t at = 0; r.caption && (at = text.find(L"&&", at)) != std::wstring::npos; ++at)
        text.erase(at, 1);
    return text;
}

class LanguageRun : public testing::Test {
protected:
    void Start(const std::wstring& exe)
    {
        wchar_t value[16] = {};
        const DWORD length = GetEnvironmentVariableW(L"QV_EXPECTED_TABLE", value, 16);
        if (length > 0 && length < 16)
            table_ = static_cast<LANGID>(wcstoul(value, nullptr, 16));
        ASSERT_NE(table_, 0) << "run through ctest, which sets LC_ALL and QV_EXPECTED_TABLE";
        ASSERT_TRUE(machine_.ok());
        ASSERT_TRUE(tables_.Open(exe));
        read_ = ReadLauncher(exe, machine_);
        ASSERT_GT(read_.size(), 40u) << "the launcher's window did not appear";
    }
    bool Shows(const std::wstring& text) const
    {
        return std::any_of(read_.begin(), read_.end(), [&](const Text& r) { return r.text == text; });
    }
    LANGID table_ = 0;
    qvrobust::LauncherMachine machine_{L"language"};
    StringTables tables_;
    std::vector<Text> read_;
};

// Every language's own locale (de_DE, fr_FR, ... th_TH, en_GB, fr_CA), regions
// that take their language's table (de_AT, de_CH, nl_BE) or the parent Windows
// gives them (es_AR, en_AU, nn_NO, ca_ES, zh_HK), and is_IS, which has no table
// and no parent: today's English. A language's table holds what its PO file
// (and a regional variant's base) translates and English for the rest, so the
// texts shown are checked against the built table, and a text the translation
// supplies must not be English.
TEST_F(LanguageRun, EveryTextIsThatOfTheTableTheLocaleChooses)
{
    ASSERT_NO_FATAL_FAILURE(Start(LauncherExePath()));
    for (const Text& r : read_)
        EXPECT_EQ(r.text, Expected(tables_, r, table_)) << r.what << " (string " << r.id << ")";
    if (table_ != kEnglish) {
        EXPECT_FALSE(tables_.Text(IDS_CLOSE_CAPTION, table_).empty()) << "no table filed under the language";
        for (const auto& [id, english] : {std::pair<UINT, const wchar_t*>{IDS_CATEGORY_CAPTION_BASE, L"CONNECT"},
                                          {IDS_CLOSE_CAPTION, L"Close"}, {IDS_PRESS_ACTION, L"Press"}})
            EXPECT_FALSE(tables_.Translated(id, table_) && Shows(english)) << "string " << id << " shows in English";
    } else {  // today's texts, spelled out
        for (const wchar_t* text : {L"CONNECT", L"PROTECT & FIX", L"Web site", L"Close", L"Contents", L"Press"})
            EXPECT_TRUE(Shows(text)) << "no text reads " << std::string(text, text + wcslen(text));
    }
}

// The language test launcher's German translates a few strings only: the
// build filled the others from English, and every item still shows.
TEST_F(LanguageRun, MissingTranslationsShowInEnglishAndNoItemIsLost)
{
    ASSERT_NO_FATAL_FAILURE(Start(WindowsPathFromUnix(QV_LANGUAGE_TEST_EXE)));
    ASSERT_EQ(table_, kGerman);
    for (const Text& r : read_)
        EXPECT_EQ(r.text, Expected(tables_, r, kGerman)) << r.what << " (string " << r.id << ")";
    EXPECT_TRUE(Shows(L"WLAN-Manager") && Shows(L"VERBINDEN"));                // translated
    EXPECT_TRUE(Shows(L"Secure VPN") && Shows(L"Mobile Hotspot") && Shows(L"SECURE"));  // not
}

// Its pseudo-locale table, filed under Icelandic (Wine has no qps-ploc locale,
// so no process can have 0x0501 as its UI language): no text a user sees or
// hears is left without the pseudo-locale's brackets and dots.
TEST_F(LanguageRun, PseudoLocaleLeavesNoVisibleTextInPlainEnglish)
{
    ASSERT_NO_FATAL_FAILURE(Start(WindowsPathFromUnix(QV_LANGUAGE_TEST_EXE)));
    for (const Text& r : read_) {
        EXPECT_EQ(r.text, Expected(tables_, r, table_)) << r.what << " (string " << r.id << ")";
        EXPECT_TRUE(r.text.size() > 2 && r.text.front() == L'[' && r.text.back() == L']' &&
                    r.text.find(L'\u00b7') != std::wstring::npos)
            << r.what << " (string " << r.id << ") is not a pseudo-locale text";
    }
}

}  // namespace
