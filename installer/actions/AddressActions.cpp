// The package's custom actions for the support and help addresses
// (installer/Quorvane.wxs schedules them):
//   ReadAddresses      immediate, before an older version is removed: reads the
//                      values and the records, which that removal may change,
//                      and stops the installation if they cannot be read
//   ScheduleAddresses  immediate, after that removal: decides (AddressDecision.h)
//                      what UpdateAddresses does and what UndoAddresses puts back
//   ApplyAddresses     UpdateAddresses (deferred) and UndoAddresses (rollback),
//                      both without impersonation: carries the plan out
// Every decision and everything done or not done goes into the installer's log.
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

Run ThisRun(MSIHANDLE install)
{
    Run run;
    run.removing = CompareStringOrdinal(Property(install, L"REMOVE").c_str(), -1, L"ALL", -1, TRUE) == CSTR_EQUAL;
    // Windows Installer sets UPGRADINGPRODUCTCODE when a newer product removes this one.
    // Wine's does not: there this uninstall puts the recorded value back, and the newer
    // product, which read the machine before, writes value and record again.
    run.replacedByNewer = Has(install, L"UPGRADINGPRODUCTCODE");
    run.replacingOlder = Has(install, L"WIX_UPGRADE_DETECTED");
    run.maintenance = Has(install, L"Installed");
    run.adminUser = Has(install, L"AdminUser");
    run.restrictedUserControl = Has(install, L"RestrictedUserControl");
    for (size_t i = 0; i < kAddresses.size(); ++i)
        run.given[i] = Property(install, kAddresses[i].property);
    return run;
}

UINT SetPlan(MSIHANDLE install, const wchar_t* action, const Plan& plan)
{
    return MsiSetPropertyW(install, action, EncodePlan(plan).c_str()) == ERROR_SUCCESS ? ERROR_SUCCESS
                                                                                     : ERROR_INSTALL_FAILURE;
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
    const Plan plan = Decide(facts, ThisRun(install));
    if (!plan.failure.empty()) {
        Log(install, L"ReadAddresses", plan.failure);
        return ERROR_INSTALL_FAILURE;
    }
    return MsiSetPropertyW(install, kFactsProperty, EncodeFacts(facts).c_str()) == ERROR_SUCCESS
               ? ERROR_SUCCESS
               : ERROR_INSTALL_FAILURE;
}

UINT ScheduleAddressesBody(MSIHANDLE install)
{
    const Run run = ThisRun(install);
    Facts facts;
    if (!DecodeFacts(Property(install, kFactsProperty), &facts)) {
        Log(install, L"ScheduleAddresses",
            run.removing ? L"ReadAddresses left nothing to go by: the addresses are left as they are"
                         : L"ReadAddresses left nothing to go by: the installation stops");
        return run.removing ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
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
    for (const AddressStep& step : plan.steps)
        Log(install, L"ScheduleAddresses", step.decision);
    for (const std::wstring& key : plan.dropKeys)
        Log(install, L"ScheduleAddresses", L"removes " + KeyText(key) + L" afterwards if it is left empty");
    const UINT status = SetPlan(install, L"UpdateAddresses", plan);
    return status == ERROR_SUCCESS ? SetPlan(install, L"UndoAddresses", UndoOf(plan, now)) : status;
}

UINT ApplyAddressesBody(MSIHANDLE install)
{
    Plan plan;
    if (!DecodePlan(Property(install, L"CustomActionData"), &plan)) {
        Log(install, L"ApplyAddresses", L"the action's data is not a plan of this package's: nothing is changed");
        return ERROR_INSTALL_FAILURE;
    }
    // The name the package schedules this run under.
    const wchar_t* action = plan.mode == Mode::Undo ? L"UndoAddresses" : L"UpdateAddresses";
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
        if (plan.mode == Mode::Install) {
            Log(install, action, L"could not change " + ValuePath(kAddresses[i]) + L" or its record (" +
                                     ErrorText(status) + L"): the installation stops and is rolled back");
            return ERROR_INSTALL_FAILURE;
        }
        Log(install, action, L"could not put back " + ValuePath(kAddresses[i]) + L" (" + ErrorText(status) +
                                 L"): it is left as it is, and so is its record in " + KeyText(kPackageKey) +
                                 L"; the run goes on");
    }
    for (const std::wstring& key : plan.dropKeys) {
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
    return Guarded(install, L"ReadAddresses", [install] { return ReadAddressesBody(install); });
}

extern "C" __declspec(dllexport) UINT __stdcall ScheduleAddresses(MSIHANDLE install)
{
    return Guarded(install, L"ScheduleAddresses", [install] { return ScheduleAddressesBody(install); });
}

extern "C" __declspec(dllexport) UINT __stdcall ApplyAddresses(MSIHANDLE install)
{
    return Guarded(install, L"ApplyAddresses", [install] { return ApplyAddressesBody(install); });
}
