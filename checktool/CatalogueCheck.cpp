#include "checktool/CatalogueCheck.h"

#include "catalogue/CatalogueLoader.h"
#include "catalogue/LookupSession.h"
#include "framework/afxres.h"
#include "launch/HelpTarget.h"
#include "res/resource.h"

namespace {

// Collects the look-ups made while it is installed.
class ProbeLog final : public IProbeObserver {
public:
    ProbeLog() { ProbeObserver = this; }
    ~ProbeLog() { ProbeObserver = nullptr; }
    ProbeLog(const ProbeLog&) = delete;
    ProbeLog& operator=(const ProbeLog&) = delete;

    void OnCandidate(ProbeStage stage, const wchar_t* candidate, bool exists) override
    {
        ProbeRecord record;
        record.stage = stage;
        record.text = candidate ? candidate : L"";
        record.ok = exists;
        records.push_back(record);
    }

    void OnRegistryRead(const wchar_t* key, const wchar_t* valueName, RegistryView view, bool found) override
    {
        ProbeRecord record;
        record.registry = true;
        record.text = key ? key : L"";
        record.valueName = valueName ? valueName : L"";
        record.view = view;
        record.ok = found;
        records.push_back(record);
    }

    std::vector<ProbeRecord> records;
};

std::wstring Text(UINT id)
{
    return AfxLoadStringText(id);
}

// The index of the first candidate that exists, or records.size().
size_t FirstFound(const std::vector<ProbeRecord>& records)
{
    for (size_t n = 0; n < records.size(); ++n) {
        if (!records[n].registry && records[n].ok)
            return n;
    }
    return records.size();
}

RowCheck ReadRow(int k, int i)
{
    const UINT t = static_cast<UINT>(100 * k + i);
    RowCheck row;
    row.category = k;
    row.index = i;
    row.name = Text(IDS_ITEM_NAME_BASE + t);
    row.description = Text(IDS_ITEM_DESCRIPTION_BASE + t);
    row.program = Text(IDS_ITEM_PROGRAM_BASE + t);
    row.arguments = Text(IDS_ITEM_ARGUMENTS_BASE + t);
    row.iconFile = Text(IDS_ITEM_ICON_FILE_BASE + t);
    row.iconIndex = Text(IDS_ITEM_ICON_INDEX_BASE + t);
    return row;
}

bool HasAnyString(const RowCheck& row)
{
    return !(row.name.empty() && row.description.empty() && row.program.empty() && row.arguments.empty() &&
             row.iconFile.empty() && row.iconIndex.empty());
}

// Loads the row with the launcher's LoadItem and explains the result from what
// it looked up: the program's search ends at its first existing candidate, and
// everything after that belongs to the icon file.
void ExamineRow(RowCheck& row)
{
    ItemInfo item;
    BOOL loaded = FALSE;
    std::vector<ProbeRecord> records;
    {
        ProbeLog log;
        loaded = LoadItem(row.category, row.index, item);
        records = log.records;
    }

    const size_t found = FirstFound(records);
    const size_t programEnd = found < records.size() ? found + 1 : records.size();
    row.programProbes.assign(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(programEnd));
    row.iconProbes.assign(records.begin() + static_cast<std::ptrdiff_t>(programEnd), records.end());

    if (loaded) {
        row.outcome = RowOutcome::Kept;
        row.item = item;
        row.iconFileFound = FirstFound(row.iconProbes) < row.iconProbes.size();
    } else if (row.program.empty()) {
        row.outcome = RowOutcome::NoProgram;
    } else if (found < records.size()) {
        row.outcome = RowOutcome::NoBackslash;
        row.foundAs = records[found].text;
    } else {
        row.outcome = RowOutcome::NotFound;
    }
}

bool SameItem(const ItemInfo& a, const ItemInfo& b)
{
    return a.Name == b.Name && a.Description == b.Description && a.IconFile == b.IconFile && a.Path == b.Path &&
           a.Arguments == b.Arguments && a.IconIndex == b.IconIndex;
}

// Runs the launcher's own LoadCatalogue and compares its items with the rows
// kept here; takes the presence flags from it.
void CompareWithLoader(CatalogueCheck& check)
{
    // The main dialog's flags as constructed: the fifth category is never shown.
    int present[kCategoryCount] = {1, 1, 1, 1, 0};
    LoadCatalogue(present);
    for (CategoryCheck& category : check.categories) {
        const size_t k = static_cast<size_t>(category.index);
        category.present = present[k] != 0;
        std::vector<const RowCheck*> kept;
        for (const RowCheck& row : category.rows) {
            if (row.outcome == RowOutcome::Kept)
                kept.push_back(&row);
        }
        const CategoryInfo& loaded = Categories.at(k);
        bool same = loaded.ItemCount == category.itemCount && loaded.Items.size() == kept.size();
        for (size_t n = 0; same && n < kept.size(); ++n)
            same = SameItem(loaded.Items[n], kept[n]->item);
        if (!same && check.matchesLoader) {
            check.matchesLoader = false;
            check.mismatch = L"category " + std::to_wstring(k) + L": the launcher's loader keeps " +
                             std::to_wstring(loaded.ItemCount) + L" items, the row check " +
                             std::to_wstring(category.itemCount);
        }
    }
}

FooterUrlCheck UrlFrom(const std::vector<ProbeRecord>& records, UINT keyId, const CString& url)
{
    FooterUrlCheck check;
    check.url = url.Str();
    const std::wstring key = Text(keyId);
    for (const ProbeRecord& record : records) {
        if (record.registry && record.text == key) {
            check.observed = true;
            check.read = record.ok;
            check.key = record.text;
            check.valueName = record.valueName;
            check.view = record.view;
            break;
        }
    }
    return check;
}

}  // namespace

bool CatalogueCheck::AllProgramsKept() const
{
    for (const CategoryCheck& category : categories) {
        for (const RowCheck& row : category.rows) {
            if (!row.program.empty() && (row.outcome != RowOutcome::Kept || !category.present))
                return false;
        }
    }
    return true;
}

CatalogueCheck CheckCatalogue()
{
    CatalogueCheck check;
    CLookupSession session;  // as one catalogue load looks things up
    for (int k = 0; k < kCategoryCount; ++k) {
        CategoryCheck category;
        category.index = k;
        category.caption = Text(IDS_CATEGORY_CAPTION_BASE + 1000 * static_cast<UINT>(k));
        category.text = Text(IDS_CATEGORY_TEXT_BASE + 1000 * static_cast<UINT>(k));
        for (int i = 0; i < kRowsPerCategory; ++i) {
            RowCheck row = ReadRow(k, i);
            if (!HasAnyString(row))
                continue;
            if (category.itemCount >= kMaxItemsPerCategory) {
                // The loader stops examining once twelve items are taken.
                row.outcome = RowOutcome::BeyondTwelfth;
            } else {
                ExamineRow(row);
                if (row.outcome == RowOutcome::Kept)
                    row.position = ++category.itemCount;
            }
            category.rows.push_back(row);
        }
        check.categories.push_back(category);
    }
    CompareWithLoader(check);

    std::vector<ProbeRecord> footerRecords;
    {
        ProbeLog log;
        LoadFooterTexts();
        footerRecords = log.records;
    }
    FooterCheck& footer = check.footer;
    footer.supportCaption = SupportCaption.Str();
    footer.supportText = SupportText.Str();
    footer.helpCaption = HelpCaption.Str();
    footer.helpText = HelpText.Str();
    footer.closeCaption = CloseCaption.Str();
    footer.closeText = CloseText.Str();
    footer.supportUrl = UrlFrom(footerRecords, IDS_SUPPORT_KEY, SupportUrl);
    footer.helpUrl = UrlFrom(footerRecords, IDS_HELP_KEY, HelpUrl);
    footer.helpNeverOpens = HelpTargetProblem(footer.helpUrl.url);
    return check;
}

const wchar_t* StageName(ProbeStage stage)
{
    switch (stage) {
    case ProbeStage::FullPath: return L"full path";
    case ProbeStage::FullPathX86: return L"full path (x86)";
    case ProbeStage::AppPaths64: return L"App Paths";
    case ProbeStage::AppPaths32: return L"App Paths (x86)";
    case ProbeStage::ControlPanelList: return L"Control Panel list";
    case ProbeStage::CurrentDirectory: return L"current folder";
    case ProbeStage::GivenDirectory: return L"given folder";
    case ProbeStage::SystemDirectory: return L"system folder";
    case ProbeStage::SysWow64: return L"SysWOW64 folder";
    case ProbeStage::WindowsDirectory: return L"Windows folder";
    }
    return L"?";
}

const wchar_t* ViewName(RegistryView view)
{
    return view == RegistryView::Wow6432Node ? L"32-bit" : L"64-bit";
}

const wchar_t* StageViewName(ProbeStage stage)
{
    switch (stage) {
    case ProbeStage::AppPaths64:
    case ProbeStage::ControlPanelList:
        return ViewName(RegistryView::Native);
    case ProbeStage::AppPaths32:
        return ViewName(RegistryView::Wow6432Node);
    default:
        return nullptr;
    }
}

const wchar_t* OutcomeName(RowOutcome outcome)
{
    switch (outcome) {
    case RowOutcome::Kept: return L"kept";
    case RowOutcome::NoProgram: return L"no program string";
    case RowOutcome::NotFound: return L"not found";
    case RowOutcome::NoBackslash: return L"no backslash";
    case RowOutcome::BeyondTwelfth: return L"beyond the twelfth item";
    }
    return L"?";
}
