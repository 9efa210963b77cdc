// Scripts written without blanks between words, whose line breaks Windows'
// text layout finds with a dictionary and Wine's cannot: a name in such a
// script may wrap on Windows at a word Wine does not know, so its lines cannot
// be checked here, and it must fit on one line. Thai is the one such script
// among the launcher's languages.
//
// Measured under Wine 8 with Tahoma extended by Loma's Thai letters: Uniscribe's
// ScriptBreak reports no break opportunity inside a run of Thai letters (only
// at a blank), and DrawTextW with DT_WORDBREAK breaks Thai only at blanks and
// draws a run wider than the line on that line.
#pragma once

#include <string>

#include "checktool/TextFitter.h"

// Whether `text` holds a letter of a script written without blanks between words.
bool WrittenWithoutWordBlanks(const std::wstring& text);

// Whether `text`, shown at `place`, must fit on one line: an item name or a
// category caption written without blanks between words.
bool MustStayOnOneLine(TextPlace place, const std::wstring& text);
