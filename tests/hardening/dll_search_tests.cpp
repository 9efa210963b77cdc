// The launcher loads DLLs from the system folder only: a DLL planted beside
// the program (its folder is also the current directory) is not picked up
// by a later load by bare name, while the same DLL by full path loads.
// The load is made inside the running launcher through a remote thread
// calling LoadLibraryW, and the result read from its module list.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include "tests/robustness/launcher_machine.h"

namespace {

using namespace qvtest;
using namespace qvrobust;

bool HasModule(DWORD pid, const std::wstring& name)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && !found; more = Module32NextW(snapshot, &entry))
        found = CompareStringOrdinal(entry.szModule, -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
    CloseHandle(snapshot);
    return found;
}

// Runs LoadLibraryW(`name`) on a new thread of `process` and waits for it.
bool RemoteLoadLibrary(HANDLE process, const std::wstring& name)
{
    const SIZE_T bytes = (name.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote)
        return false;
    bool ran = false;
    if (WriteProcessMemory(process, remote, name.c_str(), bytes, nullptr)) {
        // kernel32 sits at the same address in every process of the session.
        auto* load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
        if (HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr)) {
            ran = WaitForSingleObject(thread, kDeadlineMs) == WAIT_OBJECT_0;
            CloseHandle(thread);
        }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return ran;
}

TEST(HardeningDllSearch, APlantedDllBesideTheProgramIsNotLoadedByName)
{
    ScratchFolder scratch(L"dllsearch");
    const std::wstring exe = scratch.File(L"Quorvane.exe");
    const std::wstring planted = scratch.File(L"qvplanted.dll");
    ASSERT_TRUE(CopyFileW(LauncherExePath().c_str(), exe.c_str(), FALSE));
    // Any DLL does: the recorder applet, under another name.
    ASSERT_TRUE(CopyFileW(RecorderCplPath().c_str(), planted.c_str(), FALSE));
    {
        RunningLauncher launcher(exe);
        ASSERT_TRUE(launcher.ok());
        const DWORD pid = launcher.process().pid();
        ASSERT_TRUE(HasModule(pid, L"Quorvane.exe")) << "the module list of the launcher cannot be read";

        ASSERT_TRUE(RemoteLoadLibrary(launcher.process().handle(), L"qvplanted.dll"));
        EXPECT_FALSE(HasModule(pid, L"qvplanted.dll")) << "the DLL beside the program was loaded by its name";
        // The same file by its full path loads: the refusal above is the search order's doing.
        ASSERT_TRUE(RemoteLoadLibrary(launcher.process().handle(), planted));
        EXPECT_TRUE(HasModule(pid, L"qvplanted.dll")) << "the DLL did not load even by its full path";

        PostMessageW(launcher.window(), WM_CLOSE, 0, 0);
        DWORD exitCode = 1;
        EXPECT_TRUE(launcher.process().WaitForExit(kDeadlineMs, &exitCode));
    }
    WaitUntil([&] { return DeleteFileW(exe.c_str()) != FALSE; }, kDeadlineMs, 100);
}

}  // namespace
