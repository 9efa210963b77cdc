// install_slow_step.exe <milliseconds>: sleeps that long, then ends with 0. A
// package copy in the install tests runs it as a step of its installation, to
// make an installer run as slow as one on a busy machine.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    const unsigned long ms = std::wcstoul(commandLine, nullptr, 10);
    Sleep(ms > 600000 ? 600000 : ms);
    return 0;
}
