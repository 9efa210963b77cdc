// CKivanoApp: start-up, the single-instance rule and the modal run of the
// main dialog. The program has exactly one, a static object in main.cpp.
#pragma once

#include "framework/afxapp.h"

class CKivanoApp : public CWinApp {
public:
    CKivanoApp() : CWinApp(nullptr) {}

    BOOL InitInstance() override;
    // Arrow keys pressed on a category button go straight to the dialog's
    // key handler, before the dialog manager sees them.
    BOOL PreTranslateMessage(MSG* pMsg) override;
};

// Registers the main dialog's window class: a copy of the system dialog
// class under KIVANO_WINDOW_CLASS.
void RegisterMainWindowClass();

// Names by which a running copy is recognised.
#define KIVANO_MUTEX_NAME L"Kivalink_Mutex"
#define KIVANO_WINDOW_CLASS L"VelConsoleClass"
