// An optional observer of the catalogue's look-ups: every candidate path that
// ResolveFilePath tests and every registry value that ReadRegString reads.
// Tools install one to check a catalogue or to count probes; by default none
// is installed and each report costs one null test.
#pragma once

// Where a candidate came from.
enum class ProbeStage {
    FullPath,          // the expanded full path
    FullPathX86,       // the same with " (x86)" behind "Program Files"
    AppPaths64,        // App Paths value of the 64-bit view
    AppPaths32,        // App Paths value of the Wow6432Node view
    ControlPanelList,  // value of the Control Panel applet list
    CurrentDirectory,  // the bare name itself, when no registry value was read
    GivenDirectory,    // the extra folder and the name (the bare name if no folder)
    SystemDirectory,   // system directory and the name
    SysWow64,          // the same with "system32" replaced by "SysWOW64"
    WindowsDirectory,  // Windows directory and the name
};

// Which registry view a key path reaches from this 64-bit process.
enum class RegistryView {
    Native,       // the 64-bit view
    Wow6432Node,  // the 32-bit view, through a "Software\Wow6432Node\" key path
};

class IProbeObserver {
public:
    // A candidate was tested; `exists` is the result of the existence test.
    // Candidates too long for a path are reported as not existing without
    // touching the file system.
    virtual void OnCandidate(ProbeStage stage, const wchar_t* candidate, bool exists) = 0;
    // A registry value was read (one key opened); `found` when both the key
    // and the value could be read. An empty value name is the default value.
    virtual void OnRegistryRead(const wchar_t* key, const wchar_t* valueName,
                                RegistryView view, bool found) = 0;

protected:
    ~IProbeObserver() = default;
};

// The installed observer, or null. Not owned; the installer removes it.
inline IProbeObserver* ProbeObserver = nullptr;
