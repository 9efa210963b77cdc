-- Applied by tools/package.sh with msibuild to the database wixl built: what
-- the WiX source asks for but wixl 0.101 cannot write. One query a line.

-- An address is written only when one was given or this package wrote it
-- before (SUPPORTURL/HELPURL then hold the saved one). Otherwise the component
-- stays out: a value the image holds is neither overwritten nor removed.
UPDATE `Component` SET `Condition` = 'SUPPORTURL' WHERE `Component` = 'SupportUrl'
UPDATE `Component` SET `Condition` = 'HELPURL' WHERE `Component` = 'HelpUrl'

-- The addresses reach the installation when it runs with elevated rights.
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;SUPPORTURL;HELPURL' WHERE `Property` = 'SecureCustomProperties'
