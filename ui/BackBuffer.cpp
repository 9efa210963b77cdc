#include "ui/BackBuffer.h"

#include "ui/Canvas.h"

bool CBackBuffer::Ensure(const std::vector<RECT>& areas, DWORD layout, bool* made)
{
    *made = false;
    bool same = areas.size() == m_areas.size() && !m_areas.empty() && layout == m_dwLayout;
    for (size_t i = 0; same && i < areas.size(); ++i)
        same = ::EqualRect(&areas[i], &m_areas[i]->box) != FALSE;
    if (same)
        return true;
    m_areas.clear();
    m_dwLayout = layout;
    for (const RECT& box : areas) {
        auto area = std::make_unique<Area>();
        area->box = box;
        if (!CreateCanvas(area->bitmap, box.right - box.left, box.bottom - box.top)) {
            m_areas.clear();
            return false;
        }
        m_areas.push_back(std::move(area));
    }
    *made = true;
    return !m_areas.empty();
}

void CBackBuffer::LayOut(CDC& memory) const
{
    // Set once an area's bitmap is selected: its width is the mirror's.
    if (m_dwLayout != 0)
        memory.SetLayout(m_dwLayout);
}

bool CBackBuffer::Draw(const std::function<void(CDC&)>& draw, const RECT* bounds)
{
    if (m_areas.empty())
        return false;
    for (const auto& area : m_areas) {
        RECT common;
        if (bounds != nullptr && !::IntersectRect(&common, bounds, &area->box))
            continue;
        CDC memory;
        if (!memory.CreateCompatibleDC(nullptr))
            return false;
        CSelect select(memory, area->bitmap.m_hObject);
        if (!select.Selected())
            return false;
        LayOut(memory);
        ::SetViewportOrgEx(memory, -area->box.left, -area->box.top, nullptr);
        draw(memory);
        ::SetViewportOrgEx(memory, 0, 0, nullptr);
    }
    return true;
}

bool CBackBuffer::Show(CDC& dc, HRGN region)
{
    if (dc.m_hDC == nullptr || region == nullptr || m_areas.empty())
        return false;
    const int saved = ::SaveDC(dc.m_hDC);
    ::ExtSelectClipRgn(dc.m_hDC, region, RGN_AND);
    bool shown = true;
    for (const auto& area : m_areas) {
        const RECT& b = area->box;
        if (!::RectInRegion(region, &b))
            continue;
        CDC memory;
        if (!memory.CreateCompatibleDC(nullptr)) {
            shown = false;
            continue;
        }
        CSelect select(memory, area->bitmap.m_hObject);
        LayOut(memory);
        shown = dc.BitBlt(b.left, b.top, b.right - b.left, b.bottom - b.top, &memory, 0, 0, SRCCOPY) && shown;
    }
    ::RestoreDC(dc.m_hDC, saved);
    return shown;
}

bool CBackBuffer::CopyTo(CDC& dc, const RECT& source, int x, int y)
{
    for (const auto& area : m_areas) {
        RECT inside;
        if (!::IntersectRect(&inside, &source, &area->box) || !::EqualRect(&inside, &source))
            continue;
        CDC memory;
        if (dc.m_hDC == nullptr || !memory.CreateCompatibleDC(nullptr))
            return false;
        CSelect select(memory, area->bitmap.m_hObject);
        LayOut(memory);
        return select.Selected() && dc.BitBlt(x, y, source.right - source.left, source.bottom - source.top, &memory,
                                              source.left - area->box.left, source.top - area->box.top, SRCCOPY);
    }
    return false;
}
