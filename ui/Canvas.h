// Bitmaps to draw in memory with: the decoration's canvases and its artwork.
//
// They are DIB sections, the process's own memory. Under Wine a bitmap made
// for the display (CreateCompatibleBitmap, LoadBitmap) belongs to the display
// driver, and making one or selecting it into a DC is a round trip to the
// window server each time; a DIB section costs none. What is drawn on them
// and copied to the window comes out the same.
#pragma once

#include "framework/afxgdi.h"

// A 32-bit canvas of width x height (contents undefined until drawn).
BOOL CreateCanvas(CBitmap& bitmap, int width, int height);
// Whether `bitmap` holds a bitmap of width x height.
bool IsCanvasOf(const CBitmap& bitmap, int width, int height);
// Keeps `bitmap` as a canvas of width x height: the one it holds when that
// has the size (contents as last drawn), else a new one.
BOOL KeepCanvas(CBitmap& bitmap, int width, int height);
// Bitmap resource `id` of the resource module.
BOOL LoadArtwork(CBitmap& bitmap, UINT id);

// In a mirrored window (right to left) a DC's x axis runs from the right.
// A memory DC that draws for `target` is given the same layout, so that the
// same coordinates and texts come out there as on the target, and what it
// holds is copied across unflipped. The same for a memory DC holding a
// picture (a logo, a photograph, a sign with letters) to copy onto target:
// it is drawn the right way round (a copy from an unmirrored DC would flip it).
void MatchLayout(CDC& memory, HDC target);
// DrawText's reading-order flag for text drawn on dc: right to left where
// the DC is mirrored, otherwise none.
UINT ReadingOrderFlag(HDC dc);
// Text that `control` draws on dc reads in the order the control's style
// gives: right to left when it has WS_EX_RTLREADING. Wine's static control
// and list view draw their texts left to right whatever that style says, yet
// follow the DC's reading order (TA_RTLREADING); Windows' controls follow the
// style themselves, and the DC's order agrees with it.
void MatchReadingOrder(HDC dc, HWND control);
