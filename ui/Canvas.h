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
// Bitmap resource `id` of the resource module.
BOOL LoadArtwork(CBitmap& bitmap, UINT id);
