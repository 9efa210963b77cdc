// ReadRegString: values of every shape, read into a bounded buffer.
#include "CatalogueTestMachine.h"
#include "catalogue/RegistryReader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const wchar_t kValuesKey[] = L"Software\\QvTestVendor\\Values";

struct ValueCase {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> bytes;
    bool readable;
    std::wstring text;  // expected when readable
};

std::vector<BYTE> Bytes(const std::wstring& text, bool terminated)
{
    const size_t count = (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t);
    std::vector<BYTE> bytes(count);
    std::memcpy(bytes.data(), text.c_str(), count);
    return bytes;
}

}  // namespace

TEST(ReadRegString, ValuesOfEveryTypeAndLength)
{
    const std::wstring x255(255, L'x');
    const std::wstring y256(256, L'y');
    const ValueCase cases[] = {
        {L"", REG_SZ, Bytes(L"default value", true), true, L"default value"},
        {L"Sz255", REG_SZ, Bytes(x255, true), true, x255},
        {L"Sz256", REG_SZ, Bytes(y256, true), false, L""},
        // 512 bytes without a NUL: all 256 code units, terminated in the buffer.
        {L"Binary256", REG_BINARY, Bytes(y256, false), true, y256},
        {L"NoTerminator", REG_SZ, Bytes(L"abc", false), true, L"abc"},
        {L"Empty", REG_SZ, Bytes(L"", true), true, L""},
        {L"NoBytes", REG_BINARY, {}, true, L""},
        {L"OddLength", REG_BINARY, {'A', 0, 'B'}, true, L"A"},
        {L"Dword", REG_DWORD, {'A', 0, 'B', 0}, true, L"AB"},
        {L"DwordShort", REG_DWORD, {'Q', 0, 0, 0}, true, L"Q"},
        {L"Multi", REG_MULTI_SZ, Bytes(std::wstring(L"one\0two\0", 8), true), true, L"one"},
        {L"Expand", REG_EXPAND_SZ, Bytes(L"%ProgramFiles%", true), true, L"%ProgramFiles%"},
    };
    ScratchRegistry registry;
    for (const auto& c : cases)
        registry.Set(kValuesKey, c.name, c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));

    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << testing::PrintToString(std::wstring(c.name)));
        ProbeRecorder recorder;
        CString target(L"unchanged");
        EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kValuesKey, c.name, target) != FALSE, c.readable);
        EXPECT_EQ(target.Str(), c.readable ? c.text : L"unchanged");
        const std::wstring event = std::wstring(L"reg64 ") + kValuesKey + (*c.name ? L":" : L"") + c.name;
        EXPECT_EQ(recorder.events, std::vector<std::wstring>{event + (c.readable ? L" +" : L" -")});
    }
}

TEST(ReadRegString, MissingKeyOrValueLeavesTheTargetAlone)
{
    ScratchRegistry registry;
    registry.SetText(kValuesKey, L"Present", L"here");
    const std::pair<const wchar_t*, const wchar_t*> misses[] = {
        {L"Software\\QvTestVendor\\NoSuchKey", L"Present"},
        {kValuesKey, L"NoSuchValue"},
        {kValuesKey, L""},
    };
    for (const auto& [key, name] : misses) {
        CString target(L"unchanged");
        EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, key, name, target));
        EXPECT_EQ(target, L"unchanged");
    }
}

TEST(ReadRegString, AlwaysReadsTheMachineHive)
{
    ScratchRegistry registry;
    registry.SetText(kValuesKey, L"Present", L"machine");
    CString target;
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, kValuesKey, L"Present", target));
    EXPECT_EQ(target, L"machine");
}
