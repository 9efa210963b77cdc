// The package's decision about the support and help addresses, row by row:
// given what the machine holds, what the package's record says and what the run
// was given, what is written, remembered, put back and removed. Then the text
// the actions hand on, and the guard and the log lines of every entry point,
// with a session of the real package.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/actions/ActionDataText.h"
#include "installer/actions/ActionLog.h"
#include "installer/actions/AddressDecision.h"
#include "launch/HelpTarget.h"
#include "tests/support/test_paths.h"

namespace {

using namespace qvsetup;

constexpr size_t S = 0, H = 1;  // the support and the help address
const std::wstring kSS = L"Software\\Velmora\\Kivano\\SS", kHelp = L"Software\\Velmora\\Kivano\\Help",
                   kKivano = L"Software\\Velmora\\Kivano", kVelmora = L"Software\\Velmora",
                   kPackage = L"Software\\Velmora\\Quorvane";

RegValue V(const std::wstring& text) { return StringValue(text); }
const RegValue kNone{};

AddressFacts Live(const RegValue& value, DWORD missingKeys = 0) { return {{value, ERROR_SUCCESS}, {}, missingKeys}; }
AddressFacts WithRecord(AddressFacts facts, RecordKind kind, const RegValue& original = {}, DWORD created = 0)
{
    facts.record = {kind, original, created, ERROR_SUCCESS};
    return facts;
}
AddressFacts UnreadableValue() { return {{{}, ERROR_ACCESS_DENIED}, {}, 0}; }
AddressFacts UnreadableRecord(const RegValue& value)
{
    AddressFacts facts = Live(value);
    facts.record.error = ERROR_ACCESS_DENIED;
    return facts;
}

// Run by an administrator, as the installer says it (AdminUser), unless said otherwise.
Run Install(const std::wstring& support, const std::wstring& help = L"", bool replacingOlder = false)
{
    Run run;
    run.given = {support, help};
    run.replacingOlder = replacingOlder;
    run.adminUser = true;
    return run;
}
Run Upgrade(const std::wstring& support = L"", const std::wstring& help = L"") { return Install(support, help, true); }
// A repair, a change or a patch of the installed product (Installed).
Run Repair(const std::wstring& support, const std::wstring& help = L"")
{
    Run run = Install(support, help);
    run.maintenance = true;
    return run;
}
Run NotByAnAdministrator(Run run)
{
    run.adminUser = false;
    return run;
}
// The installer kept this user's public properties from its elevated part (an
// administrator's policy lets the user pass them all the same).
Run Restricted(Run run)
{
    run.restrictedUserControl = true;
    return run;
}
Run Uninstall(bool replacedByNewer = false)
{
    Run run;
    run.removing = true;
    run.replacedByNewer = replacedByNewer;
    return run;
}

struct Step {
    bool change;
    AddressState to;
};
const Step kSame{false, {}};
Step Set(const RegValue& live, const RegValue& original, DWORD created) { return {true, {live, true, original, created}}; }
Step PutBack(const RegValue& live) { return {true, {live, false, {}, 0}}; }

struct Row {
    const char* name;
    Facts facts;
    Run run;
    Step support, help;
    std::vector<std::wstring> dropKeys;
    std::wstring failure;  // a part of the reason the installation stops; empty: it does not
};

Facts Machine(const AddressFacts& support, const AddressFacts& help, DWORD packageKeyMissing = 0)
{
    return {{support, help}, packageKeyMissing};
}

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = {
        {"an address replaces the image's value, which is remembered with the keys created",
         Machine(Live(V(L"image")), Live(kNone, 1)), Install(L"new"), Set(V(L"new"), V(L"image"), 0), kSame, {}, L""},
        {"on a bare image the address creates its three keys",
         Machine(Live(kNone, 3), Live(kNone, 3), 2), Install(L"new"), Set(V(L"new"), kNone, 3), kSame, {}, L""},
        {"with an address over the earlier package's copy the image had no value",
         Machine(WithRecord(Live(V(L"old"), 3), RecordKind::Earlier), Live(kNone, 3)), Upgrade(L"new"),
         Set(V(L"new"), kNone, 3), kSame, {}, L""},
        {"without an address the earlier package's address stays, recorded as the image having none",
         Machine(WithRecord(Live(V(L"old"), 3), RecordKind::Earlier), Live(kNone, 3)), Upgrade(),
         Set(V(L"old"), kNone, 3), kSame, {}, L""},
        {"the earlier package's copy of an address the machine no longer has keeps nothing",
         Machine(WithRecord(Live(kNone, 3), RecordKind::Earlier), Live(kNone, 3)), Upgrade(), kSame, kSame, {}, L""},
        {"an upgrade without an address keeps an administrator's value and the record",
         Machine(WithRecord(Live(V(L"admin")), RecordKind::Current, V(L"image"), 2), Live(V(L"help"))), Upgrade(),
         Set(V(L"admin"), V(L"image"), 2), kSame, {}, L""},
        {"a repair without an address changes nothing",
         Machine(WithRecord(Live(V(L"admin")), RecordKind::Current, V(L"image"), 2), Live(kNone, 1)), Install(L""),
         kSame, kSame, {}, L""},
        {"an address over a record keeps the record, and counts keys deleted since",
         Machine(WithRecord(Live(kNone, 2), RecordKind::Current, kNone, 1), Live(kNone, 2)), Install(L"new"),
         Set(V(L"new"), kNone, 2), kSame, {}, L""},
        {"a repair with the help address records it beside the support record",
         Machine(WithRecord(Live(V(L"s")), RecordKind::Current, kNone, 3), Live(kNone, 1)), Install(L"", L"h"), kSame,
         Set(V(L"h"), kNone, 1), {}, L""},
        {"a value that cannot be read stops the installation",
         Machine(UnreadableValue(), Live(kNone)), Install(L"new"), kSame, kSame, {},
         L"could not read HKLM\\Software\\Velmora\\Kivano\\SS\\URL (error 5"},
        {"a record that cannot be read stops the installation",
         Machine(Live(V(L"s")), UnreadableRecord(V(L"h"))), Install(L"", L"new"), kSame, kSame, {},
         L"could not read the record of HKLM\\Software\\Velmora\\Kivano\\Help\\URL"},
        {"a value that cannot be read but is not needed stops nothing",
         Machine(UnreadableValue(), UnreadableRecord(kNone)), Install(L""), kSame, kSame, {}, L""},
        {"the uninstall puts every value back, then removes the keys the records name, deepest first",
         Machine(WithRecord(Live(V(L"s")), RecordKind::Current, kNone, 3),
                 WithRecord(Live(V(L"h")), RecordKind::Current, V(L"image help"), 1)),
         Uninstall(), PutBack(kNone), PutBack(V(L"image help")), {kHelp, kSS, kKivano, kPackage, kVelmora}, L""},
        {"the uninstall leaves Velmora's key where the image had it",
         Machine(WithRecord(Live(V(L"s")), RecordKind::Current, kNone, 2), Live(kNone)), Uninstall(), PutBack(kNone),
         kSame, {kSS, kKivano, kPackage}, L""},
        {"an unreadable record is left and the uninstall goes on with the other address",
         Machine(UnreadableRecord(V(L"s")), WithRecord(Live(V(L"h")), RecordKind::Current, kNone, 1)), Uninstall(),
         kSame, PutBack(kNone), {kHelp, kPackage}, L""},
        {"the removal by a newer version leaves values, records and keys",
         Machine(WithRecord(Live(V(L"s")), RecordKind::Current, kNone, 3), Live(kNone)), Uninstall(true), kSame,
         kSame, {}, L""},
        {"a repair with an address by a user who is not an administrator changes nothing",
         Machine(WithRecord(Live(V(L"builder")), RecordKind::Current, V(L"image"), 2), Live(kNone, 1)),
         NotByAnAdministrator(Repair(L"https://user.example/run.exe", L"C:\\Users\\x\\run.exe")), kSame, kSame,
         {}, L""},
        {"the same repair by an administrator sets the address and keeps the record",
         Machine(WithRecord(Live(V(L"builder")), RecordKind::Current, V(L"image"), 2), Live(kNone, 1)),
         Repair(L"https://admin.example/"), Set(V(L"https://admin.example/"), V(L"image"), 2), kSame, {}, L""},
        {"a first installation not run by an administrator takes no address",
         Machine(Live(V(L"image")), Live(kNone, 3)), NotByAnAdministrator(Install(L"new", L"C:\\Docs\\h.pdf")),
         kSame, kSame, {}, L""},
        {"an upgrade whose properties the installer restricted keeps the values it finds, not the address",
         Machine(WithRecord(Live(V(L"builder")), RecordKind::Current, V(L"image"), 2), Live(kNone, 1)),
         Restricted(Upgrade(L"https://user.example/")), Set(V(L"builder"), V(L"image"), 2), kSame, {}, L""},
        {"an ignored address cannot stop the installation over a value it would have needed",
         Machine(UnreadableValue(), Live(kNone)), NotByAnAdministrator(Repair(L"new")), kSame, kSame, {}, L""},
        {"the uninstall leaves what this package did not write",
         Machine(WithRecord(Live(V(L"old")), RecordKind::Earlier), Live(V(L"image"))), Uninstall(), kSame, kSame,
         {kPackage}, L""},
    };
    return rows;
}

void ExpectStep(const AddressStep& step, const Step& expected, const char* which)
{
    EXPECT_EQ(step.change, expected.change) << which;
    if (step.change && expected.change) {
        EXPECT_TRUE(step.to == expected.to) << which << ": " << testing::PrintToString(ValueText(step.to.live))
                                            << " recorded " << step.to.recorded << " original "
                                            << testing::PrintToString(ValueText(step.to.original)) << " keys "
                                            << step.to.createdKeys;
    }
    EXPECT_FALSE(step.decision.empty()) << which << ": every address's decision is put in words";
}

TEST(AddressDecision, EveryRowOfTheTable)
{
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        const Plan plan = Decide(row.facts, row.run);
        EXPECT_EQ(plan.mode, row.run.removing ? Mode::Remove : Mode::Install);
        if (!row.failure.empty()) {
            EXPECT_NE(plan.failure.find(row.failure), std::wstring::npos) << testing::PrintToString(plan.failure);
            EXPECT_FALSE(plan.steps[S].change || plan.steps[H].change) << "a stopped installation changes nothing";
            continue;
        }
        EXPECT_EQ(plan.failure, L"");
        ExpectStep(plan.steps[S], row.support, "support");
        ExpectStep(plan.steps[H], row.help, "help");
        EXPECT_EQ(plan.dropKeys, row.dropKeys);
    }
}

TEST(AddressDecision, TheDecisionsSayWhatIsRememberedAndWhy)
{
    const Plan earlier = Decide(Machine(WithRecord(Live(V(L"https://old.example/?f[id]=7"), 3), RecordKind::Earlier),
                                        Live(kNone, 3)),
                                Upgrade());
    EXPECT_EQ(earlier.steps[S].decision,
              L"SUPPORTURL not given: keeps HKLM\\Software\\Velmora\\Kivano\\SS\\URL (\"https://old.example/?f[id]=7\"); "
              L"the earlier package kept only a copy of the address it wrote, so the image is taken to have had no "
              L"value: remembers no value and the 3 keys at the end of the path it creates, for the uninstall");
    EXPECT_EQ(earlier.steps[H].decision, L"HELPURL not given: HKLM\\Software\\Velmora\\Kivano\\Help\\URL left as "
                                         L"it is (not written by a package)");
    const Facts installed = Machine(WithRecord(Live(V(L"builder")), RecordKind::Current, V(L"image"), 2), Live(kNone));
    EXPECT_EQ(Decide(installed, NotByAnAdministrator(Repair(L"https://user.example/run.exe"))).steps[S].decision,
              L"SUPPORTURL \"https://user.example/run.exe\" ignored, as this repair, change or patch of the installed "
              L"product is not run by an administrator (the installer did not set AdminUser): "
              L"HKLM\\Software\\Velmora\\Kivano\\SS\\URL left as it is");
    EXPECT_EQ(Decide(installed, Restricted(Upgrade(L"https://user.example/"))).steps[S].decision,
              L"SUPPORTURL \"https://user.example/\" ignored, as this upgrade is not run by an administrator (the "
              L"installer kept this user's public properties from its elevated part (RestrictedUserControl)): keeps "
              L"HKLM\\Software\\Velmora\\Kivano\\SS\\URL (\"builder\"); the record of the image's value "
              L"(\"image\") stays, through the older version's removal");
    // A help address Help can never open is written all the same, with a warning.
    const Plan web = Decide(installed, Install(L"", L"https://help.example/guide"));
    EXPECT_TRUE(web.steps[H].change);
    EXPECT_NE(web.steps[H].decision.find(L"; warning: HELPURL is an address with the scheme \"https:\", not a file "
                                         L"path: Help opens only a file that exists, never this, and opens the local "
                                         L"user's guide instead; it is written as given"),
              std::wstring::npos)
        << testing::PrintToString(web.steps[H].decision);
    EXPECT_EQ(Decide(installed, Install(L"https://support.example/", L"C:\\Docs\\Guide.pdf"))
                  .steps[H].decision.find(L"warning"),
              std::wstring::npos)
        << "a file path, and the support address, which the shell opens as it is";
    EXPECT_EQ(Decide(installed, Install(L"https://support.example/")).steps[S].decision.find(L"warning"),
              std::wstring::npos);

    const Plan removal = Decide(Machine(UnreadableRecord(V(L"s")), Live(kNone)), Uninstall());
    EXPECT_EQ(removal.steps[S].decision.rfind(L"could not read the record of HKLM\\Software\\Velmora\\Kivano\\SS\\URL "
                                              L"in HKLM\\Software\\Velmora\\Quorvane (error 5",
                                              0),
              0u)
        << testing::PrintToString(removal.steps[S].decision);
}

// A rollback puts back what the machine held after an older version's removal,
// and removes the keys the installation would have created, the package's key too.
TEST(AddressDecision, TheRollbackPutsBackTheMachineAsItWas)
{
    const Facts bare = Machine(Live(kNone, 3), Live(V(L"image help"), 0), 2);
    const Plan update = Decide(bare, Install(L"new", L"help"));
    const Plan undo = UndoOf(update, bare);
    EXPECT_EQ(undo.mode, Mode::Undo);
    ExpectStep(undo.steps[S], PutBack(kNone), "support");
    ExpectStep(undo.steps[H], PutBack(V(L"image help")), "help");
    EXPECT_EQ(undo.dropKeys, (std::vector<std::wstring>{kSS, kKivano, kPackage, kVelmora}));
    const Plan nothing = UndoOf(Decide(bare, Install(L"")), bare);
    EXPECT_FALSE(nothing.steps[S].change || nothing.steps[H].change);
    EXPECT_EQ(EncodePlan(nothing), L"") << "a rollback with nothing to do is skipped";
}

// The values and records as a plan leaves them (the keys aside).
Facts Applied(Facts facts, const Plan& plan)
{
    for (size_t i = 0; i < kAddresses.size(); ++i) {
        if (!plan.steps[i].change)
            continue;
        const AddressState& to = plan.steps[i].to;
        facts.addresses[i].live = {to.live, ERROR_SUCCESS};
        facts.addresses[i].record =
            to.recorded ? RecordRead{RecordKind::Current, to.original, to.createdKeys, ERROR_SUCCESS} : RecordRead{};
    }
    return facts;
}

// What the launcher reads and what the records say, address by address.
std::vector<std::pair<ValueRead, RecordRead>> Addresses(const Facts& facts)
{
    std::vector<std::pair<ValueRead, RecordRead>> addresses;
    for (const AddressFacts& address : facts.addresses)
        addresses.emplace_back(address.live, address.record);
    return addresses;
}

// The older version's removal is part of the upgrade's transaction: a failed
// upgrade runs the rollback script backwards, the upgrade's UndoAddresses
// first, then the removal's own rollback. Each puts back what the one before
// it found, so the machine ends as the older version left it.
TEST(AddressDecision, ARollbackAfterTheOlderVersionsRemovalEndsWithItsValuesAndRecords)
{
    const Facts older = Machine(WithRecord(Live(V(L"admin")), RecordKind::Current, V(L"image"), 2),
                                WithRecord(Live(V(L"C:\\Docs\\h.pdf")), RecordKind::Current, kNone, 1));
    // Windows tells the older version that a newer one removes it (UPGRADINGPRODUCTCODE):
    // it leaves everything to the newer one, and so has nothing to roll back.
    const Plan leaves = Decide(older, Uninstall(true));
    EXPECT_EQ(EncodePlan(leaves), L"");
    const Plan upgrade = Decide(older, Upgrade(L"https://new.example/"));
    const Plan undo = UndoOf(upgrade, older);
    EXPECT_EQ(Addresses(Applied(Applied(older, upgrade), undo)), Addresses(older));
    EXPECT_EQ(Applied(older, upgrade).addresses[S].live.value, V(L"https://new.example/"));

    // A removal that is not told (Wine's) puts back the image's values; its own rollback
    // puts the older version's back after the upgrade's has put back what it left.
    const Plan removal = Decide(older, Uninstall());
    const Facts removed = Applied(older, removal);
    EXPECT_EQ(removed.addresses[S].live.value, V(L"image"));
    EXPECT_EQ(removed.addresses[S].record.kind, RecordKind::None);
    const Plan upgradeAfter = Decide(older, Upgrade());  // the values as ReadAddresses read them before
    const Facts upgraded = Applied(removed, upgradeAfter);
    EXPECT_EQ(Addresses(upgraded), Addresses(older)) << "the upgrade carries the values and records over";
    const Facts undone = Applied(upgraded, UndoOf(upgradeAfter, removed));
    EXPECT_EQ(Addresses(undone), Addresses(removed));
    EXPECT_EQ(Addresses(Applied(undone, UndoOf(removal, older))), Addresses(older));

    // The release before the record: the installer's own removal takes its values and its
    // copy, and its own rollback puts them back. The upgrade's rollback leaves the
    // addresses and the package's key as that removal left them, for it to do so.
    const Facts release = Machine(WithRecord(Live(V(L"release"), 0), RecordKind::Earlier), Live(kNone, 3));
    Facts releaseRemoved = Machine(Live(kNone, 3), Live(kNone, 3), 2);
    Facts read = release;  // values and records before the removal, keys after it
    read.addresses[S].missingKeys = 3;
    read.packageKeyMissing = 2;
    const Plan fromRelease = Decide(read, Upgrade());
    ExpectStep(fromRelease.steps[S], Set(V(L"release"), kNone, 3), "support");
    const Plan undoRelease = UndoOf(fromRelease, releaseRemoved);
    ExpectStep(undoRelease.steps[S], PutBack(kNone), "support");
    EXPECT_EQ(undoRelease.dropKeys, (std::vector<std::wstring>{kSS, kKivano, kPackage, kVelmora}));
    EXPECT_EQ(Addresses(Applied(Applied(releaseRemoved, fromRelease), undoRelease)), Addresses(releaseRemoved));
}

// What Help can never open: the package warns about it, the check tool reports it.
TEST(HelpTarget, OnlyAFilePathCanEverOpen)
{
    for (const wchar_t* path : {L"", L"C:\\Docs\\Guide.pdf", L"\\\\server\\share\\guide.pdf", L"guide.pdf",
                                L"\\\\?\\C:\\Docs\\Guide.pdf", L"C:/Docs/Guide.pdf", L"x:guide.pdf"})
        EXPECT_EQ(HelpTargetProblem(path), L"") << testing::PrintToString(std::wstring(path));
    const std::vector<std::pair<std::wstring, std::wstring>> never = {
        {L"https://help.example/guide", L"an address with the scheme \"https:\", not a file path"},
        {L"file:///C:/Docs/Guide.pdf", L"an address with the scheme \"file:\", not a file path"},
        {L"ms-help:guide", L"an address with the scheme \"ms-help:\", not a file path"},
        {L"C:\\Docs\\*.pdf", L"a text with '*', which no file path holds"},
        {L"C:\\Docs\\Guide.pdf?page=2", L"a text with '?', which no file path holds"},
        {L"\"C:\\Docs\\Guide.pdf\"", L"a text with '\"', which no file path holds"},
        {std::wstring(L"C:\\Docs\\a\tb.pdf"), L"a text with character 9, which no file path holds"},
    };
    for (const auto& [value, problem] : never)
        EXPECT_EQ(HelpTargetProblem(value), problem) << testing::PrintToString(value);
}

// The actions that run as LocalSystem remove no key but the package's own.
TEST(AddressDecision, OnlyThePackagesOwnKeysMayBeRemoved)
{
    for (const std::wstring& key : {kSS, kHelp, kKivano, kVelmora, kPackage})
        EXPECT_TRUE(IsPackageKey(key)) << testing::PrintToString(key);
    for (const std::wstring& key : std::vector<std::wstring>{L"", L"Software", L"Software\\Velmora\\Other",
                                                             L"Software\\Velmora\\Kivano\\SS\\Deeper",
                                                             L"Software\\Microsoft", L"software\\velmora\\quorvane",
                                                             L"Software\\Velmora\\Kivano\\SS\\", L"SYSTEM\\Setup"})
        EXPECT_FALSE(IsPackageKey(key)) << testing::PrintToString(key);
    // Every key a plan of the decision names is one of them.
    for (const Row& row : Rows())
        for (const std::wstring& key : Decide(row.facts, row.run).dropKeys)
            EXPECT_TRUE(IsPackageKey(key)) << row.name << ": " << testing::PrintToString(key);
}

TEST(ActionDataText, FactsAndPlansComeThroughExactlyAndDamagedTextIsRefused)
{
    RegValue binary{true, REG_BINARY, {0x00, 0xff, 0x3c, 0x3d, 0x3e}};
    const Facts facts = Machine(WithRecord(Live(V(L"https://x.example/?q=\"%TEMP%\"&f[id]=7 <=> é"), 2),
                                           RecordKind::Current, binary, 1),
                                UnreadableRecord(kNone), 2);
    Facts decoded;
    ASSERT_TRUE(DecodeFacts(EncodeFacts(facts), &decoded)) << testing::PrintToString(EncodeFacts(facts));
    EXPECT_TRUE(decoded == facts);
    const Facts earlier = Machine(WithRecord(Live(V(L"old")), RecordKind::Earlier), UnreadableValue());
    ASSERT_TRUE(DecodeFacts(EncodeFacts(earlier), &decoded));
    EXPECT_TRUE(decoded == earlier);

    Plan plan = Decide(Machine(WithRecord(Live(V(L"s")), RecordKind::Current, binary, 3), Live(kNone)), Uninstall());
    const std::wstring text = EncodePlan(plan);
    EXPECT_EQ(text.find_first_not_of(L"abcdefghijklmnopqrstuvwxyz0123456789:=!- "), std::wstring::npos) << text;
    Plan back;
    ASSERT_TRUE(DecodePlan(text, &back));
    EXPECT_EQ(back.mode, Mode::Remove);
    EXPECT_TRUE(back.steps[S].change && back.steps[S].to == plan.steps[S].to);
    EXPECT_FALSE(back.steps[H].change);
    EXPECT_EQ(back.dropKeys, plan.dropKeys);

    const std::vector<std::wstring> damagedTexts = {L"", L"not the data it expects", text + L" x",
                                                    text.substr(0, text.size() - 1), L"install = set 1:0 1 - 0",
                                                    L"install = = kabc", L"undo set 1:00 2 - 0 0 ="};
    for (const std::wstring& damaged : damagedTexts) {
        EXPECT_FALSE(DecodePlan(damaged, &back)) << testing::PrintToString(damaged);
        EXPECT_FALSE(DecodeFacts(damaged, &decoded)) << testing::PrintToString(damaged);
    }
}

// The log lines an entry point writes, as an external user interface receives them
// (not the installer's own "=== Logging started ===").
int WINAPI KeepLine(void* lines, UINT type, const wchar_t* message)
{
    if ((type & 0xFF000000) == INSTALLMESSAGE_INFO && message && wcsncmp(message, L"===", 3) != 0)
        static_cast<std::vector<std::wstring>*>(lines)->push_back(message);
    return 0;
}

TEST(AddressActionGuard, AnExceptionBecomesAnInstallerErrorExceptDuringAnUninstallOrRollbackAndLinesKeepTheirBrackets)
{
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    std::vector<std::wstring> lines;
    MsiSetExternalUIW(KeepLine, INSTALLLOGMODE_INFO, &lines);
    MSIHANDLE install = 0;
    ASSERT_EQ(MsiOpenPackageW(qvtest::WindowsPathFromUnix(QV_PACKAGE_MSI).c_str(), &install), ERROR_SUCCESS);

    EXPECT_EQ(Guarded(install, L"ReadAddresses", Mode::Install, []() -> UINT { throw std::bad_alloc(); }),
              ERROR_INSTALL_FAILURE);
    EXPECT_EQ(Guarded(install, L"ReadAddresses", Mode::Install, [] { return static_cast<UINT>(ERROR_SUCCESS); }),
              ERROR_SUCCESS);
    EXPECT_EQ(Guarded(install, L"ScheduleAddressRestore", Mode::Remove,
                      []() -> UINT { throw std::runtime_error("x"); }),
              ERROR_SUCCESS);
    EXPECT_EQ(Guarded(install, L"UndoAddresses", Mode::Undo, []() -> UINT { throw std::bad_alloc(); }), ERROR_SUCCESS);
    Log(install, L"UpdateAddresses", L"set HKLM\\...\\URL to \"https://x.example/?f[id]=7&[ProductName]&{[1]}\\[\"");
    MsiCloseHandle(install);
    MsiSetExternalUIW(nullptr, 0, nullptr);

    EXPECT_EQ(lines, (std::vector<std::wstring>{
                         L"ReadAddresses: ran out of memory; nothing more is changed and the installation stops",
                         L"ScheduleAddressRestore: ended on an unexpected error; the addresses are left as they "
                         L"are and the run goes on",
                         L"UndoAddresses: ran out of memory; the addresses are left as they are and the run goes on",
                         L"UpdateAddresses: set HKLM\\...\\URL to \"https://x.example/?f[id]=7&[ProductName]&{[1]}\\[\""}));
}

// The package's rows and its actions take the product as going however the
// removal is asked for: REMOVE=ALL (in any case), or the one feature going, which
// is what REMOVE=Complete asks; never a repair.
TEST(AddressRemovalCondition, RemoveAllOrTheFeatureGoingIsARemoval)
{
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    MSIHANDLE install = 0;
    ASSERT_EQ(MsiOpenPackageW(qvtest::WindowsPathFromUnix(QV_PACKAGE_MSI).c_str(), &install), ERROR_SUCCESS);
    for (const wchar_t* action : {L"CostInitialize", L"FileCost", L"CostFinalize"})
        ASSERT_EQ(MsiDoActionW(install, action), ERROR_SUCCESS) << testing::PrintToString(std::wstring(action));
    auto removal = [install] { return MsiEvaluateConditionW(install, kRemovalCondition); };
    EXPECT_EQ(removal(), MSICONDITION_FALSE) << "an installation";
    for (const wchar_t* remove : {L"ALL", L"all"}) {
        ASSERT_EQ(MsiSetPropertyW(install, L"REMOVE", remove), ERROR_SUCCESS);
        EXPECT_EQ(removal(), MSICONDITION_TRUE) << testing::PrintToString(std::wstring(remove));
    }
    ASSERT_EQ(MsiSetPropertyW(install, L"REMOVE", L"Complete"), ERROR_SUCCESS);
    ASSERT_EQ(MsiSetFeatureStateW(install, L"Complete", INSTALLSTATE_LOCAL), ERROR_SUCCESS);
    EXPECT_EQ(removal(), MSICONDITION_FALSE) << "the feature stays: a repair";
    ASSERT_EQ(MsiSetFeatureStateW(install, L"Complete", INSTALLSTATE_ABSENT), ERROR_SUCCESS);
    EXPECT_EQ(removal(), MSICONDITION_TRUE) << "every feature goes: REMOVE=Complete";
    MsiCloseHandle(install);
}

}  // namespace
