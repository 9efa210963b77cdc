#include "framework/afxload.h"

namespace {

// An ANSI name from the helper's data, at most `limit` characters.
std::wstring Name(const char* text, size_t limit)
{
    std::wstring name;
    for (size_t i = 0; text && i < limit && text[i]; ++i)
        name += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    return name;
}

std::wstring SystemWords(DWORD error)
{
    wchar_t* message = nullptr;
    std::wstring words;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr) &&
        message) {
        words = message;
        LocalFree(message);
    }
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
        words.pop_back();
    return words;
}

}  // namespace

BOOL AfxRestrictLibrarySearch()
{
    return SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::wstring AfxLibraryFailureText(const DelayLoadInfo& info, unsigned notify)
{
    constexpr size_t kLimit = 260;
    std::wstring text = Name(info.szDll, kLimit);
    if (notify == dliFailGetProc) {
        text += L" (";
        text += info.dlp.fImportByName ? Name(info.dlp.szProcName, kLimit)
                                       : L"#" + std::to_wstring(info.dlp.dwOrdinal);
        text += L")";
    }
    const std::wstring words = SystemWords(info.dwLastError);
    return text + L": " + (words.empty() ? L"" : words + L" ") + L"(error " + std::to_wstring(info.dwLastError) + L")";
}

FARPROC AfxEndOnLibraryFailure(unsigned notify, PDelayLoadInfo info, void (*report)(const std::wstring& text),
                               UINT exitCode)
{
    if ((notify != dliFailLoadLib && notify != dliFailGetProc) || !info)
        return nullptr;
    static LONG reporting = 0;
    if (InterlockedExchange(&reporting, 1) == 0) {
        try {
            report(AfxLibraryFailureText(*info, notify));
        } catch (...) {
            // Out of memory for the text: end all the same.
        }
    }
    ExitProcess(exitCode);
}
