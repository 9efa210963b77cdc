// A window's back buffer: the parts of its client area that the window draws
// itself, held in memory and shown from there.
//
// The buffer is made of areas, rectangles of the client area, each a DIB
// section of its own (see Canvas.h), so that it takes memory only for what is
// drawn in it. A drawing runs once per area with a DC whose coordinates are
// the window's client coordinates, so each area holds exactly what the same
// GDI operations leave on the window, provided each operation lies wholly
// inside or wholly outside every area. Showing copies every area the region
// reaches with one BitBlt: the window never shows anything half drawn. The
// owner keeps the buffer between paints and redraws what changed. For a
// mirrored window the areas are laid out right to left like the window's DC,
// so that texts and coordinates come out as there and copy across unflipped.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "framework/afxgdi.h"

class CBackBuffer {
public:
    CBackBuffer() = default;
    CBackBuffer(const CBackBuffer&) = delete;
    CBackBuffer& operator=(const CBackBuffer&) = delete;

    // Makes the buffer of `areas`, with the DC layout `layout` (0 or
    // LAYOUT_RTL), unless it has exactly those already; false when it cannot
    // be made. *made tells whether it is new (holding nothing).
    bool Ensure(const std::vector<RECT>& areas, DWORD layout, bool* made);
    // Runs `draw` once for each area that `bounds` reaches (null: every
    // area), with a DC drawing into that area in client coordinates; false
    // when it could not.
    bool Draw(const std::function<void(CDC&)>& draw, const RECT* bounds = nullptr);
    // Copies what the buffer holds inside `region` (client coordinates) to
    // the same place on `dc`, within dc's own clipping.
    bool Show(CDC& dc, HRGN region);
    // Copies the rectangle `source` (client coordinates, inside one area) to
    // dc at (x, y); false when no area holds it whole.
    bool CopyTo(CDC& dc, const RECT& source, int x, int y);

private:
    struct Area {
        RECT box;
        CBitmap bitmap;
    };
    // Lays a memory DC holding an area out as the buffer is.
    void LayOut(CDC& memory) const;

    std::vector<std::unique_ptr<Area>> m_areas;
    DWORD m_dwLayout = 0;
};
