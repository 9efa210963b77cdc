#include "installer/actions/ActionDataText.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace qvsetup {

namespace {

// Far beyond any address or key path; bounds what a damaged text can make us allocate.
constexpr size_t kMaxBytes = 1 << 20;
constexpr wchar_t kDigits[] = L"0123456789abcdef";

std::wstring Hex(const BYTE* bytes, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

bool Unhex(const std::wstring& text, size_t from, std::vector<BYTE>* bytes)
{
    const size_t digits = text.size() - from;
    if (digits % 2 != 0 || digits / 2 > kMaxBytes)
        return false;
    bytes->clear();
    for (size_t i = from; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes->push_back(static_cast<BYTE>(high << 4 | low));
    }
    return true;
}

bool ParseNumber(const std::wstring& token, DWORD* number)
{
    if (token.empty() || token.size() > 10 || token.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    const unsigned long long n = std::wcstoull(token.c_str(), nullptr, 10);
    *number = static_cast<DWORD>(n);
    return n <= 0xFFFFFFFFull;
}

// "-" for no value, else "<type>:<bytes in hexadecimal>".
std::wstring ValueWord(const RegValue& value)
{
    return value.present ? std::to_wstring(value.type) + L':' + Hex(value.data.data(), value.data.size()) : L"-";
}

bool ParseValue(const std::wstring& token, RegValue* value)
{
    *value = RegValue{};
    if (token == L"-")
        return true;
    const size_t colon = token.find(L':');
    if (colon == std::wstring::npos || !ParseNumber(token.substr(0, colon), &value->type) ||
        !Unhex(token, colon + 1, &value->data))
        return false;
    value->present = true;
    return true;
}

// A read that failed is "!<error>".
std::wstring ErrorWord(LSTATUS error) { return L"!" + std::to_wstring(error); }

bool ParseError(const std::wstring& token, LSTATUS* error)
{
    DWORD number = 0;
    if (token.size() < 2 || token[0] != L'!' || !ParseNumber(token.substr(1), &number) || number == 0)
        return false;
    *error = static_cast<LSTATUS>(number);
    return true;
}

// The words of a text, one at a time.
class Words {
public:
    explicit Words(const std::wstring& text)
    {
        for (size_t start = 0; start <= text.size();) {
            const size_t end = std::min(text.find(L' ', start), text.size());
            words_.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    bool Next(std::wstring* word)
    {
        if (next_ >= words_.size())
            return false;
        *word = words_[next_++];
        return true;
    }
    bool Done() const { return next_ == words_.size(); }

private:
    std::vector<std::wstring> words_;
    size_t next_ = 0;
};

bool NextNumber(Words& words, DWORD* number)
{
    std::wstring word;
    return words.Next(&word) && ParseNumber(word, number);
}

bool NextValue(Words& words, RegValue* value)
{
    std::wstring word;
    return words.Next(&word) && ParseValue(word, value);
}

bool NextValueRead(Words& words, ValueRead* read)
{
    std::wstring word;
    *read = ValueRead{};
    return words.Next(&word) && (ParseError(word, &read->error) || ParseValue(word, &read->value));
}

bool NextRecord(Words& words, RecordRead* record)
{
    std::wstring word;
    *record = RecordRead{};
    if (!words.Next(&word))
        return false;
    if (word == L"none" || word == L"earlier") {
        record->kind = word == L"none" ? RecordKind::None : RecordKind::Earlier;
        return true;
    }
    if (word == L"current") {
        record->kind = RecordKind::Current;
        return NextValue(words, &record->original) && NextNumber(words, &record->createdKeys);
    }
    return ParseError(word, &record->error);
}

}  // namespace

std::wstring EncodeFacts(const Facts& facts)
{
    std::wstring text = std::to_wstring(facts.packageKeyMissing);
    for (const AddressFacts& address : facts.addresses) {
        text += L' ';
        text += address.live.error != ERROR_SUCCESS ? ErrorWord(address.live.error) : ValueWord(address.live.value);
        const RecordRead& record = address.record;
        if (record.error != ERROR_SUCCESS)
            text += L' ' + ErrorWord(record.error);
        else if (record.kind == RecordKind::Current)
            text += L" current " + ValueWord(record.original) + L' ' + std::to_wstring(record.createdKeys);
        else
            text += record.kind == RecordKind::Earlier ? L" earlier" : L" none";
        text += L' ' + std::to_wstring(address.missingKeys);
    }
    return text;
}

bool DecodeFacts(const std::wstring& text, Facts* facts)
{
    Words words(text);
    Facts decoded;
    if (!NextNumber(words, &decoded.packageKeyMissing))
        return false;
    for (AddressFacts& address : decoded.addresses) {
        if (!NextValueRead(words, &address.live) || !NextRecord(words, &address.record) ||
            !NextNumber(words, &address.missingKeys))
            return false;
    }
    if (!words.Done())
        return false;
    *facts = std::move(decoded);
    return true;
}

std::wstring EncodePlan(const Plan& plan)
{
    const bool changes = std::any_of(plan.steps.begin(), plan.steps.end(), [](const AddressStep& s) { return s.change; });
    if (!changes && plan.dropKeys.empty())
        return {};
    std::wstring text = plan.mode == Mode::Install ? L"install" : plan.mode == Mode::Remove ? L"remove" : L"undo";
    for (const AddressStep& step : plan.steps) {
        if (!step.change) {
            text += L" =";
            continue;
        }
        const AddressState& to = step.to;
        text += L" set " + ValueWord(to.live) + (to.recorded ? L" 1 " : L" 0 ") + ValueWord(to.original) + L' ' +
                std::to_wstring(to.createdKeys);
    }
    for (const std::wstring& key : plan.dropKeys)
        text += L" k" + Hex(reinterpret_cast<const BYTE*>(key.data()), key.size() * sizeof(wchar_t));
    return text;
}

bool DecodePlan(const std::wstring& text, Plan* plan)
{
    Words words(text);
    Plan decoded;
    std::wstring word;
    if (!words.Next(&word))
        return false;
    if (word == L"install")
        decoded.mode = Mode::Install;
    else if (word == L"remove")
        decoded.mode = Mode::Remove;
    else if (word == L"undo")
        decoded.mode = Mode::Undo;
    else
        return false;
    for (AddressStep& step : decoded.steps) {
        if (!words.Next(&word))
            return false;
        if (word == L"=")
            continue;
        DWORD recorded = 0;
        if (word != L"set" || !NextValue(words, &step.to.live) || !NextNumber(words, &recorded) || recorded > 1 ||
            !NextValue(words, &step.to.original) || !NextNumber(words, &step.to.createdKeys))
            return false;
        step.change = true;
        step.to.recorded = recorded == 1;
    }
    while (words.Next(&word)) {
        std::vector<BYTE> bytes;
        if (word.size() < 2 || word[0] != L'k' || !Unhex(word, 1, &bytes) || bytes.size() % sizeof(wchar_t) != 0)
            return false;
        decoded.dropKeys.emplace_back(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }
    *plan = std::move(decoded);
    return true;
}

}  // namespace qvsetup
