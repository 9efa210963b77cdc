// What the robustness battery puts on the machine: a scratch folder with
// real files, a folder whose name ends in ".exe", App Paths entries of every
// registry type, and a registry key for generated values. All removed again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/catalogue/CatalogueTestMachine.h"

namespace qvrobust {

// The existence test of the launcher, done independently: FindFirstFileW finds an entry.
bool EntryExists(const std::wstring& path);

class RobustMachine {
public:
    RobustMachine();
    RobustMachine(const RobustMachine&) = delete;
    RobustMachine& operator=(const RobustMachine&) = delete;

    const std::wstring& Folder() const { return folder_; }
    // Texts that name existing things, or start like them: full paths, bare
    // names found in the system folders or App Paths, variables.
    const std::vector<std::wstring>& RealStarts() const { return real_; }

    ScratchFiles files;
    ScratchRegistry registry;

private:
    std::wstring folder_;
    std::vector<std::wstring> real_;
};

// A resource-only module written at run time: the base string module with
// generated strings added (UpdateResourceW), loaded as the framework's
// resource module while the object lives.
class GeneratedStrings {
public:
    GeneratedStrings(const std::wstring& file, const std::vector<std::pair<UINT, std::wstring>>& strings);
    GeneratedStrings(const GeneratedStrings&) = delete;
    GeneratedStrings& operator=(const GeneratedStrings&) = delete;
    ~GeneratedStrings();
    bool ok() const { return module_ != nullptr; }

private:
    std::wstring file_;
    HMODULE module_ = nullptr;
};

}  // namespace qvrobust
