// One catalogue load's look-ups, asked of the platform once.
//
// While a session lives on a thread, ResolveFilePath on that thread keeps the
// registry keys it reads from (App Paths of both views, the Control Panel
// list) open from one row to the next, and asks for the system and Windows
// folders once. Every look-up is still made, reported and decided in the same
// order; the registry and the two folders are taken as they were when first
// asked. Once a session has found kMissesBeforeListing names missing from
// one folder, it reads that folder's names (CFolderListing) and answers from
// them that a name is not there; that folder is then taken as it was when
// read. Sessions nest: an inner one stands in for the outer one while it
// lives.
#pragma once

#include "catalogue/FolderListing.h"
#include "catalogue/RegistryReader.h"

#include <memory>
#include <string>
#include <vector>

class CLookupSession {
public:
    CLookupSession();
    ~CLookupSession();
    CLookupSession(const CLookupSession&) = delete;
    CLookupSession& operator=(const CLookupSession&) = delete;

    // The session of this thread, or null.
    static CLookupSession* Current();

    CRegistryKey& AppPaths64() { return m_appPaths64; }
    CRegistryKey& AppPaths32() { return m_appPaths32; }
    CRegistryKey& ControlPanelList() { return m_controlPanelList; }
    const CString& SystemDirectory();
    const CString& WindowsDirectory();

    // The existence test (FileExists) of a candidate in this load: "not
    // there" from the listing of its folder, read once the session has
    // noted kMissesBeforeListing names missing from it, where the listing
    // proves it; the directory search otherwise.
    bool Exists(const CString& path);

    // Under Wine a listing of the system folder costs about as much as ten to
    // fifteen misses in it; a load of the shipped catalogue stays below this.
    static constexpr int kMissesBeforeListing = 16;

private:
    struct Folder {
        std::wstring path;
        int misses = 0;
        bool tried = false;
        std::unique_ptr<CFolderListing> listing;  // set when read to its end
    };
    // The folder of `path` (the text before its last backslash) and the name
    // in it; null when the path names no folder.
    Folder* FolderOf(const CString& path, CString& name);

    std::vector<Folder> m_folders;  // the few a load probes, in the order first met
    CLookupSession* m_pOuter;
    CRegistryKey m_appPaths64;
    CRegistryKey m_appPaths32;
    CRegistryKey m_controlPanelList;
    CString m_strSystemDirectory;
    CString m_strWindowsDirectory;
    bool m_bFoldersRead = false;
};

// The registry keys and folders ResolveFilePath looks in.
CString AppPaths64Key();
CString AppPaths32Key();
CString ControlPanelListKey();
// The system or Windows directory; empty if it cannot be read.
CString ReadSystemDirectory();
CString ReadWindowsDirectory();
