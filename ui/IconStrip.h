// Icons taken into an image list in one batch.
//
// Each icon is read into a 32-bit strip, with its mask in a 1-bit strip, the
// way ImageList_ReplaceIcon takes it into a 32-bit image list with a mask:
// the colour and mask bits of the icon at the list's size (the icon itself
// when it has that size, otherwise its copy at that size, reloaded from its
// resource when it came from one). AddTo then appends all of them with one
// ImageList_Add, which puts each image where one ReplaceIcon per icon would
// have put it, pixel for pixel, for a fraction of the work (under Wine,
// ReplaceIcon costs some forty round trips to the server per icon). An icon
// that cannot be taken this way is left for ReplaceIcon at its index.
#pragma once

#include "framework/afxcmn.h"
#include "framework/afxgdi.h"

#include <vector>

class CIconStrip {
public:
    // Room for `count` images of size x size; `mirrored`: each image is taken
    // flipped left to right, for a list in a mirrored window, whose drawing
    // flips it back the right way round.
    CIconStrip(int size, int count, bool mirrored = false);
    CIconStrip(const CIconStrip&) = delete;
    CIconStrip& operator=(const CIconStrip&) = delete;

    // Whether the strips could be made.
    bool Ok() const { return m_pColor != nullptr && m_pMask != nullptr; }
    // Takes `icon` as image k; false when it must go through ReplaceIcon
    // (no icon, no 32-bit colour bitmap, or its bits could not be read).
    bool Put(int k, HICON icon);
    // Appends every image to `list`; the index of the first, or -1.
    int AddTo(CImageList& list);
    // Puts the one image of a strip of one at `index` of `list`.
    bool ReplaceIn(CImageList& list, int index);

private:
    bool PutBits(int k, const ICONINFO& info);

    int m_nSize;
    int m_nCount;
    bool m_bMirrored;
    CDC m_dc;  // reads the icons' bits
    CBitmap m_color;
    CBitmap m_mask;
    DWORD* m_pColor = nullptr;
    BYTE* m_pMask = nullptr;
};

// Flips image `index` of `list` left to right in place; false when it could not.
bool MirrorImage(CImageList& list, int index);

