#!/usr/bin/env python3
"""check-package-tables.py PACKAGE OLDER: what Windows' package validation checks,
the older version's removal inside the installation's transaction, the
properties only an administrator may give, and the order, kind, conditions and
result handling of the package's own custom actions, read from the package's
own tables with msiinfo (msitools). OLDER is a package of an older
version, which must carry the same upgrade code. Every problem is a finding
printed on a line of its own (exit status 1), never an exception."""
import os
import re
import subprocess
import sys
import tempfile

GUID = re.compile(r"\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}")
VERSION_MAX_INCLUSIVE, VERSION_MIN_INCLUSIVE, ONLY_DETECT = 0x200, 0x100, 0x2
REGISTRY_KEY_PATH = 0x4

# Custom action types: the source and kind (1: a function of a DLL in the Binary
# table), the return ignored (0x40) or not waited for (0x80), when it runs
# (0x700: 0 immediate, 0x400 deferred, 0x500 rollback) and without impersonation (0x800).
DLL_IN_BINARY, RETURN_BITS, CONTINUE, SCHEDULE_BITS = 1, 0xC0, 0x40, 0x700
IMMEDIATE, DEFERRED, ROLLBACK, NO_IMPERSONATE = 0, 0x400, 0x500, 0x800
# The condition under which the product goes, however the removal is asked for
# (kRemovalCondition in installer/actions/AddressDecision.h).
REMOVAL = 'REMOVE~="ALL" OR &Complete=2'
# The address actions: when each runs, which function of the DLL it calls,
# whether its result is ignored (the uninstall's and the rollback's: nothing may
# block them, not even a crash of the action's host) and its condition.
ADDRESS_ACTIONS = {
    "ReadAddresses": (IMMEDIATE, "ReadAddresses", False, f"NOT ({REMOVAL})"),
    "ScheduleAddresses": (IMMEDIATE, "ScheduleAddresses", False, f"NOT ({REMOVAL})"),
    "UpdateAddresses": (DEFERRED, "ApplyAddresses", False, "UpdateAddresses"),
    "ScheduleAddressRestore": (IMMEDIATE, "ScheduleAddressRestore", True, REMOVAL),
    "RestoreAddresses": (DEFERRED, "RestoreAddresses", True, "RestoreAddresses"),
    "UndoAddresses": (ROLLBACK, "UndoAddresses", True, "UndoAddresses"),
}
# In these orders in InstallExecuteSequence, each after the one before. An
# installation: the feature states are known, the values are read before an
# older version's removal changes them; that removal runs right after
# InstallInitialize, inside the installation's transaction; the plan is made
# after it; the rollback action is in the script before the actions it undoes.
# The uninstall: REMOVE is ALL from InstallValidate on.
ADDRESS_ORDERS = [
    ["CostFinalize", "ReadAddresses", "InstallInitialize", "RemoveExistingProducts", "ScheduleAddresses",
     "UndoAddresses", "UpdateAddresses", "InstallFinalize"],
    ["CostFinalize", "InstallValidate", "ScheduleAddressRestore", "UndoAddresses", "RestoreAddresses",
     "InstallFinalize"],
]
# The properties only an administrator may give: never secure ones, which a
# standard user may pass to the elevated part of a per-machine installation.
ADMINISTRATORS_PROPERTIES = ["SUPPORTURL", "HELPURL"]


def table(msi, name):
    """The rows of a table as dictionaries, column name to text ('' for null); [] when the
    package has no such table. msiinfo writes a table's streams (the Binary table's DLL) as
    files where it runs: it runs in a folder that goes afterwards."""
    with tempfile.TemporaryDirectory() as scratch:
        run = subprocess.run(["msiinfo", "export", os.path.abspath(msi), name], capture_output=True, text=True,
                             cwd=scratch)
    if run.returncode != 0:
        return []
    lines = run.stdout.splitlines()
    columns = lines[0].rstrip("\r").split("\t")
    return [dict(zip(columns, line.rstrip("\r").split("\t"))) for line in lines[3:]]


def properties(msi):
    return {row["Property"]: row["Value"] for row in table(msi, "Property")}


def problems(msi, older):
    found = []
    prop = properties(msi)
    for name in ("Manufacturer", "ProductVersion", "UpgradeCode", "ProductCode"):
        if not prop.get(name):
            found.append(f"Property {name} is not set")
    older_code = properties(older).get("UpgradeCode")
    if not older_code:
        found.append(f"the older package {older} has no UpgradeCode: it cannot be upgraded from")
    elif older_code != prop.get("UpgradeCode"):
        found.append("the older version has another UpgradeCode")

    components = {row["Component"]: row for row in table(msi, "Component")}
    files = {row["File"]: row for row in table(msi, "File")}
    registry = table(msi, "Registry")
    folders = [(r["Directory_"], r["Component_"]) for r in table(msi, "CreateFolder")]
    ids = [row["ComponentId"] for row in components.values()]
    for name, row in components.items():
        if not GUID.fullmatch(row["ComponentId"]) or ids.count(row["ComponentId"]) != 1:
            found.append(f"component {name}: GUID {row['ComponentId']!r} is not one of its own")
        keys = [r["Registry"] for r in registry] if int(row["Attributes"]) & REGISTRY_KEY_PATH else files
        # No key path named: the component's folder is its key path, if the component creates it.
        if row["KeyPath"] not in keys and (row["KeyPath"] or (row["Directory_"], name) not in folders):
            found.append(f"component {name}: no key path ({row['KeyPath']!r})")
    targets = [(components[f["Component_"]]["Directory_"], f["FileName"].split("|")[-1].lower())
               for f in files.values() if f["Component_"] in components]
    targets += [(r["Root"], r["Key"].lower(), r["Name"].lower()) for r in registry if r["Component_"] in components]
    if len(targets) != len(files) + len(registry) or len(set(targets)) != len(targets):
        found.append("a file or registry value belongs to no component, or to more than one")

    for shortcut in table(msi, "Shortcut"):
        target = re.fullmatch(r"\[#(\w+)\]", shortcut["Target"])
        program = files.get(target.group(1)) if target else None
        folder = components[program["Component_"]]["Directory_"] if program else None
        if program is None or program["FileName"].split("|")[-1] != "Quorvane.exe" or shortcut["WkDir"] != folder:
            found.append(f"shortcut {shortcut['Shortcut']}: target {shortcut['Target']} in {shortcut['WkDir']}")

    version, rows = prop.get("ProductVersion"), table(msi, "Upgrade")
    rows = [r for r in rows if r["UpgradeCode"] == prop.get("UpgradeCode")]
    upgrades = [r for r in rows if not int(r["Attributes"]) & ONLY_DETECT and r["VersionMax"] == version
                and int(r["Attributes"]) & VERSION_MAX_INCLUSIVE and not r["VersionMin"]]
    newer = [r for r in rows if int(r["Attributes"]) & ONLY_DETECT and r["VersionMin"] == version
             and not int(r["Attributes"]) & VERSION_MIN_INCLUSIVE and not r["VersionMax"]]
    sequence = {r["Action"]: r for r in table(msi, "InstallExecuteSequence")}
    conditions = [r["Condition"] for r in table(msi, "LaunchCondition")] if "LaunchConditions" in sequence else []
    refused = newer and f"NOT {newer[0]['ActionProperty']}" in conditions
    if not upgrades or "RemoveExistingProducts" not in sequence:
        found.append("older versions and rebuilds of this one are not replaced")
    if not refused:
        found.append("a newer version installed does not stop this one")
    secure = prop.get("SecureCustomProperties", "").split(";")
    if any(r["ActionProperty"] not in secure for r in rows):
        found.append("an upgrade property is not a secure property")
    for name in ADMINISTRATORS_PROPERTIES:
        if name in secure:
            found.append(f"{name} is a secure property: a standard user may pass it to the elevated installation")
    # Without it the installer sets AdminUser for a standard user's elevated run too.
    if prop.get("MSIUSEREALADMINDETECTION") != "1":
        found.append("MSIUSEREALADMINDETECTION is not 1: AdminUser does not tell an administrator")
    return found + action_problems(msi, sequence)


def action_problems(msi, sequence):
    """The address actions: their kind, their function, their result handling, their
    conditions and their order; the older version's removal inside the transaction."""
    found = []
    actions = {row["Action"]: row for row in table(msi, "CustomAction")}
    binaries = {row["Name"] for row in table(msi, "Binary")}
    for name, (schedule, function, ignored, condition) in ADDRESS_ACTIONS.items():
        row = actions.get(name)
        if row is None:
            found.append(f"custom action {name} is missing")
            continue
        kind = int(row["Type"] or 0)
        wanted = f"a DLL function ({DLL_IN_BINARY}) {schedule_name(schedule)}, its return " + \
                 ("ignored (64)" if ignored else "checked")
        if schedule != IMMEDIATE:
            wanted += ", without impersonation"
        if (kind & 0x3F != DLL_IN_BINARY or kind & RETURN_BITS != (CONTINUE if ignored else 0)
                or kind & SCHEDULE_BITS != schedule or (schedule != IMMEDIATE and not kind & NO_IMPERSONATE)):
            found.append(f"custom action {name}: type {kind} is not {wanted}")
        if row["Source"] not in binaries or row["Target"] != function:
            found.append(f"custom action {name}: calls {row['Target']!r} in {row['Source']!r}, "
                         f"not {function!r} in the Binary table")
        if name in sequence and sequence[name]["Condition"] != condition:
            found.append(f"{name} runs on {sequence[name]['Condition']!r}, not on {condition!r}")
    for order in ADDRESS_ORDERS:
        missing = [name for name in order if name not in sequence]
        if missing:
            found.append(f"InstallExecuteSequence lacks {', '.join(missing)}")
            continue
        numbers = [int(sequence[name]["Sequence"]) for name in order]
        for (before, first), (after, second) in zip(zip(order, numbers), zip(order[1:], numbers[1:])):
            if not first < second:
                found.append(f"{after} ({second}) does not come after {before} ({first})")
    if "InstallInitialize" in sequence and "RemoveExistingProducts" in sequence:
        start, removal = (int(sequence[name]["Sequence"]) for name in ("InstallInitialize", "RemoveExistingProducts"))
        between = sorted(name for name, row in sequence.items() if start < int(row["Sequence"]) < removal)
        if between:
            found.append(f"RemoveExistingProducts ({removal}) does not come right after InstallInitialize ({start}): "
                         f"{', '.join(between)} come between")
    return found


def schedule_name(schedule):
    return {IMMEDIATE: "run at once", DEFERRED: "deferred", ROLLBACK: "in the rollback script"}[schedule]


if __name__ == "__main__":
    found = problems(sys.argv[1], sys.argv[2])
    for problem in found:
        print(problem)
    print(f"{len(found)} problems in {sys.argv[1]}")
    sys.exit(1 if found else 0)
