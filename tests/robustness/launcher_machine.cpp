#include "tests/robustness/launcher_machine.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "res/resource.h"

namespace qvrobust {

using namespace qvtest;

namespace {

std::wstring Trim(const std::wstring& s)
{
    const size_t begin = s.find_first_not_of(L" \t\r");
    const size_t end = s.find_last_not_of(L" \t\r");
    return begin == std::wstring::npos ? L"" : s.substr(begin, end - begin + 1);
}

}  // namespace

std::wstring ExpandVariables(const std::wstring& text)
{
    wchar_t out[1024] = {};
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), out, 1024);
    return length > 0 && length <= 1024 ? std::wstring(out) : text;
}

std::vector<ShippedRow> ReadShippedRows()
{
    std::vector<ShippedRow> rows;
    std::ifstream file(std::filesystem::path(WindowsPathFromUnix(QV_SOURCE_DIR "/res/catalogue.txt")));
    std::string raw;
    while (std::getline(file, raw)) {
        const std::wstring line(raw.begin(), raw.end());  // the program lines are ASCII
        int k = 0, i = 0;
        if (swscanf(line.c_str(), L"[row %d.%d]", &k, &i) == 2) {
            rows.push_back({k, i, L""});
        } else if (!rows.empty() && line.rfind(L"program", 0) == 0 && line.find(L'=') != std::wstring::npos) {
            rows.back().program = Trim(line.substr(line.find(L'=') + 1));
        }
    }
    return rows;
}

LauncherMachine::LauncherMachine(const std::wstring& tag, bool installGuide)
    : scratch_(tag), log_(std::make_unique<RecorderLog>(scratch_.File(L"launches.log")))
{
    log_->UseForThisProcess();
    const std::wstring recorder = RecorderExePath();
    ok_ = !recorder.empty();
    const std::vector<ShippedRow> rows = ReadShippedRows();
    ok_ = ok_ && rows.size() > 10;
    std::vector<std::wstring> installed;
    for (const ShippedRow& row : rows) {
        if (row.program.find(L'\\') == std::wstring::npos)
            continue;  // bare names would go to the system folders: left out
        const std::wstring path = ExpandVariables(row.program);
        bool already = false;
        for (const std::wstring& p : installed)
            already = already || CompareStringOrdinal(p.c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL;
        if (!already) {
            standIns_.push_back(std::make_unique<FileCopyGuard>(recorder, path));
            ok_ = ok_ && standIns_.back()->ok();
            installed.push_back(path);
        }
        if (row.category >= 0 && row.category < 5 && expected_[static_cast<size_t>(row.category)] < 12) {
            ++expected_[static_cast<size_t>(row.category)];
            shown_[static_cast<size_t>(row.category)].push_back(100 * row.category + row.index);
        }
    }
    if (installGuide) {
        guide_ = std::make_unique<FileCopyGuard>(FileContents{"%PDF-1.4 guide\n"}, kGuide);
        ok_ = ok_ && guide_->ok();
    }
    support_ = std::make_unique<RegistryValueGuard>(HKEY_LOCAL_MACHINE, L"Software\\Velmora\\Kivano\\SS", L"URL");
    ok_ = ok_ && support_->SetString(kSupportUrl);
    // No Help address: Help opens the user's guide.
    help_ = std::make_unique<RegistryValueGuard>(HKEY_LOCAL_MACHINE, L"Software\\Velmora\\Kivano\\Help", L"URL");
    help_->Delete();
    http_ = std::make_unique<UrlSchemeAssociation>(L"http", recorder);
    https_ = std::make_unique<UrlSchemeAssociation>(L"https", recorder);
    pdf_ = std::make_unique<FileAssociation>(L".pdf", L"QvRobustPdf", recorder);
    ok_ = ok_ && http_->ok() && https_->ok() && pdf_->ok();
}

std::vector<std::wstring> LauncherMachine::InstalledPrograms() const
{
    std::vector<std::wstring> out;
    for (const auto& copy : standIns_)
        out.push_back(copy->path());
    return out;
}

RunningLauncher::RunningLauncher(const std::wstring& exe, const std::wstring& cwd) : exe_(exe), cwd_(cwd)
{
    Start();
}

bool RunningLauncher::Start()
{
    window_ = nullptr;
    if (!process_.Start({exe_, L"", cwd_, {}}))
        return false;
    window_ = process_.WaitForWindow(kLauncherClass);
    if (window_) {
        process_.WaitForIdle();
        Settle(window_);
    }
    return window_ != nullptr;
}

bool RunningLauncher::Restart()
{
    // The single-instance marker goes with the old process.
    if (!WaitUntilMutexGone(kLauncherMutex))
        return false;
    return Start();
}

namespace {

std::string InvariantProblems(HWND window, const std::array<int, 5>& expected)
{
    std::ostringstream problems;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDeadlineMs, &result))
        return "the window does not answer";
    int pushed = -1;
    int pushedCount = 0;
    for (int k = 0; k < 5; ++k) {
        HWND button = Control(window, IDC_CATEGORY0 + k);
        const bool visible = button && IsVisible(button);
        const bool present = expected[static_cast<size_t>(k)] > 0;
        if (visible != present)
            problems << "category " << k << " button " << (visible ? "visible" : "hidden") << " with "
                     << expected[static_cast<size_t>(k)] << " installed items; ";
        if (visible && (ButtonState(button) & BST_PUSHED)) {
            pushed = k;
            ++pushedCount;
        }
    }
    if (pushedCount != 1) {
        problems << pushedCount << " category buttons pushed; ";
    } else {
        ListViewProbe list(Control(window, IDC_ITEM_LIST));
        const int count = list.Count();
        if (count != expected[static_cast<size_t>(pushed)])
            problems << "category " << pushed << " shows " << count << " items, "
                     << expected[static_cast<size_t>(pushed)] << " installed; ";
        const int selected = list.SelectedItem();
        if (selected < -1 || selected >= count)
            problems << "selected item " << selected << " of " << count << "; ";
    }
    return problems.str();
}

}  // namespace

std::string CheckLauncherInvariants(HWND window, const std::array<int, 5>& expected)
{
    std::string problems;
    WaitUntil([&] { return (problems = InvariantProblems(window, expected)).empty(); }, kDeadlineMs, 50);
    return problems;
}

}  // namespace qvrobust
