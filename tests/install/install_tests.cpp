// The package under Wine's own msiexec, in a prefix of its own: a silent
// install with the image builder's addresses and the installed launcher at
// work, values the image holds and an administrator's, upgrades (from an older
// version and from the release built before the package remembered the image's
// values), a repair, a rebuild of the same build, refused downgrades to an older
// version or build, damaged, failing and slow packages, registry keys that
// cannot be read or written, and uninstalls that leave the machine as it was.
#include <windows.h>

#include <aclapi.h>
#include <msi.h>
#include <msiquery.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

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
const std::wstring kRebuilt = WindowsPathFromUnix(QV_REBUILT_MSI);
constexpr wchar_t kFolder[] = L"C:\\Program Files\\Velmora\\Quorvane";
constexpr wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kVelmoraKey[] = L"Software\\Velmora";
constexpr wchar_t kSupportKey[] = L"Software\\Velmora\\Kivano\\SS";
constexpr wchar_t kHelpKey[] = L"Software\\Velmora\\Kivano\\Help";
constexpr wchar_t kPackageKey[] = L"Software\\Velmora\\Quorvane";

// An installer run's own deadline, not the suite's: one takes a few seconds, but
// on a busy machine an installation with its rollback can take minutes.
constexpr DWORD kInstallerDeadlineMs = 180000;

// Whether a Windows Installer process (msiexec.exe) runs in the prefix.
bool InstallerRunning()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool running = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running; more = Process32NextW(snapshot, &entry))
        running = CompareStringOrdinal(entry.szExeFile, -1, L"msiexec.exe", -1, TRUE) == CSTR_EQUAL;
    CloseHandle(snapshot);
    return running;
}

// Waits for an installer run that is still going (one a test left past its
// deadline) to end by itself: it is never ended from outside, which would leave
// the prefix half-installed for the tests that follow.
bool WaitForInstallersToEnd() { return WaitUntil([] { return !InstallerRunning(); }, kInstallerDeadlineMs, 100); }

// Runs msiexec with `arguments` (and a verbose log in `log`, when given), answers the
// message box it shows when `box` is given (its texts go there), returns its exit code.
// A run past its deadline fails the test and is left to finish: 0xFFFFFFFF.
DWORD Msiexec(const std::wstring& arguments, std::wstring* box = nullptr, const std::wstring& log = L"")
{
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring exe = JoinPath(system, L"msiexec.exe");
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments + (log.empty() ? L"" : L" /l*v \"" + log + L"\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!qvtest::CreateProcessStarting(exe.c_str(), commandLine.data(), 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "msiexec did not start: error " << GetLastError();
        return 0xFFFFFFFF;
    }
    CloseHandle(info.hThread);
    HWND window = nullptr;
    if (box && WaitUntil([&] {
            return (window = FindTopLevelWindow(L"#32770", info.dwProcessId)) != nullptr ||
                   WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0;
        }, kInstallerDeadlineMs) && window) {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            *box += WindowText(child) + L"\n";
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(info.hProcess, kInstallerDeadlineMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    else
        ADD_FAILURE() << "msiexec " << testing::PrintToString(arguments) << " still runs after "
                      << kInstallerDeadlineMs / 1000 << " s: left to finish by itself";
    CloseHandle(info.hProcess);
    return code;
}

// The lines of an installer log (msiexec writes it in UTF-16 or in the ANSI code page).
std::wstring ReadLog(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

// Expects each of `lines` somewhere in the log at `path`.
void ExpectLogged(const std::wstring& path, const std::vector<std::wstring>& lines)
{
    const std::wstring log = ReadLog(path);
    for (const std::wstring& line : lines)
        EXPECT_NE(log.find(line), std::wstring::npos) << "not in the log: " << testing::PrintToString(line);
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

// An administrator's change after the installation.
bool SetUrl(const wchar_t* key, const std::wstring& url)
{
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"URL", REG_SZ, url.c_str(),
                           static_cast<DWORD>((url.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// One more row of a package copied for a test: a custom action (`type`,
// `source` and `target` as in the CustomAction table) on `condition`, `offset`
// sequence numbers after the action `anchor` (before it when negative), and
// the properties it reads.
struct ExtraStep {
    std::wstring action;
    int type;
    std::wstring source, target, condition, anchor;
    int offset;
    std::vector<std::pair<std::wstring, std::wstring>> properties;
};

// `package` copied to `copy` with `step` added.
bool CopyWithStep(const std::wstring& package, const std::wstring& copy, const ExtraStep& step)
{
    MSIHANDLE db = 0, view = 0, row = 0;
    bool ok = CopyFileW(package.c_str(), copy.c_str(), FALSE) &&
              MsiOpenDatabaseW(copy.c_str(), MSIDBOPEN_TRANSACT, &db) == ERROR_SUCCESS &&
              MsiDatabaseOpenViewW(db, (L"SELECT `Sequence` FROM `InstallExecuteSequence` WHERE `Action` = '" +
                                        step.anchor + L"'").c_str(), &view) == ERROR_SUCCESS &&
              MsiViewExecute(view, 0) == ERROR_SUCCESS && MsiViewFetch(view, &row) == ERROR_SUCCESS;
    const std::wstring sequence = ok ? std::to_wstring(MsiRecordGetInteger(row, 1) + step.offset) : L"";
    std::vector<std::wstring> queries = {
        L"INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('" + step.action + L"', " +
            std::to_wstring(step.type) + L", '" + step.source + L"', '" + step.target + L"')",
        L"INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('" + step.action +
            L"', '" + step.condition + L"', " + sequence + L")"};
    for (const auto& [name, value] : step.properties)
        queries.push_back(L"INSERT INTO `Property` (`Property`, `Value`) VALUES ('" + name + L"', '" + value + L"')");
    for (const std::wstring& query : queries) {
        MSIHANDLE insert = 0;
        ok = ok && MsiDatabaseOpenViewW(db, query.c_str(), &insert) == ERROR_SUCCESS &&
             MsiViewExecute(insert, 0) == ERROR_SUCCESS;
        MsiCloseHandle(insert);
    }
    ok = ok && MsiDatabaseCommit(db) == ERROR_SUCCESS;
    for (MSIHANDLE handle : {row, view, db})
        MsiCloseHandle(handle);
    return ok;
}

// A deferred step of the installation (not of the uninstall) after the addresses'
// ones, which have changed the values by then, that fails (the addresses' own
// action given data it refuses): the installation rolls back.
bool MakeFailingCopy(const std::wstring& package, const std::wstring& copy)
{
    // 3073: a DLL function, deferred, without impersonation.
    return CopyWithStep(package, copy, {L"ExtraStep", 3073, L"AddressActions", L"ApplyAddresses", L"NOT REMOVE",
                                        L"RestoreAddresses", 1, {{L"ExtraStep", L"not the data it expects"}}});
}

// A step of the installation that takes `ms` milliseconds, in the middle of its changes.
bool MakeSlowCopy(const std::wstring& package, const std::wstring& copy, DWORD ms)
{
    // 3122: a program named by a property (50), deferred, without impersonation.
    return CopyWithStep(package, copy, {L"ExtraStep", 3122, L"QvSlowStep", std::to_wstring(ms), L"NOT REMOVE",
                                        L"RestoreAddresses", 1,
                                        {{L"QvSlowStep", WindowsPathFromUnix(QV_SLOW_STEP_EXE)}}});
}

// Wine's installer sets AdminUser for every user and passes every property to
// the installation. A run of a standard user, which Windows gives no AdminUser
// (the package sets MSIUSEREALADMINDETECTION), is played by a copy whose first
// step empties it, given QVSTANDARDUSER=1 (51: a property set from a formatted text).
bool MakeStandardUserCopy(const std::wstring& package, const std::wstring& copy)
{
    return CopyWithStep(package, copy,
                        {L"QvStandardUser", 51, L"AdminUser", L"", L"QVSTANDARDUSER", L"ReadAddresses", -1, {}});
}

// A copy whose uninstall hands RestoreAddresses, the action that runs as
// LocalSystem, the data given as QVRESTOREDATA instead of its plan.
bool MakeRestoreDataCopy(const std::wstring& package, const std::wstring& copy)
{
    return CopyWithStep(package, copy, {L"QvRestoreData", 51, L"RestoreAddresses", L"[QVRESTOREDATA]",
                                        L"QVRESTOREDATA", L"ScheduleAddressRestore", 1, {}});
}

// Whether the test runs under Wine (its ntdll exports its version), whose
// installer differs from Windows' where a test says so.
bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The position of an action's start in an installer log ("Action start <time>: <action>."), npos when it never started.
size_t ActionStart(const std::wstring& log, const std::wstring& action)
{
    static const std::wregex start(LR"(Action start [0-9:]+: ([A-Za-z]+)\.)");
    for (std::wsregex_iterator it(log.begin(), log.end(), start), end; it != end; ++it)
        if ((*it)[1] == action)
            return static_cast<size_t>(it->position(0));
    return std::wstring::npos;
}

// The version resource of a program, "major.minor.build.revision"; "" when it has none.
std::wstring FileVersion(const std::wstring& path)
{
    DWORD handle = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(path.c_str(), &handle));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &size) || size < sizeof(*info))
        return L"";
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

// A key's access list (SDDL) changed for a test and put back afterwards.
class KeyAccessGuard {
public:
    KeyAccessGuard(const std::wstring& path, const wchar_t* sddl) : path_(path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL | WRITE_DAC | KEY_WOW64_64KEY, &key))
            return;
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        old_.resize(size);
        PSECURITY_DESCRIPTOR changed = nullptr;
        ok_ = size && RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, old_.data(), &size) == ERROR_SUCCESS &&
              ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &changed, nullptr) &&
              RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, changed) == ERROR_SUCCESS;
        LocalFree(changed);
        RegCloseKey(key);
    }
    ~KeyAccessGuard()
    {
        HKEY key = nullptr;
        if (!old_.empty() &&
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, WRITE_DAC | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, old_.data());
            RegCloseKey(key);
        }
    }
    KeyAccessGuard(const KeyAccessGuard&) = delete;
    KeyAccessGuard& operator=(const KeyAccessGuard&) = delete;
    bool ok() const { return ok_; }

private:
    std::wstring path_;
    std::vector<BYTE> old_;
    bool ok_ = false;
};
// Everyone may neither read the key's values nor list it / neither change it.
constexpr wchar_t kNoReading[] = L"D:(D;;KR;;;WD)(A;;KA;;;WD)";
constexpr wchar_t kNoWriting[] = L"D:(D;;KW;;;WD)(A;;KA;;;WD)";

// Software\Velmora as the test leaves it: removed with all below it when the test made it.
class VelmoraKeyGuard {
public:
    VelmoraKeyGuard() : existed_(RegKeyExists(HKEY_LOCAL_MACHINE, kVelmoraKey)) {}
    ~VelmoraKeyGuard()
    {
        HKEY software = nullptr;
        if (existed_ || RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                      &software) != ERROR_SUCCESS)
            return;
        RegDeleteTreeW(software, L"Velmora");
        RegDeleteKeyExW(software, L"Velmora", KEY_WOW64_64KEY, 0);
        RegCloseKey(software);
    }
    VelmoraKeyGuard(const VelmoraKeyGuard&) = delete;
    VelmoraKeyGuard& operator=(const VelmoraKeyGuard&) = delete;
    // Makes the key, empty, as an image may hold it.
    bool CreateEmpty() const
    {
        HKEY key = nullptr;
        if (existed_ || RegCreateKeyExW(HKEY_LOCAL_MACHINE, kVelmoraKey, 0, nullptr, 0, KEY_READ | KEY_WOW64_64KEY,
                                        nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    bool existed() const { return existed_; }

private:
    bool existed_;
};

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
        ASSERT_TRUE(WaitForInstallersToEnd()) << "an installer run of an earlier test is still going";
        std::wstring code;  // an installation an earlier run that failed left behind
        while (!Entries(&code).empty() && Msiexec(L"/x " + code + L" /qn") == 0) {
        }
    }
    void TearDown() override
    {
        CoUninitialize();
        EXPECT_TRUE(WaitForInstallersToEnd()) << "an installer run is still going";
    }

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

    // What the product is: its files, its entries in Programs and Features, the addresses and its record.
    static MachineListing Product()
    {
        MachineListing listing;
        ListFiles(kFolder, L"", listing);
        ListRegistry(HKEY_LOCAL_MACHINE, kVelmoraKey, listing);
        std::wstring code;
        for (const std::wstring& entry : Entries(&code))
            listing[L"entry " + entry] = code;
        ListRegistry(HKEY_LOCAL_MACHINE, kUninstall + code, listing);
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
                      L"HELPURL=https://help.velmora.example/guide",
                      nullptr, scratch.File(L"install.log")),
              0u);
    ExpectLogged(scratch.File(L"install.log"),
                 {L"ScheduleAddresses: sets HKLM\\Software\\Velmora\\Kivano\\SS\\URL to "
                  L"\"https://support.velmora.example/?m=7\"; remembers the value it replaces (no value) and the ",
                  L"UpdateAddresses: set HKLM\\Software\\Velmora\\Kivano\\Help\\URL to "
                  L"\"https://help.velmora.example/guide\"; recorded in HKLM\\Software\\Velmora\\Quorvane: ",
                  // Help never opens a web address: written all the same, the log says so.
                  L"; warning: HELPURL is an address with the scheme \"https:\", not a file path: Help opens only a "
                  L"file that exists, never this, and opens the local user's guide instead; it is written as given"});
    for (const wchar_t* name : {L"Quorvane.exe", L"quorvane-check.exe"})
        EXPECT_TRUE(FileExists(JoinPath(kFolder, name))) << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(FileVersion(JoinPath(kFolder, L"Quorvane.exe")), QV_PACKAGE_VERSION L".0")
        << "the program's version resource carries the package's version";
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

    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn", nullptr, scratch.File(L"uninstall.log")), 0u);
    ExpectLogged(scratch.File(L"uninstall.log"),
                 {L"ScheduleAddressRestore: puts back HKLM\\Software\\Velmora\\Kivano\\SS\\URL as the image had it: "
                  L"no value",
                  L"RestoreAddresses: removed HKLM\\Software\\Velmora\\Kivano\\Help\\URL; no record of it is kept",
                  L"RestoreAddresses: removed the empty key HKLM\\Software\\Velmora\\Kivano, which the package "
                  L"created"});
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

// The image's own values (of any type and text) come back exactly, and its keys stay,
// after an installation that replaced them, and after one that failed and rolled back.
TEST_F(InstallPackage, TheImagesValuesComeBackExactlyAfterTheUninstallAndAfterAFailedInstall)
{
    ScratchFolder scratch(L"image");
    RegistryValueGuard support(HKEY_LOCAL_MACHINE, kSupportKey, L"URL"), help(HKEY_LOCAL_MACHINE, kHelpKey, L"Other");
    ASSERT_TRUE(support.SetString(LR"(https://image.velmora.example/?q="%TEMP%"&f[id]=7)", REG_EXPAND_SZ));
    ASSERT_TRUE(help.SetString(L"a value of the image's beside none named URL"));
    const MachineListing before = Machine(scratch);
    MachineListing image, afterFailure;
    ListRegistry(HKEY_LOCAL_MACHINE, L"Software\\Velmora", image);
    const std::wstring addresses = L" /qn SUPPORTURL=https://support.velmora.example/ HELPURL=https://help.velmora.example/";

    // Wine's rollback leaves the components' registration behind (the uninstall below
    // removes it): here only the product and the addresses are compared.
    FileCopyGuard failing(FileContents{}, scratch.File(L"failing.msi"));
    ASSERT_TRUE(MakeFailingCopy(kPackage, failing.path()));
    EXPECT_NE(Msiexec(L"/i \"" + failing.path() + L"\"" + addresses), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{});
    ListRegistry(HKEY_LOCAL_MACHINE, L"Software\\Velmora", afterFailure);
    EXPECT_EQ(Differences(image, afterFailure), std::vector<std::wstring>{}) << "after the failed installation";

    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\"" + addresses), 0u);
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/");
    EXPECT_EQ(Url(kHelpKey), L"https://help.velmora.example/");
    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{}) << "after the uninstall";
}

// An upgrade or a repair without an address leaves an administrator's value alone, one
// with an address sets it, and the uninstall still puts back the image's value.
TEST_F(InstallPackage, AnAdministratorsValueOutlivesUpgradeAndRepairWithoutAnAddress)
{
    ScratchFolder scratch(L"admin");
    RegistryValueGuard image(HKEY_LOCAL_MACHINE, kSupportKey, L"URL");
    ASSERT_TRUE(image.SetString(L"https://image.velmora.example/x"));
    const MachineListing before = Machine(scratch);
    const std::wstring repair = L"/i \"" + kPackage + L"\" /qn REINSTALL=ALL REINSTALLMODE=vomus";

    ASSERT_EQ(Msiexec(L"/i \"" + kOlder + L"\" /qn SUPPORTURL=https://a.velmora.example/"), 0u);
    ASSERT_TRUE(SetUrl(kSupportKey, L"https://b.velmora.example/"));
    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane " QV_PACKAGE_VERSION L" Velmora"});
    EXPECT_EQ(Url(kSupportKey), L"https://b.velmora.example/") << "after the upgrade";
    ASSERT_EQ(Msiexec(repair), 0u);
    EXPECT_EQ(Url(kSupportKey), L"https://b.velmora.example/") << "after a repair";
    ASSERT_EQ(Msiexec(repair + L" SUPPORTURL=https://c.velmora.example/"), 0u);
    EXPECT_EQ(Url(kSupportKey), L"https://c.velmora.example/") << "after a repair with an address";

    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
}

// Only an administrator sets an address. Wine's installer takes every user for
// one: it sets AdminUser and Privileged, and passes every property to the
// installation, where Windows keeps a standard user's properties that are not
// secure (the addresses are not) from the elevated part. So a repair with an
// address as Wine runs it is an administrator's, and sets it. A standard user's
// repair is played by a copy that empties AdminUser: the addresses are ignored,
// the log says why, and the administrator's value stays.
TEST_F(InstallPackage, ARepairWithAnAddressSetsItOnlyWhenAnAdministratorRunsIt)
{
    ScratchFolder scratch(L"repair");
    const MachineListing before = Machine(scratch);
    FileCopyGuard copy(FileContents{}, scratch.File(L"standard-user.msi"));
    ASSERT_TRUE(MakeStandardUserCopy(kPackage, copy.path()));
    const std::wstring repair = L"/i \"" + copy.path() + L"\" /qn REINSTALL=ALL REINSTALLMODE=vomus";

    ASSERT_EQ(Msiexec(L"/i \"" + copy.path() + L"\" /qn SUPPORTURL=https://support.velmora.example/"), 0u);
    ASSERT_EQ(Msiexec(repair + L" SUPPORTURL=https://admin.velmora.example/", nullptr, scratch.File(L"admin.log")), 0u);
    EXPECT_EQ(Url(kSupportKey), L"https://admin.velmora.example/") << "an administrator's repair";
    ExpectLogged(scratch.File(L"admin.log"),
                 {L"Property(S): AdminUser = 1",
                  L"ScheduleAddresses: sets HKLM\\Software\\Velmora\\Kivano\\SS\\URL to "
                  L"\"https://admin.velmora.example/\""});

    ASSERT_EQ(Msiexec(repair + L" QVSTANDARDUSER=1 SUPPORTURL=https://user.example/run.exe "
                               L"HELPURL=C:\\Users\\Public\\run.exe",
                      nullptr, scratch.File(L"user.log")),
              0u);
    EXPECT_EQ(Url(kSupportKey), L"https://admin.velmora.example/") << "a standard user's repair";
    EXPECT_EQ(Url(kHelpKey), L"<none>");
    // Privileged stays: the installer sets it for any run with elevated rights,
    // a standard user's too, which is why the package goes by AdminUser.
    ExpectLogged(scratch.File(L"user.log"),
                 {L"Property(S): Privileged = 1",
                  L"ScheduleAddresses: SUPPORTURL \"https://user.example/run.exe\" ignored, as this repair, change or "
                  L"patch of the installed product is not run by an administrator (the installer did not set "
                  L"AdminUser): HKLM\\Software\\Velmora\\Kivano\\SS\\URL left as it is",
                  L"ScheduleAddresses: HELPURL \"C:\\Users\\Public\\run.exe\" ignored, as this repair"});
    EXPECT_EQ(ReadLog(scratch.File(L"user.log")).find(L"Property(S): AdminUser"), std::wstring::npos)
        << "the copy did not play a standard user";

    ASSERT_EQ(Msiexec(L"/x \"" + copy.path() + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
}

// Windows Installer's record of which products use each component.
constexpr wchar_t kComponents[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components";

// The older version's removal runs right after InstallInitialize, inside the
// upgrade's transaction: on Windows an upgrade that fails after it rolls back to
// the older version, with its values. Wine's installer runs that removal as an
// installation of its own ("msiexec /qn /i {code} REMOVE=ALL") wherever it is
// scheduled, committed at once: there the failed upgrade leaves neither version,
// and its rollback puts the addresses back as that removal left them, the image's.
TEST_F(InstallPackage, AnUpgradeThatFailsAfterTheOlderVersionsRemovalRollsBack)
{
    ScratchFolder scratch(L"failed-upgrade");
    RegistryValueGuard imageHelp(HKEY_LOCAL_MACHINE, kHelpKey, L"URL");
    ASSERT_TRUE(imageHelp.SetString(L"C:\\Docs\\Image.pdf"));
    MachineListing image, after, components;
    ListRegistry(HKEY_LOCAL_MACHINE, kVelmoraKey, image);
    ListRegistry(HKEY_LOCAL_MACHINE, kComponents, components);
    ASSERT_EQ(Msiexec(L"/i \"" + kOlder + L"\" /qn SUPPORTURL=https://older.velmora.example/ "
                      L"HELPURL=C:\\Docs\\Older.pdf"),
              0u);
    const MachineListing older = Product();
    FileCopyGuard failing(FileContents{}, scratch.File(L"failing.msi"));
    ASSERT_TRUE(MakeFailingCopy(kPackage, failing.path()));

    EXPECT_EQ(Msiexec(L"/i \"" + failing.path() + L"\" /qn SUPPORTURL=https://new.velmora.example/", nullptr,
                      scratch.File(L"upgrade.log")),
              1603u);
    const std::wstring log = ReadLog(scratch.File(L"upgrade.log"));
    const size_t initialize = ActionStart(log, L"InstallInitialize");
    const size_t removal = ActionStart(log, L"RemoveExistingProducts");
    const size_t schedule = ActionStart(log, L"ScheduleAddresses");
    EXPECT_TRUE(initialize < removal && removal < schedule && schedule != std::wstring::npos)
        << "InstallInitialize " << initialize << ", RemoveExistingProducts " << removal << ", ScheduleAddresses "
        << schedule;
    ExpectLogged(scratch.File(L"upgrade.log"),
                 {L"UpdateAddresses: set HKLM\\Software\\Velmora\\Kivano\\SS\\URL to \"https://new.velmora.example/\"",
                  L"UndoAddresses: "});
    ListRegistry(HKEY_LOCAL_MACHINE, kVelmoraKey, after);
    if (RunningUnderWine()) {
        EXPECT_EQ(Entries(), std::vector<std::wstring>{}) << "Wine committed the older version's removal on its own";
        EXPECT_EQ(Differences(image, after), std::vector<std::wstring>{})
            << "the addresses as the older version's removal put them back";
        // Wine's rollback keeps the component registrations the failed run made:
        // taken away, so that the next installation starts from the machine as it was.
        MachineListing now;
        ListRegistry(HKEY_LOCAL_MACHINE, kComponents, now);
        HKEY store = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kComponents, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, &store) ==
            ERROR_SUCCESS) {
            const std::wstring prefix = std::wstring(kComponents) + L"\\";
            for (const auto& [path, what] : now)
                if (what == L"<key>" && !components.count(path) && path.rfind(prefix, 0) == 0 &&
                    path.find(L'\\', prefix.size()) == std::wstring::npos)
                    RegDeleteTreeW(store, path.substr(prefix.size()).c_str());
            RegCloseKey(store);
        }
    } else {
        EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane 0.9.0 Velmora"});
        EXPECT_EQ(Differences(older, Product()), std::vector<std::wstring>{}) << "the older version, with its values";
    }
}

// The text of `path` as a plan's key (ActionDataText.cpp): UTF-16 bytes in hexadecimal.
std::wstring PlanKey(const std::wstring& path)
{
    std::wstring text = L"k";
    for (const wchar_t c : path)
        for (const unsigned byte : {c & 0xFFu, (c >> 8) & 0xFFu}) {
            text += L"0123456789abcdef"[byte >> 4];
            text += L"0123456789abcdef"[byte & 15];
        }
    return text;
}

// Nothing blocks an uninstall, however it is asked for and whatever the action
// that runs as LocalSystem is handed: REMOVE=Complete (every feature named)
// removes the product and puts the addresses back as REMOVE=ALL does; data that
// is no plan changes nothing and the product goes; a plan that names a key not
// the package's has that key refused.
TEST_F(InstallPackage, AnUninstallCompletesHoweverItIsAskedAndWhateverItsActionsData)
{
    ScratchFolder scratch(L"uninstalls");
    VelmoraKeyGuard velmora;  // takes away what the uninstalls leave
    ASSERT_FALSE(velmora.existed()) << "an earlier test left HKLM\\Software\\Velmora";
    FileCopyGuard copy(FileContents{}, scratch.File(L"restore-data.msi"));
    ASSERT_TRUE(MakeRestoreDataCopy(kPackage, copy.path()));
    const std::wstring install = L"/i \"" + copy.path() + L"\" /qn SUPPORTURL=https://support.velmora.example/";
    const std::wstring uninstall = L"/x \"" + copy.path() + L"\" /qn ";

    ASSERT_EQ(Msiexec(install), 0u);
    ASSERT_EQ(Msiexec(L"/i \"" + copy.path() + L"\" /qn REMOVE=Complete", nullptr, scratch.File(L"complete.log")), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{}) << "REMOVE=Complete removes the product";
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kVelmoraKey)) << "and puts the addresses back: the image had none";
    ExpectLogged(scratch.File(L"complete.log"),
                 {L"ScheduleAddressRestore: puts back HKLM\\Software\\Velmora\\Kivano\\SS\\URL as the image had it: "
                  L"no value"});

    ASSERT_EQ(Msiexec(install), 0u);
    EXPECT_EQ(Msiexec(uninstall + L"QVRESTOREDATA=garbage", nullptr, scratch.File(L"damaged.log")), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{}) << "damaged data blocked the uninstall";
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/") << "left as it is";
    ExpectLogged(scratch.File(L"damaged.log"),
                 {L"RestoreAddresses: the action's data is not a plan of this package's for the uninstall: the "
                  L"addresses and their records are left as they are; the uninstall goes on"});

    RegistryValueGuard foreign(HKEY_LOCAL_MACHINE, L"Software\\QvForeign", L"QvNone");
    ASSERT_TRUE(foreign.SetString(L"x") && foreign.Delete() && RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\QvForeign"))
        << "an empty key of someone else's";
    ASSERT_EQ(Msiexec(install), 0u);
    EXPECT_EQ(Msiexec(uninstall + L"QVRESTOREDATA=\"remove = = " + PlanKey(L"Software\\QvForeign") + L"\"", nullptr,
                      scratch.File(L"foreign.log")),
              0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{});
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, L"Software\\QvForeign")) << "a key not the package's was removed";
    ExpectLogged(scratch.File(L"foreign.log"),
                 {L"RestoreAddresses: refused to remove HKLM\\Software\\QvForeign: not one of this package's keys; "
                  L"left as it is"});
}

// A package of the same version built again (another product code) replaces the installed one.
TEST_F(InstallPackage, ARebuildOfTheSameVersionReplacesTheInstalledOneInPlace)
{
    ScratchFolder scratch(L"rebuild");
    const MachineListing before = Machine(scratch);
    std::wstring first, second;
    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn SUPPORTURL=https://support.velmora.example/"), 0u);
    ASSERT_EQ(Entries(&first).size(), 1u);
    ASSERT_EQ(Msiexec(L"/i \"" + kRebuilt + L"\" /qn"), 0u);
    EXPECT_EQ(Entries(&second), std::vector<std::wstring>{L"Quorvane " QV_PACKAGE_VERSION L" Velmora"});
    EXPECT_NE(second, first) << "the rebuild was not installed";
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/");
    EXPECT_TRUE(FileExists(JoinPath(kFolder, L"Quorvane.exe")));

    ASSERT_EQ(Msiexec(L"/x \"" + kRebuilt + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
}

// The release built before the package remembered the image's values kept only a copy of
// the address it wrote, beside the value. Upgraded without an address, that address
// stays until the uninstall; with one, the new address goes then: the image had no value.
TEST_F(InstallPackage, UpgradesFromTheReleaseBeforeTheRecordEndWithTheImagesOwnState)
{
    const std::string release = QV_RELEASE_MSI;
    ASSERT_FALSE(release.empty()) << "there is no package of release 1.0.0: commit " << testing::PrintToString(
        std::wstring(QV_RELEASE_COMMIT)) << " is not in this source's history (a shallow clone or an exported "
                                            "source). Fetch the whole history and configure again.";
    const std::wstring releaseMsi = WindowsPathFromUnix(release.c_str());
    ScratchFolder scratch(L"release");
    RegistryValueGuard imageHelp(HKEY_LOCAL_MACHINE, kHelpKey, L"URL");
    ASSERT_TRUE(imageHelp.SetString(L"https://image.velmora.example/help"));
    const MachineListing before = Machine(scratch);
    const std::wstring installRelease = L"/i \"" + releaseMsi + L"\" /qn SUPPORTURL=https://release.velmora.example/";
    const std::wstring earlier = L"the earlier package kept only a copy of the address it wrote, so the image is "
                                 L"taken to have had no value";

    ASSERT_EQ(Msiexec(installRelease), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane 1.0.0 Velmora"});
    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn", nullptr, scratch.File(L"plain.log")), 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane " QV_PACKAGE_VERSION L" Velmora"});
    EXPECT_EQ(Url(kSupportKey), L"https://release.velmora.example/") << "the release's address stays";
    EXPECT_EQ(Url(kHelpKey), L"https://image.velmora.example/help");
    ExpectLogged(scratch.File(L"plain.log"),
                 {L"ScheduleAddresses: SUPPORTURL not given: keeps HKLM\\Software\\Velmora\\Kivano\\SS\\URL "
                  L"(\"https://release.velmora.example/\"); " + earlier});
    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{})
        << "after an upgrade without an address and the uninstall";

    ASSERT_EQ(Msiexec(installRelease), 0u);
    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn SUPPORTURL=https://support.velmora.example/", nullptr,
                      scratch.File(L"address.log")),
              0u);
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/");
    ExpectLogged(scratch.File(L"address.log"),
                 {L"ScheduleAddresses: sets HKLM\\Software\\Velmora\\Kivano\\SS\\URL to "
                  L"\"https://support.velmora.example/\"; " + earlier});
    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{})
        << "after an upgrade with an address and the uninstall";
}

// A value that cannot be read is not "no value": the installation stops before
// anything changes, and the image's value stays.
TEST_F(InstallPackage, AValueThatCannotBeReadStopsTheInstallationAndTheImagesValueStays)
{
    ScratchFolder scratch(L"unreadable");
    RegistryValueGuard image(HKEY_LOCAL_MACHINE, kSupportKey, L"URL");
    ASSERT_TRUE(image.SetString(L"https://image.velmora.example/"));
    const MachineListing before = Machine(scratch);
    {
        KeyAccessGuard unreadable(kSupportKey, kNoReading);
        ASSERT_TRUE(unreadable.ok());
        EXPECT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn SUPPORTURL=https://support.velmora.example/", nullptr,
                          scratch.File(L"install.log")),
                  1603u);
    }
    EXPECT_EQ(Entries(), std::vector<std::wstring>{});
    EXPECT_EQ(Url(kSupportKey), L"https://image.velmora.example/");
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
    ExpectLogged(scratch.File(L"install.log"),
                 {L"ReadAddresses: could not read HKLM\\Software\\Velmora\\Kivano\\SS\\URL (error 5"});
}

// Nothing blocks an uninstall: a value the package cannot put back (its key locked
// against changes) and a record it cannot read are logged and left as they are, and
// the product goes.
TEST_F(InstallPackage, AnUninstallCompletesWhenAValueCannotBePutBackOrTheRecordCannotBeRead)
{
    ScratchFolder scratch(L"blocked");
    VelmoraKeyGuard velmora;  // takes away what the uninstalls leave
    ASSERT_FALSE(velmora.existed()) << "an earlier test left HKLM\\Software\\Velmora";
    const std::wstring install = L"/i \"" + kPackage +
                                 L"\" /qn SUPPORTURL=https://support.velmora.example/ HELPURL=https://help.velmora.example/";

    ASSERT_EQ(Msiexec(install), 0u);
    {
        KeyAccessGuard locked(kSupportKey, kNoWriting);
        ASSERT_TRUE(locked.ok());
        EXPECT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn", nullptr, scratch.File(L"locked.log")), 0u);
    }
    EXPECT_EQ(Entries(), std::vector<std::wstring>{}) << "the product is removed";
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/") << "left as it was";
    EXPECT_EQ(Url(kHelpKey), L"<none>") << "the other address is put back all the same";
    ExpectLogged(scratch.File(L"locked.log"),
                 {L"RestoreAddresses: could not put back HKLM\\Software\\Velmora\\Kivano\\SS\\URL (error 5",
                  L"the run goes on"});

    ASSERT_EQ(Msiexec(install), 0u);
    {
        KeyAccessGuard unreadable(kPackageKey, kNoReading);
        ASSERT_TRUE(unreadable.ok());
        EXPECT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn", nullptr, scratch.File(L"unreadable.log")), 0u);
    }
    EXPECT_EQ(Entries(), std::vector<std::wstring>{}) << "the product is removed";
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/");
    EXPECT_EQ(Url(kHelpKey), L"https://help.velmora.example/");
    ExpectLogged(scratch.File(L"unreadable.log"),
                 {L"ScheduleAddressRestore: could not read the record of HKLM\\Software\\Velmora\\Kivano\\SS\\URL in "
                  L"HKLM\\Software\\Velmora\\Quorvane (error 5",
                  L"the uninstall goes on"});
}

// The uninstall removes the keys the package created, whichever of its installations
// created them, deepest first: none is left empty, and none of the image's goes.
TEST_F(InstallPackage, AfterARepairWithTheHelpAddressTheUninstallLeavesNoEmptyKeyAndKeepsTheImagesKey)
{
    ScratchFolder scratch(L"keys");
    VelmoraKeyGuard velmora;
    ASSERT_TRUE(velmora.CreateEmpty()) << "an earlier test left HKLM\\Software\\Velmora";
    const MachineListing before = Machine(scratch);

    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn SUPPORTURL=https://support.velmora.example/"), 0u);
    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn REINSTALL=ALL REINSTALLMODE=vomus "
                      L"HELPURL=https://help.velmora.example/"),
              0u);
    EXPECT_EQ(Url(kHelpKey), L"https://help.velmora.example/");
    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn", nullptr, scratch.File(L"uninstall.log")), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
    ExpectLogged(scratch.File(L"uninstall.log"),
                 {L"RestoreAddresses: removed the empty key HKLM\\Software\\Velmora\\Kivano, which the package "
                  L"created"});
}

// Every build has a version of its own: an older build of this version is refused like
// an older version, and this package run again leaves the installation as it is.
TEST_F(InstallPackage, AnOlderBuildIsRefusedAndThisPackageAgainLeavesTheInstallationAsItIs)
{
    const std::string olderBuild = QV_OLDER_BUILD_MSI;
    ASSERT_FALSE(olderBuild.empty()) << "this build has the number 0: no build is older (README, Installing)";
    ScratchFolder scratch(L"builds");
    const MachineListing before = Machine(scratch);
    ASSERT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn SUPPORTURL=https://support.velmora.example/"), 0u);
    const MachineListing product = Product();

    // Wine's installer, given the installed package again, writes the shortcut, the product
    // icon and the package's source list again; Windows' leaves them. The product stays.
    EXPECT_EQ(Msiexec(L"/i \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(product, Product()), std::vector<std::wstring>{}) << "this package again";
    const MachineListing installed = Machine(scratch);
    std::wstring box;
    EXPECT_EQ(Msiexec(L"/i \"" + WindowsPathFromUnix(olderBuild.c_str()) + L"\" /qb", &box), 1603u);
    EXPECT_NE(box.find(L"A newer version of Quorvane is already installed"), std::wstring::npos)
        << testing::PrintToString(box);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane " QV_PACKAGE_VERSION L" Velmora"});
    EXPECT_EQ(Differences(installed, Machine(scratch)), std::vector<std::wstring>{}) << "the older build";

    ASSERT_EQ(Msiexec(L"/x \"" + kPackage + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
}

// An installer run longer than the suite's own deadline is waited for: msiexec is never
// ended halfway, which would leave the prefix half-installed for the tests that follow.
TEST_F(InstallPackage, AnInstallationSlowerThanTheSuitesDeadlineIsWaitedForToTheEnd)
{
    ScratchFolder scratch(L"slow");
    const MachineListing before = Machine(scratch);
    FileCopyGuard slow(FileContents{}, scratch.File(L"slow.msi"));
    ASSERT_TRUE(MakeSlowCopy(kPackage, slow.path(), kDeadlineMs + 5000));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Msiexec(L"/i \"" + slow.path() + L"\" /qn SUPPORTURL=https://support.velmora.example/"), 0u);
    EXPECT_GT(GetTickCount64() - start, kDeadlineMs) << "the slow step did not make the installation slow";
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"Quorvane " QV_PACKAGE_VERSION L" Velmora"});
    EXPECT_EQ(Url(kSupportKey), L"https://support.velmora.example/");
    EXPECT_TRUE(FileExists(JoinPath(kFolder, L"Quorvane.exe")));

    ASSERT_EQ(Msiexec(L"/x \"" + slow.path() + L"\" /qn"), 0u);
    EXPECT_EQ(Differences(before, Machine(scratch)), std::vector<std::wstring>{});
}

}  // namespace
