// The dialog's artwork, loaded once.
//
// Each bitmap resource is loaded from the resource module at its first draw
// and kept, as a DIB section (see Canvas.h), until the owner clears the cache
// (once what it drew is kept elsewhere); a draw stretches it onto the target
// exactly as a freshly loaded bitmap would be. A bitmap that cannot be loaded
// is tried again at its next draw.
#pragma once

#include <memory>
#include <vector>

#include "framework/afxgdi.h"

class CArtworkCache {
public:
    CArtworkCache() = default;
    CArtworkCache(const CArtworkCache&) = delete;
    CArtworkCache& operator=(const CArtworkCache&) = delete;

    // Draws bitmap resource `id` onto dc at (x, y), stretched to w x h in
    // halftone mode (the brush origin at 0, 0); a picture keeps its
    // orientation on a mirrored DC. FALSE when it could not be loaded or drawn.
    BOOL Draw(CDC& dc, UINT id, int x, int y, int w, int h, bool picture = false);
    // Lets every bitmap go; the next draw loads it again.
    void Clear() { m_loaded.clear(); }

private:
    struct Loaded {
        UINT id;
        CBitmap bitmap;
    };
    // The bitmap, loaded on first use; null when the resource cannot be loaded.
    CBitmap* Find(UINT id);

    std::vector<std::unique_ptr<Loaded>> m_loaded;
};
