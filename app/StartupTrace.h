// Marks at the boundaries of the start-up phases, for the benchmark.
//
// The shipped program installs no recorder, so each mark is a test of a null
// pointer; a benchmark build installs one that notes the time of each mark.
#pragma once

enum StartupMark {
    StartupInitInstance,     // the application object starts
    StartupInitDialog,       // the dialog exists: WM_INITDIALOG arrives
    StartupCatalogueLoaded,  // catalogue and footer texts loaded
    StartupButtonsReady,     // fonts, category and footer buttons set up
    StartupListFilled,       // initial selections made, the list built
    StartupInitDialogDone,   // initialisation returns
    StartupFirstPaint,       // a laid-out paint has finished (every one is marked)
    StartupMarkCount
};

using StartupRecorder = void (*)(StartupMark mark);
extern StartupRecorder g_pStartupRecorder;

inline void MarkStartup(StartupMark mark)
{
    if (g_pStartupRecorder != nullptr)
        g_pStartupRecorder(mark);
}
