-- Applied by tools/package.sh with msibuild to the database wixl built: what
-- the WiX source asks for but wixl 0.101 cannot write. One query a line.

-- Execute="rollback" comes out as an immediate action: 3329 is a DLL action (1)
-- run in the rollback script (256 + 1024) without impersonation (2048).
UPDATE `CustomAction` SET `Type` = 3329 WHERE `Action` = 'UndoAddresses'

-- The addresses reach the installation when it runs with elevated rights.
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;SUPPORTURL;HELPURL' WHERE `Property` = 'SecureCustomProperties'
