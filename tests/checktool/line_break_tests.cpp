// The language check's line-break rules, on lines given here, and its reading
// of lines from a recording whose text records hold glyph numbers, as Windows
// records right-to-left and other complex-script text.
#include <gtest/gtest.h>

#include "checktool/LineBreaks.h"

namespace {

struct BreakCase {
    const wchar_t* what;
    std::wstring text;
    std::vector<DrawnLine> lines;
    bool loneLastLine;
    int badLineStart;
    std::wstring cutWord;  // empty: no word cut
};

TEST(LineBreaks, WordsAreNotCutAndCjkRulesHoldForCjkTextOnly)
{
    const BreakCase cases[] = {
        // Words of scripts written with blanks: a break inside one cuts it.
        {L"Russian word cut", L"\u0414\u0438\u0430\u0433 \u0441\u0438\u0441",
         {{0, L"\u0414\u0438\u0430"}, {3, L"\u0433 \u0441\u0438\u0441"}}, false, 0, L"\u0414\u0438\u0430\u0433"},
        {L"at a blank", L"Disk Cleanup", {{0, L"Disk"}, {5, L"Cleanup"}}, false, 0, L""},
        {L"after a hyphen", L"Netwerk-verbindingen", {{0, L"Netwerk-"}, {8, L"verbindingen"}}, false, 0, L""},
        // Korean wraps at blanks only.
        {L"Korean inside a word", L"\ub4dc\ub77c\uc774\ubc84 \uc5c5\ub370\uc774\ud2b8",
         {{0, L"\ub4dc\ub77c\uc774\ubc84 \uc5c5"}, {6, L"\ub370\uc774\ud2b8"}}, false, 0,
         L"\uc5c5\ub370\uc774\ud2b8"},
        {L"Korean at its blank", L"\ub4dc\ub77c\uc774\ubc84 \uc5c5\ub370\uc774\ud2b8",
         {{0, L"\ub4dc\ub77c\uc774\ubc84"}, {5, L"\uc5c5\ub370\uc774\ud2b8"}}, false, 0, L""},
        {L"Korean particle off its word", L"Windows\uac00 \uc2dc\uc791",
         {{0, L"Windows"}, {7, L"\uac00 \uc2dc\uc791"}}, false, 0, L"Windows\uac00"},
        // A katakana word stays whole; a break between other kana or ideographs is fine.
        {L"katakana word cut", L"\u30b7\u30b9\u30c6\u30e0\u306e\u30d7\u30ed\u30d1\u30c6\u30a3",
         {{0, L"\u30b7\u30b9\u30c6\u30e0\u306e\u30d7"}, {6, L"\u30ed\u30d1\u30c6\u30a3"}}, false, 0,
         L"\u30d7\u30ed\u30d1\u30c6\u30a3"},
        {L"katakana after hiragana", L"\u30b7\u30b9\u30c6\u30e0\u306e\u30d7\u30ed\u30d1\u30c6\u30a3",
         {{0, L"\u30b7\u30b9\u30c6\u30e0\u306e"}, {5, L"\u30d7\u30ed\u30d1\u30c6\u30a3"}}, false, 0, L""},
        {L"between ideographs", L"\u65e0\u7ebf\u8fde\u63a5\u7ba1\u7406",
         {{0, L"\u65e0\u7ebf\u8fde"}, {3, L"\u63a5\u7ba1\u7406"}}, false, 0, L""},
        // The CJK rules: in CJK text only.
        {L"CJK line starting with a full stop", L"\u66f4\u65b0\u3059\u308b\u3002", {{0, L"\u66f4\u65b0\u3059\u308b"}, {4, L"\u3002"}},
         false, 2, L""},
        {L"CJK lone last character", L"\u30c9\u30e9\u30a4\u30d0\u30fc\u66f4\u65b0",
         {{0, L"\u30c9\u30e9\u30a4\u30d0\u30fc\u66f4"}, {6, L"\u65b0"}}, true, 0, L""},
        {L"Latin lone last character", L"Step by step A", {{0, L"Step by step"}, {13, L"A"}}, false, 0, L""},
        {L"Latin line starting with punctuation", L"Open it . Now", {{0, L"Open it"}, {8, L". Now"}}, false, 0, L""},
        {L"Hebrew line starting with punctuation", L"\u05e4\u05ea\u05d7 ! \u05e2\u05db\u05e9\u05d9\u05d5",
         {{0, L"\u05e4\u05ea\u05d7"}, {4, L"! \u05e2\u05db\u05e9\u05d9\u05d5"}}, false, 0, L""},
    };
    for (const BreakCase& c : cases) {
        const BreakFaults faults = JudgeBreaks(c.text, c.lines);
        EXPECT_EQ(faults.loneLastLine, c.loneLastLine) << c.what;
        EXPECT_EQ(faults.badLineStart, c.badLineStart) << c.what;
        EXPECT_EQ(faults.cutWord, c.cutWord) << c.what;
        EXPECT_EQ(faults.cutLine, c.cutWord.empty() ? 0 : 2) << c.what;
        EXPECT_EQ(faults.Any(), c.loneLastLine || c.badLineStart != 0 || !c.cutWord.empty()) << c.what;
    }
}

// A recording of `lines` text records, one per line, holding `glyphs` as glyph
// numbers (ETO_GLYPH_INDEX) or as characters.
HENHMETAFILE Recording(HDC reference, HFONT font, const std::vector<std::wstring>& lines, bool glyphs)
{
    HDC metafile = CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
    if (!metafile)
        return nullptr;
    HGDIOBJ old = SelectObject(metafile, font);
    int y = 0;
    for (const std::wstring& line : lines) {
        ExtTextOutW(metafile, 0, y, glyphs ? ETO_GLYPH_INDEX : 0, nullptr, line.c_str(), static_cast<UINT>(line.size()),
                    nullptr);
        y += 13;
    }
    SelectObject(metafile, old);
    return CloseEnhMetaFile(metafile);
}

TEST(LineBreaks, LinesRecordedAsGlyphNumbersAreReadFromTheText)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY,
                             FF_DONTCARE, L"Tahoma");
    ASSERT_TRUE(dc && font);
    const std::wstring first = L"\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd";  // two Hebrew words
    const std::wstring second = L"\u05d8\u05d5\u05d1";
    const std::wstring text = first + L" " + second;
    HGDIOBJ old = SelectObject(dc, font);
    RECT box = {0, 0, 0, 0};
    DrawTextW(dc, first.c_str(), static_cast<int>(first.size()), &box, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    const int width = box.right + 2;  // the first two words fit, the third goes to line 2

    // Glyph numbers that, read as characters, are a small kana: a line that
    // starts with one, and a last line of a single character.
    const std::wstring glyphs1(first.size(), L'\u30c3'), glyphs2(1, L'\u30c3');
    ASSERT_TRUE(StartsWithNonStarter(glyphs2) && IsLoneCharacter(glyphs2) && HasCjk(glyphs2));
    HENHMETAFILE recorded = Recording(dc, font, {glyphs1, glyphs2}, true);
    ASSERT_NE(recorded, nullptr);
    const std::vector<DrawnLine> lines = LinesOfDrawing(recorded, dc, font, DT_WORDBREAK, width, text);
    DeleteEnhMetaFile(recorded);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, first);
    EXPECT_EQ(lines[0].start, 0u);
    EXPECT_EQ(lines[1].text, second);
    EXPECT_EQ(lines[1].start, first.size() + 1);
    EXPECT_FALSE(JudgeBreaks(text, lines).Any());

    // Records of characters are the lines as drawn.
    recorded = Recording(dc, font, {first, second}, false);
    ASSERT_NE(recorded, nullptr);
    const std::vector<DrawnLine> read = LinesOfDrawing(recorded, dc, font, DT_WORDBREAK, width, text);
    DeleteEnhMetaFile(recorded);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].text, second);
    EXPECT_EQ(read[1].start, first.size() + 1);

    // A recording with more lines than the text makes at that width: the
    // lines cannot be told, and none are guessed.
    recorded = Recording(dc, font, {glyphs2, glyphs2, glyphs2}, true);
    ASSERT_NE(recorded, nullptr);
    EXPECT_TRUE(LinesOfDrawing(recorded, dc, font, DT_WORDBREAK, width, text).empty());
    DeleteEnhMetaFile(recorded);
    DeleteObject(font);
    DeleteDC(dc);
}

}  // namespace
