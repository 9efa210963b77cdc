#include "ui/ArtworkCache.h"

#include "ui/Canvas.h"

CBitmap* CArtworkCache::Find(UINT id)
{
    for (const auto& loaded : m_loaded) {
        if (loaded->id == id)
            return &loaded->bitmap;
    }
    auto loaded = std::make_unique<Loaded>();
    loaded->id = id;
    if (!LoadArtwork(loaded->bitmap, id))
        return nullptr;
    m_loaded.push_back(std::move(loaded));
    return &m_loaded.back()->bitmap;
}

BOOL CArtworkCache::Draw(CDC& dc, UINT id, int x, int y, int w, int h, bool picture)
{
    if (dc.m_hDC == nullptr)
        return FALSE;
    CBitmap* bitmap = Find(id);
    if (bitmap == nullptr)
        return FALSE;
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return FALSE;
    CSelect select(memory, bitmap->m_hObject);
    if (!select.Selected())
        return FALSE;
    if (picture)
        MatchLayout(memory, dc);
    BITMAP info = {};
    bitmap->GetBitmap(&info);
    dc.SetStretchBltMode(HALFTONE);
    dc.SetBrushOrg(0, 0);
    return dc.StretchBlt(x, y, w, h, &memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}
