// Where DrawTextW breaks a wrapped text into lines, and the line-break rules a
// wrapped text must keep:
// - no word is cut: a break between two letters of a script that separates
//   its words with blanks (Latin, Cyrillic, Greek, Arabic, Hebrew, Korean's
//   Hangul, digits) cuts a word, so does one inside a run of katakana
//   ("システムのプ" / "ロパティ");
// - in Chinese, Japanese and Korean text only: no last line of a single
//   character (a CJK name "无线连接管理" / "器"), and no line that starts
//   with a character that line breaking keeps off a line's start (closing
//   brackets and punctuation; in Japanese also the small kana, the long-vowel
//   mark and the iteration marks).
// The lines are always read as characters of the text, never as what a
// drawing recorded: Windows records right-to-left and other complex-script
// text as glyph numbers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One line of a wrapped text: where it starts in the text (its first
// character that is not a blank) and its characters.
struct DrawnLine {
    size_t start = 0;
    std::wstring text;
};

// The lines DrawTextW draws `text` in, in `font` with `format` in a box
// `width` pixels wide: the text is drawn into an enhanced metafile made for
// `reference`, and each height DrawTextW wrote at is one line, so the breaks
// are DrawTextW's own on this system. Empty when they cannot be told.
std::vector<DrawnLine> DrawnLines(HDC reference, HFONT font, UINT format, int width, const std::wstring& text);

// The lines of `text` in `drawing`, a recording of DrawTextW drawing it in
// `font` with `format` `width` pixels wide (with `dc` to measure on). A line
// recorded as characters is matched to the text; when one is recorded as
// glyph numbers, the lines are found from the text the way DrawTextW breaks
// it (as many words on a line as fit, broken where the script allows), and
// must come out as many as the recording has. Empty when they cannot be told.
std::vector<DrawnLine> LinesOfDrawing(HENHMETAFILE drawing, HDC dc, HFONT font, UINT format, int width,
                                      const std::wstring& text);

// What is wrong with how `lines` break `text` (line numbers 1-based, 0: none).
struct BreakFaults {
    bool loneLastLine = false;  // CJK text: the last line is a single character
    int badLineStart = 0;       // CJK text: the first line that starts with a non-starter
    int cutLine = 0;            // the first line that starts inside a word
    std::wstring cutWord;       // ... that word, and how it is cut
    std::wstring cutBefore;     //     its part on the line before
    bool Any() const { return loneLastLine || badLineStart != 0 || cutLine != 0; }
};
BreakFaults JudgeBreaks(const std::wstring& text, const std::vector<DrawnLine>& lines);

// Whether `text` has Chinese, Japanese or Korean characters (ideographs,
// kana, Hangul, CJK punctuation and full-width forms).
bool HasCjk(const std::wstring& text);

// Whether `line` holds a single character apart from blanks and punctuation.
bool IsLoneCharacter(const std::wstring& line);

// Whether `line` (its leading blanks aside) starts with a character that
// line breaking keeps off a line's start.
bool StartsWithNonStarter(const std::wstring& line);
