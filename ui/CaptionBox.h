// Where the bitmap push button draws its caption, shared with the check tool
// that measures captions against it.
#pragma once

#include <windows.h>

#include "ui/LayoutMetrics.h"

// The caption's box on the painted face and the bitmap face: the item
// rectangle shrunk by the margins (left, top, right, bottom). The custom face
// drawn through WM_DRAWITEM widens and heightens it by the right and bottom
// margins instead, so a caption that fits this box fits there too.
inline RECT CaptionBox(const RECT& item, const RECT& margins)
{
    return RECT{item.left + margins.left, item.top + margins.top, item.right - margins.right,
                item.bottom - margins.bottom};
}

// A category button's caption margins; only the left one scales.
inline RECT CategoryCaptionMargins(const LayoutMetricsTable& m)
{
    return RECT{m.CategoryTextInset, 2, 2, 2};
}
