#include "CatalogueTestMachine.h"

#include "framework/afxres.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* StageName(ProbeStage stage)
{
    switch (stage) {
    case ProbeStage::FullPath: return L"FullPath";
    case ProbeStage::FullPathX86: return L"FullPathX86";
    case ProbeStage::AppPaths64: return L"AppPaths64";
    case ProbeStage::AppPaths32: return L"AppPaths32";
    case ProbeStage::ControlPanelList: return L"ControlPanelList";
    case ProbeStage::CurrentDirectory: return L"CurrentDirectory";
    case ProbeStage::GivenDirectory: return L"GivenDirectory";
    case ProbeStage::SystemDirectory: return L"SystemDirectory";
    case ProbeStage::SysWow64: return L"SysWow64";
    case ProbeStage::WindowsDirectory: return L"WindowsDirectory";
    }
    return L"?";
}

bool KeyExists(const std::wstring& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

using NtDeleteKeyFn = LONG(NTAPI*)(HANDLE);

}  // namespace

ScratchFiles::~ScratchFiles()
{
    for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) {
        if (!DeleteFileW(it->c_str()))
            RemoveDirectoryW(it->c_str());
    }
}

void ScratchFiles::Folder(const std::wstring& path)
{
    if (CreateDirectoryW(path.c_str(), nullptr))
        m_made.push_back(path);
    else
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "folder " << path.size();
}

void ScratchFiles::File(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create a test file, error " << GetLastError();
    CloseHandle(file);
    m_made.push_back(path);
}

ScratchRegistry::~ScratchRegistry()
{
    for (const auto& [key, name] : m_values) {
        HKEY handle = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &handle) == ERROR_SUCCESS) {
            RegDeleteValueW(handle, name.c_str());
            RegCloseKey(handle);
        }
    }
    for (auto it = m_keys.rbegin(); it != m_keys.rend(); ++it)
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, it->c_str());
}

void ScratchRegistry::Set(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD bytes)
{
    // Remember the outermost key this call creates, or else the value.
    bool created = false;
    for (size_t end = key.find(L'\\'); !created; end = key.find(L'\\', end + 1)) {
        const std::wstring prefix = key.substr(0, end);
        if (!KeyExists(prefix)) {
            m_keys.push_back(prefix);
            created = true;
        }
        if (end == std::wstring::npos)
            break;
    }
    if (!created)
        m_values.emplace_back(key, name);

    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &handle, nullptr), ERROR_SUCCESS);
    const LONG status = RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(handle);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void ScratchRegistry::SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text)
{
    Set(key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

SeparateAppPaths32::SeparateAppPaths32()
{
    const auto deleteKey = reinterpret_cast<NtDeleteKeyFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
    HKEY link = nullptr;
    if (!deleteKey || RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAppPaths32Key, REG_OPTION_OPEN_LINK,
                                    KEY_ALL_ACCESS, &link) != ERROR_SUCCESS)
        return;
    BYTE target[1024] = {};
    DWORD bytes = sizeof(target);
    DWORD type = 0;
    const bool isLink = RegQueryValueExW(link, L"SymbolicLinkValue", nullptr, &type, target, &bytes) == ERROR_SUCCESS &&
                        type == REG_LINK;
    const bool deleted = isLink && deleteKey(link) == 0;
    RegCloseKey(link);
    if (!deleted)
        return;
    m_linkTarget.assign(target, target + bytes);

    HKEY own = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPaths32Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &own, nullptr) ==
        ERROR_SUCCESS) {
        RegCloseKey(own);
        m_bReady = true;
    }
}

SeparateAppPaths32::~SeparateAppPaths32()
{
    if (m_linkTarget.empty())
        return;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAppPaths32Key);
    HKEY link = nullptr;
    const LONG created = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPaths32Key, 0, nullptr, REG_OPTION_CREATE_LINK,
                                         KEY_ALL_ACCESS, nullptr, &link, nullptr);
    EXPECT_EQ(created, ERROR_SUCCESS) << "the App Paths link could not be restored";
    if (created != ERROR_SUCCESS)
        return;
    EXPECT_EQ(RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK, m_linkTarget.data(),
                             static_cast<DWORD>(m_linkTarget.size())), ERROR_SUCCESS);
    RegCloseKey(link);
}

void SeparateAppPaths32::SetDefault(const std::wstring& subkey, const std::wstring& text)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kAppPaths32Key) + L"\\" + subkey).c_str(), 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &handle, nullptr), ERROR_SUCCESS);
    const LONG status = RegSetValueExW(handle, L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

StringModule::StringModule(const wchar_t* fileName)
{
    if (!*fileName) {
        m_bSelf = true;
        AfxSetResourceHandle(GetModuleHandleW(nullptr));
        return;
    }
    m_hModule = LoadLibraryExW((ProgramFolder() + fileName).c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (m_hModule)
        AfxSetResourceHandle(m_hModule);
}

StringModule::~StringModule()
{
    AfxSetResourceHandle(nullptr);
    if (m_hModule)
        FreeLibrary(m_hModule);
}

void ProbeRecorder::OnCandidate(ProbeStage stage, const wchar_t* candidate, bool exists)
{
    events.push_back(std::wstring(StageName(stage)) + L" " + candidate + (exists ? L" +" : L" -"));
}

void ProbeRecorder::OnRegistryRead(const wchar_t* key, const wchar_t* valueName, RegistryView view, bool found)
{
    std::wstring text = key;
    const size_t at = text.find(L"CurrentVersion\\");
    if (at != std::wstring::npos)
        text.erase(0, at + 15);
    if (*valueName)
        text += std::wstring(L":") + valueName;
    events.push_back((view == RegistryView::Native ? L"reg64 " : L"reg32 ") + text + (found ? L" +" : L" -"));
}

TestUtilities::TestUtilities()
{
    const std::wstring pf = L"C:\\Program Files\\QvTestUtil\\";
    const std::wstring pf86 = L"C:\\Program Files (x86)\\QvTestUtil\\";
    files.Folder(pf);
    for (const wchar_t* name : {L"QvTool64.exe", L"QvTool13.exe", L"QvTestIcon.ico", L"QvTestApplet.cpl"})
        files.File(pf + name);
    files.Folder(pf + L"QvTestFolder.exe");
    files.Folder(pf86);
    files.File(pf86 + L"QvTool32.exe");
    files.File(L"C:\\windows\\system32\\QvTestSys.Exe");
    files.File(L"C:\\windows\\system32\\QvTestMain.cpl");
    files.File(L"C:\\windows\\syswow64\\QvTestWow.exe");
    files.File(L"C:\\windows\\QvTestStale.exe");
    files.Folder(L"C:\\QvTestCwd");
    files.File(L"C:\\QvTestCwd\\QvTestHere.exe");
    files.Folder(L"C:\\QvTestCwd\\%QvTestUnknown%");
    files.File(L"C:\\QvTestCwd\\%QvTestUnknown%\\QvTool.exe");

    const std::wstring appPaths = std::wstring(kAppPathsKey) + L"\\";
    registry.SetText(appPaths + L"QvTestAp64.exe", L"", L"\"%ProgramFiles%\\QvTestUtil\\QvTool64.exe\"");
    registry.SetText(appPaths + L"QvTestStale.exe", L"", L"C:\\QvTestNone\\QvTestStale.exe");
    registry.SetText(kCplsKey, L"QvTestApplet", L"\"%ProgramFiles%\\QvTestUtil\\QvTestApplet.cpl\"");

    wchar_t previous[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, previous);
    m_previousDirectory.assign(previous, length < MAX_PATH ? length : 0);
    EXPECT_TRUE(SetCurrentDirectoryW(L"C:\\QvTestCwd"));
}

TestUtilities::~TestUtilities()
{
    SetCurrentDirectoryW(m_previousDirectory.empty() ? L"C:\\" : m_previousDirectory.c_str());
}
