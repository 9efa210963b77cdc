// The look-ups the window needs first, made while the window is created.
//
// A thread that starts with the process loads the catalogue and the footer
// texts, then converts the icons of the category the window will show first;
// the window waits for each where it would otherwise do the same work itself.
// The look-ups are the same, made in the same order with the same results;
// only where they run differs. Nothing else touches what the thread fills
// until the window has waited for it.
#pragma once

#include <windows.h>

#include "catalogue/CatalogueModel.h"

class CItemImageCache;

class CStartupPreload {
public:
    CStartupPreload() = default;
    ~CStartupPreload();
    CStartupPreload(const CStartupPreload&) = delete;
    CStartupPreload& operator=(const CStartupPreload&) = delete;

    // Starts the thread: the catalogue for categories whose flag is set in
    // `presentFlags`, then the first present category's icons into `cache`
    // at the layout's icon sizes. False when no thread could be started (the
    // window then does it all itself).
    bool Start(const int (&presentFlags)[kCategoryCount], CItemImageCache& cache);
    // Waits for the catalogue and footer texts; clears in `presentFlags` the
    // flag of each category that ended without items. False when nothing was
    // started.
    bool TakeCatalogue(int (&presentFlags)[kCategoryCount]);
    // Waits for the thread's end: the first category's icons are in the cache.
    void Finish();

private:
    static DWORD WINAPI Run(void* self);
    void Work();

    HANDLE m_hThread = nullptr;
    HANDLE m_hCatalogueLoaded = nullptr;
    int m_flags[kCategoryCount] = {};
    CItemImageCache* m_pCache = nullptr;
};

// Makes the program's own folder the current directory (the catalogue's
// relative paths are taken against it); the root of drive C: when the
// program's path cannot be read.
void EnterProgramFolder();
