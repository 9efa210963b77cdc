// Stand-in for a pre-installed utility (and for the document viewer and web
// browser) on the demo machine: it says which file was started and with what
// arguments, then ends when the message is closed.
#include "standin_message.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    ShowStandInMessage(instance, commandLine, L"as a program");
    return 0;
}
