#include "installer/actions/AddressDecision.h"

#include <algorithm>
#include <set>

#include "launch/HelpTarget.h"

namespace qvsetup {

namespace {

size_t Depth(const std::wstring& path) { return std::count(path.begin(), path.end(), L'\\'); }

// The last `count` keys of `path`, deepest first; never the path's first key ("Software").
std::vector<std::wstring> TrailingKeys(std::wstring path, DWORD count)
{
    std::vector<std::wstring> keys;
    for (; count > 0 && Depth(path) > 0; --count) {
        keys.push_back(path);
        path.resize(path.find_last_of(L'\\'));
    }
    return keys;
}

std::wstring Parent(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring Keys(DWORD count) { return count == 1 ? L"1 key" : std::to_wstring(count) + L" keys"; }

Plan Failure(Mode mode, const std::wstring& reason)
{
    Plan plan;
    plan.mode = mode;
    plan.failure = reason;
    return plan;
}

// Deepest first; among keys of one depth, by name, so that the plan is the same every time.
std::vector<std::wstring> DeepestFirst(const std::set<std::wstring>& keys)
{
    std::vector<std::wstring> sorted(keys.begin(), keys.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::wstring& a, const std::wstring& b) { return Depth(a) > Depth(b); });
    return sorted;
}

// Why an address given to this run is not taken, "" when it is: only an
// administrator's run sets one.
std::wstring NotAnAdministratorsRun(const Run& run)
{
    if (run.adminUser && !run.restrictedUserControl)
        return {};
    const std::wstring what = run.maintenance      ? L"this repair, change or patch of the installed product"
                              : run.replacingOlder ? L"this upgrade"
                                                   : L"this installation";
    const std::wstring why = run.restrictedUserControl
                                 ? L"the installer kept this user's public properties from its elevated part "
                                   L"(RestrictedUserControl)"
                                 : L"the installer did not set AdminUser";
    return what + L" is not run by an administrator (" + why + L")";
}

}  // namespace

RegValue StringValue(const std::wstring& text)
{
    RegValue value{true, REG_SZ, {}};
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    value.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return value;
}

bool IsPackageKey(const std::wstring& path)
{
    if (path == kPackageKey || path == Parent(kPackageKey))
        return true;
    for (const Address& address : kAddresses) {
        const std::vector<std::wstring> keys = TrailingKeys(address.key, static_cast<DWORD>(Depth(address.key)));
        if (std::find(keys.begin(), keys.end(), path) != keys.end())
            return true;
    }
    return false;
}

std::wstring KeyText(const std::wstring& path) { return L"HKLM\\" + path; }

std::wstring ValueText(const RegValue& value)
{
    if (!value.present)
        return L"no value";
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return L"a value of type " + std::to_wstring(value.type) + L" (" + std::to_wstring(value.data.size()) +
               L" bytes)";
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    text.resize(std::min(text.find(L'\0'), text.size()));
    constexpr size_t kShown = 300;
    if (text.size() > kShown)
        text.replace(kShown, std::wstring::npos, L"...");
    return L"\"" + text + L"\"";
}

std::wstring ErrorText(LSTATUS error)
{
    std::wstring text = L"error " + std::to_wstring(error);
    wchar_t* message = nullptr;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr) &&
        message) {
        std::wstring words = message;
        LocalFree(message);
        while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.' ||
                                  words.back() == L' '))
            words.pop_back();
        if (!words.empty())
            text += L": " + words;
    }
    return text;
}

Plan Decide(const Facts& facts, const Run& run)
{
    const Mode mode = run.removing ? Mode::Remove : Mode::Install;
    Plan plan;
    plan.mode = mode;
    std::set<std::wstring> created;  // the keys the package created, as its records say
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        const Address& address = kAddresses[i];
        const AddressFacts& now = facts.addresses[i];
        const RecordRead& record = now.record;
        AddressStep& step = plan.steps[i];
        const std::wstring value = KeyText(address.key) + L"\\" + kValueName;
        const std::wstring recordText = L"the record of " + value + L" in " + KeyText(kPackageKey);

        if (run.removing) {
            if (run.replacedByNewer) {
                step.decision = value + L" and its record left for the newer version that replaces this one";
            } else if (record.error != ERROR_SUCCESS) {
                step.decision = L"could not read " + recordText + L" (" + ErrorText(record.error) + L"): " + value +
                                L" and the record are left as they are; the uninstall goes on";
            } else if (record.kind != RecordKind::Current) {
                step.decision = value + L" was not written by this package: left as it is";
            } else {
                step.change = true;
                step.to.live = record.original;
                step.decision = L"puts back " + value + L" as the image had it: " + ValueText(record.original);
                for (const std::wstring& key : TrailingKeys(address.key, record.createdKeys))
                    created.insert(key);
            }
            continue;
        }

        std::wstring given = run.given[i];
        const std::wstring name = address.property;
        // What the decision says first when no address is taken.
        std::wstring notGiven = name + L" not given: ";
        if (!given.empty()) {
            if (const std::wstring why = NotAnAdministratorsRun(run); !why.empty()) {
                notGiven = name + L" " + ValueText(StringValue(given)) + L" ignored, as " + why + L": ";
                given.clear();
            }
        }
        if (given.empty() && !run.replacingOlder) {
            step.decision = notGiven + value + L" left as it is";
            continue;
        }
        if (record.error != ERROR_SUCCESS)
            return Failure(mode, L"could not read " + recordText + L" (" + ErrorText(record.error) +
                                     L"): nothing is changed and the installation stops");
        const bool needsLive = record.kind == RecordKind::None ? !given.empty() : given.empty();
        if (needsLive && now.live.error != ERROR_SUCCESS)
            return Failure(mode, L"could not read " + value + L" (" + ErrorText(now.live.error) +
                                     L"): nothing is changed and the installation stops");
        const std::wstring sets = given.empty() ? L"keeps " + value + L" (" + ValueText(now.live.value) + L")"
                                                : L"sets " + value + L" to " + ValueText(StringValue(given));
        switch (record.kind) {
        case RecordKind::Current:
            step.change = true;
            step.to = {given.empty() ? now.live.value : StringValue(given), true, record.original,
                       std::max(record.createdKeys, now.missingKeys)};
            step.decision = (given.empty() ? notGiven : L"") + sets +
                            L"; the record of the image's value (" + ValueText(record.original) + L") stays" +
                            (given.empty() ? L", through the older version's removal" : L"");
            break;
        case RecordKind::Earlier:
            if (given.empty() && !now.live.value.present) {
                step.decision = notGiven + value + L" has no value, nothing to keep";
                break;
            }
            step.change = true;
            step.to = {given.empty() ? now.live.value : StringValue(given), true, RegValue{}, now.missingKeys};
            step.decision = (given.empty() ? notGiven : L"") + sets +
                            L"; the earlier package kept only a copy of the address it wrote, so the image is "
                            L"taken to have had no value: remembers no value and the " +
                            Keys(now.missingKeys) + L" at the end of the path it creates, for the uninstall";
            break;
        case RecordKind::None:
            if (given.empty()) {
                step.decision = notGiven + value + L" left as it is (not written by a package)";
                break;
            }
            step.change = true;
            step.to = {StringValue(given), true, now.live.value, now.missingKeys};
            step.decision = sets + L"; remembers the value it replaces (" + ValueText(now.live.value) +
                            L") and the " + Keys(now.missingKeys) +
                            L" at the end of the path it creates, for the uninstall";
            break;
        }
        // The launcher opens the help address only as a file that exists. The
        // installation does not fail over it (a maker may rely on that): it says so.
        if (address.filePathOnly && !given.empty()) {
            if (const std::wstring problem = HelpTargetProblem(given); !problem.empty())
                step.decision += L"; warning: " + name + L" is " + problem +
                                 L": Help opens only a file that exists, never this, and opens the local user's "
                                 L"guide instead; it is written as given";
        }
    }
    if (run.removing && !run.replacedByNewer) {
        // The package's key goes once no record is left in it; the key above it
        // only when the package created that one too.
        created.insert(kPackageKey);
        plan.dropKeys = DeepestFirst(created);
        if (!created.count(Parent(kPackageKey)))
            std::erase(plan.dropKeys, Parent(kPackageKey));
    }
    return plan;
}

Plan UndoOf(const Plan& update, const Facts& now)
{
    Plan undo;
    undo.mode = Mode::Undo;
    std::set<std::wstring> created;
    bool writesRecord = false;
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        if (!update.steps[i].change)
            continue;
        const AddressFacts& facts = now.addresses[i];
        const std::wstring value = KeyText(kAddresses[i].key) + L"\\" + kValueName;
        AddressStep& step = undo.steps[i];
        const LSTATUS error = facts.live.error != ERROR_SUCCESS ? facts.live.error : facts.record.error;
        if (error != ERROR_SUCCESS) {
            step.decision = L"could not read " + value + L" or its record (" + ErrorText(error) +
                            L"): a rollback leaves them as it finds them";
            continue;
        }
        step.change = true;
        step.to = {facts.live.value, facts.record.kind == RecordKind::Current, facts.record.original,
                   facts.record.createdKeys};
        step.decision = L"a rollback puts back " + value + L" (" + ValueText(facts.live.value) + L")";
        for (const std::wstring& key : TrailingKeys(kAddresses[i].key, facts.missingKeys))
            created.insert(key);
        writesRecord = writesRecord || update.steps[i].to.recorded;
    }
    if (writesRecord)
        for (const std::wstring& key : TrailingKeys(kPackageKey, now.packageKeyMissing))
            created.insert(key);
    undo.dropKeys = DeepestFirst(created);
    return undo;
}

}  // namespace qvsetup
