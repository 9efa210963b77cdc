// The item list's icons, kept between fills as converted images.
//
// Converting an icon into an image list is the dear part of a list fill, so
// the images of each category are kept in a pair of image lists (large and
// small) together with what the existence test reported of each item's icon
// file: path, icon index, size and last-write time. A fill hands in the same
// description of its kept items and gets a new pair built from the kept one:
// unchanged files are copied, a file replaced on disk (other size or time) is
// extracted anew, images of dropped items are removed. Only an icon really
// extracted from its file is kept as that file's: where the window's icon
// stood in, the next fill tries the file again (it may have been held by
// another program for a moment). Image i of the new pair always belongs to
// key i. A list made afresh takes its icons in one batch (CIconStrip). At
// most one pair per category is kept, so the cache is bounded by the
// catalogue; it is freed with its owner.
#pragma once

#include <vector>

#include "framework/afxcmn.h"

struct ItemImageKey {
    CString file;   // the icon file, as the catalogue names it
    int index = 0;  // icon index in that file
    ULONGLONG size = 0;
    FILETIME written = {};
};

// The same file and icon: what the catalogue names, whatever its contents.
bool SameIcon(const ItemImageKey& a, const ItemImageKey& b);
// The same icon of the same file contents, as far as size and time tell.
bool SameImage(const ItemImageKey& a, const ItemImageKey& b);
// The key of an item's icon from what FindFirstFileW reported of its file.
ItemImageKey MakeItemImageKey(const CString& file, int index, const WIN32_FIND_DATAW& found);

// Icons extracted from files and not yet destroyed, for leak checks.
int LiveExtractedIcons();

class CItemImageCache {
public:
    static constexpr int kCategories = 5;

    // Makes `large` and `small` new image lists holding image i for keys[i],
    // sized `largeSize` and `smallSize`. A file that yields no icon gets the
    // big and small icons of `window` (WM_GETICON), which stay the window's.
    // Returns false when no image list could be made.
    bool Build(int category, const std::vector<ItemImageKey>& keys, int largeSize, int smallSize, HWND window,
               CImageList& large, CImageList& small);
    // Drops every kept image.
    void Clear();
    // Image lists held by the cache (for leak checks).
    int KeptImageLists() const;

private:
    struct Kept {
        CImageList large;
        CImageList small;
        std::vector<ItemImageKey> keys;
        std::vector<bool> extracted;  // per key: the file's own icon, not the window's
        bool mirrored = false;        // images flipped for a mirrored list
    };

    // Brings kept's images in line with keys, converting only what changed.
    bool Update(Kept& kept, const std::vector<ItemImageKey>& keys, HWND window, bool mirrored);
    // Fills empty lists with keys' images, each converted from its file;
    // notes in `extracted`, if given, which were the files' own.
    static bool Convert(const std::vector<ItemImageKey>& keys, int largeSize, int smallSize, HWND window, bool mirrored,
                        CImageList& large, CImageList& small, std::vector<bool>* extracted = nullptr);

    Kept m_kept[kCategories];
};
