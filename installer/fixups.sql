-- Applied by tools/package.sh with msibuild to the database wixl built: what
-- the WiX source asks for but wixl 0.101 cannot write. One query a line;
-- @VERSION@ is the package's version, @UPGRADECODE@ its upgrade code.

-- A package of the same version (a rebuild, with a product code of its own)
-- replaces the installed one in place, as a newer one does. Attributes is
-- part of the Upgrade table's key, so the row is replaced, not updated:
-- 1 migrates the feature states, 512 includes VersionMax.
DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'
INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('@UPGRADECODE@', '@VERSION@', 513, 'WIX_UPGRADE_DETECTED')

-- Execute="rollback" comes out as an immediate action: 3329 is a DLL action (1)
-- run in the rollback script (256 + 1024) without impersonation (2048).
UPDATE `CustomAction` SET `Type` = 3329 WHERE `Action` = 'UndoAddresses'

-- The addresses reach the installation when it runs with elevated rights.
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;SUPPORTURL;HELPURL' WHERE `Property` = 'SecureCustomProperties'
