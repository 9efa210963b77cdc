#include "checktool/CheckReport.h"

#include "launch/HelpTarget.h"

#include <cwchar>

namespace {

const wchar_t* kRule = L"------------------------------------------------------------------------\n";

std::wstring Shown(const std::wstring& text)
{
    return text.empty() ? L"(none)" : text;
}

std::wstring RowId(const RowCheck& row)
{
    return std::to_wstring(row.category) + L"." + std::to_wstring(row.index);
}

std::wstring CategoryLabel(const CategoryCheck& category)
{
    return category.caption.empty() ? L"category " + std::to_wstring(category.index) : category.caption;
}

std::wstring RegistryKeyText(const ProbeRecord& record)
{
    return L"HKLM\\" + record.text + L" : " + (record.valueName.empty() ? L"(default)" : record.valueName);
}

void AppendProbes(std::wstring& out, const std::vector<ProbeRecord>& probes)
{
    for (const ProbeRecord& probe : probes) {
        wchar_t label[64];
        if (probe.registry) {
            std::swprintf(label, 64, L"registry %ls", ViewName(probe.view));
            out += L"      ";
            out += label;
            out += std::wstring(26 - std::wcslen(label), L' ');
            out += RegistryKeyText(probe) + (probe.ok ? L"  [read]\n" : L"  [not found]\n");
        } else {
            const wchar_t* view = StageViewName(probe.stage);
            if (view)
                std::swprintf(label, 64, L"%ls, %ls", StageName(probe.stage), view);
            else
                std::swprintf(label, 64, L"%ls", StageName(probe.stage));
            out += L"      ";
            out += label;
            const size_t length = std::wcslen(label);
            out += std::wstring(length < 26 ? 26 - length : 1, L' ');
            out += probe.text + (probe.ok ? L"  [exists]\n" : L"  [missing]\n");
        }
    }
}

void AppendRowText(std::wstring& out, const CategoryCheck& category, const RowCheck& row)
{
    out += L"\n  Row " + RowId(row) + L"\n";
    out += L"    name:        " + Shown(row.name) + L"\n";
    out += L"    description: " + Shown(row.description) + L"\n";
    out += L"    program:     " + Shown(row.program) + L"\n";
    out += L"    arguments:   " + Shown(row.arguments) + L"\n";
    out += L"    icon file:   " + Shown(row.iconFile) + L"\n";
    out += L"    icon index:  " + Shown(row.iconIndex) + L"\n";
    if (!row.programProbes.empty()) {
        out += L"    program search:\n";
        AppendProbes(out, row.programProbes);
    }
    if (!row.iconProbes.empty()) {
        out += L"    icon file search:\n";
        AppendProbes(out, row.iconProbes);
    }
    switch (row.outcome) {
    case RowOutcome::Kept:
        out += L"    => kept as item " + std::to_wstring(row.position) + L" of " + CategoryLabel(category);
        if (!category.present)
            out += L" (the category is never shown)";
        out += L"\n";
        out += L"       program:   " + row.item.Path.Str() + L"\n";
        out += L"       icon file: " + row.item.IconFile.Str() + L", index " + std::to_wstring(row.item.IconIndex);
        if (!row.iconFileFound)
            out += row.iconFile.empty() ? L" (the program: no icon file string)" : L" (the program: icon file not found)";
        out += L"\n";
        break;
    case RowOutcome::NoProgram:
        out += L"    => skipped: no program string\n";
        break;
    case RowOutcome::NotFound:
        out += L"    => skipped: not found\n";
        break;
    case RowOutcome::NoBackslash:
        out += L"    => skipped: no backslash (found as \"" + row.foundAs + L"\", a path without a folder)\n";
        break;
    case RowOutcome::BeyondTwelfth:
        out += L"    => skipped: beyond the twelfth item (not examined)\n";
        break;
    }
}

void AppendUrlText(std::wstring& out, const wchar_t* label, const FooterUrlCheck& url)
{
    out += label;
    out += Shown(url.url) + L"\n";
    if (url.observed) {
        out += L"               read from HKLM\\" + url.key + L" : " + (url.valueName.empty() ? L"(default)" : url.valueName) +
               L", " + ViewName(url.view) + L" view" + (url.read ? L"" : L" (not found)") + L"\n";
    }
}

// --- JSON ---------------------------------------------------------------

std::wstring ProbeJson(const ProbeRecord& probe)
{
    std::wstring out = L"{";
    if (probe.registry) {
        out += JsonField(L"kind", JsonString(L"registry")) + L", ";
        out += JsonField(L"key", JsonString(probe.text)) + L", ";
        out += JsonField(L"value", JsonString(probe.valueName)) + L", ";
        out += JsonField(L"view", JsonString(ViewName(probe.view))) + L", ";
        out += JsonField(L"found", JsonBool(probe.ok));
    } else {
        const wchar_t* view = StageViewName(probe.stage);
        out += JsonField(L"kind", JsonString(L"candidate")) + L", ";
        out += JsonField(L"stage", JsonString(StageName(probe.stage))) + L", ";
        out += JsonField(L"view", view ? JsonString(view) : L"null") + L", ";
        out += JsonField(L"path", JsonString(probe.text)) + L", ";
        out += JsonField(L"exists", JsonBool(probe.ok));
    }
    return out + L"}";
}

std::wstring ProbesJson(const std::vector<ProbeRecord>& probes, const std::wstring& indent)
{
    if (probes.empty())
        return L"[]";
    std::wstring out = L"[\n";
    for (size_t n = 0; n < probes.size(); ++n)
        out += indent + L"  " + ProbeJson(probes[n]) + (n + 1 < probes.size() ? L",\n" : L"\n");
    return out + indent + L"]";
}

std::wstring RowJson(const RowCheck& row, bool categoryPresent)
{
    const std::wstring in = L"        ";
    std::wstring out = L"      {\n";
    out += in + JsonField(L"row", JsonString(RowId(row))) + L",\n";
    out += in + JsonField(L"index", std::to_wstring(row.index)) + L",\n";
    out += in + JsonField(L"strings", L"{" + JsonField(L"name", JsonString(row.name)) + L", " +
                                      JsonField(L"description", JsonString(row.description)) + L", " +
                                      JsonField(L"program", JsonString(row.program)) + L", " +
                                      JsonField(L"arguments", JsonString(row.arguments)) + L", " +
                                      JsonField(L"iconFile", JsonString(row.iconFile)) + L", " +
                                      JsonField(L"iconIndex", JsonString(row.iconIndex)) + L"}") + L",\n";
    out += in + JsonField(L"programSearch", ProbesJson(row.programProbes, in)) + L",\n";
    out += in + JsonField(L"iconFileSearch", ProbesJson(row.iconProbes, in)) + L",\n";
    out += in + JsonField(L"kept", JsonBool(row.outcome == RowOutcome::Kept)) + L",\n";
    if (row.outcome == RowOutcome::Kept) {
        out += in + JsonField(L"item", L"{" + JsonField(L"position", std::to_wstring(row.position)) + L", " +
                                       JsonField(L"shown", JsonBool(categoryPresent)) + L", " +
                                       JsonField(L"name", JsonString(row.item.Name.Str())) + L", " +
                                       JsonField(L"description", JsonString(row.item.Description.Str())) + L", " +
                                       JsonField(L"path", JsonString(row.item.Path.Str())) + L", " +
                                       JsonField(L"arguments", JsonString(row.item.Arguments.Str())) + L", " +
                                       JsonField(L"iconFile", JsonString(row.item.IconFile.Str())) + L", " +
                                       JsonField(L"iconFileFound", JsonBool(row.iconFileFound)) + L", " +
                                       JsonField(L"iconIndex", std::to_wstring(row.item.IconIndex)) + L"}") + L"\n";
    } else {
        out += in + JsonField(L"reason", JsonString(OutcomeName(row.outcome)));
        if (row.outcome == RowOutcome::NoBackslash)
            out += L",\n" + in + JsonField(L"foundAs", JsonString(row.foundAs));
        out += L"\n";
    }
    return out + L"      }";
}

std::wstring UrlJson(const FooterUrlCheck& url)
{
    std::wstring out = L"{" + JsonField(L"url", JsonString(url.url)) + L", " + JsonField(L"read", JsonBool(url.read));
    if (url.observed) {
        out += L", " + JsonField(L"key", JsonString(url.key)) + L", " + JsonField(L"value", JsonString(url.valueName)) + L", " +
               JsonField(L"view", JsonString(ViewName(url.view)));
    }
    return out + L"}";
}

}  // namespace

std::wstring JsonBool(bool value)
{
    return value ? L"true" : L"false";
}

std::wstring JsonField(const wchar_t* name, const std::wstring& value)
{
    return JsonString(name) + L": " + value;
}

std::wstring JsonString(const std::wstring& text)
{
    std::wstring out = L"\"";
    for (const wchar_t ch : text) {
        switch (ch) {
        case L'"': out += L"\\\""; break;
        case L'\\': out += L"\\\\"; break;
        case L'\n': out += L"\\n"; break;
        case L'\r': out += L"\\r"; break;
        case L'\t': out += L"\\t"; break;
        default:
            if (ch < 0x20 || ch > 0x7E) {
                wchar_t escape[8];
                std::swprintf(escape, 8, L"\\u%04x", static_cast<unsigned>(ch));
                out += escape;
            } else {
                out += ch;
            }
        }
    }
    return out + L"\"";
}

std::wstring FormatText(const CatalogueCheck& check)
{
    std::wstring out;
    out += L"Quorvane catalogue check\n";
    out += L"Executable:     " + check.executable + L"\n";
    out += L"Current folder: " + check.currentDirectory + L"\n";

    for (const CategoryCheck& category : check.categories) {
        out += L"\n";
        out += kRule;
        out += L"Category " + std::to_wstring(category.index) + L" " + CategoryLabel(category) + L": " +
               (category.present ? L"present" : L"not present") + L", " + std::to_wstring(category.itemCount) +
               (category.itemCount == 1 ? L" item\n" : L" items\n");
        out += L"  caption: " + Shown(category.caption) + L"\n";
        out += L"  text:    " + Shown(category.text) + L"\n";
        for (const RowCheck& row : category.rows)
            AppendRowText(out, category, row);
    }

    out += L"\n";
    out += kRule;
    out += L"Footer\n";
    const FooterCheck& footer = check.footer;
    out += L"  Web site: caption " + Shown(footer.supportCaption) + L"\n";
    out += L"            text    " + Shown(footer.supportText) + L"\n";
    AppendUrlText(out, L"            URL     ", footer.supportUrl);
    out += L"  Help:     caption " + Shown(footer.helpCaption) + L"\n";
    out += L"            text    " + Shown(footer.helpText) + L"\n";
    AppendUrlText(out, L"            URL     ", footer.helpUrl);
    if (!footer.helpNeverOpens.empty())
        out += L"               Help never opens it: " + footer.helpNeverOpens + L"; Help opens only a file that "
               L"exists, and opens " + kUserGuidePath + L" instead when that exists\n";
    out += L"  Close:    caption " + Shown(footer.closeCaption) + L"\n";
    out += L"            text    " + Shown(footer.closeText) + L"\n";

    out += L"\n";
    out += kRule;
    int withProgram = 0;
    int kept = 0;
    for (const CategoryCheck& category : check.categories) {
        for (const RowCheck& row : category.rows) {
            if (!row.program.empty())
                ++withProgram;
            if (row.outcome == RowOutcome::Kept && category.present)
                ++kept;
        }
    }
    out += L"Summary: " + std::to_wstring(kept) + L" of " + std::to_wstring(withProgram) +
           L" rows with a program are shown.";
    out += check.AllProgramsKept() ? L" Every row with a program is kept.\n"
                                   : L" Some rows with a program are not shown.\n";
    if (!check.matchesLoader)
        out += L"Warning: " + check.mismatch + L"\n";
    return out;
}

std::wstring FormatJson(const CatalogueCheck& check)
{
    std::wstring out = L"{\n";
    out += L"  " + JsonField(L"executable", JsonString(check.executable)) + L",\n";
    out += L"  " + JsonField(L"currentDirectory", JsonString(check.currentDirectory)) + L",\n";
    out += L"  " + JsonField(L"allProgramsKept", JsonBool(check.AllProgramsKept())) + L",\n";
    out += L"  " + JsonField(L"matchesLoader", JsonBool(check.matchesLoader)) + L",\n";
    out += L"  \"categories\": [\n";
    for (size_t k = 0; k < check.categories.size(); ++k) {
        const CategoryCheck& category = check.categories[k];
        out += L"    {\n";
        out += L"      " + JsonField(L"index", std::to_wstring(category.index)) + L",\n";
        out += L"      " + JsonField(L"caption", JsonString(category.caption)) + L",\n";
        out += L"      " + JsonField(L"text", JsonString(category.text)) + L",\n";
        out += L"      " + JsonField(L"present", JsonBool(category.present)) + L",\n";
        out += L"      " + JsonField(L"itemCount", std::to_wstring(category.itemCount)) + L",\n";
        out += L"      \"rows\": [";
        for (size_t n = 0; n < category.rows.size(); ++n)
            out += (n == 0 ? L"\n" : L",\n") + RowJson(category.rows[n], category.present);
        out += category.rows.empty() ? L"]\n" : L"\n      ]\n";
        out += k + 1 < check.categories.size() ? L"    },\n" : L"    }\n";
    }
    out += L"  ],\n";
    const FooterCheck& footer = check.footer;
    out += L"  \"footer\": {\n";
    out += L"    " + JsonField(L"support", L"{" + JsonField(L"caption", JsonString(footer.supportCaption)) + L", " +
                                           JsonField(L"text", JsonString(footer.supportText)) + L", " +
                                           JsonField(L"url", UrlJson(footer.supportUrl)) + L"}") + L",\n";
    out += L"    " + JsonField(L"help", L"{" + JsonField(L"caption", JsonString(footer.helpCaption)) + L", " +
                                        JsonField(L"text", JsonString(footer.helpText)) + L", " +
                                        JsonField(L"url", UrlJson(footer.helpUrl)) + L", " +
                                        JsonField(L"neverOpens", JsonString(footer.helpNeverOpens)) + L"}") + L",\n";
    out += L"    " + JsonField(L"close", L"{" + JsonField(L"caption", JsonString(footer.closeCaption)) + L", " +
                                         JsonField(L"text", JsonString(footer.closeText)) + L"}") + L"\n";
    out += L"  }\n}\n";
    return out;
}
