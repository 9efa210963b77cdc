-- Applied by tools/package.sh with msibuild to the database wixl built: what
-- the WiX source asks for but wixl 0.101 cannot write. One query a line;
-- @VERSION@ is the package's version, @UPGRADECODE@ its upgrade code.

-- A package of the same version (a rebuild, with a product code of its own)
-- replaces the installed one in place, as a newer one does. Attributes is
-- part of the Upgrade table's key, so the row is replaced, not updated:
-- 1 migrates the feature states, 512 includes VersionMax.
DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'
INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('@UPGRADECODE@', '@VERSION@', 513, 'WIX_UPGRADE_DETECTED')

-- The older version goes right after InstallInitialize, before any action that
-- writes the installation script: its removal is part of this installation's
-- transaction, and a failed upgrade rolls back to it (wixl schedules it before
-- InstallInitialize, where the removal is committed on its own).
-- ScheduleAddresses (1502) comes after it.
UPDATE `InstallExecuteSequence` SET `Sequence` = 1501 WHERE `Action` = 'RemoveExistingProducts'

-- Execute="rollback" comes out as an immediate action: 3393 is a DLL action (1)
-- whose result is ignored (64), run in the rollback script (256 + 1024) without
-- impersonation (2048).
UPDATE `CustomAction` SET `Type` = 3393 WHERE `Action` = 'UndoAddresses'

-- The properties a user who is not an administrator may pass to the elevated
-- part of the installation: the upgrade's own, never the addresses, which the
-- installer then keeps from it.
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'
