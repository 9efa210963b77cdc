// Robustness battery: thousands of generated inputs through the catalogue's
// path resolution, registry reader and item loading, and the launcher's path
// clean-up and length limits. Every call must return, and its result must
// obey the rules: a refusal leaves the caller's text as it was, a success
// names an entry that exists. QUORVANE_FUZZ_SEED / QUORVANE_FUZZ_COUNT change
// the seed and the number of cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/CatalogueLoader.h"
#include "catalogue/RegistryReader.h"
#include "catalogue/ResolveFilePath.h"
#include "launch/LaunchProgram.h"
#include "res/resource.h"
#include "tests/robustness/fuzz_text.h"
#include "tests/robustness/robustness_machine.h"
#include "tests/support/gui_support.h"

namespace {

using namespace qvrobust;

std::wstring Str(const CString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

TEST(RobustResolveFilePath, GeneratedPathsAreResolvedOrLeftAlone)
{
    RobustMachine machine;
    const FuzzSettings settings = ReadFuzzSettings(2500);
    FuzzText gen(settings.seed);
    int resolved = 0;
    for (int n = 0; n < settings.count; ++n) {
        const std::wstring input = gen.Text(gen.Length(), machine.RealStarts());
        const std::wstring directory = gen.Chance(30) ? gen.Text(gen.Length(), machine.RealStarts()) : L"";
        CString path(input.c_str(), static_cast<int>(input.size()));
        const BOOL found = ResolveFilePath(path, CString(directory.c_str(), static_cast<int>(directory.size())));
        const std::wstring out = Str(path);
        if (found) {
            ++resolved;
            EXPECT_LT(out.size(), 260u) << "case " << n << ": " << Printable(input);
            EXPECT_TRUE(EntryExists(out)) << "case " << n << " resolved to a missing entry: " << Printable(out);
        } else {
            EXPECT_EQ(out, input) << "case " << n << ": a refusal changed the text";
        }
        if (HasFailure())
            FAIL() << "seed " << settings.seed << ", stopped at case " << n;
    }
    // The generator must reach both outcomes, or the battery tests nothing.
    EXPECT_GT(resolved, settings.count / 50) << "seed " << settings.seed;
    EXPECT_LT(resolved, settings.count) << "seed " << settings.seed;
    std::printf("ResolveFilePath: %d cases, %d resolved, seed %u\n", settings.count, resolved, settings.seed);
}

// The value's bytes as the registry keeps them. Wine's writer adds a
// terminator to string data that lacks one, so the stored size can differ
// from the size written.
std::vector<BYTE> StoredValue(const std::wstring& key, const std::wstring& name)
{
    std::vector<BYTE> data(4096);
    DWORD bytes = static_cast<DWORD>(data.size());
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, nullptr, data.data(),
                     &bytes) != ERROR_SUCCESS)
        bytes = 0;
    data.resize(bytes);
    return data;
}

TEST(RobustReadRegString, ValuesOfEveryTypeAndSizeAreReadOrRefused)
{
    RobustMachine machine;
    const FuzzSettings settings = ReadFuzzSettings(1500);
    FuzzText gen(settings.seed + 1);
    const std::wstring key = L"Software\\QvRobustValues";
    static const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD, REG_BINARY, REG_NONE};
    static const size_t edges[] = {0, 1, 2, 3, 4, 8, 510, 511, 512, 513, 514, 515, 1024};
    int accepted = 0;
    for (int n = 0; n < settings.count; ++n) {
        const DWORD type = types[gen.Below(7)];
        size_t size = gen.Chance(50) ? edges[gen.Below(13)] : static_cast<size_t>(gen.Below(1100));
        if (type == REG_DWORD && gen.Chance(70))
            size = 4;
        if (type == REG_QWORD && gen.Chance(70))
            size = 8;
        std::vector<BYTE> data = gen.Bytes(size + 4);
        if (gen.Chance(40)) {
            // Text-like data: generated characters, sometimes terminated.
            const std::wstring text = gen.Text(static_cast<int>(size / 2));
            std::memcpy(data.data(), text.data(), std::min(size, text.size() * sizeof(wchar_t)));
        }
        // Beyond the value: NULs, in case the writer looks one character further.
        std::fill(data.begin() + static_cast<std::ptrdiff_t>(size), data.end(), BYTE{0});
        const std::wstring name = gen.Chance(10) ? L"" : L"v" + std::to_wstring(gen.Below(3));
        machine.registry.Set(key, name, type, data.data(), static_cast<DWORD>(size));

        CString target(L"unchanged");
        // Now and then a value or key that does not exist.
        const bool missing = gen.Chance(10);
        const std::wstring readKey = missing && gen.Chance(50) ? key + L"\\" + gen.Text(gen.Length()) : key;
        const std::wstring readName = missing ? L"absent" + gen.Text(gen.Below(300)) : name;
        const BOOL ok = ReadRegString(HKEY_CURRENT_USER, CString(readKey.c_str(), static_cast<int>(readKey.size())),
                                      CString(readName.c_str(), static_cast<int>(readName.size())), target);
        const std::vector<BYTE> stored = StoredValue(key, name);
        if (missing || stored.size() > kRegValueBytes) {
            EXPECT_FALSE(ok) << "case " << n << " type " << type << " size " << size;
            EXPECT_EQ(Str(target), L"unchanged") << "case " << n;
        } else {
            ++accepted;
            std::wstring expected(reinterpret_cast<const wchar_t*>(stored.data()), stored.size() / 2);
            expected = expected.substr(0, expected.find(L'\0'));
            EXPECT_TRUE(ok) << "case " << n << " type " << type << " size " << size << " stored " << stored.size();
            EXPECT_EQ(Str(target), expected) << "case " << n << " type " << type << " size " << size;
        }
        if (HasFailure())
            FAIL() << "seed " << settings.seed << ", stopped at case " << n;
    }
    EXPECT_GT(accepted, settings.count / 4);
    std::printf("ReadRegString: %d cases, %d read, seed %u\n", settings.count, accepted, settings.seed);
}

// The icon index as the loader documents it: the first nine characters as a signed decimal number.
int ExpectedIconIndex(const std::wstring& text)
{
    return static_cast<int>(std::wcstol(text.substr(0, 9).c_str(), nullptr, 10));
}

TEST(RobustLoadItem, GeneratedRowsLoadOnlyWhenTheirProgramExists)
{
    RobustMachine machine;
    const FuzzSettings settings = ReadFuzzSettings(1000);
    FuzzText gen(settings.seed + 2);
    const int rounds = std::max(1, settings.count / (kCategoryCount * kRowsPerCategory));
    int loaded = 0;
    int tried = 0;
    for (int round = 0; round < rounds; ++round) {
        struct Row {
            std::wstring name, description, program, arguments, iconFile, iconIndex;
        };
        std::vector<Row> rows(kCategoryCount * kRowsPerCategory);
        std::vector<std::pair<UINT, std::wstring>> strings;
        for (int k = 0; k < kCategoryCount; ++k) {
            for (int i = 0; i < kRowsPerCategory; ++i) {
                Row& row = rows[static_cast<size_t>(k * kRowsPerCategory + i)];
                auto maybe = [&gen, &machine](int percent) {
                    return gen.Chance(percent) ? gen.Text(gen.Length(), machine.RealStarts()) : std::wstring();
                };
                row.name = maybe(70);
                row.description = maybe(70);
                row.program = maybe(90);
                row.arguments = maybe(40);
                row.iconFile = maybe(40);
                row.iconIndex = gen.Chance(50) ? gen.Text(gen.Below(20)) : std::to_wstring(gen.Below(2000) - 1000);
                const UINT t = static_cast<UINT>(100 * k + i);
                strings.push_back({IDS_ITEM_NAME_BASE + t, row.name});
                strings.push_back({IDS_ITEM_DESCRIPTION_BASE + t, row.description});
                strings.push_back({IDS_ITEM_PROGRAM_BASE + t, row.program});
                strings.push_back({IDS_ITEM_ARGUMENTS_BASE + t, row.arguments});
                strings.push_back({IDS_ITEM_ICON_FILE_BASE + t, row.iconFile});
                strings.push_back({IDS_ITEM_ICON_INDEX_BASE + t, row.iconIndex});
            }
        }
        GeneratedStrings module(machine.Folder() + L"\\rows" + std::to_wstring(round) + L".dll", strings);
        ASSERT_TRUE(module.ok());
        for (int k = 0; k < kCategoryCount; ++k) {
            for (int i = 0; i < kRowsPerCategory; ++i) {
                const Row& row = rows[static_cast<size_t>(k * kRowsPerCategory + i)];
                ItemInfo item;
                item.Name = L"sentinel name";
                item.Path = L"sentinel path";
                item.IconFile = L"sentinel icon";
                item.IconIndex = 12345;
                ++tried;
                // What the rules say: the program resolves to a path with a backslash.
                CString program(row.program.c_str(), static_cast<int>(row.program.size()));
                const bool expectLoad = !row.program.empty() && ResolveFilePath(program, CString()) &&
                                        program.Find(L'\\') >= 0;
                const BOOL ok = LoadItem(k, i, item);
                const std::string where = "round " + std::to_string(round) + " row " + std::to_string(k) + "." +
                                          std::to_string(i) + " program " + Printable(row.program);
                EXPECT_EQ(ok != FALSE, expectLoad) << where;
                if (ok) {
                    ++loaded;
                    EXPECT_EQ(Str(item.Path), Str(program)) << where;
                    EXPECT_TRUE(EntryExists(Str(item.Path))) << where;
                    EXPECT_TRUE(EntryExists(Str(item.IconFile))) << where << " icon " << Printable(Str(item.IconFile));
                    EXPECT_EQ(Str(item.Arguments), row.arguments) << where;
                    EXPECT_EQ(Str(item.Name), row.name.empty() ? Str(item.IconFile) : row.name) << where;
                    EXPECT_EQ(Str(item.Description), row.description.empty() ? Str(item.Name) : row.description)
                        << where;
                    EXPECT_EQ(item.IconIndex, row.iconIndex.empty() ? 0 : ExpectedIconIndex(row.iconIndex))
                        << where << " index " << Printable(row.iconIndex);
                } else {
                    EXPECT_EQ(Str(item.Name), L"sentinel name") << where;
                    EXPECT_EQ(Str(item.Path), L"sentinel path") << where;
                    EXPECT_EQ(Str(item.IconFile), L"sentinel icon") << where;
                    EXPECT_EQ(item.IconIndex, 12345) << where;
                }
                if (HasFailure())
                    FAIL() << "seed " << settings.seed << ", stopped at " << where;
            }
        }
    }
    EXPECT_GT(loaded, tried / 50);
    EXPECT_LT(loaded, tried);
    std::printf("LoadItem: %d rows, %d loaded, seed %u\n", tried, loaded, settings.seed);
}

TEST(RobustCleanProgramPath, GeneratedPathsAreCutOnlyBehindTheFirstExe)
{
    const FuzzSettings settings = ReadFuzzSettings(5000);
    FuzzText gen(settings.seed + 3);
    int cut = 0;
    for (int n = 0; n < settings.count; ++n) {
        const std::wstring input = gen.Text(gen.Length());
        const std::wstring out = Str(CleanProgramPath(CString(input.c_str(), static_cast<int>(input.size()))));
        size_t at = input.find(L".exe");
        if (at == std::wstring::npos)
            at = input.find(L".EXE");
        std::wstring expected = input;
        if (at != std::wstring::npos) {
            ++cut;
            expected = input.substr(0, at + 4);
            if (expected.find(L'"') != std::wstring::npos)
                expected = expected.substr(1);
        }
        ASSERT_EQ(out, expected) << "case " << n << ": " << Printable(input) << " seed " << settings.seed;
    }
    EXPECT_GT(cut, settings.count / 10);
    EXPECT_LT(cut, settings.count);
}

// Overlong texts start nothing, however launchable the program inside them is;
// texts exactly at the limits do start it, so the refusals are the limit's doing.
TEST(RobustLaunchProgram, OverlongPathsAndArgumentsStartNothing)
{
    qvtest::ScratchFolder scratch(L"robustlaunch");
    const std::wstring recorder = scratch.File(L"rec.exe");
    ASSERT_TRUE(CopyFileW(qvtest::RecorderExePath().c_str(), recorder.c_str(), FALSE));
    qvtest::RecorderLog log(scratch.File(L"launches.log"));
    log.UseForThisProcess();

    const FuzzSettings settings = ReadFuzzSettings(300);
    FuzzText gen(settings.seed + 4);
    const std::wstring quoted = L"\"" + recorder + L"\" ";
    for (int n = 0; n < settings.count; ++n) {
        // The path: the quoted recorder and switches, 261..1000 characters.
        const int pathLength = 261 + gen.Below(740);
        std::wstring path = quoted + gen.Text(pathLength - static_cast<int>(quoted.size()));
        path.resize(static_cast<size_t>(pathLength), L'x');
        const std::wstring arguments = gen.Text(260 + gen.Below(741));
        const bool longPath = gen.Chance(50);
        const std::wstring usedPath = longPath ? path : recorder;
        const std::wstring usedArguments = longPath ? std::wstring(L"/x") : arguments;
        EXPECT_FALSE(LaunchProgram(CString(usedPath.c_str(), static_cast<int>(usedPath.size())),
                                   CString(usedArguments.c_str(), static_cast<int>(usedArguments.size())),
                                   CString(scratch.path().c_str())))
            << "case " << n << " path " << usedPath.size() << " arguments " << usedArguments.size();
    }
    // Nothing may arrive (a started recorder writes within a few hundred ms; a
    // busy machine can only make this short window pass).
    EXPECT_FALSE(log.WaitForLines(1, 1500)) << "a refused launch started the recorder";

    std::wstring atLimit = quoted + L"/limit";
    atLimit.resize(260, L'y');
    ASSERT_TRUE(LaunchProgram(CString(atLimit.c_str()), CString(L"/path-at-limit"), CString(scratch.path().c_str())));
    ASSERT_TRUE(log.WaitForLines(1));
    const std::wstring arguments259 = L"/args-at-limit" + std::wstring(259 - 14, L'z');
    ASSERT_TRUE(LaunchProgram(CString(recorder.c_str()), CString(arguments259.c_str()), CString(scratch.path().c_str())));
    ASSERT_TRUE(log.WaitForLines(2));
    const auto records = log.Read();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_NE(records[0].args.find(L"/path-at-limit"), std::wstring::npos);
    EXPECT_EQ(records[1].args, arguments259);
}

}  // namespace
