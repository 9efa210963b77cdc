#!/usr/bin/env python3
"""check-package-tables.py PACKAGE OLDER: what Windows' package validation checks,
read from the package's own tables with msiinfo (msitools). OLDER is a package
of an older version, which must carry the same upgrade code."""
import re
import subprocess
import sys

GUID = re.compile(r"\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}")
VERSION_MAX_INCLUSIVE, VERSION_MIN_INCLUSIVE, ONLY_DETECT = 0x200, 0x100, 0x2
REGISTRY_KEY_PATH = 0x4


def table(msi, name):
    """The rows of a table as dictionaries, column name to text ('' for null)."""
    lines = subprocess.run(["msiinfo", "export", msi, name], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]


def properties(msi):
    return {row["Property"]: row["Value"] for row in table(msi, "Property")}


def problems(msi, older):
    found = []
    prop = properties(msi)
    for name in ("Manufacturer", "ProductVersion", "UpgradeCode", "ProductCode"):
        if not prop.get(name):
            found.append(f"Property {name} is not set")
    if properties(older)["UpgradeCode"] != prop.get("UpgradeCode"):
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
    return found


if __name__ == "__main__":
    found = problems(sys.argv[1], sys.argv[2])
    for problem in found:
        print(problem)
    print(f"{len(found)} problems in {sys.argv[1]}")
    sys.exit(1 if found else 0)
