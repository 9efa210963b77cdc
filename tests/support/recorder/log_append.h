// Appending one line to the launch log, shared by recorder.exe and recorder.cpl.
#pragma once

#include <string>

namespace qvrec {

// The log the recorders write: QUORVANE_RECORDER_LOG, else C:\recorder\launches.log.
std::wstring LogPath();

// Appends `line` (a CRLF is added) as UTF-8 with a single WriteFile, one
// recorder at a time (a named mutex). The file is opened for appending with
// every sharing mode; a sharing violation is retried until the deadline so
// that recorders started together all get their line in.
bool AppendLine(const std::wstring& line);

// This module's own file name.
std::wstring ModulePath(void* module);

}  // namespace qvrec
