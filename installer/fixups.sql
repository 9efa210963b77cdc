-- Applied by tools/package.sh with msibuild to the database wixl built: what
-- the WiX source asks for but wixl 0.101 cannot write. One query a line.

-- An address is written only when one was given or this package wrote it
-- before (SUPPORTURL/HELPURL then hold the saved one). Otherwise the component
-- stays out: a value the image holds is neither overwritten nor removed.
UPDATE `Component` SET `Condition` = 'SUPPORTURL' WHERE `Component` = 'SupportUrl'
UPDATE `Component` SET `Condition` = 'HELPURL' WHERE `Component` = 'HelpUrl'

-- The older version goes before this one installs (wixl moves it after
-- InstallFinalize once the source has its own execute sequence, and the old
-- product's removal then takes the new one's registration with it).
UPDATE `InstallExecuteSequence` SET `Sequence` = 1401 WHERE `Action` = 'RemoveExistingProducts'

-- The addresses reach the installation when it runs with elevated rights.
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;SUPPORTURL;HELPURL' WHERE `Property` = 'SecureCustomProperties'
