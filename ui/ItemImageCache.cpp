#include "ui/ItemImageCache.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "ui/IconStrip.h"

namespace {

int g_liveIcons = 0;

// One large and one small icon of an item: extracted from its file, or the
// window's own when the file yields none. Extracted icons are destroyed with
// this object; the window's stay the window's.
class ItemIcons {
public:
    ItemIcons(const ItemImageKey& key, HWND window) : m_window(window)
    {
        if (ExtractIconExW(key.file, key.index, &m_large, &m_small, 1) != 0) {
            m_extracted = true;
            g_liveIcons += (m_large ? 1 : 0) + (m_small ? 1 : 0);
        } else {
            m_large = WindowIcon(ICON_BIG);
            m_small = WindowIcon(ICON_SMALL);
        }
    }
    ~ItemIcons()
    {
        if (!m_extracted)
            return;
        for (HICON icon : {m_large, m_small}) {
            if (icon) {
                DestroyIcon(icon);
                --g_liveIcons;
            }
        }
    }
    ItemIcons(const ItemIcons&) = delete;
    ItemIcons& operator=(const ItemIcons&) = delete;

    HICON Large() const { return m_large; }
    HICON Small() const { return m_small; }
    // The file's own icons, not the window's.
    bool Extracted() const { return m_extracted; }
    HICON WindowIcon(WPARAM which) const
    {
        return reinterpret_cast<HICON>(SendMessageW(m_window, WM_GETICON, which, 0));
    }

private:
    HWND m_window;
    HICON m_large = nullptr;
    HICON m_small = nullptr;
    bool m_extracted = false;
};

// Puts the item's large or small icon at `index` of `list` (-1: appends it);
// an icon the list refuses is replaced by the window's, so that every later
// item keeps its own place.
// For a mirrored list the image is flipped in place afterwards.
bool PutImage(CImageList& list, int index, const ItemIcons& icons, bool large, bool mirrored)
{
    const bool put = list.Replace(index, large ? icons.Large() : icons.Small()) >= 0 ||
                     list.Replace(index, icons.WindowIcon(large ? ICON_BIG : ICON_SMALL)) >= 0;
    return put && (!mirrored || MirrorImage(list, index >= 0 ? index : list.GetImageCount() - 1));
}

// Puts the item's images at `index` of both lists (-1: appends them).
bool PutImages(CImageList& large, CImageList& small, int index, const ItemIcons& icons, bool mirrored)
{
    return PutImage(large, index, icons, true, mirrored) && PutImage(small, index, icons, false, mirrored);
}

// Appends one image per item to `list` (its large or small icons) in one
// batch; an icon the batch cannot take is put in its place afterwards, or the
// window's when the list refuses it too.
bool AppendImages(CImageList& list, int size, const std::vector<std::unique_ptr<ItemIcons>>& icons, bool large,
                  bool mirrored)
{
    const int count = static_cast<int>(icons.size());
    const int first = list.GetImageCount();
    const auto put = [&](int k, int index) {
        return PutImage(list, index, *icons[static_cast<size_t>(k)], large, mirrored);
    };
    CIconStrip strip(size, count, mirrored);
    std::vector<int> left;
    for (int k = 0; k < count; ++k) {
        const ItemIcons& item = *icons[static_cast<size_t>(k)];
        if (!strip.Put(k, large ? item.Large() : item.Small()))
            left.push_back(k);
    }
    if (!strip.Ok()) {
        for (int k = 0; k < count; ++k) {
            if (!put(k, -1))
                return false;
        }
        return true;
    }
    if (strip.AddTo(list) != first)
        return false;
    for (int k : left) {
        if (!put(k, first + k))
            return false;
    }
    return true;
}

bool HasSize(const CImageList& list, int size)
{
    int cx = 0;
    int cy = 0;
    return ImageList_GetIconSize(list, &cx, &cy) && cx == size && cy == size;
}

}  // namespace

bool SameIcon(const ItemImageKey& a, const ItemImageKey& b)
{
    return a.index == b.index && a.file == b.file;
}

bool SameImage(const ItemImageKey& a, const ItemImageKey& b)
{
    return SameIcon(a, b) && a.size == b.size && CompareFileTime(&a.written, &b.written) == 0;
}

ItemImageKey MakeItemImageKey(const CString& file, int index, const WIN32_FIND_DATAW& found)
{
    ItemImageKey key;
    key.file = file;
    key.index = index;
    key.size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    key.written = found.ftLastWriteTime;
    return key;
}

int LiveExtractedIcons()
{
    return g_liveIcons;
}

bool CItemImageCache::Convert(const std::vector<ItemImageKey>& keys, int largeSize, int smallSize, HWND window,
                              bool mirrored, CImageList& large, CImageList& small, std::vector<bool>* extracted)
{
    if (!large.Create(largeSize, largeSize, ILC_COLOR32 | ILC_MASK, 12, 9) ||
        !small.Create(smallSize, smallSize, ILC_COLOR32 | ILC_MASK, 9, 9))
        return false;
    std::vector<std::unique_ptr<ItemIcons>> icons;
    for (const ItemImageKey& key : keys) {
        icons.push_back(std::make_unique<ItemIcons>(key, window));
        if (extracted)
            extracted->push_back(icons.back()->Extracted());
    }
    return icons.empty() ||
           (AppendImages(large, largeSize, icons, true, mirrored) &&
            AppendImages(small, smallSize, icons, false, mirrored));
}

bool CItemImageCache::Update(Kept& kept, const std::vector<ItemImageKey>& keys, HWND window, bool mirrored)
{
    const bool allExtracted = std::find(kept.extracted.begin(), kept.extracted.end(), false) == kept.extracted.end();
    if (allExtracted && keys.size() == kept.keys.size() &&
        std::equal(keys.begin(), keys.end(), kept.keys.begin(), SameImage))
        return true;

    // Items only ever leave a category, so the new keys follow the kept ones
    // in order: walk both, removing the images of items that are gone and
    // converting anew those whose file changed or whose icon could not be
    // extracted last time. Anything left over is added.
    CImageList large;
    CImageList small;
    if (!large.Create(&kept.large) || !small.Create(&kept.small))
        return false;
    std::vector<bool> extracted;
    size_t next = 0;
    int position = 0;
    for (size_t old = 0; old < kept.keys.size(); ++old) {
        if (next < keys.size() && SameIcon(kept.keys[old], keys[next])) {
            bool own = kept.extracted[old];
            if (!own || !SameImage(kept.keys[old], keys[next])) {
                const ItemIcons icons(keys[next], window);
                if (!PutImages(large, small, position, icons, mirrored))
                    return false;
                own = icons.Extracted();
            }
            extracted.push_back(own);
            ++next;
            ++position;
        } else if (!large.Remove(position) || !small.Remove(position)) {
            return false;
        }
    }
    for (; next < keys.size(); ++next) {
        const ItemIcons icons(keys[next], window);
        if (!PutImages(large, small, -1, icons, mirrored))
            return false;
        extracted.push_back(icons.Extracted());
    }
    kept.large.Attach(large.Detach());
    kept.small.Attach(small.Detach());
    kept.keys = keys;
    kept.extracted = extracted;
    return true;
}

bool CItemImageCache::Build(int category, const std::vector<ItemImageKey>& keys, int largeSize, int smallSize,
                            HWND window, CImageList& large, CImageList& small)
{
    // A list in a mirrored window takes its images flipped: its drawing flips
    // them back, the right way round.
    const bool mirrored = (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    if (category < 0 || category >= kCategories)
        return Convert(keys, largeSize, smallSize, window, mirrored, large, small);

    Kept& kept = m_kept[category];
    const bool usable = HasSize(kept.large, largeSize) && HasSize(kept.small, smallSize) && kept.mirrored == mirrored;
    if (!usable || !Update(kept, keys, window, mirrored)) {
        // Converted afresh into the kept pair (Update leaves it as it was when it fails).
        kept.keys.clear();
        kept.extracted.clear();
        kept.mirrored = mirrored;
        if (!Convert(keys, largeSize, smallSize, window, mirrored, kept.large, kept.small, &kept.extracted)) {
            kept.large.DeleteImageList();
            kept.small.DeleteImageList();
            kept.extracted.clear();
            return Convert(keys, largeSize, smallSize, window, mirrored, large, small);
        }
        kept.keys = keys;
    }
    if (large.Create(&kept.large) && small.Create(&kept.small))
        return true;
    return Convert(keys, largeSize, smallSize, window, mirrored, large, small);
}

void CItemImageCache::Clear()
{
    for (Kept& kept : m_kept) {
        kept.large.DeleteImageList();
        kept.small.DeleteImageList();
        kept.keys.clear();
        kept.extracted.clear();
    }
}

int CItemImageCache::KeptImageLists() const
{
    int count = 0;
    for (const Kept& kept : m_kept)
        count += (kept.large.m_hImageList ? 1 : 0) + (kept.small.m_hImageList ? 1 : 0);
    return count;
}
