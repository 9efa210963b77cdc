#include "installer/actions/AddressChangeText.h"

#include <algorithm>
#include <cwchar>

namespace qvsetup {

namespace {

// Far beyond any address; bounds what a damaged text can make us allocate.
constexpr size_t kMaxValueBytes = 1 << 20;

// "-" for no value, else "<type>:<bytes in hexadecimal>".
std::wstring ValueText(const RegValue& value)
{
    if (!value.present)
        return L"-";
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text = std::to_wstring(value.type) + L':';
    for (BYTE b : value.data) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

bool ParseNumber(const std::wstring& token, DWORD* number)
{
    if (token.empty() || token.size() > 10 || token.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    const unsigned long long n = std::wcstoull(token.c_str(), nullptr, 10);
    *number = static_cast<DWORD>(n);
    return n <= 0xFFFFFFFFull;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

bool ParseValue(const std::wstring& token, RegValue* value)
{
    *value = RegValue{};
    if (token == L"-")
        return true;
    const size_t colon = token.find(L':');
    if (colon == std::wstring::npos || !ParseNumber(token.substr(0, colon), &value->type))
        return false;
    const size_t digits = token.size() - colon - 1;
    if (digits % 2 != 0 || digits / 2 > kMaxValueBytes)
        return false;
    for (size_t i = colon + 1; i < token.size(); i += 2) {
        const int high = HexDigit(token[i]), low = HexDigit(token[i + 1]);
        if (high < 0 || low < 0)
            return false;
        value->data.push_back(static_cast<BYTE>(high << 4 | low));
    }
    value->present = true;
    return true;
}

}  // namespace

std::wstring EncodeChanges(const std::vector<AddressChange>& changes)
{
    std::wstring text;
    bool any = false;
    for (const AddressChange& change : changes) {
        any = any || change.change;
        if (!change.change) {
            text += L" =";
            continue;
        }
        text += L" change " + ValueText(change.to.live) + (change.to.recorded ? L" 1 " : L" 0 ") +
                ValueText(change.to.original) + L' ' + std::to_wstring(change.to.createdKeys) + L' ' +
                std::to_wstring(change.dropKeys);
    }
    return any ? text.substr(1) : std::wstring();
}

bool DecodeChanges(const std::wstring& text, std::vector<AddressChange>* changes)
{
    std::vector<std::wstring> words;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find(L' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<AddressChange> decoded(kAddresses.size());
    size_t next = 0;
    for (AddressChange& change : decoded) {
        if (next < words.size() && words[next] == L"=") {
            ++next;
            continue;
        }
        DWORD recorded = 0;
        if (next + 6 > words.size() || words[next] != L"change" || !ParseValue(words[next + 1], &change.to.live) ||
            !ParseNumber(words[next + 2], &recorded) || recorded > 1 ||
            !ParseValue(words[next + 3], &change.to.original) ||
            !ParseNumber(words[next + 4], &change.to.createdKeys) || !ParseNumber(words[next + 5], &change.dropKeys))
            return false;
        change.change = true;
        change.to.recorded = recorded == 1;
        next += 6;
    }
    if (next != words.size())
        return false;
    *changes = std::move(decoded);
    return true;
}

}  // namespace qvsetup
