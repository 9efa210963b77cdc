// quorvane-check --languages, run as a separate process: on a five-language
// module built for it (one German caption that cannot fit and one name in
// runes no font here draws, a Turkish caption with less room to spare than a
// text must leave, four Japanese names and one Korean name that break badly,
// the rest fitting), and on
// the real launcher, whose item labels in the real window must take the lines
// the tool says they take.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "tests/checktool/check_machine.h"
#include "tests/checktool/mini_json.h"
#include "tests/support/gui_support.h"
#include "ui/CaptionBox.h"

namespace {

using namespace qvcheck;
using namespace qvtest;

const int kDpis[] = {96, 120, 144};
const wchar_t kTooWide[] = L"DATENSCHUTZEINSTELLUNGEN";

// The room a text must leave in a box `width` pixels wide: the wider of 4 px
// and 5 % of the box.
int Room(int width)
{
    return std::max(4, (width * 5 + 99) / 100);
}

// The width of a category button's caption box at `dpi`.
int CaptionBoxWidth(int dpi)
{
    const LayoutMetricsTable m = ScaledLayoutMetrics(dpi);
    const RECT box = CaptionBox(RECT{0, 0, m.CategoryButtonWidth, m.CategoryButtonHeight}, CategoryCaptionMargins(m));
    return box.right - box.left;
}

// The width a caption is measured at: the box less the room it must leave.
int CaptionWidth(int dpi)
{
    return CaptionBoxWidth(dpi) - Room(CaptionBoxWidth(dpi));
}

// The width of `text` on one line in the launcher's heading font made for
// `dpi` (Tahoma 9 pt, weight 900).
int HeadingWidth(const std::wstring& text, int dpi)
{
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(dpi, 90, 720);
    lf.lfWeight = 900;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return size.cx;
}

// How much wider `text` is than a category button's caption box at `dpi` less
// the room.
int CaptionOverflow(const std::wstring& text, int dpi)
{
    return HeadingWidth(text, dpi) - CaptionWidth(dpi);
}

qvjson::Value ParsedReport(const ToolRun& run)
{
    try {
        return qvjson::Parse(run.out);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what() << "\n" << std::string(run.out.begin(), run.out.end());
    }
    return qvjson::Value();
}

int LineIndex(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    const auto found = std::find(lines.begin(), lines.end(), line);
    return found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
}

TEST(LanguageCheck, TestModuleNamesTheCaptionThatDoesNotFitAtEachDpi)
{
    const std::wstring module = Quoted(FitStringsPath());
    const ToolRun run = RunCheckTool(L"--languages " + module, L"");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u) << run.err;
    const std::vector<std::wstring> lines = Lines(run.out);
    EXPECT_NE(LineIndex(lines, L"Language en-US (0x0409): the English source, no translation status"), -1) << run.out;
    EXPECT_NE(LineIndex(lines, L"  5 strings, 4 of them shown; every text fits."), -1) << run.out;
    const int german = LineIndex(lines, L"Language de (0x0007): 4 strings translated, 1 filled from English (10000)");
    ASSERT_NE(german, -1) << run.out;
    // The faces it was measured with: the font's own, Tahoma, regular and bold.
    EXPECT_EQ(lines.at(static_cast<size_t>(german) + 1).find(L"  Measured with Tahoma ("), 0u) << run.out;
    EXPECT_EQ(lines.at(static_cast<size_t>(german) + 2), L"  6 strings, 5 of them shown; 1 cannot be measured here:");
    // Runes: no face here draws them, so the name is not judged at all.
    const int runes = LineIndex(lines, L"    string 10001, row 0.1 name: \"Runen \u16a0\u16a2\u16a6\"");
    ASSERT_NE(runes, -1) << run.out;
    for (size_t d = 0; d < 3; ++d) {
        EXPECT_EQ(lines.at(static_cast<size_t>(runes) + 1 + d),
                  L"      " + std::to_wstring(kDpis[d]) +
                      L" DPI: \"\u16a0\u16a2\u16a6\" drawn as boxes: Tahoma here has no glyphs for them");
    }
    EXPECT_NE(LineIndex(lines, L"  and of those measured, 1 does not fit:"), -1) << run.out;
    const int misfit = LineIndex(lines, L"    string 12000, category 1 caption: \"" + std::wstring(kTooWide) + L"\"");
    ASSERT_NE(misfit, -1) << run.out;
    for (size_t d = 0; d < 3; ++d) {
        EXPECT_EQ(lines.at(static_cast<size_t>(misfit) + 1 + d),
                  L"      " + std::to_wstring(kDpis[d]) + L" DPI: the word \"" + kTooWide + L"\" is " +
                      std::to_wstring(CaptionOverflow(kTooWide, kDpis[d])) + L" px too wide, measured at " +
                      std::to_wstring(CaptionWidth(kDpis[d])) + L" px, the box less " +
                      std::to_wstring(Room(CaptionBoxWidth(kDpis[d]))) + L" px of room");
    }
    // The caption that fits, wrapped on two lines, is not listed.
    EXPECT_EQ(run.out.find(L"VERBINDEN"), std::wstring::npos) << run.out;

    // "Web sitesi" fits its button at 96 DPI, with less room than it must leave.
    const int footerBox = ScaledLayoutMetrics(96).FooterButtonWidth;
    const int sitesi = HeadingWidth(L"Web sitesi", 96);
    ASSERT_GT(footerBox - sitesi, 0) << "the caption no longer fits its bare box: choose another";
    ASSERT_LT(footerBox - sitesi, Room(footerBox)) << "the caption has the room it must leave: choose another";
    const int turkish = LineIndex(lines, L"    string 16, Web site button caption: \"Web sitesi\"");
    ASSERT_NE(turkish, -1) << run.out;
    EXPECT_EQ(lines.at(static_cast<size_t>(turkish) + 1),
              L"      96 DPI: " + std::to_wstring(sitesi - (footerBox - Room(footerBox))) + L" px too wide, measured at " +
                  std::to_wstring(footerBox - Room(footerBox)) + L" px, the box less " +
                  std::to_wstring(Room(footerBox)) + L" px of room");

    // The Japanese names that break badly, and the Korean one, at every DPI.
    const std::wstring lone = L"    string 10000, row 0.0 name: \"\u30c9\u30e9\u30a4\u30d0\u30fc\u66f4\u65b0\"";
    const std::wstring bracket = L"    string 10001, row 0.1 name: \"Diagnostics \u300d\u30c4\u30fc\u30eb\"";
    const std::wstring kana = L"    string 10002, row 0.2 name: \"Diagnostics \u30c3\u30fc\u30eb\"";
    const std::wstring katakanaWord =
        L"    string 10003, row 0.3 name: \"\u30b7\u30b9\u30c6\u30e0\u306e\u30d7\u30ed\u30d1\u30c6\u30a3\"";
    const std::wstring korean = L"    string 10000, row 0.0 name: \"\ub4dc\ub77c\uc774\ubc84 \uc5c5\ub370\uc774\ud2b8\"";
    for (const auto& [name, fault] :
         {std::pair{lone, std::wstring(L"\" is a single character, drawn as \"")},
          {bracket, std::wstring(L"starts with \"\u300d\", which may not start a line")},
          {kana, std::wstring(L"starts with \"\u30c3\", which may not start a line")},
          {katakanaWord, std::wstring(L"line 2 cuts the word \"\u30d7\u30ed\u30d1\u30c6\u30a3\" after \"\u30d7\"")},
          {korean, std::wstring(L"line 2 cuts the word \"\uc5c5\ub370\uc774\ud2b8\" after \"\uc5c5\"")}}) {
        const int at = LineIndex(lines, name);
        ASSERT_NE(at, -1) << run.out;
        for (size_t d = 0; d < 3; ++d) {
            const std::wstring& line = lines.at(static_cast<size_t>(at) + 1 + d);
            EXPECT_EQ(line.find(L"      " + std::to_wstring(kDpis[d]) + L" DPI: "), 0u) << line;
            EXPECT_NE(line.find(fault), std::wstring::npos) << line;
        }
    }
    // The Korean name that wraps at its blank is not listed.
    EXPECT_EQ(run.out.find(L"\ub514\uc2a4\ud06c"), std::wstring::npos) << run.out;
    EXPECT_NE(LineIndex(lines, L"Summary: 5 languages; 7 translated texts do not fit; 1 translated text cannot be "
                               L"measured here: a face they need is missing."),
              -1)
        << run.out;

    const ToolRun json = RunCheckTool(L"--json --languages " + module, L"");
    EXPECT_EQ(json.exitCode, 1u);
    const qvjson::Value report = ParsedReport(json);
    try {
        EXPECT_FALSE(report[L"allFit"].boolean);
        EXPECT_EQ(report[L"misfitCount"].number, 7);
        EXPECT_EQ(report[L"unmeasuredCount"].number, 1);
        EXPECT_TRUE(report[L"statusesReadable"].boolean);
        ASSERT_EQ(report[L"dpis"].size(), 3u);
        for (size_t d = 0; d < 3; ++d) {
            const qvjson::Value& dpi = report[L"dpis"][d];
            EXPECT_EQ(dpi[L"dpi"].number, kDpis[d]);
            EXPECT_EQ(dpi[L"places"].size(), 6u);
            const qvjson::Value& description = dpi[L"places"][L"description"];
            EXPECT_EQ(description[L"maxLines"].number,
                      std::floor(description[L"height"].number / description[L"lineHeight"].number));
            EXPECT_EQ(dpi[L"places"][L"item name"][L"maxLines"].number, 2);
            // The room every place's box must leave: the wider of 4 px and 5 %.
            for (const auto& [place, rule] : dpi[L"places"].object)
                EXPECT_EQ(rule[L"margin"].number, Room(static_cast<int>(rule[L"width"].number))) << place;
            EXPECT_EQ(dpi[L"places"][L"category caption"][L"margin"].number, Room(CaptionBoxWidth(kDpis[d])));
        }
        // In the module's order of languages: by identifier.
        const qvjson::Value& languages = report[L"languages"];
        ASSERT_EQ(languages.size(), 5u);
        const qvjson::Value& english = languages[2];
        EXPECT_EQ(english[L"langid"].string, L"0x0409");
        EXPECT_EQ(english[L"status"].type, qvjson::Value::Type::Null);
        EXPECT_EQ(english[L"misfits"].size(), 0u);
        const qvjson::Value& german = languages[0];
        EXPECT_EQ(german[L"langid"].string, L"0x0007");
        EXPECT_EQ(german[L"locale"].string, L"de");
        EXPECT_EQ(german[L"strings"].number, 6);
        EXPECT_EQ(german[L"shownTexts"].number, 5);  // not the program
        EXPECT_EQ(german[L"status"][L"translated"].number, 4);
        EXPECT_EQ(german[L"status"][L"filledFromEnglish"].number, 1);
        EXPECT_EQ(german[L"status"][L"filled"][0].number, 10000);
        for (const qvjson::Value& face : german[L"faces"].array)
            EXPECT_EQ(face[L"face"].string, L"Tahoma");
        ASSERT_EQ(german[L"unmeasured"].size(), 1u);
        const qvjson::Value& runeName = german[L"unmeasured"][0];
        EXPECT_EQ(runeName[L"id"].number, 10001);
        ASSERT_EQ(runeName[L"dpis"].size(), 3u);
        for (const qvjson::Value& dpi : runeName[L"dpis"].array) {
            EXPECT_EQ(dpi[L"problem"].string, L"boxes");
            EXPECT_EQ(dpi[L"lacking"].string, L"Tahoma");
            EXPECT_FALSE(dpi[L"linked"].boolean);
            EXPECT_EQ(dpi[L"characters"].string, L"\u16a0\u16a2\u16a6");
        }
        ASSERT_EQ(german[L"misfits"].size(), 1u);
        const qvjson::Value& caption = german[L"misfits"][0];
        EXPECT_EQ(caption[L"id"].number, 12000);
        EXPECT_EQ(caption[L"place"].string, L"category caption");
        EXPECT_EQ(caption[L"text"].string, kTooWide);
        ASSERT_EQ(caption[L"dpis"].size(), 3u);
        for (size_t d = 0; d < 3; ++d) {
            EXPECT_EQ(caption[L"dpis"][d][L"dpi"].number, kDpis[d]);
            EXPECT_EQ(caption[L"dpis"][d][L"widthOver"].number, CaptionOverflow(kTooWide, kDpis[d]));
            EXPECT_EQ(caption[L"dpis"][d][L"heightOver"].number, 0);
            EXPECT_EQ(caption[L"dpis"][d][L"margin"].number, Room(CaptionBoxWidth(kDpis[d])));
            EXPECT_EQ(caption[L"dpis"][d][L"width"].number, CaptionWidth(kDpis[d]));
        }
        // Turkish: refused exactly where the caption leaves less room than it must.
        const qvjson::Value& turkishTable = languages[1];
        EXPECT_EQ(turkishTable[L"langid"].string, L"0x001f");
        ASSERT_EQ(turkishTable[L"misfits"].size(), 1u);
        std::vector<double> refused;
        for (const qvjson::Value& dpi : turkishTable[L"misfits"][0][L"dpis"].array)
            refused.push_back(dpi[L"dpi"].number);
        std::vector<double> expected;
        for (const int dpi : kDpis) {
            const int box = ScaledLayoutMetrics(dpi).FooterButtonWidth;
            if (HeadingWidth(L"Web sitesi", dpi) > box - Room(box))
                expected.push_back(dpi);
        }
        EXPECT_EQ(refused, expected);
        // Japanese and Korean: measured with the faces Tahoma links to for
        // them, named after the face Windows uses first for the language.
        const qvjson::Value& japanese = languages[3];
        const qvjson::Value& koreanTable = languages[4];
        EXPECT_EQ(japanese[L"langid"].string, L"0x0411");
        EXPECT_EQ(koreanTable[L"langid"].string, L"0x0412");
        for (const auto& [table, face] : {std::pair{&japanese, L"MS UI Gothic"}, {&koreanTable, L"Gulim"}}) {
            const auto& faces = (*table)[L"faces"].array;
            EXPECT_TRUE(std::any_of(faces.begin(), faces.end(), [face = face](const qvjson::Value& f) {
                return f[L"face"].string == face;
            })) << face;
        }
        // The lines DrawTextW drew, as many as the height measured, hold the
        // name; the faults name the line.
        ASSERT_EQ(japanese[L"misfits"].size(), 4u);
        ASSERT_EQ(koreanTable[L"misfits"].size(), 1u);
        std::vector<const qvjson::Value*> names;
        for (const qvjson::Value& name : japanese[L"misfits"].array)
            names.push_back(&name);
        names.push_back(&koreanTable[L"misfits"][0]);
        for (const qvjson::Value* name : names) {
            const int id = static_cast<int>((*name)[L"id"].number);
            const bool isKorean = name == names.back();
            for (const qvjson::Value& dpi : (*name)[L"dpis"].array) {
                EXPECT_EQ(dpi[L"widthOver"].number + dpi[L"heightOver"].number, 0) << (*name)[L"text"].string;
                std::wstring drawn;
                for (const qvjson::Value& line : dpi[L"drawnLines"].array)
                    drawn += line.string;
                drawn.erase(std::remove(drawn.begin(), drawn.end(), L' '), drawn.end());
                std::wstring text = (*name)[L"text"].string;
                text.erase(std::remove(text.begin(), text.end(), L' '), text.end());
                EXPECT_EQ(drawn, text);
                ASSERT_EQ(dpi[L"drawnLines"].size(), static_cast<size_t>(dpi[L"lines"].number));
                const bool lone = !isKorean && id == 10000;
                const bool cut = isKorean || id == 10003;
                EXPECT_EQ(dpi[L"loneLastLine"].boolean, lone);
                EXPECT_EQ(dpi[L"badLineStart"].number, lone || cut ? 0 : 2);
                EXPECT_EQ(dpi[L"cutLine"].number, cut ? 2 : 0);
                EXPECT_EQ(dpi[L"cutWord"].string, !cut ? L""
                                                  : isKorean ? L"\uc5c5\ub370\uc774\ud2b8"
                                                             : L"\u30d7\u30ed\u30d1\u30c6\u30a3");
                const std::wstring& last = dpi[L"drawnLines"].array.back().string;
                if (lone) {
                    EXPECT_EQ(last.size(), 1u) << last;
                } else if (!cut) {
                    EXPECT_NE(std::wstring(L"\u300d\u30c3").find(last.at(last.find_first_not_of(L' '))), std::wstring::npos);
                }
            }
        }
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }

    // A program without the window's template or strings, and a bad option.
    const ToolRun notLauncher = RunCheckTool(L"--languages " + Quoted(CheckToolPath()), L"");
    EXPECT_EQ(notLauncher.exitCode, 2u);
    EXPECT_NE(notLauncher.err.find(L"template"), std::wstring::npos) << notLauncher.err;
    EXPECT_EQ(RunCheckTool(L"--languages --fit " + module, L"").exitCode, 2u);
}

// The label height the window gives each name, in lines of the list's font.
std::map<std::wstring, int> LabelLines(const ListViewProbe& list, int lineHeight)
{
    std::map<std::wstring, int> lines;
    for (int n = 0; n < list.Count(); ++n) {
        const RECT label = list.ItemRectOnScreen(n, LVIR_LABEL);
        lines[list.ItemText(n)] = (label.bottom - label.top) / lineHeight;
    }
    return lines;
}

TEST(LanguageCheck, RealLauncherTranslationsFitAndItemNamesTakeTheLinesTheToolMeasures)
{
    const std::wstring launcher = LauncherExePath();
    ASSERT_FALSE(launcher.empty());
    const ToolRun run = RunCheckTool(L"--languages --json " + Quoted(launcher), L"");
    ASSERT_TRUE(run.finished);
    const qvjson::Value report = ParsedReport(run);
    std::map<std::wstring, int> measured;  // names that do not fit at 96 DPI, and their lines
    int lineHeight = 0;
    try {
        // Every shipped translation fits; the English source's texts are used
        // as written and reported without deciding the outcome.
        EXPECT_EQ(run.exitCode, 0u) << run.out;
        EXPECT_EQ(report[L"misfitCount"].number, 0) << run.out;
        // Every text was drawn with the faces the prefix provides for it.
        EXPECT_EQ(report[L"unmeasuredCount"].number, 0) << run.out;
        lineHeight = static_cast<int>(report[L"dpis"][0][L"places"][L"item name"][L"lineHeight"].number);
        const auto& languages = report[L"languages"].array;
        const auto english = std::find_if(languages.begin(), languages.end(),
                                          [](const qvjson::Value& l) { return l[L"langid"].string == L"0x0409"; });
        ASSERT_NE(english, languages.end());
        EXPECT_FALSE((*english)[L"counted"].boolean);
        // Every row counts, installed or not; and the ten general texts and the
        // four categories' captions and texts.
        double rowTexts = 0;
        for (const CatalogueRow& row : ShippedRows())
            rowTexts += (row.name.empty() ? 0 : 1) + (row.description.empty() ? 0 : 1);
        EXPECT_EQ((*english)[L"shownTexts"].number, rowTexts + 10 + 8);
        for (const qvjson::Value& misfit : (*english)[L"misfits"].array) {
            if (misfit[L"place"].string == L"item name" && misfit[L"dpis"][0][L"dpi"].number == 96)
                measured[misfit[L"text"].string] = static_cast<int>(misfit[L"dpis"][0][L"lines"].number);
        }
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    ASSERT_GT(lineHeight, 0);

    // CONNECT with a name of three lines, and two of two, one of them with a
    // word wider than the wrapping width the list view measures with.
    std::map<std::wstring, CatalogueRow> rows;
    for (const CatalogueRow& row : ShippedRows())
        rows[row.Id()] = row;
    Installation machine;
    for (const wchar_t* id : {L"0.0", L"0.2", L"0.4"})
        ASSERT_TRUE(machine.Program(rows.at(id).program)) << id;
    ASSERT_EQ(measured.count(rows.at(L"0.0").name), 1u) << run.out;

    LaunchedProcess process({launcher, L"", L"", {}});
    ASSERT_TRUE(process.started());
    const HWND dialog = process.WaitForWindow(kLauncherClass);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(process.WaitForIdle());
    RECT client = {};
    GetClientRect(dialog, &client);
    ASSERT_EQ(client.right, ScaledLayoutMetrics(96).ClientWidth) << "the test prefix is not at 96 DPI";
    ListViewProbe list(Control(dialog, 155));
    ASSERT_TRUE(list.ok());
    EXPECT_TRUE(WaitUntil([&] { return list.Count() == 3; }));
    const std::map<std::wstring, int> shown = LabelLines(list, lineHeight);
    EXPECT_EQ(shown.size(), 3u);
    for (const auto& [name, lines] : shown) {
        const auto tool = measured.find(name);
        if (tool != measured.end())
            EXPECT_EQ(lines, tool->second) << name;
        else
            EXPECT_LE(lines, 2) << name;
    }

    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(process.WaitForExit());
    EXPECT_TRUE(WaitUntilMutexGone(kLauncherMutex));
}

}  // namespace
