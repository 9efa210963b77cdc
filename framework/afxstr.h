// CString: the framework's UTF-16 text with value semantics.
//
// Only what the program uses: construction, comparison, search, the small
// editing operations the path rules need, and LoadString from the resource
// module (see afxres.h). Texts have no length limit.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_str(text ? text : L"") {}
    CString(const wchar_t* text, int length) : m_str(text, static_cast<size_t>(length)) {}
    CString(const std::wstring& text) : m_str(text) {}

    // Loads string `id` from the resource module. A missing string gives FALSE
    // and leaves the text empty; a present but empty string gives FALSE too.
    BOOL LoadString(UINT id);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator const wchar_t*() const { return m_str.c_str(); }
    const wchar_t* GetString() const { return m_str.c_str(); }
    const std::wstring& Str() const { return m_str; }
    wchar_t operator[](int i) const { return m_str[static_cast<size_t>(i)]; }

    // Position of the first occurrence of `what` at or after `start`, or -1.
    int Find(const wchar_t* what, int start = 0) const;
    int Find(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Inserts `text` before position `at` (clamped to the length); returns the new length.
    int Insert(int at, const wchar_t* text);
    // Replaces every occurrence of `from` by `to`; returns the number replaced.
    int Replace(const wchar_t* from, const wchar_t* to);
    // Removes every occurrence of `ch`; returns the number removed.
    int Remove(wchar_t ch);

    CString& operator=(const wchar_t* text) { m_str = text ? text : L""; return *this; }
    CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
    CString& operator+=(const wchar_t* text) { m_str += text ? text : L""; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const wchar_t* b) { return CString(a.m_str + (b ? b : L"")); }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString((a ? a : L"") + b.m_str); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_str == (b ? b : L""); }

private:
    std::wstring m_str;
};
