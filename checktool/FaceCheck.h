// Which face really draws each character of a text in a font the window
// makes, found by drawing it: a measurement is only as good as the face it
// was made with. A character the font itself has (GetGlyphIndicesW) is drawn
// by the font, if the font is the face asked for and not a stand-in the
// system chose. Any other character is drawn by font linking, if at all, and
// linking happens while drawing, so the character is drawn alone in
// black and white and compared with what each face Tahoma links to draws for
// it: the same pixels name the face. Pixels of the font's own missing-glyph
// box (glyph 0), or none at all, mean boxes; pixels that match no linked face
// mean a fallback face the system chose. Either way the text cannot be
// measured here.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// A face a text was drawn with, and the font that draws it here.
struct FaceUse {
    std::wstring face;    // the face asked for or linked to: "Tahoma", "MS UI Gothic"
    std::wstring font;    // the installed font's full name: "Wine Tahoma Bold", "WenQuanYi Micro Hei"
    bool linked = false;  // a face the font links to; the font's own face first
    bool operator<(const FaceUse& other) const
    {
        if (linked != other.linked)
            return !linked;
        return face != other.face ? face < other.face : font < other.font;
    }
};

// The faces of one text, or why it cannot be measured here.
struct TextFaces {
    enum class Problem {
        None,
        FaceMissing,   // the font's face is not installed: the system drew with another
        Boxes,         // characters drawn as boxes: no face here has them
        FallbackFace,  // characters drawn with a face the system chose, none Tahoma links to
    };
    std::vector<FaceUse> used;
    Problem problem = Problem::None;
    std::wstring lacking;     // the face the text needs and lacks here
    bool linked = false;      // ... a face Tahoma links to for the characters concerned
    std::wstring drawnWith;   // FaceMissing: the font the system drew with instead
    std::wstring characters;  // the characters concerned (the first few)
    bool Measurable() const { return problem == Problem::None; }
};

// The faces Tahoma links to on Windows, the one it links to first on a
// system of `language` first (MS UI Gothic for Japanese, Gulim for Korean,
// SimSun for simplified and PMingLiU for traditional Chinese).
std::vector<std::wstring> LinkedFaces(LANGID language);

// Whether Windows draws `ch` in Tahoma from a linked face: ideographs, kana,
// Hangul, CJK punctuation and full-width forms.
bool IsLinkedCharacter(wchar_t ch);

class FaceProbe {
public:
    // Probes how `font` draws. Check ok() before use.
    explicit FaceProbe(HFONT font);
    ~FaceProbe();
    FaceProbe(const FaceProbe&) = delete;
    FaceProbe& operator=(const FaceProbe&) = delete;

    bool ok() const { return m_ok; }
    // The faces `text` is drawn with, for a string of `language`.
    TextFaces Check(const std::wstring& text, LANGID language);

private:
    struct Glyph {
        enum Kind { Own, Linked, Box, Fallback } kind = Own;
        FaceUse use;  // Own and Linked: the face
    };
    using Image = std::vector<DWORD>;

    Glyph Classify(wchar_t ch, LANGID language);
    Image Draw(HFONT font, wchar_t ch, bool glyphIndex = false);
    // A face of the same size, weight and style, drawn in black and white;
    // null when the system has no face of that name.
    HFONT Candidate(const std::wstring& face, LONG height, LONG weight);
    bool HasGlyph(HFONT font, wchar_t ch);

    bool m_ok = false;
    LOGFONTW m_logfont = {};
    FaceUse m_own;          // the font's own face and the font that draws it
    bool m_ownIsAsked = false;  // ... which is the face asked for
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    DWORD* m_bits = nullptr;
    int m_size = 0;         // the canvas is m_size pixels square
    HFONT m_mono = nullptr;  // the font, drawn in black and white
    Image m_box;             // its glyph 0
    Image m_blank;
    std::map<std::wstring, HFONT> m_candidates;  // by face, height and weight
    std::map<std::pair<wchar_t, LANGID>, Glyph> m_glyphs;
};
