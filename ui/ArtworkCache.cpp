#include "ui/ArtworkCache.h"

const CArtworkCache::Scaled* CArtworkCache::Find(CDC& dc, UINT id, int w, int h)
{
    for (const auto& scaled : m_scaled) {
        if (scaled->id == id && scaled->width == w && scaled->height == h)
            return scaled.get();
    }
    if (w <= 0 || h <= 0)
        return nullptr;

    CBitmap original;
    if (!original.LoadBitmap(id))
        return nullptr;
    BITMAP info = {};
    original.GetBitmap(&info);
    CDC source;
    CDC target;
    auto scaled = std::make_unique<Scaled>();
    scaled->id = id;
    scaled->width = w;
    scaled->height = h;
    if (!source.CreateCompatibleDC(&dc) || !target.CreateCompatibleDC(&dc) ||
        !scaled->bitmap.CreateCompatibleBitmap(&dc, w, h))
        return nullptr;
    {
        CSelect selectOriginal(source, original.m_hObject);
        CSelect selectScaled(target, scaled->bitmap.m_hObject);
        if (!selectOriginal.Selected() || !selectScaled.Selected())
            return nullptr;
        target.SetStretchBltMode(HALFTONE);
        target.SetBrushOrg(0, 0);
        if (!target.StretchBlt(0, 0, w, h, &source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY))
            return nullptr;
    }
    m_scaled.push_back(std::move(scaled));
    return m_scaled.back().get();
}

BOOL CArtworkCache::Draw(CDC& dc, UINT id, int x, int y, int w, int h)
{
    if (dc.m_hDC == nullptr)
        return FALSE;
    const Scaled* scaled = Find(dc, id, w, h);
    if (scaled == nullptr)
        return FALSE;
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return FALSE;
    CSelect select(memory, scaled->bitmap.m_hObject);
    return select.Selected() && dc.BitBlt(x, y, w, h, &memory, 0, 0, SRCCOPY);
}
