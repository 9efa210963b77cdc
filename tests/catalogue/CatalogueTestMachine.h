// What the catalogue tests set up on the Wine prefix: files and folders,
// registry values, the 32-bit App Paths view, the string table, and a recorder
// of every look-up. Everything made is removed again when its owner goes.
#pragma once

#include "catalogue/ProbeObserver.h"

#include <windows.h>

#include <string>
#include <vector>

// Files and folders made for one test, removed in reverse order. Folders that
// existed before are left alone.
class ScratchFiles {
public:
    ScratchFiles() = default;
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;
    ~ScratchFiles();
    void Folder(const std::wstring& path);
    void File(const std::wstring& path);

private:
    std::vector<std::wstring> m_made;
};

// Registry values written into HKEY_LOCAL_MACHINE (64-bit view) for one test.
// Keys that did not exist are deleted with everything below them; values set
// in keys that existed are deleted one by one.
class ScratchRegistry {
public:
    ScratchRegistry() = default;
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;
    ~ScratchRegistry();
    void Set(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD bytes);
    void SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text);

private:
    std::vector<std::wstring> m_keys;
    std::vector<std::pair<std::wstring, std::wstring>> m_values;
};

// Wine shares App Paths between the views: the Wow6432Node key is a link to
// the 64-bit key. While this object lives, the link is replaced by a key of its
// own, so that values can exist in the 32-bit view only; the link is restored
// at the end.
class SeparateAppPaths32 {
public:
    SeparateAppPaths32();
    SeparateAppPaths32(const SeparateAppPaths32&) = delete;
    SeparateAppPaths32& operator=(const SeparateAppPaths32&) = delete;
    ~SeparateAppPaths32();
    bool Ready() const { return m_bReady; }
    void SetDefault(const std::wstring& subkey, const std::wstring& text);

private:
    std::vector<BYTE> m_linkTarget;
    bool m_bReady = false;
};

// Points the framework's resource module at a string-table module that lives
// beside the test program (or, with an empty name, at the test program itself,
// which has no string table).
class StringModule {
public:
    explicit StringModule(const wchar_t* fileName);
    StringModule(const StringModule&) = delete;
    StringModule& operator=(const StringModule&) = delete;
    ~StringModule();
    bool Loaded() const { return m_hModule != nullptr || m_bSelf; }

private:
    HMODULE m_hModule = nullptr;
    bool m_bSelf = false;
};

// Records every candidate and registry read while it is installed, as lines:
//   "<stage> <candidate> +|-"            (+ when it exists)
//   "reg64|reg32 <key>[:<value>] +|-"    (key shortened behind "CurrentVersion\")
class ProbeRecorder final : public IProbeObserver {
public:
    ProbeRecorder() { ProbeObserver = this; }
    ProbeRecorder(const ProbeRecorder&) = delete;
    ProbeRecorder& operator=(const ProbeRecorder&) = delete;
    ~ProbeRecorder() { ProbeObserver = nullptr; }
    void OnCandidate(ProbeStage stage, const wchar_t* candidate, bool exists) override;
    void OnRegistryRead(const wchar_t* key, const wchar_t* valueName, RegistryView view, bool found) override;
    std::vector<std::wstring> events;
};

// A machine with the test utilities installed: files in the 64- and 32-bit
// program folders, the system folders and the Windows folder, App Paths and
// Control Panel list entries, and C:\QvTestCwd as the current directory.
class TestUtilities {
public:
    TestUtilities();
    TestUtilities(const TestUtilities&) = delete;
    TestUtilities& operator=(const TestUtilities&) = delete;
    ~TestUtilities();
    ScratchFiles files;
    ScratchRegistry registry;

private:
    std::wstring m_previousDirectory;
};

const wchar_t kAppPathsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const wchar_t kAppPaths32Key[] = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const wchar_t kCplsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\cpls";
