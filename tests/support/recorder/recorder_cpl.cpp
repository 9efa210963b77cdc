// recorder.cpl: a Control Panel applet that records every CPlApplet call in
// the launch log:  cpl=<own path> TAB msg=<message name> [TAB text=<start text>]
// CPL_STARTWPARMSW answers TRUE, so a shell that honours it sends no CPL_DBLCLK.
#include <windows.h>

#include <cpl.h>

#include "log_append.h"

namespace {

HINSTANCE g_module = nullptr;

const wchar_t* MessageName(UINT msg)
{
    switch (msg) {
    case CPL_INIT: return L"CPL_INIT";
    case CPL_GETCOUNT: return L"CPL_GETCOUNT";
    case CPL_INQUIRE: return L"CPL_INQUIRE";
    case CPL_SELECT: return L"CPL_SELECT";
    case CPL_DBLCLK: return L"CPL_DBLCLK";
    case CPL_STOP: return L"CPL_STOP";
    case CPL_EXIT: return L"CPL_EXIT";
    case CPL_NEWINQUIRE: return L"CPL_NEWINQUIRE";
    case CPL_STARTWPARMSA: return L"CPL_STARTWPARMSA";
    case CPL_STARTWPARMSW: return L"CPL_STARTWPARMSW";
    default: return nullptr;
    }
}

void Record(UINT msg, const std::wstring& extra)
{
    const wchar_t* name = MessageName(msg);
    std::wstring line = L"cpl=" + qvrec::ModulePath(g_module) + L"\tmsg=";
    line += name ? std::wstring(name) : L"0x" + std::to_wstring(msg);
    line += extra;
    qvrec::AppendLine(line);
}

void CopyText(wchar_t* target, size_t capacity, const wchar_t* text)
{
    lstrcpynW(target, text, static_cast<int>(capacity));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) LONG APIENTRY CPlApplet(HWND, UINT msg, LPARAM lParam1, LPARAM lParam2)
{
    switch (msg) {
    case CPL_INIT:
        Record(msg, L"");
        return TRUE;
    case CPL_GETCOUNT:
        Record(msg, L"");
        return 1;
    case CPL_INQUIRE: {
        Record(msg, L"");
        auto* info = reinterpret_cast<CPLINFO*>(lParam2);
        if (info) {
            info->idIcon = CPL_DYNAMIC_RES;
            info->idName = CPL_DYNAMIC_RES;
            info->idInfo = CPL_DYNAMIC_RES;
            info->lData = 0;
        }
        return 0;
    }
    case CPL_NEWINQUIRE: {
        Record(msg, L"");
        auto* info = reinterpret_cast<NEWCPLINFOW*>(lParam2);
        if (info) {
            ZeroMemory(info, sizeof(*info));
            info->dwSize = sizeof(*info);
            info->hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
            CopyText(info->szName, ARRAYSIZE(info->szName), L"Recorder");
            CopyText(info->szInfo, ARRAYSIZE(info->szInfo), L"Records how it was started");
        }
        return 0;
    }
    case CPL_STARTWPARMSW: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam2);
        Record(msg, std::wstring(L"\ttext=") + (text ? text : L""));
        return TRUE;
    }
    case CPL_DBLCLK:
    case CPL_SELECT:
    case CPL_STOP:
    case CPL_EXIT:
    default:
        (void)lParam1;
        Record(msg, L"");
        return 0;
    }
}
