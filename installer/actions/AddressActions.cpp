// The package's custom actions for the support and help addresses
// (installer/Quorvane.wxs schedules them). An installation (a first one, an
// upgrade, a repair):
//   ReadAddresses      immediate, before an older version is removed: reads the
//                      values and the records, which that removal may change,
//                      and stops the installation if they cannot be read
//   ScheduleAddresses  immediate, after that removal: decides (AddressDecision.h)
//                      what UpdateAddresses does and what UndoAddresses puts back
//   UpdateAddresses    deferred, without impersonation: carries the plan out; a
//                      failure rolls the installation back
// The uninstall, however it is asked for (AddressDecision.h, kRemovalCondition):
//   ScheduleAddressRestore  immediate: decides what RestoreAddresses puts back
//   RestoreAddresses        deferred, without impersonation: carries it out
// and the rollback of either: UndoAddresses. Nothing may block an uninstall or a
// rollback: their actions end with success on every path, having logged what
// they could not do, and their rows ignore the result (even a crash of the
// action's host). Every decision and everything done or not done goes into the
// installer's log.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include "installer/actions/ActionDataText.h"
#include "installer/actions/ActionLog.h"
#include "installer/actions/AddressStore.h"

using namespace qvsetup;

namespace {

// The facts ReadAddresses found, for ScheduleAddresses.
constexpr wchar_t kFactsProperty[] = L"QvAddressFacts";

std::wstring Property(MSIHANDLE install, const wchar_t* name)
{
    std::wstring value(64, L'\0');
    DWORD size = static_cast<DWORD>(value.size());
    UINT status = MsiGetPropertyW(install, name, value.data(), &size);
    if (status == ERROR_MORE_DATA) {
        value.resize(++size);
        status = MsiGetPropertyW(install, name, value.data(), &size);
    }
    value.resize(status == ERROR_SUCCESS ? size : 0);
    return value;
}

bool Has(MSIHANDLE install, const wchar_t* name) { return !Property(install, name).empty(); }

// An installation: a first one, an upgrade, or a repair, change or patch.
Run InstallationRun(MSIHANDLE install)
{
    Run run;
    run.replacingOlder = Has(install, L"WIX_UPGRADE_DETECTED");
    run.maintenance = Has(install, L"Installed");
    run.adminUser = Has(install, L"AdminUser");
    run.restrictedUserControl = Has(install, L"RestrictedUserControl");
    for (size_t i = 0; i < kAddresses.size(); ++i)
        run.given[i] = Property(install, kAddresses[i].property);
    return run;
}

Run RemovalRun(MSIHANDLE install)
{
    Run run;
    run.removing = true;
    // Windows Installer sets UPGRADINGPRODUCTCODE when a newer product removes this one.
    // Wine's does not: there this uninstall puts the recorded value back, and the newer
    // product, which read the machine before, writes value and record again.
    run.replacedByNewer = Has(install, L"UPGRADINGPRODUCTCODE");
    return run;
}

// Hands a plan to its deferred action (`action`, the property it reads) and the
// plan that undoes it to UndoAddresses, that one first: a plan never runs
// without its undoing in the rollback script.
UINT HandOn(MSIHANDLE install, const wchar_t* action, const Plan& plan, const Plan& undo)
{
    UINT status = MsiSetPropertyW(install, L"UndoAddresses", EncodePlan(undo).c_str());
    if (status == ERROR_SUCCESS)
        status = MsiSetPropertyW(install, action, EncodePlan(plan).c_str());
    return status;
}

std::wstring ValuePath(const Address& address) { return KeyText(address.key) + L"\\" + kValueName; }

// What a written step did, in words.
std::wstring Done(const Address& address, const AddressState& to)
{
    std::wstring text = to.live.present ? L"set " + ValuePath(address) + L" to " + ValueText(to.live)
                                        : L"removed " + ValuePath(address);
    if (to.recorded)
        return text + L"; recorded in " + KeyText(kPackageKey) + L": the value the image had (" +
               ValueText(to.original) + L") and the " + std::to_wstring(to.createdKeys) +
               L" keys at the end of its path that the package created";
    return text + L"; no record of it is kept";
}

UINT ReadAddressesBody(MSIHANDLE install)
{
    const Facts facts = ReadFacts();
    const Plan plan = Decide(facts, InstallationRun(install));
    if (!plan.failure.empty()) {
        Log(install, L"ReadAddresses", plan.failure);
        return ERROR_INSTALL_FAILURE;
    }
    return MsiSetPropertyW(install, kFactsProperty, EncodeFacts(facts).c_str()) == ERROR_SUCCESS
               ? ERROR_SUCCESS
               : ERROR_INSTALL_FAILURE;
}

void LogPlan(MSIHANDLE install, const wchar_t* action, const Plan& plan)
{
    for (const AddressStep& step : plan.steps)
        Log(install, action, step.decision);
    for (const std::wstring& key : plan.dropKeys)
        Log(install, action, L"removes " + KeyText(key) + L" afterwards if it is left empty");
}

UINT ScheduleAddressesBody(MSIHANDLE install)
{
    const Run run = InstallationRun(install);
    Facts facts;
    if (!DecodeFacts(Property(install, kFactsProperty), &facts)) {
        Log(install, L"ScheduleAddresses", L"ReadAddresses left nothing to go by: the installation stops");
        return ERROR_INSTALL_FAILURE;
    }
    // Values and records as they were before an older version's removal; the
    // keys the package will create as they are now, after it.
    const Facts now = ReadFacts();
    for (size_t i = 0; i < kAddresses.size(); ++i)
        facts.addresses[i].missingKeys = now.addresses[i].missingKeys;
    facts.packageKeyMissing = now.packageKeyMissing;
    const Plan plan = Decide(facts, run);
    if (!plan.failure.empty()) {
        Log(install, L"ScheduleAddresses", plan.failure);
        return ERROR_INSTALL_FAILURE;
    }
    LogPlan(install, L"ScheduleAddresses", plan);
    const UINT status = HandOn(install, L"UpdateAddresses", plan, UndoOf(plan, now));
    if (status == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    Log(install, L"ScheduleAddresses", L"could not hand the plan on (" + ErrorText(status) +
                                           L"): nothing is changed and the installation stops");
    return ERROR_INSTALL_FAILURE;
}

UINT ScheduleAddressRestoreBody(MSIHANDLE install)
{
    const Facts facts = ReadFacts();
    const Plan plan = Decide(facts, RemovalRun(install));
    LogPlan(install, L"ScheduleAddressRestore", plan);
    const UINT status = HandOn(install, L"RestoreAddresses", plan, UndoOf(plan, facts));
    if (status != ERROR_SUCCESS)
        Log(install, L"ScheduleAddressRestore",
            L"could not hand the plan on (" + ErrorText(status) +
                L"): the addresses and their records are left as they are; the uninstall goes on");
    return ERROR_SUCCESS;
}

// What each deferred row is for: the mode of the plan it carries out.
const wchar_t* RunName(Mode mode)
{
    return mode == Mode::Install ? L"the installation" : mode == Mode::Remove ? L"the uninstall" : L"the rollback";
}

// Carries out the plan in the action's data, which must be one of `mode`.
// Only an installation's may fail (it is then rolled back).
UINT ApplyBody(MSIHANDLE install, const wchar_t* action, Mode mode)
{
    Plan plan;
    if (!DecodePlan(Property(install, L"CustomActionData"), &plan) || plan.mode != mode) {
        if (mode == Mode::Install) {
            Log(install, action, L"the action's data is not a plan of this package's for an installation: nothing is "
                                 L"changed and the installation stops");
            return ERROR_INSTALL_FAILURE;
        }
        Log(install, action, std::wstring(L"the action's data is not a plan of this package's for ") + RunName(mode) +
                                 L": the addresses and their records are left as they are; " + RunName(mode) +
                                 L" goes on");
        return ERROR_SUCCESS;
    }
    // Every value first, then the keys: a key is removed only once nothing of the package is left in it.
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        const AddressStep& step = plan.steps[i];
        if (!step.change)
            continue;
        const LSTATUS status = WriteAddress(kAddresses[i], step.to);
        if (status == ERROR_SUCCESS) {
            Log(install, action, Done(kAddresses[i], step.to));
            continue;
        }
        if (mode == Mode::Install) {
            Log(install, action, L"could not change " + ValuePath(kAddresses[i]) + L" or its record (" +
                                     ErrorText(status) + L"): the installation stops and is rolled back");
            return ERROR_INSTALL_FAILURE;
        }
        Log(install, action, L"could not put back " + ValuePath(kAddresses[i]) + L" (" + ErrorText(status) +
                                 L"): it is left as it is, and so is its record in " + KeyText(kPackageKey) +
                                 L"; the run goes on");
    }
    for (const std::wstring& key : plan.dropKeys) {
        // This runs as LocalSystem: it removes none but the package's own keys, whatever its data says.
        if (!IsPackageKey(key)) {
            Log(install, action,
                L"refused to remove " + KeyText(key) + L": not one of this package's keys; left as it is");
            continue;
        }
        bool removed = false;
        const LSTATUS status = DropKeyIfEmpty(key, &removed);
        if (removed)
            Log(install, action, L"removed the empty key " + KeyText(key) + L", which the package created");
        else if (status != ERROR_SUCCESS)
            Log(install, action, L"could not remove the key " + KeyText(key) + L" (" + ErrorText(status) +
                                     L"): left as it is; the run goes on");
    }
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall ReadAddresses(MSIHANDLE install)
{
    return Guarded(install, L"ReadAddresses", Mode::Install, [install] { return ReadAddressesBody(install); });
}

extern "C" __declspec(dllexport) UINT __stdcall ScheduleAddresses(MSIHANDLE install)
{
    return Guarded(install, L"ScheduleAddresses", Mode::Install, [install] { return ScheduleAddressesBody(install); });
}

extern "C" __declspec(dllexport) UINT __stdcall ScheduleAddressRestore(MSIHANDLE install)
{
    return Guarded(install, L"ScheduleAddressRestore", Mode::Remove,
                   [install] { return ScheduleAddressRestoreBody(install); });
}

// UpdateAddresses
extern "C" __declspec(dllexport) UINT __stdcall ApplyAddresses(MSIHANDLE install)
{
    return Guarded(install, L"UpdateAddresses", Mode::Install,
                   [install] { return ApplyBody(install, L"UpdateAddresses", Mode::Install); });
}

extern "C" __declspec(dllexport) UINT __stdcall RestoreAddresses(MSIHANDLE install)
{
    return Guarded(install, L"RestoreAddresses", Mode::Remove,
                   [install] { return ApplyBody(install, L"RestoreAddresses", Mode::Remove); });
}

extern "C" __declspec(dllexport) UINT __stdcall UndoAddresses(MSIHANDLE install)
{
    return Guarded(install, L"UndoAddresses", Mode::Undo,
                   [install] { return ApplyBody(install, L"UndoAddresses", Mode::Undo); });
}
