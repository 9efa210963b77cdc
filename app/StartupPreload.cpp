#include "app/StartupPreload.h"

#include <vector>

#include "catalogue/CatalogueLoader.h"
#include "catalogue/FileExists.h"
#include "ui/ItemImageCache.h"
#include "ui/LayoutMetrics.h"

void EnterProgramFolder()
{
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        CString folder(module);
        const int slash = folder.ReverseFind(L'\\');
        SetCurrentDirectoryW(slash >= 0 ? folder.Left(slash) : folder);
    } else {
        SetCurrentDirectoryW(L"C:");
    }
}

CStartupPreload::~CStartupPreload()
{
    Finish();
    if (m_hCatalogueLoaded)
        CloseHandle(m_hCatalogueLoaded);
}

bool CStartupPreload::Start(const int (&presentFlags)[kCategoryCount], CItemImageCache& cache)
{
    if (m_hThread != nullptr)
        return false;
    for (int k = 0; k < kCategoryCount; ++k)
        m_flags[k] = presentFlags[k];
    m_pCache = &cache;
    if (m_hCatalogueLoaded == nullptr)
        m_hCatalogueLoaded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_hCatalogueLoaded == nullptr)
        return false;
    m_hThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    return m_hThread != nullptr;
}

bool CStartupPreload::TakeCatalogue(int (&presentFlags)[kCategoryCount])
{
    if (m_hThread == nullptr)
        return false;
    const HANDLE waits[2] = {m_hCatalogueLoaded, m_hThread};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    for (int k = 0; k < kCategoryCount; ++k) {
        if (!m_flags[k])
            presentFlags[k] = 0;
    }
    return true;
}

void CStartupPreload::Finish()
{
    if (m_hThread == nullptr)
        return;
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
}

DWORD WINAPI CStartupPreload::Run(void* self)
{
    static_cast<CStartupPreload*>(self)->Work();
    return 0;
}

void CStartupPreload::Work()
{
    EnterProgramFolder();
    LoadCatalogue(m_flags);
    LoadFooterTexts();
    SetEvent(m_hCatalogueLoaded);

    // The window shows the lowest present category first; its items whose
    // icon file is there get their images as the window's first fill asks.
    int first = -1;
    for (int k = kCategoryCount - 1; k >= 0; --k) {
        if (m_flags[k])
            first = k;
    }
    if (first < 0 || static_cast<size_t>(first) >= Categories.size())
        return;
    std::vector<ItemImageKey> keys;
    for (const ItemInfo& item : Categories[static_cast<size_t>(first)].Items) {
        WIN32_FIND_DATAW found;
        if (FileExists(item.IconFile, &found))
            keys.push_back(MakeItemImageKey(item.IconFile, item.IconIndex, found));
    }
    m_pCache->Prepare(first, keys, LayoutMetrics.LargeIconSize, LayoutMetrics.SmallIconSize);
}
