// Measures a text where the launcher shows it, at one DPI: the layout metrics
// scaled for that DPI, the caption boxes as the buttons compute them, and the
// fonts as the window creates them at that DPI. Text is measured with
// DrawTextW and DT_CALCRECT on a memory DC with the flags it is drawn with.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "checktool/DialogTemplate.h"
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
};

struct FitResult {
    int widthOver = 0;   // pixels beyond the box: the widest line or unbreakable word
    int heightOver = 0;  // pixels beyond the height the place allows
    int lines = 0;
    std::wstring word;   // the word that is too wide, if one is
    // Wrapped places: the lines as DrawTextW breaks them, and the breaks'
    // faults: a last line of a single character (after one or more lines),
    // and the first line (1-based) that starts with a character line breaking
    // keeps off a line's start (0: none).
    std::vector<std::wstring> drawnLines;
    bool loneLastLine = false;
    int badLineStart = 0;
    // A name written without blanks between words (Thai) that takes more than
    // one line (checktool/ScriptLines.h).
    bool unbreakableWraps = false;
    bool BreaksWell() const { return !loneLastLine && badLineStart == 0 && !unbreakableWraps; }
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

private:
    HFONT FontFor(TextPlace place) const;
    UINT FormatFor(TextPlace place) const;
    int LineHeight(HFONT font) const;
    // The widest run of the text that DrawTextW cannot break, and its width.
    int WidestWord(const std::wstring& text, HFONT font, UINT format, std::wstring& word) const;
    // The width a place wraps `text` at.
    int WrapWidth(TextPlace place, const std::wstring& text) const;

    int m_dpi;
    bool m_ok = false;
    LayoutMetricsTable m_metrics;
    HDC m_dc = nullptr;
    HFONT m_headingFont = nullptr;
    HFONT m_dialogFont = nullptr;
    std::unique_ptr<ListLabelProbe> m_labels;
    UINT m_descriptionFormat = 0;
    int m_footerVisibleHeight = 0;
    PlaceRule m_rules[kTextPlaceCount];
};
