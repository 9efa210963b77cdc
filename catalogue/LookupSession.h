// One catalogue load's look-ups, asked of the platform once.
//
// While a session lives on a thread, ResolveFilePath on that thread keeps the
// registry keys it reads from (App Paths of both views, the Control Panel
// list) open from one row to the next, and asks for the system and Windows
// folders once. Every look-up is still made, reported and decided in the same
// order; the registry and the two folders are taken as they were when first
// asked. Sessions nest: an inner one stands in for the outer one while it
// lives.
#pragma once

#include "catalogue/RegistryReader.h"

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

private:
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
