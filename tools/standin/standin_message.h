// The message both stand-ins show: which utility was started, from where and
// with what arguments, so that a click in the launcher visibly does something
// on the demo machine.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring StandInModulePath(HMODULE module)
{
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"(unknown)";
    return path;
}

inline std::wstring StandInFileName(const std::wstring& path)
{
    std::wstring::size_type slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

inline void ShowStandInMessage(HMODULE module, const wchar_t* arguments, const wchar_t* how)
{
    const std::wstring path = StandInModulePath(module);
    const std::wstring name = StandInFileName(path);
    wchar_t folder[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);

    std::wstring text = name + L" was started " + how + L".\n\n";
    text += L"File: " + path + L"\n";
    text += L"Arguments: ";
    text += (arguments != nullptr && *arguments != L'\0') ? arguments : L"(none)";
    text += L"\nCurrent folder: ";
    text += folder;
    text += L"\n\nThis demo machine has a stand-in here instead of the real utility.";

    const std::wstring title = name + L" - stand-in";
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}
