// Measures a text where the launcher shows it, at one DPI: the layout metrics
// scaled for that DPI, the caption boxes as the buttons compute them, and the
// fonts as the window creates them at that DPI. Text is measured with
// DrawTextW and DT_CALCRECT on a memory DC with the flags it is drawn with.
//
// A text fits only with room to spare: the fonts here stand in for the ones
// Windows draws with, whose widths differ by a few pixels, so every box is
// measured narrower by a margin (the wider of 4 px and 5 % of the box) and a
// wrapped text is wrapped at that narrower width. Heights are not narrowed:
// the line height is the selected font's, the same on both, and a text that
// takes more lines at the narrower width must still have room for them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "checktool/DialogTemplate.h"
#include "checktool/FaceCheck.h"
#include "checktool/LineBreaks.h"
#include "checktool/ListLabelProbe.h"
#include "ui/LayoutMetrics.h"

enum class TextPlace {
    Title,            // title and subtitle: one line in the header, clipped
    Heading,          // the two column headings: one line, clipped
    FooterCaption,    // one line on a footer button
    CategoryCaption,  // word-wrapped on a category button
    Description,      // word-wrapped in the description control
    ItemName,         // under an icon of the item list
};
const int kTextPlaceCount = 6;

// Where a place shows its texts, in pixels at the fitter's DPI.
struct PlaceRule {
    int width = 0;     // item names: the widest label the list view draws
    int height = 0;    // the height the text may take
    int maxLines = 0;  // wrapped places: the lines allowed; 1 for one-line places
    int lineHeight = 0;
    int margin = 0;    // the room a text must leave: its box is measured this much narrower
};

// The room a text must leave in a box `width` pixels wide: the wider of 4 px
// and 5 % of the box (rounded up).
const int kMinimumRoom = 4;
const int kRoomPercent = 5;
int RoomToSpare(int width);

struct FitResult {
    int width = 0;       // the width measured against: the box less the margin
    int widthOver = 0;   // pixels beyond that width: the widest line or unbreakable word
    int heightOver = 0;  // pixels beyond the height the place allows
    int lines = 0;       // the lines it takes at that width
    // Wrapped texts with more lines than the place allows: how many pixels
    // wider the measured width would have to be for them to fit (0: none).
    int linesShortBy = 0;
    std::wstring word;   // the word that is too wide, if one is
    // Wrapped places: the lines as DrawTextW breaks them, read as the text's
    // characters, and the breaks' faults (line numbers 1-based, 0: none): a
    // word cut across lines; in CJK text a last line of a single character
    // and a line that starts with a character line breaking keeps off a
    // line's start. `linesKnown` is false when the lines could not be told.
    std::vector<std::wstring> drawnLines;
    bool linesKnown = true;
    BreakFaults breaks;
    // A name written without blanks between words (Thai) that takes more than
    // one line (checktool/ScriptLines.h).
    bool unbreakableWraps = false;
    bool BreaksWell() const { return linesKnown && !breaks.Any() && !unbreakableWraps; }
    bool Fits() const { return widthOver <= 0 && heightOver <= 0 && BreaksWell(); }
};

class TextFitter {
public:
    // `dialog`: the launcher's window template (dialog font, list and
    // description controls). Check ok() before use.
    TextFitter(int dpi, const DialogTemplate& dialog);
    ~TextFitter();
    TextFitter(const TextFitter&) = delete;
    TextFitter& operator=(const TextFitter&) = delete;

    bool ok() const { return m_ok; }
    int Dpi() const { return m_dpi; }
    const PlaceRule& Rule(TextPlace place) const { return m_rules[static_cast<int>(place)]; }

    FitResult Check(TextPlace place, const std::wstring& text) const;
    // The faces `text`, a string of `language`, is drawn with where `place`
    // shows it, or why it cannot be measured here.
    TextFaces Faces(TextPlace place, const std::wstring& text, LANGID language);

private:
    HFONT FontFor(TextPlace place) const;
    UINT FormatFor(TextPlace place) const;
    int LineHeight(HFONT font) const;
    // The widest run of the text that DrawTextW cannot break, and its width.
    int WidestWord(const std::wstring& text, HFONT font, UINT format, std::wstring& word) const;
    // The width a place wraps `text` at, less the margin.
    int WrapWidth(TextPlace place, const std::wstring& text) const;
    // The narrowest width from `width` up at which `text` takes no more than
    // `lines` lines (DrawTextW's breaks), or -1 when none up to four times `width` does.
    int WidthForLines(const std::wstring& text, HFONT font, UINT format, int width, int lines) const;

    int m_dpi;
    bool m_ok = false;
    LayoutMetricsTable m_metrics;
    HDC m_dc = nullptr;
    HFONT m_headingFont = nullptr;
    HFONT m_dialogFont = nullptr;
    std::unique_ptr<ListLabelProbe> m_labels;
    std::unique_ptr<FaceProbe> m_headingFaces;
    std::unique_ptr<FaceProbe> m_dialogFaces;
    UINT m_descriptionFormat = 0;
    int m_footerVisibleHeight = 0;
    PlaceRule m_rules[kTextPlaceCount];
};
