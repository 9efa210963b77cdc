// The program's entry point: the framework runs the application object.
#include "framework/afxapp.h"
#include "framework/afxload.h"

namespace {

// A system library that cannot be loaded (framework/afxload.h) is the one
// thing a message box reports: the program cannot go on, and has no other way
// to say why. The text is the library's name and the system's own words.
void ShowLibraryFailure(const std::wstring& text)
{
    MessageBoxW(nullptr, text.c_str(), L"Quorvane", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

FARPROC WINAPI LibraryFailed(unsigned notify, PDelayLoadInfo info)
{
    return AfxEndOnLibraryFailure(notify, info, ShowLibraryFailure, 3);
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliFailureHook2 = LibraryFailed;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int)
{
    // Before anything loads a library by name.
    AfxRestrictLibrarySearch();
    return AfxWinMain(hInstance);
}
