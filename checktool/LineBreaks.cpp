#include "checktool/LineBreaks.h"

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

struct Recording {
    std::vector<std::wstring> lines;
    LONG y = 0;  // the height of the last line
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
    auto* recording = reinterpret_cast<Recording*>(data);
    const LONG y = text->emrtext.ptlReference.y;
    if (recording->lines.empty() || y != recording->y)
        recording->lines.push_back(run);
    else
        recording->lines.back() += run;
    recording->y = y;
    return 1;
}

}  // namespace

std::vector<std::wstring> DrawnLines(HDC reference, HFONT font, UINT format, int width, const std::wstring& text)
{
    Recording recording;
    HDC metafile = CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
    if (!metafile)
        return recording.lines;
    HGDIOBJ old = SelectObject(metafile, font);
    // Tall enough for every line: DrawTextW stops at the box's bottom.
    RECT box = {0, 0, width, 0x4000};
    DrawTextW(metafile, text.c_str(), static_cast<int>(text.size()), &box, format & ~DT_CALCRECT);
    SelectObject(metafile, old);
    HENHMETAFILE drawn = CloseEnhMetaFile(metafile);
    if (drawn) {
        EnumEnhMetaFile(nullptr, drawn, OnRecord, &recording, nullptr);
        DeleteEnhMetaFile(drawn);
    }
    return recording.lines;
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
