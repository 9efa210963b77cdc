// The dialog's artwork, kept ready to copy.
//
// Each bitmap resource is loaded once and scaled once to every size it is
// drawn at, with the same halftone stretch a direct draw would use; a paint
// then only copies it. Entries are made on first use and freed with the
// cache. A bitmap that cannot be loaded is tried again at its next draw.
#pragma once

#include <memory>
#include <vector>

#include "framework/afxgdi.h"

class CArtworkCache {
public:
    CArtworkCache() = default;
    CArtworkCache(const CArtworkCache&) = delete;
    CArtworkCache& operator=(const CArtworkCache&) = delete;

    // Draws bitmap resource `id` of the resource module onto dc at (x, y),
    // stretched to w x h. FALSE when it could not be loaded or drawn.
    BOOL Draw(CDC& dc, UINT id, int x, int y, int w, int h);
    // Bitmaps held (for leak checks).
    int Count() const { return static_cast<int>(m_scaled.size()); }

private:
    struct Scaled {
        UINT id;
        int width;
        int height;
        CBitmap bitmap;
    };
    // The bitmap at w x h, made compatible with dc on first use; null when
    // the resource cannot be loaded or scaled.
    const Scaled* Find(CDC& dc, UINT id, int w, int h);

    std::vector<std::unique_ptr<Scaled>> m_scaled;
};
