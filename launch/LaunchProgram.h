// Handing a program, document, web address or Control Panel applet to the shell.
#pragma once

#include "framework/afxstr.h"

// Starts `path` with `arguments` in `directory` through the shell; a path that
// names a Control Panel file (".cpl"/".CPL") is started as "Control.exe" with
// the path as its only parameter. A quoted program path followed by switches
// is cut behind its ".exe". TRUE when the shell reports success. A path of
// more than 260 or arguments of more than 259 characters start nothing.
BOOL LaunchProgram(CString path, CString arguments, CString directory);

// The cleaned program path that LaunchProgram hands to the shell: cut behind
// the first ".exe" (else ".EXE"), then, if a quote is left, without its first
// character. A path without either is returned unchanged.
CString CleanProgramPath(const CString& path);
