// The names in one folder, read once, to tell that a name is not there
// without asking the file system again.
//
// Under Wine a name missing from a folder costs a read of the whole folder
// (it looks for the name in every case), so in a folder as large as the
// system folder each miss costs about as much as a fiftieth of a listing. A
// load that probes one folder for many names that are not there reads the
// folder once instead, and answers "not there" from what it read; a name the
// listing holds is still tested as before.
#pragma once

#include "framework/afxstr.h"

#include <string>
#include <unordered_set>
#include <vector>

class CFolderListing {
public:
    // Reads the long and short names of the entries of `folder`. False when
    // the folder cannot be listed to its end; the listing then proves nothing.
    bool Read(const CString& folder);

    // True only when a directory search for `name` in the folder read could
    // have found nothing: `name` is a plain name (printable ASCII, no
    // separator, wildcard, colon or pipe, not ending in a dot or blank, not
    // "." or "..") that matches no entry's long or short name, compared as
    // the file system compares names, without regard to case.
    bool ProvesAbsent(const CString& name) const;

private:
    std::unordered_set<std::wstring> m_ascii;  // upper-cased names of entries all in ASCII
    std::vector<std::wstring> m_other;          // entries with other characters, as they are
    bool m_bRead = false;
};
