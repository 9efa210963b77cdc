// The program's entry point: the framework runs the application object.
#include "framework/afxapp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int)
{
    return AfxWinMain(hInstance);
}
