#!/usr/bin/env python3
"""check_package_tables_test.py PACKAGE OLDER: check-package-tables.py finds each
fault of a damaged copy of the package (msibuild changes one table), as a
finding with exit status 1, never as an exception; the package as built passes."""
import os
import shutil
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check-package-tables.py")


def sequence_of(msi, action):
    rows = subprocess.run(["msiinfo", "export", msi, "InstallExecuteSequence"], check=True,
                          capture_output=True, text=True).stdout.splitlines()[3:]
    return next(int(r.rstrip("\r").split("\t")[2]) for r in rows if r.split("\t")[0] == action)


def damaged(package, work, name, *queries):
    copy = os.path.join(work, name + ".msi")
    shutil.copyfile(package, copy)
    args = ["msibuild", copy]
    for query in queries:
        args += ["-q", query]
    subprocess.run(args, check=True)
    return copy


def check(package, older):
    run = subprocess.run([sys.executable, CHECK, package, older], capture_output=True, text=True)
    return run.returncode, run.stdout, run.stderr


def main(package, older):
    failures = []
    code, out, err = check(package, older)
    if code != 0 or err:
        failures.append(f"the package as built: exit {code}\n{out}{err}")
    rep = sequence_of(package, "RemoveExistingProducts")
    undo = sequence_of(package, "UndoAddresses")
    no_code = "DELETE FROM `Property` WHERE `Property` = 'UpgradeCode'"
    with tempfile.TemporaryDirectory() as work:
        cases = [
            ("older-without-upgrade-code", package, damaged(older, work, "older", no_code),
             "has no UpgradeCode"),
            ("package-without-upgrade-code", damaged(package, work, "no-code", no_code), older,
             "Property UpgradeCode is not set"),
            ("read-after-removal", damaged(package, work, "late-read",
                                           f"UPDATE `InstallExecuteSequence` SET `Sequence` = {rep + 1} "
                                           "WHERE `Action` = 'ReadAddresses'"), older,
             "does not come after ReadAddresses"),
            ("update-before-undo", damaged(package, work, "early-update",
                                           f"UPDATE `InstallExecuteSequence` SET `Sequence` = {undo - 1} "
                                           "WHERE `Action` = 'UpdateAddresses'"), older,
             "UpdateAddresses"),
            ("update-immediate", damaged(package, work, "immediate-update",
                                         "UPDATE `CustomAction` SET `Type` = 1 WHERE `Action` = 'UpdateAddresses'"),
             older, "custom action UpdateAddresses: type 1"),
            ("undo-deferred", damaged(package, work, "deferred-undo",
                                      "UPDATE `CustomAction` SET `Type` = 3073 WHERE `Action` = 'UndoAddresses'"),
             older, "custom action UndoAddresses: type 3073"),
            ("read-return-ignored", damaged(package, work, "ignored-read",
                                            "UPDATE `CustomAction` SET `Type` = 65 WHERE `Action` = 'ReadAddresses'"),
             older, "custom action ReadAddresses: type 65"),
            ("removal-in-its-own-transaction", damaged(package, work, "early-removal",
                                                       "UPDATE `InstallExecuteSequence` SET `Sequence` = 1401 "
                                                       "WHERE `Action` = 'RemoveExistingProducts'"),
             older, "RemoveExistingProducts (1401) does not come after InstallInitialize"),
            ("removal-after-script", damaged(package, work, "late-removal",
                                             f"UPDATE `InstallExecuteSequence` SET `Sequence` = {undo + 1} "
                                             "WHERE `Action` = 'RemoveExistingProducts'"),
             older, "come between"),
            ("restore-return-checked", damaged(package, work, "checked-restore",
                                               "UPDATE `CustomAction` SET `Type` = 3073 "
                                               "WHERE `Action` = 'RestoreAddresses'"),
             older, "custom action RestoreAddresses: type 3073"),
            ("restore-on-remove-all-only", damaged(package, work, "remove-all-only",
                                                   "UPDATE `InstallExecuteSequence` SET `Condition` = 'REMOVE=\"ALL\"' "
                                                   "WHERE `Action` = 'ScheduleAddressRestore'"),
             older, "ScheduleAddressRestore runs on"),
            ("address-secure", damaged(package, work, "secure-address",
                                       "UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;"
                                       "SUPPORTURL' WHERE `Property` = 'SecureCustomProperties'"),
             older, "SUPPORTURL is a secure property"),
            ("no-real-admin-detection", damaged(package, work, "no-real-admin",
                                                "DELETE FROM `Property` WHERE `Property` = 'MSIUSEREALADMINDETECTION'"),
             older, "MSIUSEREALADMINDETECTION is not 1"),
        ]
        for name, msi, base, expected in cases:
            code, out, err = check(msi, base)
            if code != 1 or expected not in out or err:
                failures.append(f"{name}: exit {code}, wanted a finding with {expected!r}\n{out}{err}")
    for failure in failures:
        print(failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
