// Stand-in Control Panel applet for the demo machine: one applet that says
// which .cpl file was opened. Control.exe asks it to start with
// CPL_STARTWPARMSW (Wine's control.exe does so); CPL_DBLCLK arrives where a
// host does not, or when CPL_STARTWPARMSW is refused.
#include "standin_message.h"

#include <cpl.h>

namespace {

HMODULE g_module = nullptr;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM lParam1, LPARAM lParam2)
{
    switch (message) {
    case CPL_INIT:
        return TRUE;
    case CPL_GETCOUNT:
        return 1;
    case CPL_INQUIRE: {
        CPLINFO* info = reinterpret_cast<CPLINFO*>(lParam2);
        info->idIcon = CPL_DYNAMIC_RES;
        info->idName = CPL_DYNAMIC_RES;
        info->idInfo = CPL_DYNAMIC_RES;
        info->lData = 0;
        return 0;
    }
    case CPL_NEWINQUIRE: {
        NEWCPLINFOW* info = reinterpret_cast<NEWCPLINFOW*>(lParam2);
        ZeroMemory(info, sizeof(*info));
        info->dwSize = sizeof(*info);
        info->hIcon = LoadIconW(g_module, MAKEINTRESOURCEW(1));
        if (info->hIcon == nullptr)
            info->hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
        const std::wstring name = StandInFileName(StandInModulePath(g_module));
        lstrcpynW(info->szName, name.c_str(), ARRAYSIZE(info->szName));
        lstrcpynW(info->szInfo, L"Stand-in Control Panel applet", ARRAYSIZE(info->szInfo));
        return 0;
    }
    case CPL_STARTWPARMSW:
        ShowStandInMessage(g_module, reinterpret_cast<const wchar_t*>(lParam2),
                           L"by Control.exe (CPL_STARTWPARMSW)");
        return TRUE;
    case CPL_DBLCLK:
        (void)lParam1;
        ShowStandInMessage(g_module, nullptr, L"by Control.exe (CPL_DBLCLK)");
        return 0;
    default:
        return 0;
    }
}
