// What the package does with the support and help addresses, decided from what
// the machine holds, what the package's record says and what this run was
// given, without touching the machine (AddressStore reads and writes it).
//
// The record, in the package's own key, is made by the first installation that
// writes an address: the value that installation replaced (or that there was
// none) and how many keys at the end of the value's path it created. The
// uninstall puts that value back, then removes the keys the package created,
// deepest first, each only when it is empty.
//
// The package of version 1.0.0 before this record existed kept only a copy of
// the address it wrote (value "SupportURL" or "HelpURL" of the package's key).
// It never remembered the image's value: the image is taken to have had none.
//
// An address is machine configuration that the launcher hands to the shell as
// it is: only an administrator may set one. The installer says who runs an
// installation (AdminUser, RestrictedUserControl); an address given by anyone
// else is ignored, and the decision says why.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace qvsetup {

// One address: the package property that gives it, the key of its value "URL",
// the prefix of its record's value names in the package's key (the earlier
// package's copy carries this name alone), and whether the launcher opens it
// only as a file path (Help: launch/HelpTarget.h) or hands anything to the shell.
struct Address {
    const wchar_t* property;
    const wchar_t* key;
    const wchar_t* record;
    bool filePathOnly;
};
constexpr std::array<Address, 2> kAddresses = {{
    {L"SUPPORTURL", L"Software\\Velmora\\Kivano\\SS", L"SupportURL", false},
    {L"HELPURL", L"Software\\Velmora\\Kivano\\Help", L"HelpURL", true},
}};
constexpr wchar_t kPackageKey[] = L"Software\\Velmora\\Quorvane";
constexpr wchar_t kValueName[] = L"URL";

// A registry value exactly as stored (type and bytes), or its absence.
struct RegValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RegValue&) const = default;
};
RegValue StringValue(const std::wstring& text);

// A value as read: `error` is not ERROR_SUCCESS when it could not be read
// (access denied, a damaged record...): that is not "no value".
struct ValueRead {
    RegValue value;
    LSTATUS error = ERROR_SUCCESS;
    bool operator==(const ValueRead&) const = default;
};

enum class RecordKind { None, Current, Earlier };
struct RecordRead {
    RecordKind kind = RecordKind::None;
    RegValue original;      // Current: the value before the first installation that wrote one
    DWORD createdKeys = 0;  // Current: the keys at the end of the path that installation created
    LSTATUS error = ERROR_SUCCESS;
    bool operator==(const RecordRead&) const = default;
};

struct AddressFacts {
    ValueRead live;          // what the launcher reads
    RecordRead record;       // what the package's key says about it
    DWORD missingKeys = 0;   // the keys at the end of the value's path that do not exist
    bool operator==(const AddressFacts&) const = default;
};
struct Facts {
    std::array<AddressFacts, kAddresses.size()> addresses;
    DWORD packageKeyMissing = 0;  // the keys at the end of the package key's path that do not exist
    bool operator==(const Facts&) const = default;
};

struct Run {
    bool removing = false;         // the product goes (kRemovalCondition)
    bool replacedByNewer = false;  // this uninstall is a newer version's removal of this one
    bool replacingOlder = false;   // an older version (or a rebuild) is removed before this one goes in
    bool maintenance = false;      // Installed: a repair, a change or a patch of the installed product
    // Who runs it. The installer sets AdminUser only for an administrator (the
    // package sets MSIUSEREALADMINDETECTION, without which it also sets it for a
    // standard user's elevated run), and RestrictedUserControl when it kept a
    // standard user's public properties from the elevated part.
    bool adminUser = false;
    bool restrictedUserControl = false;
    std::array<std::wstring, kAddresses.size()> given;  // SUPPORTURL, HELPURL ("" when not given)
};

// The condition under which the product goes, however the removal is asked
// for: REMOVE=ALL, or every feature named (REMOVE=Complete), which leaves the
// one feature absent. The installer sets REMOVE to ALL only from
// InstallValidate on; the feature's action state holds from CostFinalize on.
// The package's rows use it as it is.
constexpr wchar_t kRemovalCondition[] = L"REMOVE~=\"ALL\" OR &Complete=2";

// An address as it is to be written: the value, and the record (none when !recorded).
struct AddressState {
    RegValue live;
    bool recorded = false;
    RegValue original;
    DWORD createdKeys = 0;
    bool operator==(const AddressState&) const = default;
};

struct AddressStep {
    bool change = false;
    AddressState to;
    std::wstring decision;  // in words, for the installer's log
};

// Install: a failure stops the installation. Remove and Undo (the rollback):
// a failure is logged and the run goes on.
enum class Mode { Install, Remove, Undo };

struct Plan {
    Mode mode = Mode::Install;
    std::wstring failure;  // not empty: the installation stops before anything changes, for this reason
    std::array<AddressStep, kAddresses.size()> steps;
    std::vector<std::wstring> dropKeys;  // after every value: deepest first, each only when empty
};

// The one decision of an installation or an uninstall.
Plan Decide(const Facts& facts, const Run& run);

// What a rollback of `update` puts back: the addresses it changes as `now` holds
// them, and the keys it would create removed again.
Plan UndoOf(const Plan& update, const Facts& now);

// The keys a plan may remove: the two address keys and the keys above them up to
// Velmora's (each removed only when the package's record says it created it),
// and the package's own key. The actions that run as LocalSystem remove no other.
bool IsPackageKey(const std::wstring& path);

// "HKLM\<path>"; "HKLM\<path>\URL" for a value.
std::wstring KeyText(const std::wstring& path);
std::wstring ValueText(const RegValue& value);  // "no value", "\"text\"" or "a value of type N"
std::wstring ErrorText(LSTATUS error);

}  // namespace qvsetup
