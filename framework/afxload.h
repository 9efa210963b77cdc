// Where the shipped programs take libraries from, and how they end when one
// cannot be loaded.
//
// A program restricts the search for libraries loaded by name to the system
// folder first thing in its entry point (AfxRestrictLibrarySearch): never its
// own folder or the current one, where anybody may have put a file of a system
// library's name. The libraries it imports with delayed loading
// (cmake/DelayImports.cmake) are loaded that way at their first call. Should
// one still not load (or lack a function), MinGW-w64's delay-load helper calls
// the program's failure hook, __pfnDliFailureHook2 (<delayimp.h>), before it
// would raise an exception no one handles: each program defines the hook in the
// file of its entry point and ends through AfxEndOnLibraryFailure, with a
// message that says which library could not be loaded and why.
#pragma once

#include <windows.h>

#include <delayimp.h>

#include <string>

// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); FALSE if refused.
BOOL AfxRestrictLibrarySearch();

// "SHELL32.dll: <the system's words for the error> (error 126)"; with the
// function when the library loaded but lacks it. Both names are bounded.
std::wstring AfxLibraryFailureText(const DelayLoadInfo& info, unsigned notify);

// The body of a program's failure hook: for a library that cannot be loaded or
// a function it lacks, hands the text to `report` once and ends the process
// with `exitCode`; any other notification is left to the helper (nullptr).
// A failure while `report` runs (a message box lets the program's windows
// paint) ends the process at once.
FARPROC AfxEndOnLibraryFailure(unsigned notify, PDelayLoadInfo info, void (*report)(const std::wstring& text),
                               UINT exitCode);
