#include "checktool/DialogTemplate.h"

#include <cstring>

namespace {

// A bounded reader over the template's bytes.
class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }

    template <typename T>
    T Read()
    {
        T value{};
        if (!m_ok || m_size - m_at < sizeof(T)) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }

    std::wstring String()
    {
        std::wstring text;
        for (WORD ch = Read<WORD>(); m_ok && ch != 0; ch = Read<WORD>())
            text += static_cast<wchar_t>(ch);
        return text;
    }

    // A name or an ordinal: 0 none, 0xFFFF then a number, else a string.
    std::wstring NameOrOrdinal(WORD* ordinal = nullptr)
    {
        const WORD first = Read<WORD>();
        if (first == 0)
            return std::wstring();
        if (first == 0xFFFF) {
            const WORD number = Read<WORD>();
            if (ordinal)
                *ordinal = number;
            return L"#" + std::to_wstring(number);
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + String();
    }

    void AlignTo(size_t bytes)
    {
        m_at = (m_at + bytes - 1) / bytes * bytes;
        if (m_at > m_size)
            m_ok = false;
    }

    void Skip(size_t bytes)
    {
        if (m_size - m_at < bytes)
            m_ok = false;
        else
            m_at += bytes;
    }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_ok = true;
};

std::wstring PredefinedClass(WORD ordinal)
{
    switch (ordinal) {
    case 0x0080: return L"Button";
    case 0x0081: return L"Edit";
    case 0x0082: return L"Static";
    case 0x0083: return L"ListBox";
    case 0x0084: return L"ScrollBar";
    case 0x0085: return L"ComboBox";
    }
    return L"#" + std::to_wstring(ordinal);
}

}  // namespace

bool ReadDialogTemplate(HMODULE module, UINT id, DialogTemplate& out)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    Reader in(data, SizeofResource(module, found));
    if (in.Read<WORD>() != 1 || in.Read<WORD>() != 0xFFFF)
        return false;  // only the extended form is read
    in.Read<DWORD>();  // help identifier
    in.Read<DWORD>();  // extended style
    const DWORD style = in.Read<DWORD>();
    const WORD count = in.Read<WORD>();
    in.Skip(4 * sizeof(short));
    in.NameOrOrdinal();  // menu
    in.NameOrOrdinal();  // window class
    in.String();         // caption
    DialogTemplate result;
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        result.pointSize = in.Read<WORD>();
        result.weight = in.Read<WORD>();
        result.italic = in.Read<BYTE>() != 0;
        in.Read<BYTE>();  // character set: the dialog manager asks for DEFAULT_CHARSET
        result.face = in.String();
    }
    for (WORD n = 0; n < count && in.ok(); ++n) {
        in.AlignTo(sizeof(DWORD));
        in.Read<DWORD>();  // help identifier
        DialogControl control;
        control.exStyle = in.Read<DWORD>();
        control.style = in.Read<DWORD>();
        in.Skip(4 * sizeof(short));
        const DWORD controlId = in.Read<DWORD>();
        WORD ordinal = 0;
        control.className = in.NameOrOrdinal(&ordinal);
        if (ordinal)
            control.className = PredefinedClass(ordinal);
        in.NameOrOrdinal();  // text
        in.Skip(in.Read<WORD>());  // creation data
        result.controls[controlId] = control;
    }
    if (!in.ok())
        return false;
    out = result;
    return true;
}
