// The package under Wine's own msiexec, in a prefix of its own: a silent
// install with the image builder's addresses and the installed launcher at
// work, a value the image holds, an upgrade, a refused downgrade, damaged
// packages, and uninstalls that leave the machine as it was.
#include <windows.h>

#include <msi.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/robustness/launcher_machine.h"
#include "tests/support/machine_snapshot.h"

namespace {

using namespace qvtest;

const std::wstring kPackage = WindowsPathFromUnix(QV_PACKAGE_MSI);
const std::wstring kOlder = WindowsPathFromUnix(QV_OLDER_MSI);
constexpr wchar_t kFolder[] = L"C:\\Program Files\\Velmora\\Quorvane";
constexpr wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kSupportKey[] = L"Software\\Velmora\\Kivano\\SS";
constexpr wchar_t kHelpKey[] = L"Software\\Velmora\\Kivano\\Help";

// Runs msiexec, answers the message box it shows when `box` is given (its texts go there), returns its exit code.
DWORD Msiexec(const std::wstring& arguments, std::wstring* box = nullptr)
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    LaunchedProcess msiexec({JoinPath(system, L"msiexec.exe"), arguments, L"", {}});
    if (HWND window = box ? msiexec.WaitForWindow(L"#32770") : nullptr) {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            *box += WindowText(child) + L"\n";
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    DWORD code = 0xFFFFFFFF;
    msiexec.WaitForExit(kDeadlineMs, &code);
    return code;
}

// The product's entries in Programs and Features (found by its upgrade code), each as
// "<name> <version> <publisher>"; *code gets the last one's product code.
std::vector<std::wstring> Entries(std::wstring* code = nullptr)
{
    std::vector<std::wstring> entries;
    wchar_t product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(L"{8FCE59BB-D03E-4CE3-8252-84C4F3144A19}", 0, i, product) == 0; ++i) {
        std::wstring entry, value;
        for (const wchar_t* name : {L"DisplayName", L"DisplayVersion", L"Publisher"})
            entry += (ReadRegString(HKEY_LOCAL_MACHINE, kUninstall + std::wstring(product), name, &value) ? value : L"?") + L" ";
        entries.push_back(entry.substr(0, entry.size() - 1));
        if (code)
            *code = product;
    }
    return entries;
}

std::wstring Url(const wchar_t* key)
{
    std::wstring url = L"<none>";
    ReadRegString(HKEY_LOCAL_MACHINE, key, L"URL", &url);
    return url;
}

// The shortcut's target and working folder, without the trailing backslash of Windows Installer's
// paths. Wine puts a per-machine shortcut in the user's Programs folder, Windows in the common one.
bool ReadShortcut(std::wstring* target, std::wstring* folder)
{
    wchar_t programs[MAX_PATH], path[MAX_PATH] = L"", cwd[MAX_PATH] = L"";
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    bool ok = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               reinterpret_cast<void**>(&link)) == S_OK &&
              link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK;
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS})
        if (ok && SHGetFolderPathW(nullptr, csidl, nullptr, 0, programs) == S_OK &&
            file->Load(JoinPath(programs, L"Quorvane.lnk").c_str(), STGM_READ) == S_OK)
            ok = link->GetPath(path, MAX_PATH, nullptr, 0) == S_OK &&
                 link->GetWorkingDirectory(cwd, MAX_PATH) == S_OK;
    if (file)
        file->Release();
    if (link)
        link->Release();
    *target = path;
    *folder = cwd;
    if (folder->size() > 3 && folder->back() == L'\\')
        folder->pop_back();
    return ok && *path;
}

class InstallPackage : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        std::wstring code;  // an installation an earlier run that failed left behind
        while (!Entries(&code).empty() && Msiexec(L"/x " + code + L" /qn") == 0) {
        }
    }
    void TearDown() override { CoUninitialize(); }

    // Drive C: and the registry (less the scratch folder and what Wine keeps changing by itself).
    static MachineListing Machine(const ScratchFolder& scratch)
    {
        MachineListing listing;
        ListFiles(L"C:", scratch.path(), listing);
        ListRegistry(HKEY_LOCAL_MACHINE, L"Software", listing);
        ListRegistry(HKEY_CURRENT_USER, L"Software", listing);
        // Wine's settings, and the empty stores of Windows Installer that every Windows
        // has and Wine makes at its first installation.
        static const std::wregex stores(LR"(.*\\(Installer|Features|Products|UpgradeCodes|UserData|S-1-5-18|Components))");
        std::erase_if(listing, [](const auto& item) {
            return item.first.find(L"\\Wine\\") != std::wstring::npos ||
                   ((item.second == L"<key>" || item.second == L"<dir>") && std::regex_match(item.first, stores));
        });
        return listing;
    }
};

TEST_F(InstallPackage, SilentInstallWithAddressesThenTheLauncherThenAnUninstallThatLeavesNoTrace)
{
    ScratchFolder scratch(L"install");
    RecorderLog log(scratch.File(L"launches.log"));
    log.UseForThisProcess();
    UrlSchemeAssociation http(L"http", RecorderExePath()), https(L"https", RecorderExePath());
    ASSERT_TRUE(http.ok() && https.ok());
    const MachineListing before = Machine(scratch);

    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn SUPPORTURL=https://support.velmora.example/?m=7 "
                      L"HELPURL=https://help.velmora.example/guide"), 0u);
    for (const wchar_t* name : {L"Quorvane.exe", L"quorvane-check.exe"})
        EXPECT_TRUE(FileExists(JoinPath(kFolder, name))) << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/?m=7");
    EXPECT_EQ(Url(kHelpKey), L"https://help.velmora.example/guide");
    std::wstring code;
    EXPECT_EQ(Entries(&code), std::vector<std::wstring>{L"Quorvane " QV_PACKAGE_VERSION L" Velmora"});
    wchar_t icon[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    MsiGetProductInfoW(code.c_str(), INSTALLPROPERTY_PRODUCTICON, icon, &size);
    EXPECT_EQ(ExtractIconExW(icon, -1, nullptr, nullptr, 0), 1u) << testing::PrintToString(std::wstring(icon));

    std::wstring target, folder;
    ASSERT_TRUE(ReadShortcut(&target, &folder));
    EXPECT_EQ(target, JoinPath(kFolder, L"Quorvane.exe"));
    EXPECT_EQ(folder, kFolder);
    {
        qvrobust::RunningLauncher launcher(target, folder);
        ASSERT_TRUE(launcher.ok());
        ASSERT_TRUE(ClickAt(CenterOf(WindowRectOnScreen(Control(launcher.window(), IDC_SUPPORT_BUTTON)))));
        ASSERT_TRUE(log.WaitForLines(1)) << "the Web site button started nothing";
        EXPECT_NE(log.Read()[0].args.find(L"https://support.velmora.example/?m=7"), std::wstring::npos)
            << testing::PrintToString(log.Read()[0].line);
        PostMessageW(launcher.window(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(launcher.process().WaitForExit());
    }

    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn"), 0u);
    for (const std::wstring& change : Differences(before, Machine(scratch)))
        ADD_FAILURE() << "left after the uninstall: " << testing::PrintToString(change);
}

TEST_F(InstallPackage, ImageValueKeptUpgradeInPlaceOlderOrDamagedPackageChangesNothingUninstallLeavesNoTrace)
{
    ScratchFolder scratch(L"upgrade");
    RegistryValueGuard imageHelp(HKEY_LOCAL_MACHINE, kHelpKey, L"URL");
    ASSERT_TRUE(imageHelp.SetString(L"https://image.velmora.example/help"));
    const MachineListing before = Machine(scratch);

    ASSERT_EQ(Msiexec(L"/i \"" + kOlder + L"\" /qn SUPPORTURL=https://older.velmora.example/"), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane 0.9.0 Velmora"});
    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane " QV_PACKAGE_VERSION L" Velmora"}) << "after the upgrade";
    EXPECT_EQ(Url(kSupportKey), L"https://older.velmora.example/") << "the address the older package wrote is kept";
    EXPECT_EQ(Url(kHelpKey), L"https://image.velmora.example/help");
    EXPECT_TRUE(FileExists(JoinPath(kFolder, L"Quorvane.exe")));

    const MachineListing upgraded = Machine(scratch);
    std::wstring box;
    EXPECT_EQ(Msiexec(L"/i \"" + kOlder + L"\" /qb", &box), 1603u);
    EXPECT_NE(box.find(L"A newer version of Quorvane is already installed"), std::wstring::npos)
        << testing::PrintToString(box);
    std::ifstream in(std::filesystem::path(kPackage), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(bytes.size(), 4096u);
    std::string corrupted = bytes;
    std::fill(corrupted.begin() + 0x30, corrupted.begin() + 0x200, '\xff');  // the file's own allocation table
    for (const auto& [name, content] : {std::pair{L"truncated.msi", bytes.substr(0, bytes.size() / 2)},
                                        std::pair{L"corrupted.msi", corrupted}}) {
        FileCopyGuard damaged(FileContents{content}, scratch.File(name));
        EXPECT_NE(Msiexec(L"/i \"" + damaged.path() + L"\" /qn SUPPORTURL=https://x.example/"), 0u) << damaged.ok();
    }
    EXPECT_EQ(Differences(upgraded, Machine(scratch)), std::vector<std::wstring>{}) << "refused and damaged packages";

    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Url(kHelpKey), L"https://image.velmora.example/help");
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
}

}  // namespace
