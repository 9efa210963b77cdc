#include "checktool/LineBreaks.h"

#include <usp10.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

// Characters that do not start a line (Japanese line breaking, kinsoku, with
// their Latin and half-width counterparts): closing brackets and quotes,
// hyphens, dividing punctuation, middle dots, full stops, commas, iteration
// marks, the prolonged sound mark and the small kana.
const wchar_t kNonStarters[] =
    L"’”）〕］｝〉》」』】〙〗〟｠»)]}"
    L"‐゠–〜"
    L"？！‼⁇⁈⁉?!"
    L"・：；:;"
    L"。．.,、，"
    L"ヽヾゝゞ々〻"
    L"ー"
    L"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ"
    L"｡｣､･ｧｨｩｪｫｬｭｮｯｰ";

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\u00a0' || ch == L'\u3000';
}

bool IsKatakana(wchar_t ch)
{
    // The katakana block but its middle dot (a word separator), its
    // extensions and the half-width forms.
    return (ch >= 0x30A0 && ch <= 0x30FF && ch != 0x30FB) || (ch >= 0x31F0 && ch <= 0x31FF) ||
           (ch >= 0xFF66 && ch <= 0xFF9F);
}

bool IsHangul(wchar_t ch)
{
    return (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0x1100 && ch <= 0x11FF) || (ch >= 0x3130 && ch <= 0x318F);
}

// Characters of the scripts that do not separate words with blanks:
// ideographs (and the surrogates of those beyond the first plane), kana, CJK
// punctuation and symbols, full-width forms.
bool IsUnspacedCjk(wchar_t ch)
{
    return (ch >= 0x2E80 && ch <= 0x2FDF) || (ch >= 0x3000 && ch <= 0x30FF) || (ch >= 0x31C0 && ch <= 0x31FF) ||
           (ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0xF900 && ch <= 0xFAFF) ||
           (ch >= 0xFE30 && ch <= 0xFE4F) || (ch >= 0xFF00 && ch <= 0xFFEF) || (ch >= 0xD800 && ch <= 0xDFFF);
}

// A letter, digit or combining mark of a script that separates its words with
// blanks (Hangul included).
bool IsSpacedLetter(wchar_t ch)
{
    if (IsBlank(ch) || IsUnspacedCjk(ch))
        return false;
    WORD type1 = 0, type3 = 0;
    GetStringTypeW(CT_CTYPE1, &ch, 1, &type1);
    GetStringTypeW(CT_CTYPE3, &ch, 1, &type3);
    return (type1 & (C1_ALPHA | C1_DIGIT)) != 0 || (type3 & C3_NONSPACING) != 0;
}

// One line as the recording holds it.
struct RecordedLine {
    LONG y = 0;
    bool glyphs = false;  // recorded as glyph numbers, not characters
    std::wstring run;
};

int CALLBACK OnRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    if (record->iType != EMR_EXTTEXTOUTW || record->nSize < sizeof(EMREXTTEXTOUTW))
        return 1;
    const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const DWORD offset = text->emrtext.offString;
    const DWORD count = text->emrtext.nChars;
    if (offset > record->nSize || count > (record->nSize - offset) / sizeof(wchar_t))
        return 1;  // a malformed record: not ours to read
    std::wstring run(count, L'\0');
    memcpy(run.data(), reinterpret_cast<const BYTE*>(record) + offset, count * sizeof(wchar_t));
    // One line may be written in several runs (at tabs, around a prefix).
    auto* lines = reinterpret_cast<std::vector<RecordedLine>*>(data);
    const LONG y = text->emrtext.ptlReference.y;
    const bool glyphs = (text->emrtext.fOptions & ETO_GLYPH_INDEX) != 0;
    if (lines->empty() || y != lines->back().y)
        lines->push_back({y, glyphs, run});
    else {
        lines->back().glyphs = lines->back().glyphs || glyphs;
        lines->back().run += run;
    }
    return 1;
}

size_t SkipBlanks(const std::wstring& text, size_t at)
{
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return at;
}

// The recorded lines matched to the text: every character a line shows, in
// order, with the blanks DrawTextW leaves out at a break and the prefix
// characters ("&") it does not show skipped. Empty when they do not match.
std::vector<DrawnLine> MatchRecordedLines(const std::vector<RecordedLine>& recorded, const std::wstring& text,
                                          UINT format)
{
    std::vector<DrawnLine> lines;
    const bool prefixes = (format & DT_NOPREFIX) == 0;
    size_t at = 0;
    for (const RecordedLine& line : recorded) {
        size_t start = std::wstring::npos;
        for (size_t j = 0; j < line.run.size();) {
            if (at >= text.size())
                return {};
            if (text[at] == line.run[j]) {
                if (start == std::wstring::npos && !IsBlank(text[at]))
                    start = at;
                ++at;
                ++j;
            } else if ((prefixes && text[at] == L'&') || (j == 0 && IsBlank(text[at]))) {
                ++at;
            } else {
                return {};
            }
        }
        lines.push_back({start == std::wstring::npos ? SkipBlanks(text, at) : start, line.run});
    }
    while (at < text.size() && (IsBlank(text[at]) || (prefixes && text[at] == L'&')))
        ++at;
    if (at != text.size())
        return {};
    return lines;
}

// The lines DrawTextW makes of `text`, found from the text: each line takes
// as much as fits in one line of `width`, up to a place where the script
// allows a break (after a blank, between ideographs, after a hyphen, as
// ScriptBreak reports); a word wider than the line is cut where it is full.
std::vector<DrawnLine> LinesFromText(HDC dc, HFONT font, UINT format, int width, const std::wstring& text)
{
    std::vector<DrawnLine> lines;
    if (text.empty())
        return lines;
    std::vector<SCRIPT_LOGATTR> breaks(text.size());
    SCRIPT_ANALYSIS analysis = {};
    analysis.eScript = SCRIPT_UNDEFINED;
    if (FAILED(ScriptBreak(text.c_str(), static_cast<int>(text.size()), &analysis, breaks.data())))
        breaks.assign(text.size(), SCRIPT_LOGATTR{});
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    auto end = [&](size_t from, size_t to) {  // `to` without the blanks before it
        while (to > from && IsBlank(text[to - 1]))
            --to;
        return to;
    };
    auto oneLine = [&](size_t from, size_t to) {
        RECT box = {0, 0, width, 0};
        DrawTextW(dc, text.c_str() + from, static_cast<int>(end(from, to) - from), &box,
                  (format | DT_CALCRECT) & ~DT_SINGLELINE);
        return box.bottom - box.top <= metrics.tmHeight;
    };
    auto mayBreak = [&](size_t at) {
        return at == text.size() || (!IsBlank(text[at]) && (IsBlank(text[at - 1]) || breaks[at].fSoftBreak));
    };
    const size_t kMostLines = 64;
    size_t from = SkipBlanks(text, 0);
    while (from < text.size() && lines.size() < kMostLines) {
        size_t to = 0;
        for (size_t at = from + 1; at <= text.size(); ++at) {
            if (!mayBreak(at))
                continue;
            if (!oneLine(from, at))
                break;
            to = at;
        }
        for (size_t at = from + 1; to == 0 && at <= text.size(); ++at) {  // a word wider than the line
            if (!oneLine(from, at))
                to = std::max(at - 1, from + 1);
        }
        if (to == 0)
            to = text.size();
        lines.push_back({from, text.substr(from, end(from, to) - from)});
        from = SkipBlanks(text, to);
    }
    SelectObject(dc, old);
    return lines;
}
}  // namespace

std::vector<DrawnLine> DrawnLines(HDC reference, HFONT font, UINT format, int width, const std::wstring& text)
{
    HDC metafile = CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
    if (!metafile)
        return {};
    HGDIOBJ old = SelectObject(metafile, font);
    // Tall enough for every line: DrawTextW stops at the box's bottom.
    RECT box = {0, 0, width, 0x4000};
    DrawTextW(metafile, text.c_str(), static_cast<int>(text.size()), &box, format & ~DT_CALCRECT);
    SelectObject(metafile, old);
    HENHMETAFILE drawn = CloseEnhMetaFile(metafile);
    if (!drawn)
        return {};
    std::vector<DrawnLine> lines = LinesOfDrawing(drawn, reference, font, format, width, text);
    DeleteEnhMetaFile(drawn);
    return lines;
}

std::vector<DrawnLine> LinesOfDrawing(HENHMETAFILE drawing, HDC dc, HFONT font, UINT format, int width,
                                      const std::wstring& text)
{
    std::vector<RecordedLine> recorded;
    EnumEnhMetaFile(nullptr, drawing, OnRecord, &recorded, nullptr);
    const bool glyphs = std::any_of(recorded.begin(), recorded.end(), [](const RecordedLine& l) { return l.glyphs; });
    if (!glyphs) {
        std::vector<DrawnLine> lines = MatchRecordedLines(recorded, text, format);
        if (!lines.empty() || recorded.empty())
            return lines;
    }
    std::vector<DrawnLine> lines = LinesFromText(dc, font, format, width, text);
    return lines.size() == recorded.size() ? lines : std::vector<DrawnLine>();
}

bool HasCjk(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(), [](wchar_t ch) { return IsUnspacedCjk(ch) || IsHangul(ch); });
}

BreakFaults JudgeBreaks(const std::wstring& text, const std::vector<DrawnLine>& lines)
{
    BreakFaults faults;
    const bool cjk = HasCjk(text);
    const size_t count = lines.size();
    faults.loneLastLine = cjk && count > 1 && IsLoneCharacter(lines.back().text);
    for (size_t n = 1; n < count; ++n) {
        if (cjk && faults.badLineStart == 0 && StartsWithNonStarter(lines[n].text))
            faults.badLineStart = static_cast<int>(n) + 1;
        const size_t at = lines[n].start;
        if (faults.cutLine != 0 || at == 0 || at >= text.size())
            continue;
        const wchar_t before = text[at - 1], after = text[at];
        const bool spaced = IsSpacedLetter(before) && IsSpacedLetter(after);
        const bool katakana = IsKatakana(before) && IsKatakana(after);
        if (!spaced && !katakana)
            continue;
        auto inWord = [&](wchar_t ch) { return spaced ? IsSpacedLetter(ch) : IsKatakana(ch); };
        size_t first = at, last = at;
        while (first > 0 && inWord(text[first - 1]))
            --first;
        while (last < text.size() && inWord(text[last]))
            ++last;
        faults.cutLine = static_cast<int>(n) + 1;
        faults.cutWord = text.substr(first, last - first);
        faults.cutBefore = text.substr(first, at - first);
    }
    return faults;
}

bool IsLoneCharacter(const std::wstring& line)
{
    int characters = 0;
    for (size_t n = 0; n < line.size(); ++n) {
        const wchar_t ch = line[n];
        if (IsBlank(ch) || (ch >= 0xDC00 && ch <= 0xDFFF))  // a surrogate pair counts once
            continue;
        WORD type = 0;
        if (GetStringTypeW(CT_CTYPE1, &ch, 1, &type) && (type & C1_PUNCT) && !(ch >= 0xD800 && ch <= 0xDBFF))
            continue;
        ++characters;
    }
    return characters == 1;
}

bool StartsWithNonStarter(const std::wstring& line)
{
    for (const wchar_t ch : line) {
        if (!IsBlank(ch))
            return ch != L'\0' && wcschr(kNonStarters, ch) != nullptr;
    }
    return false;
}
