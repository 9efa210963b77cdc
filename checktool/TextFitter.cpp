#include "checktool/TextFitter.h"

#include <usp10.h>

#include <algorithm>
#include <vector>

#include "checktool/LineBreaks.h"
#include "res/resource.h"
#include "ui/CaptionBox.h"

namespace {

// How the window draws each place's text. None but the list view's adds
// DT_NOPREFIX: "&&" measures as the one "&" it shows.
const UINT kHeaderFormat = 0;  // the dialog's header texts
const UINT kFooterFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;  // the footer buttons' format
const UINT kCategoryFormat = DT_WORDBREAK;  // the category buttons' format
// The list view's icon labels (under Wine), without the ellipses it puts on
// what it cuts.
const UINT kLabelFormat = DT_TOP | DT_NOPREFIX | DT_EDITCONTROL | DT_CENTER | DT_WORDBREAK;

// The heading and button font: Tahoma 9 point at weight 900, as the dialog and
// its buttons create it for a screen of `dpi`.
HFONT HeadingFont(int dpi)
{
    LOGFONTW lf = {};
    lf.lfHeight = -MulDiv(dpi, 90, 720);
    lf.lfWeight = 900;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

// The font the dialog manager makes from the template for a screen of `dpi`.
HFONT DialogFont(const DialogTemplate& dialog, int dpi)
{
    if (dialog.pointSize == 0)
        return nullptr;
    return CreateFontW(-MulDiv(dialog.pointSize, dpi, 72), 0, 0, 0, dialog.weight, dialog.italic, FALSE, FALSE,
                       DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, FF_DONTCARE, dialog.face.c_str());
}

// A static control's text format (its alignment does not change the breaks).
UINT StaticFormat(DWORD style)
{
    UINT format = DT_EXPANDTABS | DT_WORDBREAK;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (style & SS_EDITCONTROL)
        format |= DT_EDITCONTROL;
    return format;
}

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

}  // namespace

int RoomToSpare(int width)
{
    return std::max(kMinimumRoom, (width * kRoomPercent + 99) / 100);
}

TextFitter::TextFitter(int dpi, const DialogTemplate& dialog)
    : m_dpi(dpi), m_metrics(ScaledLayoutMetrics(dpi))
{
    const auto list = dialog.controls.find(IDC_ITEM_LIST);
    const auto description = dialog.controls.find(IDC_DESCRIPTION);
    m_dc = CreateCompatibleDC(nullptr);
    m_headingFont = HeadingFont(dpi);
    m_dialogFont = DialogFont(dialog, dpi);
    if (!m_dc || !m_headingFont || !m_dialogFont || list == dialog.controls.end() ||
        description == dialog.controls.end())
        return;
    m_descriptionFormat = StaticFormat(description->second.style);
    m_labels = std::make_unique<ListLabelProbe>(list->second, m_metrics, m_dialogFont);
    m_headingFaces = std::make_unique<FaceProbe>(m_headingFont);
    m_dialogFaces = std::make_unique<FaceProbe>(m_dialogFont);
    if (!m_labels->ok() || !m_headingFaces->ok() || !m_dialogFaces->ok())
        return;

    const LayoutMetricsTable& m = m_metrics;
    const int heading = LineHeight(m_headingFont);
    const int dialogLine = LineHeight(m_dialogFont);
    // The header texts are drawn into the header's bitmap, which ends with the band.
    const int headerBottom = m.TitleStripHeight + m.HeaderHeight + m.HeaderBandHeight;
    const RECT caption = CaptionBox(RECT{0, 0, m.CategoryButtonWidth, m.CategoryButtonHeight},
                                    CategoryCaptionMargins(m));
    const RECT footer = CaptionBox(RECT{0, 0, m.FooterButtonWidth, m.FooterButtonHeight}, RECT{0, 0, 0, 0});
    // The footer row reaches below the client area (two pixels at 96 DPI).
    m_footerVisibleHeight = std::min<int>(footer.bottom, m.ClientHeight - m.FooterTop);
    const int captionHeight = caption.bottom - caption.top;

    m_rules[static_cast<int>(TextPlace::Title)] = {
        m.ClientWidth - 2 * m.HeaderTextLeft, std::min(m.HeaderTextLineHeight, headerBottom - m.SubtitleTextTop), 1,
        heading};
    m_rules[static_cast<int>(TextPlace::Heading)] = {
        m.HeadingTextWidth, std::min(m.HeaderBandHeight - 2, headerBottom - m.HeadingTextTop), 1, heading};
    m_rules[static_cast<int>(TextPlace::FooterCaption)] = {footer.right - footer.left, m_footerVisibleHeight, 1,
                                                           heading};
    m_rules[static_cast<int>(TextPlace::CategoryCaption)] = {caption.right - caption.left, captionHeight,
                                                             captionHeight / heading, heading};
    m_rules[static_cast<int>(TextPlace::Description)] = {m.DescriptionTextWidth, m.DescriptionTextHeight,
                                                         m.DescriptionTextHeight / dialogLine, dialogLine};
    m_rules[static_cast<int>(TextPlace::ItemName)] = {m_labels->CellWidth(), 2 * dialogLine, 2, dialogLine};
    for (PlaceRule& rule : m_rules)
        rule.margin = RoomToSpare(rule.width);
    m_ok = heading > 0 && dialogLine > 0;
}

TextFitter::~TextFitter()
{
    m_labels.reset();  // the list view uses the dialog font until it is gone
    m_headingFaces.reset();
    m_dialogFaces.reset();
    if (m_dc)
        DeleteDC(m_dc);
    if (m_headingFont)
        DeleteObject(m_headingFont);
    if (m_dialogFont)
        DeleteObject(m_dialogFont);
}

HFONT TextFitter::FontFor(TextPlace place) const
{
    return place == TextPlace::Description || place == TextPlace::ItemName ? m_dialogFont : m_headingFont;
}

TextFaces TextFitter::Faces(TextPlace place, const std::wstring& text, LANGID language)
{
    FaceProbe& probe = FontFor(place) == m_dialogFont ? *m_dialogFaces : *m_headingFaces;
    return probe.Check(text, language);
}

UINT TextFitter::FormatFor(TextPlace place) const
{
    switch (place) {
    case TextPlace::Title:
    case TextPlace::Heading: return kHeaderFormat;
    case TextPlace::FooterCaption: return kFooterFormat;
    case TextPlace::CategoryCaption: return kCategoryFormat;
    case TextPlace::Description: return m_descriptionFormat;
    case TextPlace::ItemName: return kLabelFormat;
    }
    return 0;
}

int TextFitter::LineHeight(HFONT font) const
{
    HGDIOBJ old = SelectObject(m_dc, font);
    TEXTMETRICW metrics = {};
    const BOOL read = GetTextMetricsW(m_dc, &metrics);
    SelectObject(m_dc, old);
    return read ? metrics.tmHeight : 0;
}

int TextFitter::WidestWord(const std::wstring& text, HFONT font, UINT format, std::wstring& word) const
{
    // DrawTextW breaks a line at a blank or where the text's script allows a
    // break (as ScriptBreak reports it); anything else it has to cut.
    std::vector<SCRIPT_LOGATTR> breaks(text.size());
    SCRIPT_ANALYSIS analysis = {};
    analysis.eScript = SCRIPT_UNDEFINED;
    if (text.empty() || FAILED(ScriptBreak(text.c_str(), static_cast<int>(text.size()), &analysis, breaks.data())))
        breaks.assign(text.size(), SCRIPT_LOGATTR{});
    HGDIOBJ old = SelectObject(m_dc, font);
    int widest = 0;
    size_t start = 0;
    for (size_t n = 0; n <= text.size(); ++n) {
        const bool end = n == text.size() || IsBlank(text[n]) || (breaks[n].fSoftBreak && n > start);
        if (!end)
            continue;
        if (n > start) {
            RECT box = {0, 0, 0, 0};
            DrawTextW(m_dc, text.c_str() + start, static_cast<int>(n - start), &box,
                      DT_CALCRECT | DT_SINGLELINE | (format & DT_NOPREFIX));
            if (box.right - box.left > widest) {
                widest = box.right - box.left;
                word = text.substr(start, n - start);
            }
        }
        start = n < text.size() && IsBlank(text[n]) ? n + 1 : n;
    }
    SelectObject(m_dc, old);
    return widest;
}

int TextFitter::WrapWidth(TextPlace place, const std::wstring& text) const
{
    const PlaceRule& rule = Rule(place);
    if (place != TextPlace::ItemName)
        return rule.width - rule.margin;
    // The list view sizes a label for each name, at most its icon cell: a
    // short name keeps its own label, a long one wraps the margin inside the cell.
    const RECT label = m_labels->Label(text);
    return std::min<int>(label.right - label.left, rule.width - rule.margin);
}

int TextFitter::WidthForLines(const std::wstring& text, HFONT font, UINT format, int width, int lines) const
{
    const int lineHeight = LineHeight(font);
    if (lineHeight <= 0 || width <= 0)
        return -1;
    HGDIOBJ old = SelectObject(m_dc, font);
    auto fits = [&](int w) {
        RECT box = {0, 0, w, 0};
        DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_CALCRECT);
        return box.right - box.left <= w && box.bottom - box.top <= lines * lineHeight;
    };
    int low = width, high = 4 * width;  // low does not fit; high fits, if anything does
    int found = -1;
    if (fits(high)) {
        while (high - low > 1) {
            const int middle = low + (high - low) / 2;
            (fits(middle) ? high : low) = middle;
        }
        found = high;
    }
    SelectObject(m_dc, old);
    return found;
}

FitResult TextFitter::Check(TextPlace place, const std::wstring& text) const
{
    const PlaceRule& rule = Rule(place);
    const UINT format = FormatFor(place);
    const int width = WrapWidth(place, text);
    HFONT font = FontFor(place);
    HGDIOBJ old = SelectObject(m_dc, font);
    RECT box = {0, 0, width, 0};
    DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_CALCRECT);
    SelectObject(m_dc, old);
    const int height = box.bottom - box.top;

    FitResult fit;
    fit.width = width;
    fit.lines = (height + rule.lineHeight - 1) / rule.lineHeight;
    fit.widthOver = box.right - box.left - width;
    if (format & DT_WORDBREAK) {
        std::wstring word;
        const int over = WidestWord(text, font, format, word) - width;
        if (over > 0)
            fit.word = word;
        fit.widthOver = std::max(fit.widthOver, over);
        if (fit.lines > rule.maxLines) {
            const int needed = WidthForLines(text, font, format, width, rule.maxLines);
            fit.linesShortBy = needed < 0 ? 3 * width : needed - width;
        }
        // The breaks DrawTextW makes at the same width, in the same font and
        // format; a text on one line has none to judge.
        const size_t first = text.find_first_not_of(L" \t\u00a0\u3000");
        const std::vector<DrawnLine> lines =
            fit.lines > 1 || first == std::wstring::npos
                ? DrawnLines(m_dc, font, format, width, text)
                : std::vector<DrawnLine>{{first, text.substr(first)}};
        fit.linesKnown = !lines.empty() || text.empty();
        for (const DrawnLine& line : lines)
            fit.drawnLines.push_back(line.text);
        fit.breaks = JudgeBreaks(text, lines);
    }
    if (place == TextPlace::FooterCaption) {
        // Centred in the whole button, of which the client area shows the top.
        const int top = (m_metrics.FooterButtonHeight - height) / 2;
        fit.heightOver = std::max(0, -top) + std::max(0, top + height - m_footerVisibleHeight);
    } else {
        fit.heightOver = height - rule.height;
    }
    return fit;
}
