#pragma once
// Conversions between packed DIBs of different depths and device bitmaps,
// shared by the codec's entry points and readers.
#include "libs/imagecore/Dib.h"

namespace ic {

// A new DIB of `bits` (1, 4, 8 or 24) bits per pixel holding the picture.
// Raising the depth copies colours exactly; lowering it keeps the palette
// when the picture's colours fit, else builds an optimal palette
// (Quantizer.h), dithered when asked. 0 on failure.
HGLOBAL convertDibDepth(const DibView& dib, int bits, bool dither);

// A device bitmap with the picture and, for 1/4/8-bit pictures, a palette
// made from the colour table (0 for 24 bits). False on failure (nothing leaked).
bool dibToDeviceBitmap(const DibView& dib, HBITMAP* bitmap, HPALETTE* palette);

// A new DIB of `bits` bits per pixel from a device bitmap. With a palette of
// at most 2^bits entries, pixels are mapped onto it (dithered when asked);
// otherwise an optimal palette is built. bits 24 copies the pixels. 0 on failure.
HGLOBAL deviceBitmapToDib(HBITMAP bitmap, HPALETTE palette, int bits, bool dither);

// A byte-for-byte copy of a DIB in a new block; 0 on failure.
HGLOBAL copyDib(const DibView& dib);

} // namespace ic
