#include "checktool/FaceCheck.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace {

// Tahoma's links on Windows, in the order an English system lists them.
const wchar_t* const kTahomaLinks[] = {L"MS UI Gothic",          L"PMingLiU",           L"SimSun",
                                       L"Gulim",                 L"Yu Gothic UI",       L"Microsoft JhengHei UI",
                                       L"Microsoft YaHei UI",    L"Malgun Gothic"};

// At most this many of the characters concerned are named.
const size_t kCharactersNamed = 8;

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Characters nothing is drawn for: blanks, controls and formatting marks.
bool IsUndrawn(wchar_t ch)
{
    WORD type = 0;
    if (GetStringTypeW(CT_CTYPE1, &ch, 1, &type) && (type & (C1_SPACE | C1_CNTRL | C1_BLANK)))
        return true;
    return ch == 0x00AD || (ch >= 0x200B && ch <= 0x200F) || (ch >= 0x202A && ch <= 0x202E) ||
           (ch >= 0x2060 && ch <= 0x206F) || ch == 0xFEFF;
}

std::wstring TextFace(HDC dc)
{
    wchar_t face[LF_FACESIZE] = {};
    return GetTextFaceW(dc, LF_FACESIZE, face) > 0 ? face : L"";
}

// The family and full name of the font selected into `dc`.
void OutlineNames(HDC dc, std::wstring& family, std::wstring& full)
{
    family = full = TextFace(dc);
    const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    if (size < sizeof(OUTLINETEXTMETRICW))
        return;
    std::vector<BYTE> buffer(size);
    auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    if (!GetOutlineTextMetricsW(dc, size, metrics))
        return;
    auto name = [&](PSTR offset) {
        const size_t at = reinterpret_cast<size_t>(offset);
        if (at < sizeof(OUTLINETEXTMETRICW) || at >= size)
            return std::wstring();
        const auto* text = reinterpret_cast<const wchar_t*>(buffer.data() + at);
        return std::wstring(text, wcsnlen(text, (size - at) / sizeof(wchar_t)));
    };
    const std::wstring familyName = name(metrics->otmpFamilyName), fullName = name(metrics->otmpFullName);
    if (!familyName.empty())
        family = familyName;
    if (!fullName.empty())
        full = fullName;
}

}  // namespace

std::vector<std::wstring> LinkedFaces(LANGID language)
{
    const wchar_t* first = L"MS UI Gothic";
    switch (PRIMARYLANGID(language)) {
    case LANG_KOREAN: first = L"Gulim"; break;
    case LANG_CHINESE: {
        const WORD sub = SUBLANGID(language);
        first = sub == SUBLANG_CHINESE_TRADITIONAL || sub == SUBLANG_CHINESE_HONGKONG || sub == SUBLANG_CHINESE_MACAU
                    ? L"PMingLiU"
                    : L"SimSun";
        break;
    }
    default: break;
    }
    std::vector<std::wstring> faces = {first};
    for (const wchar_t* face : kTahomaLinks) {
        if (!SameName(face, first))
            faces.push_back(face);
    }
    return faces;
}

bool IsLinkedCharacter(wchar_t ch)
{
    return (ch >= 0x1100 && ch <= 0x11FF) || (ch >= 0x2E80 && ch <= 0x9FFF) || (ch >= 0xAC00 && ch <= 0xD7A3) ||
           (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFE30 && ch <= 0xFE4F) || (ch >= 0xFF00 && ch <= 0xFFEF);
}

FaceProbe::FaceProbe(HFONT font)
{
    if (!font || GetObjectW(font, sizeof m_logfont, &m_logfont) != sizeof m_logfont)
        return;
    LOGFONTW mono = m_logfont;
    mono.lfQuality = NONANTIALIASED_QUALITY;
    m_mono = CreateFontIndirectW(&mono);
    const int em = std::max<int>(8, std::abs(m_logfont.lfHeight));
    m_size = 4 * em;
    m_dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_size;
    info.bmiHeader.biHeight = -m_size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_bitmap = m_dc ? CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!m_mono || !m_bitmap || !bits)
        return;
    m_bits = static_cast<DWORD*>(bits);
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    SetTextAlign(m_dc, TA_BASELINE | TA_LEFT);
    SetBkMode(m_dc, TRANSPARENT);
    SetTextColor(m_dc, RGB(0, 0, 0));

    HGDIOBJ old = SelectObject(m_dc, m_mono);
    std::wstring family;
    OutlineNames(m_dc, family, m_own.font);
    SelectObject(m_dc, old);
    m_own.face = m_logfont.lfFaceName;
    m_ownIsAsked = SameName(family, m_own.face);
    m_box = Draw(m_mono, 0, true);
    m_blank.assign(static_cast<size_t>(m_size) * m_size, 0x00FFFFFF);
    m_ok = true;
}

FaceProbe::~FaceProbe()
{
    for (auto& [key, font] : m_candidates) {
        if (font)
            DeleteObject(font);
    }
    if (m_oldBitmap)
        SelectObject(m_dc, m_oldBitmap);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
    if (m_mono)
        DeleteObject(m_mono);
}

FaceProbe::Image FaceProbe::Draw(HFONT font, wchar_t ch, bool glyphIndex)
{
    const size_t pixels = static_cast<size_t>(m_size) * m_size;
    std::fill(m_bits, m_bits + pixels, 0x00FFFFFF);
    HGDIOBJ old = SelectObject(m_dc, font);
    const int em = m_size / 4;
    ExtTextOutW(m_dc, em, 3 * em, glyphIndex ? ETO_GLYPH_INDEX : 0, nullptr, &ch, 1, nullptr);
    SelectObject(m_dc, old);
    GdiFlush();
    Image image(m_bits, m_bits + pixels);
    for (DWORD& pixel : image)
        pixel &= 0x00FFFFFF;
    return image;
}

bool FaceProbe::HasGlyph(HFONT font, wchar_t ch)
{
    HGDIOBJ old = SelectObject(m_dc, font);
    WORD glyph = 0xFFFF;
    const DWORD done = GetGlyphIndicesW(m_dc, &ch, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(m_dc, old);
    return done == 1 && glyph != 0xFFFF;
}

HFONT FaceProbe::Candidate(const std::wstring& face, LONG height, LONG weight)
{
    const std::wstring key = face + L"|" + std::to_wstring(height) + L"|" + std::to_wstring(weight);
    const auto found = m_candidates.find(key);
    if (found != m_candidates.end())
        return found->second;
    LOGFONTW logfont = m_logfont;
    logfont.lfHeight = height;
    logfont.lfWeight = weight;
    logfont.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpynW(logfont.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&logfont);
    if (font) {
        // A face the system does not have becomes another: not this one.
        HGDIOBJ old = SelectObject(m_dc, font);
        const bool exists = SameName(TextFace(m_dc), face);
        SelectObject(m_dc, old);
        if (!exists) {
            DeleteObject(font);
            font = nullptr;
        }
    }
    m_candidates[key] = font;
    return font;
}

FaceProbe::Glyph FaceProbe::Classify(wchar_t ch, LANGID language)
{
    Glyph glyph;
    if (HasGlyph(m_mono, ch)) {
        glyph.use = m_own;
        return glyph;
    }
    const Image drawn = Draw(m_mono, ch);
    if (drawn == m_box || drawn == m_blank) {
        glyph.kind = Glyph::Box;
        return glyph;
    }
    // The same size first; a link may also draw a face a little smaller.
    const LONG height = m_logfont.lfHeight;
    const LONG step = height < 0 ? 1 : -1;
    for (const std::wstring& face : LinkedFaces(language)) {
        for (int smaller = 0; smaller <= 3; ++smaller) {
            for (const LONG weight : {m_logfont.lfWeight, static_cast<LONG>(FW_NORMAL)}) {
                HFONT candidate = Candidate(face, height + smaller * step, weight);
                if (!candidate || !HasGlyph(candidate, ch) || Draw(candidate, ch) != drawn)
                    continue;
                glyph.kind = Glyph::Linked;
                glyph.use.face = face;
                glyph.use.linked = true;
                HGDIOBJ old = SelectObject(m_dc, candidate);
                std::wstring family;
                OutlineNames(m_dc, family, glyph.use.font);
                SelectObject(m_dc, old);
                return glyph;
            }
        }
    }
    glyph.kind = Glyph::Fallback;
    return glyph;
}

TextFaces FaceProbe::Check(const std::wstring& text, LANGID language)
{
    TextFaces faces;
    std::set<FaceUse> used;
    auto concern = [&](wchar_t ch, TextFaces::Problem problem, const std::wstring& lacking, bool linked) {
        if (faces.problem == TextFaces::Problem::None) {
            faces.problem = problem;
            faces.lacking = lacking;
            faces.linked = linked;
        }
        if (faces.problem == problem && faces.lacking == lacking && faces.characters.size() < kCharactersNamed &&
            faces.characters.find(ch) == std::wstring::npos)
            faces.characters += ch;
    };
    for (const wchar_t ch : text) {
        if (IsUndrawn(ch) || (ch >= 0xD800 && ch <= 0xDFFF))
            continue;
        if (!m_ownIsAsked) {
            concern(ch, TextFaces::Problem::FaceMissing, m_own.face, false);
            faces.drawnWith = m_own.font;
            continue;
        }
        const auto key = std::make_pair(ch, language);
        auto found = m_glyphs.find(key);
        if (found == m_glyphs.end())
            found = m_glyphs.emplace(key, Classify(ch, language)).first;
        const Glyph& glyph = found->second;
        const bool linked = IsLinkedCharacter(ch);
        const std::wstring needed = linked ? LinkedFaces(language).front() : m_own.face;
        switch (glyph.kind) {
        case Glyph::Own:
        case Glyph::Linked: used.insert(glyph.use); break;
        case Glyph::Box: concern(ch, TextFaces::Problem::Boxes, needed, linked); break;
        case Glyph::Fallback: concern(ch, TextFaces::Problem::FallbackFace, needed, linked); break;
        }
    }
    faces.used.assign(used.begin(), used.end());
    return faces;
}
