// Entry point of every test program. An unhandled exception ends the process
// with the exception code and a line on stderr, so that a crash fails its test
// even where Wine would otherwise report exit status 0.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

namespace {
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    const DWORD code = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0xE0000001u;
    // Where: the address, and its offset in the module that holds it (to be
    // looked up in that module's map).
    void* address = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionAddress : nullptr;
    HMODULE module = nullptr;
    wchar_t name[MAX_PATH] = L"?";
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(address), &module))
        GetModuleFileNameW(module, name, MAX_PATH);
    std::fprintf(stderr, "\ntest program crashed: exception 0x%08lX at %p (%ls+0x%llx)\n",
                 static_cast<unsigned long>(code), address, name,
                 static_cast<unsigned long long>(static_cast<char*>(address) - reinterpret_cast<char*>(module)));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), code ? code : 0xE0000001u);
    return EXCEPTION_EXECUTE_HANDLER;
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(ReportCrash);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
