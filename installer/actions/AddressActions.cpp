// The package's custom actions for the support and help addresses
// (installer/Quorvane.wxs schedules them):
//   ScheduleAddresses      immediate, before the older product is removed:
//                          decides what each address becomes (UpdateAddresses)
//   ScheduleAddressesUndo  immediate, after that removal: what the rollback
//                          puts back (UndoAddresses)
//   ApplyAddresses         UpdateAddresses (deferred) and UndoAddresses
//                          (rollback), both without impersonation
// An address given sets the value; the first one also records what the value
// replaced. Without one, a repair leaves the value alone and an upgrade keeps
// it and the record as they were. The uninstall puts the recorded value back,
// unless the product is being replaced by a newer one.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include "installer/actions/AddressChangeText.h"

using namespace qvsetup;

namespace {

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

UINT SetChanges(MSIHANDLE install, const wchar_t* action, const std::vector<AddressChange>& changes)
{
    return MsiSetPropertyW(install, action, EncodeChanges(changes).c_str()) == ERROR_SUCCESS ? ERROR_SUCCESS
                                                                                           : ERROR_INSTALL_FAILURE;
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall ScheduleAddresses(MSIHANDLE install)
{
    const bool removing = CompareStringOrdinal(Property(install, L"REMOVE").c_str(), -1, L"ALL", -1, TRUE) == CSTR_EQUAL;
    // Windows Installer sets UPGRADINGPRODUCTCODE when a newer product removes this one.
    // Wine's does not: there this uninstall puts the recorded value back, and the newer
    // product, which read the machine before, writes value and record again.
    const bool replacedByNewer = Has(install, L"UPGRADINGPRODUCTCODE");
    const bool replacingOlder = Has(install, L"WIX_UPGRADE_DETECTED");
    std::vector<AddressChange> changes(kAddresses.size());
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        DWORD missingKeys = 0;
        const AddressState now = ReadAddress(kAddresses[i], &missingKeys);
        const std::wstring given = Property(install, kAddresses[i].property);
        AddressChange& change = changes[i];
        if (removing) {
            change.change = now.recorded && !replacedByNewer;
            change.to.live = now.original;
            change.dropKeys = now.createdKeys;
        } else if (!given.empty()) {
            change.change = true;
            change.to = now;
            if (!now.recorded) {
                change.to.recorded = true;
                change.to.original = now.live;
                change.to.createdKeys = missingKeys;
            }
            change.to.live = StringValue(given);
        } else if (replacingOlder && (now.recorded || now.live.present)) {
            // The older product's uninstall may put back or remove the value: keep what is there now.
            change.change = true;
            change.to = now;
        }
    }
    return SetChanges(install, L"UpdateAddresses", changes);
}

extern "C" __declspec(dllexport) UINT __stdcall ScheduleAddressesUndo(MSIHANDLE install)
{
    std::vector<AddressChange> changes;
    if (!DecodeChanges(Property(install, L"UpdateAddresses"), &changes))
        changes.assign(kAddresses.size(), AddressChange{});
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        if (changes[i].change)
            changes[i].to = ReadAddress(kAddresses[i], &changes[i].dropKeys);
    }
    return SetChanges(install, L"UndoAddresses", changes);
}

extern "C" __declspec(dllexport) UINT __stdcall ApplyAddresses(MSIHANDLE install)
{
    std::vector<AddressChange> changes;
    if (!DecodeChanges(Property(install, L"CustomActionData"), &changes))
        return ERROR_INSTALL_FAILURE;
    bool ok = true;
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        if (changes[i].change)
            ok = WriteAddress(kAddresses[i], changes[i]) && ok;
    }
    DropPackageKeyIfUnused();
    return ok ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}
