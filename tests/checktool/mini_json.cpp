#include "tests/checktool/mini_json.h"

#include <cwchar>
#include <stdexcept>

namespace qvjson {

namespace {

class Reader {
public:
    explicit Reader(const std::wstring& text) : m_text(text) {}

    Value Document()
    {
        Value value = Any();
        Blank();
        if (m_at != m_text.size())
            Fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void Fail(const char* what) const
    {
        throw std::runtime_error(std::string("JSON: ") + what + " at offset " + std::to_string(m_at));
    }

    void Blank()
    {
        while (m_at < m_text.size() && (m_text[m_at] == L' ' || m_text[m_at] == L'\t' || m_text[m_at] == L'\n' ||
                                        m_text[m_at] == L'\r'))
            ++m_at;
    }

    wchar_t Peek()
    {
        Blank();
        if (m_at >= m_text.size())
            Fail("unexpected end");
        return m_text[m_at];
    }

    void Expect(wchar_t ch)
    {
        if (Peek() != ch)
            Fail("unexpected character");
        ++m_at;
    }

    bool Word(const wchar_t* word)
    {
        const size_t length = std::wcslen(word);
        if (m_text.compare(m_at, length, word) != 0)
            return false;
        m_at += length;
        return true;
    }

    Value Any()
    {
        Value value;
        const wchar_t ch = Peek();
        if (ch == L'{') {
            value.type = Value::Type::Object;
            ++m_at;
            if (Peek() == L'}') {
                ++m_at;
                return value;
            }
            for (;;) {
                std::wstring key = String();
                Expect(L':');
                value.object.emplace_back(key, Any());
                if (Peek() == L',') {
                    ++m_at;
                    continue;
                }
                Expect(L'}');
                return value;
            }
        }
        if (ch == L'[') {
            value.type = Value::Type::Array;
            ++m_at;
            if (Peek() == L']') {
                ++m_at;
                return value;
            }
            for (;;) {
                value.array.push_back(Any());
                if (Peek() == L',') {
                    ++m_at;
                    continue;
                }
                Expect(L']');
                return value;
            }
        }
        if (ch == L'"') {
            value.type = Value::Type::String;
            value.string = String();
            return value;
        }
        if (Word(L"true")) {
            value.type = Value::Type::Bool;
            value.boolean = true;
            return value;
        }
        if (Word(L"false")) {
            value.type = Value::Type::Bool;
            return value;
        }
        if (Word(L"null"))
            return value;
        if (ch == L'-' || (ch >= L'0' && ch <= L'9')) {
            const wchar_t* start = m_text.c_str() + m_at;
            wchar_t* end = nullptr;
            value.type = Value::Type::Number;
            value.number = std::wcstod(start, &end);
            if (end == start)
                Fail("bad number");
            m_at += static_cast<size_t>(end - start);
            return value;
        }
        Fail("unexpected character");
    }

    std::wstring String()
    {
        Expect(L'"');
        std::wstring out;
        for (;;) {
            if (m_at >= m_text.size())
                Fail("unterminated string");
            const wchar_t ch = m_text[m_at++];
            if (ch == L'"')
                return out;
            if (ch < 0x20)
                Fail("control character in a string");
            if (ch != L'\\') {
                out += ch;
                continue;
            }
            if (m_at >= m_text.size())
                Fail("unterminated escape");
            const wchar_t e = m_text[m_at++];
            switch (e) {
            case L'"': out += L'"'; break;
            case L'\\': out += L'\\'; break;
            case L'/': out += L'/'; break;
            case L'b': out += L'\b'; break;
            case L'f': out += L'\f'; break;
            case L'n': out += L'\n'; break;
            case L'r': out += L'\r'; break;
            case L't': out += L'\t'; break;
            case L'u': {
                if (m_at + 4 > m_text.size())
                    Fail("short \\u escape");
                unsigned code = 0;
                for (int n = 0; n < 4; ++n) {
                    const wchar_t h = m_text[m_at++];
                    code <<= 4;
                    if (h >= L'0' && h <= L'9')
                        code |= static_cast<unsigned>(h - L'0');
                    else if (h >= L'a' && h <= L'f')
                        code |= static_cast<unsigned>(h - L'a' + 10);
                    else if (h >= L'A' && h <= L'F')
                        code |= static_cast<unsigned>(h - L'A' + 10);
                    else
                        Fail("bad \\u escape");
                }
                out += static_cast<wchar_t>(code);
                break;
            }
            default:
                Fail("unknown escape");
            }
        }
    }

    const std::wstring& m_text;
    size_t m_at = 0;
};

}  // namespace

bool Value::Has(const std::wstring& key) const
{
    for (const auto& member : object) {
        if (member.first == key)
            return true;
    }
    return false;
}

const Value& Value::operator[](const std::wstring& key) const
{
    if (type != Type::Object)
        throw std::runtime_error("JSON: not an object");
    for (const auto& member : object) {
        if (member.first == key)
            return member.second;
    }
    throw std::runtime_error("JSON: no member " + std::string(key.begin(), key.end()));
}

const Value& Value::operator[](size_t index) const
{
    if (type != Type::Array || index >= array.size())
        throw std::runtime_error("JSON: no such array element");
    return array[index];
}

size_t Value::size() const
{
    return type == Type::Array ? array.size() : type == Type::Object ? object.size() : 0;
}

Value Parse(const std::wstring& text)
{
    return Reader(text).Document();
}

}  // namespace qvjson
