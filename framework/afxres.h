// The framework's resource module: where strings, dialogs, bitmaps and icons
// are looked up. It is the program's own module unless someone points it
// elsewhere (tests load a resource-only module with their own string table).
#pragma once

#include <windows.h>

#include <string>

HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// The language of the string table strings are read from. 0, the default,
// leaves the choice to the system's resource loader (the user's UI language,
// then its language without the region, then English); any other value reads
// exactly that table, chosen once by the program before its first string.
void AfxSetResourceLanguage(LANGID language);
LANGID AfxGetResourceLanguage();

// The text of string `id` in the resource module, of any length; empty when
// the string is missing.
std::wstring AfxLoadStringText(UINT id);
