#include "framework/afxres.h"

namespace {
HINSTANCE g_resourceModule = nullptr;
LANGID g_resourceLanguage = 0;

// String `id` of exactly `language`'s table: strings are stored in blocks of
// 16, each a 16-bit length and that many characters. Null when absent.
const wchar_t* FindString(HINSTANCE module, UINT id, LANGID language, int& length)
{
    length = 0;
    HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const WORD* block = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!block)
        return nullptr;
    const size_t words = SizeofResource(module, found) / sizeof(WORD);
    size_t at = 0;
    for (UINT n = 0; n < id % 16; ++n) {
        if (at >= words)
            return nullptr;
        at += 1 + static_cast<size_t>(block[at]);
    }
    if (at >= words || block[at] > words - at - 1)
        return nullptr;  // a malformed block: read nothing
    length = block[at];
    return reinterpret_cast<const wchar_t*>(block + at + 1);
}
}  // namespace

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceModule ? g_resourceModule : GetModuleHandleW(nullptr);
}

void AfxSetResourceHandle(HINSTANCE module)
{
    g_resourceModule = module;
}

void AfxSetResourceLanguage(LANGID language)
{
    g_resourceLanguage = language;
}

LANGID AfxGetResourceLanguage()
{
    return g_resourceLanguage;
}

std::wstring AfxLoadStringText(UINT id)
{
    if (g_resourceLanguage != 0) {
        int length = 0;
        const wchar_t* text = FindString(AfxGetResourceHandle(), id, g_resourceLanguage, length);
        return text && length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
    }
    // With a buffer size of 0, LoadStringW hands out a read-only pointer to the
    // string in the module and its length: no buffer to outgrow.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(length));
}
