// What the check tool's tests need: running the tool and capturing its output,
// the shipped catalogue rows (read from res/catalogue.txt), and stand-ins
// installed at the paths those rows name, removed again at the end.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/machine_state.h"

namespace qvcheck {

struct ToolRun {
    bool finished = false;  // ended within the time allowed
    DWORD exitCode = 0;
    std::wstring out;       // standard output, decoded from UTF-8
    std::wstring err;
};

// Runs quorvane-check.exe with `arguments` in `currentDirectory` (empty: the
// tool's folder) and collects both output streams.
ToolRun RunCheckTool(const std::wstring& arguments, const std::wstring& currentDirectory);
// The same for another console program, with `environment` changed (empty: ours).
ToolRun RunTool(const std::wstring& tool, const std::wstring& arguments, const std::wstring& currentDirectory,
                const std::vector<std::pair<std::wstring, std::wstring>>& environment = {});

std::wstring CheckToolPath();
// The two-language resource module the language check's tests run on.
std::wstring FitStringsPath();
// `path` in quotes, for a command line.
std::wstring Quoted(const std::wstring& path);
std::wstring StandinExePath();
std::wstring StandinCplPath();

// One [row K.I] block of the shipped catalogue; absent keys are empty.
struct CatalogueRow {
    int category = 0;
    int index = 0;
    std::wstring name, description, program, arguments, iconFile, iconIndex;
    std::wstring Id() const { return std::to_wstring(category) + L"." + std::to_wstring(index); }
};
std::vector<CatalogueRow> ShippedRows();

// Where a stand-in for `program` goes: a full path with its variables
// expanded, a bare name in the system folder.
std::wstring InstallPathFor(const std::wstring& program);
// The stand-in for a program text: the applet for .cpl/.CPL, else the program.
std::wstring StandinFor(const std::wstring& program);

// Files placed for one test; each goes (and what was there comes back) at the end.
class Installation {
public:
    // Copies `source` to `target`; false (and a test failure) when it cannot.
    bool Place(const std::wstring& source, const std::wstring& target);
    // A stand-in at InstallPathFor(program) (or at `target`, when given).
    bool Program(const std::wstring& program, const std::wstring& target = std::wstring());

private:
    std::vector<std::unique_ptr<qvtest::FileCopyGuard>> m_files;
};

// The lines of `text`, without line ends.
std::vector<std::wstring> Lines(const std::wstring& text);
// The lines of the block that starts with the line `header` and ends before the
// next line that starts with "  Row " or a rule; empty when there is none.
std::vector<std::wstring> Block(const std::wstring& text, const std::wstring& header);

}  // namespace qvcheck
