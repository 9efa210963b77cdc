#include "framework/afxstr.h"

#include "framework/afxres.h"

BOOL CString::LoadString(UINT id)
{
    m_str = AfxLoadStringText(id);
    return m_str.empty() ? FALSE : TRUE;
}

int CString::Find(const wchar_t* what, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const size_t at = m_str.find(what ? what : L"", static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const size_t at = m_str.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const
{
    const size_t at = m_str.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength())
        return CString();
    return CString(m_str.substr(static_cast<size_t>(first)));
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count <= 0 || first >= GetLength())
        return CString();
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Insert(int at, const wchar_t* text)
{
    if (at < 0)
        at = 0;
    if (at > GetLength())
        at = GetLength();
    m_str.insert(static_cast<size_t>(at), text ? text : L"");
    return GetLength();
}

int CString::Replace(const wchar_t* from, const wchar_t* to)
{
    const std::wstring needle = from ? from : L"";
    const std::wstring replacement = to ? to : L"";
    if (needle.empty())
        return 0;
    int count = 0;
    size_t at = 0;
    while ((at = m_str.find(needle, at)) != std::wstring::npos) {
        m_str.replace(at, needle.size(), replacement);
        at += replacement.size();
        ++count;
    }
    return count;
}

int CString::Remove(wchar_t ch)
{
    const size_t before = m_str.size();
    std::erase(m_str, ch);
    return static_cast<int>(before - m_str.size());
}
