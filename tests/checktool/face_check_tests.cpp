// Which face the language check finds drawing a text, in the test prefix:
// Tahoma for what it has, the face Tahoma links to first for the string's
// language for CJK text (all of them WenQuanYi Micro Hei here), boxes for
// what no face has, and a face that is not installed.
#include <gtest/gtest.h>

#include "checktool/FaceCheck.h"

namespace {

struct FaceCase {
    const wchar_t* what;
    const wchar_t* face;  // the font's face
    std::wstring text;
    LANGID language;
    TextFaces::Problem problem;
    std::wstring lacking;     // the face it needs and lacks
    std::wstring linkedFace;  // the linked face it is drawn with, if any
};

TEST(FaceCheck, EachCharacterIsDrawnByTheFaceThatHasIt)
{
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
    const LANGID korean = MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN);
    const LANGID traditional = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
    const FaceCase cases[] = {
        {L"Latin", L"Tahoma", L"Web site", MAKELANGID(LANG_TURKISH, SUBLANG_NEUTRAL), TextFaces::Problem::None, L"", L""},
        {L"Hebrew, in the copy of Tahoma", L"Tahoma", L"\u05d0\u05ea\u05e8", MAKELANGID(LANG_HEBREW, SUBLANG_NEUTRAL),
         TextFaces::Problem::None, L"", L""},
        {L"kana", L"Tahoma", L"Web \u30b5\u30a4\u30c8", japanese, TextFaces::Problem::None, L"", L"MS UI Gothic"},
        {L"Hangul", L"Tahoma", L"PC \ub514\uc2a4\ud06c", korean, TextFaces::Problem::None, L"", L"Gulim"},
        {L"hanzi", L"Tahoma", L"Web \u985e\u5225", traditional, TextFaces::Problem::None, L"", L"PMingLiU"},
        {L"runes", L"Tahoma", L"Runen \u16a0\u16a2", MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL),
         TextFaces::Problem::Boxes, L"Tahoma", L""},
        {L"a face not installed", L"Quorvane No Such Face", L"abc", MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL),
         TextFaces::Problem::FaceMissing, L"Quorvane No Such Face", L""},
    };
    for (const FaceCase& c : cases) {
        // The dialog's font: regular weight, which Wine links to the CJK
        // faces under every character type.
        HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY,
                                 FF_DONTCARE, c.face);
        ASSERT_NE(font, nullptr);
        {
            FaceProbe probe(font);
            ASSERT_TRUE(probe.ok()) << c.what;
            const TextFaces faces = probe.Check(c.text, c.language);
            EXPECT_EQ(faces.problem, c.problem) << c.what;
            EXPECT_EQ(faces.lacking, c.lacking) << c.what;
            EXPECT_EQ(faces.Measurable(), c.problem == TextFaces::Problem::None) << c.what;
            bool own = false, linked = false;
            for (const FaceUse& use : faces.used) {
                own = own || (!use.linked && use.face == L"Tahoma");
                linked = linked || (use.linked && use.face == c.linkedFace);
                EXPECT_EQ(use.face, use.linked ? c.linkedFace : std::wstring(L"Tahoma")) << c.what;
            }
            // Tahoma draws the Latin letters, unless the font is not Tahoma at all.
            EXPECT_EQ(own, c.problem != TextFaces::Problem::FaceMissing) << c.what;
            EXPECT_EQ(linked, !c.linkedFace.empty()) << c.what;
            if (c.problem == TextFaces::Problem::Boxes) {
                EXPECT_EQ(faces.characters, L"\u16a0\u16a2") << c.what;
            }
            if (c.problem == TextFaces::Problem::FaceMissing) {
                EXPECT_FALSE(faces.drawnWith.empty()) << c.what;
            }
        }
        DeleteObject(font);
    }
}

}  // namespace
