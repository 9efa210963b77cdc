// Reading a launcher's main window template from its resources: the dialog
// font and the controls' classes and styles, as the dialog manager reads them.
#pragma once

#include <windows.h>

#include <map>
#include <string>

struct DialogControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring className;  // a predefined class by ordinal becomes its name
};

struct DialogTemplate {
    int pointSize = 0;  // 0: the template sets no font
    int weight = 0;
    bool italic = false;
    std::wstring face;
    std::map<UINT, DialogControl> controls;  // by identifier
};

// Reads extended dialog template `id` of `module`; false when it is missing
// or malformed (nothing is read past the resource's end).
bool ReadDialogTemplate(HMODULE module, UINT id, DialogTemplate& out);
