// A library of no use that says when it is loaded: on attaching to a process
// it makes the file "<its own path>.loaded". The tests put it where a program
// must not take libraries from, under the names of the libraries the program
// loads, and as the probe's library (delay_probe_main.cpp).
#include <windows.h>

#include <string>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const std::wstring marker = std::wstring(path) + L".loaded";
            const HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
    return TRUE;
}

// The probe's function.
extern "C" __declspec(dllexport) int QvDelayProbe() { return 42; }

// Stand-ins for the functions the check tool takes from the common controls
// and the script library: each fails, as none should ever be called.
extern "C" __declspec(dllexport) HRESULT WINAPI ScriptBreak(const WCHAR*, int, const void*, void*) { return E_FAIL; }
extern "C" __declspec(dllexport) void* WINAPI ImageList_Create(int, int, UINT, int, int) { return nullptr; }
extern "C" __declspec(dllexport) BOOL WINAPI ImageList_Destroy(void*) { return FALSE; }
extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) { return FALSE; }
