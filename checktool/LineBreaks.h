// Where DrawTextW breaks a wrapped text into lines, and the line-break rules a
// wrapped text must keep: no last line of a single character (a CJK name
// "无线连接管理" / "器"), and no line that starts with a character that
// line breaking keeps off a line's start (closing brackets and punctuation in
// every script; in Japanese also the small kana, the long-vowel mark and the
// iteration marks).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The lines DrawTextW draws `text` in, in `font` with `format` in a box
// `width` pixels wide: the text is drawn into an enhanced metafile made for
// `reference`, and each line is what DrawTextW wrote at one height, so the
// breaks are DrawTextW's own on this system (the font's fallbacks included).
// Empty when the metafile cannot be made.
std::vector<std::wstring> DrawnLines(HDC reference, HFONT font, UINT format, int width, const std::wstring& text);

// Whether `line` holds a single character apart from blanks and punctuation.
bool IsLoneCharacter(const std::wstring& line);

// Whether `line` (its leading blanks aside) starts with a character that
// line breaking keeps off a line's start.
bool StartsWithNonStarter(const std::wstring& line);
