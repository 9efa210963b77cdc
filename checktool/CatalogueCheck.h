// Examining a launcher's catalogue row by row with the launcher's own loading
// code, recording every look-up it makes through the probe observer.
#pragma once

#include "catalogue/CatalogueModel.h"
#include "catalogue/ProbeObserver.h"

#include <string>
#include <vector>

// One look-up of the catalogue code: a tested candidate or a registry read.
struct ProbeRecord {
    bool registry = false;        // false: a candidate path was tested
    ProbeStage stage = ProbeStage::FullPath;  // candidates only
    std::wstring text;            // the candidate, or the key under HKEY_LOCAL_MACHINE
    std::wstring valueName;       // registry reads only; empty: the default value
    RegistryView view = RegistryView::Native;  // registry reads only
    bool ok = false;              // the candidate exists / the value was read
};

enum class RowOutcome {
    Kept,           // became an item of its category
    NoProgram,      // the row has no program string
    NotFound,       // no candidate for the program exists
    NoBackslash,    // the program was found, but as a path without a backslash
    BeyondTwelfth,  // the category already had twelve items: not examined
};

struct RowCheck {
    int category = 0;
    int index = 0;
    // The row's strings exactly as the string table holds them (empty: missing).
    std::wstring name, description, program, arguments, iconFile, iconIndex;
    std::vector<ProbeRecord> programProbes;  // resolving the program
    std::vector<ProbeRecord> iconProbes;     // resolving the icon file (kept rows only)
    RowOutcome outcome = RowOutcome::NotFound;
    std::wstring foundAs;  // NoBackslash: the candidate that was found
    int position = 0;      // Kept: 1-based position among the category's items
    ItemInfo item;         // Kept: the item as loaded
    bool iconFileFound = false;  // Kept: the icon file string was resolved
};

struct CategoryCheck {
    int index = 0;
    std::wstring caption, text;
    bool present = false;   // the launcher shows the category's button
    int itemCount = 0;
    std::vector<RowCheck> rows;  // rows holding any string, ascending index
};

struct FooterUrlCheck {
    std::wstring url;        // empty when it could not be read
    bool read = false;       // the registry read succeeded
    bool observed = false;   // a registry read for it was seen
    std::wstring key, valueName;
    RegistryView view = RegistryView::Native;
};

struct FooterCheck {
    std::wstring supportCaption, supportText, helpCaption, helpText, closeCaption, closeText;
    FooterUrlCheck supportUrl, helpUrl;
    // Why Help can never open its address (launch/HelpTarget.h): it opens only
    // a file that exists. Empty when the address is a file path, or empty.
    std::wstring helpNeverOpens;
};

struct CatalogueCheck {
    std::wstring executable;
    std::wstring currentDirectory;
    std::vector<CategoryCheck> categories;  // five
    FooterCheck footer;
    // The launcher's own loading (LoadCatalogue) kept exactly the items found
    // here row by row. False would mean this tool misreads the loader.
    bool matchesLoader = true;
    std::wstring mismatch;

    // Every row with a program string is kept, in a category that is shown.
    bool AllProgramsKept() const;
};

// Examines the catalogue in the framework's current resource module. The
// current directory must already be the launcher's folder.
CatalogueCheck CheckCatalogue();

const wchar_t* StageName(ProbeStage stage);
const wchar_t* ViewName(RegistryView view);
// The registry view a candidate's stage read its value from, or null for
// candidates formed without the registry.
const wchar_t* StageViewName(ProbeStage stage);
const wchar_t* OutcomeName(RowOutcome outcome);
