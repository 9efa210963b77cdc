#include "checktool/LanguageReport.h"

#include <cwchar>

#include "checktool/CheckReport.h"

namespace {

const wchar_t* kRule = L"------------------------------------------------------------------------\n";

// One value per DPI: "a / b / c".
template <typename Value>
std::wstring PerDpi(const LanguagesCheck& check, Value value)
{
    std::wstring out;
    for (const DpiRules& dpi : check.dpis)
        out += (out.empty() ? L"" : L" / ") + value(dpi);
    return out;
}

std::wstring BoxesOf(const LanguagesCheck& check, TextPlace place)
{
    return PerDpi(check, [place](const DpiRules& dpi) {
        const PlaceRule& rule = dpi.rules[static_cast<int>(place)];
        return std::to_wstring(rule.width) + L"x" + std::to_wstring(rule.height);
    });
}

std::wstring RuleValue(const LanguagesCheck& check, TextPlace place, int PlaceRule::*field)
{
    return PerDpi(check, [place, field](const DpiRules& dpi) {
        return std::to_wstring(dpi.rules[static_cast<int>(place)].*field);
    });
}

std::wstring StatusText(const LanguageTable& table)
{
    const TranslationStatus& status = table.status;
    if (!status.present)
        return PRIMARYLANGID(table.language) == LANG_ENGLISH ? L"the English source, no translation status"
                                                             : L"no translation status";
    if (!status.readable)
        return L"translation status unreadable";
    std::wstring out = std::to_wstring(status.translated) + L" strings translated, " +
                       std::to_wstring(status.filled.size()) + L" filled from English";
    if (!status.filled.empty()) {
        out += L" (";
        for (size_t n = 0; n < status.filled.size(); ++n)
            out += (n ? L", " : L"") + std::to_wstring(status.filled[n]);
        out += L")";
    }
    return out;
}

// The lines as drawn, without the blanks they end with: "first / second".
std::wstring JoinedLines(const std::vector<std::wstring>& lines)
{
    std::wstring out;
    for (const std::wstring& line : lines)
        out += (out.empty() ? L"" : L" / ") + line.substr(0, line.find_last_not_of(L' ') + 1);
    return out;
}

std::wstring MisfitText(const TextMisfit& misfit, TextPlace place)
{
    std::wstring out = std::to_wstring(misfit.dpi) + L" DPI: ";
    std::wstring parts;
    auto add = [&parts](const std::wstring& part) { parts += (parts.empty() ? L"" : L", ") + part; };
    const FitResult& fit = misfit.fit;
    const bool wrapped = place == TextPlace::CategoryCaption || place == TextPlace::Description ||
                         place == TextPlace::ItemName;
    if (fit.heightOver > 0) {
        if (wrapped || fit.lines > 1)
            add(std::to_wstring(fit.lines) + L" lines where " + std::to_wstring(misfit.maxLines) + L" fit");
        add(std::to_wstring(fit.heightOver) + L" px too high");
        if (fit.linesShortBy > 0)
            add(L"fits in " + std::to_wstring(misfit.maxLines) + L" lines only " +
                std::to_wstring(fit.linesShortBy) + L" px wider");
    }
    if (fit.widthOver > 0) {
        add(fit.word.empty() ? std::to_wstring(fit.widthOver) + L" px too wide"
                             : L"the word \"" + fit.word + L"\" is " + std::to_wstring(fit.widthOver) +
                                   L" px too wide");
    }
    if (fit.heightOver > 0 || fit.widthOver > 0)
        add(L"measured at " + std::to_wstring(fit.width) + L" px, the box less " + std::to_wstring(misfit.margin) +
            L" px of room");
    const BreakFaults& breaks = fit.breaks;
    if (!fit.linesKnown)
        add(L"its lines cannot be told from the drawing");
    if (breaks.cutLine > 0)
        add(L"line " + std::to_wstring(breaks.cutLine) + L" cuts the word \"" + breaks.cutWord + L"\" after \"" +
            breaks.cutBefore + L"\"");
    if (breaks.loneLastLine)
        add(L"the last line \"" + fit.drawnLines.back() + L"\" is a single character");
    if (breaks.badLineStart > 0) {
        const std::wstring& line = fit.drawnLines[static_cast<size_t>(breaks.badLineStart) - 1];
        add(L"line " + std::to_wstring(breaks.badLineStart) + L" starts with \"" +
            line.substr(line.find_first_not_of(L" \t\u00a0\u3000"), 1) + L"\", which may not start a line");
    }
    if (breaks.Any())
        add(L"drawn as \"" + JoinedLines(fit.drawnLines) + L"\"");
    return out + parts;
}

// Why a language's misfits do not decide the outcome.
std::wstring NotCountedWhy(const LanguageTable& table)
{
    if (table.language == kPseudoLocale)
        return L" (the pseudo-locale, lengthened on purpose: not counted)";
    if (table.language == kMirroredPseudoLocale)
        return L" (the mirrored pseudo-locale, the English source read right to left: not counted)";
    return L" (the English source, used as written: not counted)";
}

// Why a text cannot be measured here.
std::wstring UnmeasuredText(const TextFaces& faces)
{
    const std::wstring characters = L"\"" + faces.characters + L"\" ";
    const std::wstring lacking = faces.linked ? L"no face Tahoma links to draws them here (Windows draws them with " +
                                                    faces.lacking + L")"
                                              : faces.lacking + L" here has no glyphs for them";
    switch (faces.problem) {
    case TextFaces::Problem::None: break;
    case TextFaces::Problem::FaceMissing:
        return faces.lacking + L" is missing here: drawn with " + faces.drawnWith + L" instead";
    case TextFaces::Problem::Boxes: return characters + L"drawn as boxes: " + lacking;
    case TextFaces::Problem::FallbackFace: return characters + L"drawn with a face the system chose: " + lacking;
    }
    return std::wstring();
}

const wchar_t* ProblemName(TextFaces::Problem problem)
{
    switch (problem) {
    case TextFaces::Problem::None: return L"none";
    case TextFaces::Problem::FaceMissing: return L"face missing";
    case TextFaces::Problem::Boxes: return L"boxes";
    case TextFaces::Problem::FallbackFace: return L"fallback face";
    }
    return L"?";
}

// "Tahoma (Wine Tahoma Bold, Wine Tahoma Regular); MS UI Gothic (WenQuanYi Micro Hei)"
std::wstring FacesText(const std::vector<FaceUse>& faces)
{
    std::wstring out;
    for (size_t n = 0; n < faces.size(); ++n) {
        const bool first = n == 0 || faces[n - 1].face != faces[n].face;
        const bool last = n + 1 == faces.size() || faces[n + 1].face != faces[n].face;
        out += first ? (out.empty() ? L"" : L"; ") + faces[n].face + L" (" : L", ";
        out += faces[n].font + (last ? L")" : L"");
    }
    return out.empty() ? L"no face: no text could be measured here" : out;
}

std::wstring LanguageName(const LanguageTable& table)
{
    return (table.locale.empty() ? L"(no locale name)" : table.locale) + L" (" + LangIdText(table.language) + L")";
}

std::wstring RuleJson(const PlaceRule& rule)
{
    return L"{" + JsonField(L"width", std::to_wstring(rule.width)) + L", " +
           JsonField(L"margin", std::to_wstring(rule.margin)) + L", " +
           JsonField(L"height", std::to_wstring(rule.height)) + L", " +
           JsonField(L"maxLines", std::to_wstring(rule.maxLines)) + L", " +
           JsonField(L"lineHeight", std::to_wstring(rule.lineHeight)) + L"}";
}

std::wstring StatusJson(const TranslationStatus& status)
{
    if (!status.present)
        return L"null";
    std::wstring filled;
    for (const UINT id : status.filled)
        filled += (filled.empty() ? L"" : L", ") + std::to_wstring(id);
    return L"{" + JsonField(L"readable", JsonBool(status.readable)) + L", " +
           JsonField(L"translated", std::to_wstring(status.translated)) + L", " +
           JsonField(L"filledFromEnglish", std::to_wstring(status.filled.size())) + L", " +
           JsonField(L"filled", L"[" + filled + L"]") + L"}";
}

std::wstring JsonStrings(const std::vector<std::wstring>& strings)
{
    std::wstring out;
    for (const std::wstring& s : strings)
        out += (out.empty() ? L"" : L", ") + JsonString(s);
    return L"[" + out + L"]";
}

std::wstring MisfitJson(const TextCheck& text)
{
    std::wstring dpis;
    for (const TextMisfit& misfit : text.misfits) {
        dpis += std::wstring(dpis.empty() ? L"" : L", ") + L"{" + JsonField(L"dpi", std::to_wstring(misfit.dpi)) +
                L", " + JsonField(L"margin", std::to_wstring(misfit.margin)) + L", " +
                JsonField(L"width", std::to_wstring(misfit.fit.width)) + L", " +
                JsonField(L"widthOver", std::to_wstring(misfit.fit.widthOver > 0 ? misfit.fit.widthOver : 0)) +
                L", " +
                JsonField(L"heightOver", std::to_wstring(misfit.fit.heightOver > 0 ? misfit.fit.heightOver : 0)) +
                L", " + JsonField(L"lines", std::to_wstring(misfit.fit.lines)) + L", " +
                JsonField(L"maxLines", std::to_wstring(misfit.maxLines)) + L", " +
                JsonField(L"linesShortBy", std::to_wstring(misfit.fit.linesShortBy)) + L", " +
                JsonField(L"word", JsonString(misfit.fit.word)) + L", " +
                JsonField(L"linesKnown", JsonBool(misfit.fit.linesKnown)) + L", " +
                JsonField(L"cutLine", std::to_wstring(misfit.fit.breaks.cutLine)) + L", " +
                JsonField(L"cutWord", JsonString(misfit.fit.breaks.cutWord)) + L", " +
                JsonField(L"loneLastLine", JsonBool(misfit.fit.breaks.loneLastLine)) + L", " +
                JsonField(L"badLineStart", std::to_wstring(misfit.fit.breaks.badLineStart)) + L", " +
                JsonField(L"drawnLines", JsonStrings(misfit.fit.drawnLines)) + L"}";
    }
    return L"{" + JsonField(L"id", std::to_wstring(text.id)) + L", " + JsonField(L"what", JsonString(text.what)) +
           L", " + JsonField(L"place", JsonString(PlaceName(text.place))) + L", " +
           JsonField(L"text", JsonString(text.text)) + L", " + JsonField(L"dpis", L"[" + dpis + L"]") + L"}";
}

std::wstring UnmeasuredJson(const TextCheck& text)
{
    std::wstring dpis;
    for (const TextUnmeasured& dpi : text.unmeasured) {
        const TextFaces& faces = dpi.faces;
        dpis += std::wstring(dpis.empty() ? L"" : L", ") + L"{" + JsonField(L"dpi", std::to_wstring(dpi.dpi)) +
                L", " + JsonField(L"problem", JsonString(ProblemName(faces.problem))) + L", " +
                JsonField(L"lacking", JsonString(faces.lacking)) + L", " +
                JsonField(L"linked", JsonBool(faces.linked)) + L", " +
                JsonField(L"drawnWith", JsonString(faces.drawnWith)) + L", " +
                JsonField(L"characters", JsonString(faces.characters)) + L", " +
                JsonField(L"why", JsonString(UnmeasuredText(faces))) + L"}";
    }
    return L"{" + JsonField(L"id", std::to_wstring(text.id)) + L", " + JsonField(L"what", JsonString(text.what)) +
           L", " + JsonField(L"place", JsonString(PlaceName(text.place))) + L", " +
           JsonField(L"text", JsonString(text.text)) + L", " + JsonField(L"dpis", L"[" + dpis + L"]") + L"}";
}

}  // namespace

std::wstring LangIdText(LANGID language)
{
    wchar_t text[8];
    std::swprintf(text, 8, L"0x%04x", static_cast<unsigned>(language));
    return text;
}

std::wstring FormatLanguagesText(const LanguagesCheck& check)
{
    std::wstring out;
    out += L"Quorvane language check\n";
    out += L"Executable: " + check.executable + L"\n\n";
    out += L"Where each text must fit, width x height in pixels at " +
           PerDpi(check, [](const DpiRules& dpi) { return std::to_wstring(dpi.dpi); }) + L" DPI:\n";
    out += L"  title, subtitle    one line in " + BoxesOf(check, TextPlace::Title) + L", cut beyond\n";
    out += L"  headings           one line in " + BoxesOf(check, TextPlace::Heading) + L", cut beyond\n";
    out += L"  footer captions    one line on " + BoxesOf(check, TextPlace::FooterCaption) + L"\n";
    out += L"  category captions  wrapped in " + BoxesOf(check, TextPlace::CategoryCaption) + L", no word cut\n";
    out += L"  descriptions       at most N = " + RuleValue(check, TextPlace::Description, &PlaceRule::maxLines) +
           L" lines of " + RuleValue(check, TextPlace::Description, &PlaceRule::width) + L" (the control is " +
           BoxesOf(check, TextPlace::Description) + L"), no word cut\n";
    out += L"  item names         at most 2 lines, no word cut, in the label the list view sizes for each\n"
           L"                     name (at most the icon cell's " +
           RuleValue(check, TextPlace::ItemName, &PlaceRule::width) + L")\n";
    out += L"  and every wrapped text (captions, descriptions, item names) with no word cut across lines (a\n"
           L"  break between two letters of a script written with blanks between words, Hangul included, or\n"
           L"  inside a katakana word); in Chinese, Japanese and Korean text also no last line of a single\n"
           L"  character and no line that starts with closing punctuation, a small kana or the like\n";
    out += L"A text fits only with room to spare: each box is measured narrower by the wider of " +
           std::to_wstring(kMinimumRoom) + L" px and " + std::to_wstring(kRoomPercent) +
           L" % of its width,\n"
           L"and a wrapped text wraps at that narrower width (its lines must still fit the height). The room, in\n"
           L"pixels:\n";
    out += L"  title, subtitle " + RuleValue(check, TextPlace::Title, &PlaceRule::margin) + L"; headings " +
           RuleValue(check, TextPlace::Heading, &PlaceRule::margin) + L"; footer captions " +
           RuleValue(check, TextPlace::FooterCaption, &PlaceRule::margin) + L"; category captions " +
           RuleValue(check, TextPlace::CategoryCaption, &PlaceRule::margin) + L";\n  descriptions " +
           RuleValue(check, TextPlace::Description, &PlaceRule::margin) + L"; item names " +
           RuleValue(check, TextPlace::ItemName, &PlaceRule::margin) + L" (from the icon cell)\n";

    for (const LanguageFit& language : check.languages) {
        out += L"\n";
        out += kRule;
        out += L"Language " + LanguageName(language.table) + L": " + StatusText(language.table) + L"\n";
        out += L"  Measured with " + FacesText(language.faces) + L"\n";
        out += L"  " + std::to_wstring(language.table.strings.size()) + L" strings, " +
               std::to_wstring(language.measured) + L" of them shown; ";
        if (language.misfits.empty() && language.unmeasured.empty()) {
            out += L"every text fits.\n";
            continue;
        }
        if (!language.unmeasured.empty()) {
            out += std::to_wstring(language.unmeasured.size()) + L" cannot be measured here" +
                   (language.counted ? L"" : NotCountedWhy(language.table)) + L":\n";
            for (const TextCheck& text : language.unmeasured) {
                out += L"    string " + std::to_wstring(text.id) + L", " + text.what + L": \"" + text.text + L"\"\n";
                for (const TextUnmeasured& dpi : text.unmeasured)
                    out += L"      " + std::to_wstring(dpi.dpi) + L" DPI: " + UnmeasuredText(dpi.faces) + L"\n";
            }
            if (language.misfits.empty())
                continue;
            out += L"  and of those measured, ";
        }
        out += std::to_wstring(language.misfits.size()) + (language.misfits.size() == 1 ? L" does" : L" do") +
               L" not fit" + (language.counted ? L"" : NotCountedWhy(language.table)) + L":\n";
        for (const TextCheck& text : language.misfits) {
            out += L"    string " + std::to_wstring(text.id) + L", " + text.what + L": \"" + text.text + L"\"\n";
            for (const TextMisfit& misfit : text.misfits)
                out += L"      " + MisfitText(misfit, text.place) + L"\n";
        }
    }
    out += L"\n";
    out += kRule;
    const int misfits = check.MisfitCount();
    const int unmeasured = check.UnmeasuredCount();
    out += L"Summary: " + std::to_wstring(check.languages.size()) +
           (check.languages.size() == 1 ? L" language; " : L" languages; ") +
           (misfits == 0 && unmeasured == 0
                ? std::wstring(L"every translated text fits at every DPI.")
                : (misfits == 0 ? std::wstring()
                                : std::to_wstring(misfits) +
                                      (misfits == 1 ? L" translated text does" : L" translated texts do") +
                                      L" not fit" + (unmeasured ? L"; " : L".")) +
                      (unmeasured == 0 ? std::wstring()
                                       : std::to_wstring(unmeasured) +
                                             (unmeasured == 1 ? L" translated text cannot" : L" translated texts cannot") +
                                             L" be measured here: a face they need is missing.")) +
           L"\n";
    if (const int uncounted = check.UncountedMisfitCount())
        out += L"Not counted: " + std::to_wstring(uncounted) +
               (uncounted == 1 ? L" text" : L" texts") + L" of the English source or the pseudo-locales, listed above.\n";
    if (!check.StatusesReadable())
        out += L"Warning: a translation's status is missing or unreadable.\n";
    return out;
}

std::wstring FormatLanguagesJson(const LanguagesCheck& check)
{
    std::wstring out = L"{\n";
    out += L"  " + JsonField(L"executable", JsonString(check.executable)) + L",\n";
    out += L"  " + JsonField(L"allFit", JsonBool(check.MisfitCount() == 0 && check.UnmeasuredCount() == 0)) + L",\n";
    out += L"  " + JsonField(L"misfitCount", std::to_wstring(check.MisfitCount())) + L",\n";
    out += L"  " + JsonField(L"uncountedMisfitCount", std::to_wstring(check.UncountedMisfitCount())) + L",\n";
    out += L"  " + JsonField(L"unmeasuredCount", std::to_wstring(check.UnmeasuredCount())) + L",\n";
    out += L"  " + JsonField(L"statusesReadable", JsonBool(check.StatusesReadable())) + L",\n";
    out += L"  \"dpis\": [\n";
    for (size_t d = 0; d < check.dpis.size(); ++d) {
        const DpiRules& dpi = check.dpis[d];
        out += L"    {" + JsonField(L"dpi", std::to_wstring(dpi.dpi)) + L", \"places\": {";
        for (int p = 0; p < kTextPlaceCount; ++p)
            out += std::wstring(p ? L", " : L"") + JsonField(PlaceName(static_cast<TextPlace>(p)), RuleJson(dpi.rules[p]));
        out += d + 1 < check.dpis.size() ? L"}},\n" : L"}}\n";
    }
    out += L"  ],\n  \"languages\": [\n";
    for (size_t n = 0; n < check.languages.size(); ++n) {
        const LanguageFit& language = check.languages[n];
        out += L"    {\n";
        out += L"      " + JsonField(L"langid", JsonString(LangIdText(language.table.language))) + L",\n";
        out += L"      " + JsonField(L"locale", JsonString(language.table.locale)) + L",\n";
        out += L"      " + JsonField(L"strings", std::to_wstring(language.table.strings.size())) + L",\n";
        out += L"      " + JsonField(L"shownTexts", std::to_wstring(language.measured)) + L",\n";
        out += L"      " + JsonField(L"counted", JsonBool(language.counted)) + L",\n";
        out += L"      " + JsonField(L"status", StatusJson(language.table.status)) + L",\n";
        std::wstring faces;
        for (const FaceUse& face : language.faces)
            faces += (faces.empty() ? L"" : L", ") + std::wstring(L"{") + JsonField(L"face", JsonString(face.face)) +
                     L", " + JsonField(L"font", JsonString(face.font)) + L"}";
        out += L"      " + JsonField(L"faces", L"[" + faces + L"]") + L",\n";
        out += L"      \"unmeasured\": [";
        for (size_t m = 0; m < language.unmeasured.size(); ++m)
            out += (m ? L",\n        " : L"\n        ") + UnmeasuredJson(language.unmeasured[m]);
        out += language.unmeasured.empty() ? L"],\n" : L"\n      ],\n";
        out += L"      \"misfits\": [";
        for (size_t m = 0; m < language.misfits.size(); ++m)
            out += (m ? L",\n        " : L"\n        ") + MisfitJson(language.misfits[m]);
        out += language.misfits.empty() ? L"]\n" : L"\n      ]\n";
        out += n + 1 < check.languages.size() ? L"    },\n" : L"    }\n";
    }
    out += L"  ]\n}\n";
    return out;
}
