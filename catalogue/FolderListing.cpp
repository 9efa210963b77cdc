#include "catalogue/FolderListing.h"

#include <windows.h>

namespace {

bool IsAscii(const std::wstring& name)
{
    for (wchar_t c : name) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

std::wstring UpperAscii(std::wstring name)
{
    for (wchar_t& c : name) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return name;
}

// A name a directory search takes as itself: one entry's name, matched
// without a pattern, and not changed by the path's normalisation.
bool IsPlainName(const std::wstring& name)
{
    if (name.empty() || name.size() > 255 || name == L"." || name == L"..")
        return false;
    if (name.back() == L'.' || name.back() == L' ')
        return false;
    for (wchar_t c : name) {
        if (c < 0x20 || c > 0x7E)
            return false;
        switch (c) {
        case L'\\': case L'/': case L':': case L'*': case L'?': case L'"': case L'<': case L'>': case L'|':
            return false;
        default:
            break;
        }
    }
    return true;
}

}  // namespace

bool CFolderListing::Read(const CString& folder)
{
    m_ascii.clear();
    m_other.clear();
    m_bRead = false;
    if (folder.IsEmpty())
        return false;
    const CString pattern = folder + L"\\*";
    WIN32_FIND_DATAW data;
    const HANDLE search =
        FindFirstFileExW(pattern, FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        for (const wchar_t* entry : {data.cFileName, data.cAlternateFileName}) {
            const std::wstring name(entry);
            if (name.empty())
                continue;
            if (IsAscii(name))
                m_ascii.insert(UpperAscii(name));
            else
                m_other.push_back(name);
        }
    } while (FindNextFileW(search, &data));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    m_bRead = complete;
    return complete;
}

bool CFolderListing::ProvesAbsent(const CString& name) const
{
    const std::wstring& text = name.Str();
    if (!m_bRead || !IsPlainName(text) || m_ascii.count(UpperAscii(text)) != 0)
        return false;
    // An entry outside ASCII may still equal an ASCII name in the file
    // system's comparison (the dotless i upper-cases to I).
    for (const std::wstring& entry : m_other) {
        if (CompareStringOrdinal(text.c_str(), static_cast<int>(text.size()), entry.c_str(),
                                 static_cast<int>(entry.size()), TRUE) == CSTR_EQUAL)
            return false;
    }
    return true;
}
