// The framework's resource module: where strings, dialogs, bitmaps and icons
// are looked up. It is the program's own module unless someone points it
// elsewhere (tests load a resource-only module with their own string table).
#pragma once

#include <windows.h>

#include <string>

HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// The text of string `id` in the resource module, of any length; empty when
// the string is missing.
std::wstring AfxLoadStringText(UINT id);
