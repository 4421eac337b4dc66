#pragma once
// The TIFF library's C boundary (libq3tif32.so), the same rules as the
// codec's (PvCodec.h): int32_t results, > 0 success, a negative code whose
// text is string (uint16_t)code of the module's table (PVLoadString).
//
// Decisions of this implementation (libtiff underneath):
//  * page: 0-based directory index; outside 0 .. count - 1 fails with -5
//    ("The TIFF file has no page with that number."). Files with IFD loops
//    count only their distinct directories (libtiff detects the loop).
//  * getinfo's bits are the stored bits per pixel (bits per sample x samples
//    per pixel: 1, 4, 8, 16, 24, 32, 48 ...), not the depth delivered.
//  * At bits 0 palette and grey pages of 1, 4 and 8 bits stay indexed DIBs
//    of their depth (2-bit pages become 4-bit DIBs with 4 entries, 16-bit
//    grey an 8-bit grey DIB); everything else libtiff's RGBA interface reads
//    (RGB 8/16, CMYK, YCbCr, JPEG, old JPEG, LogLuv ...) becomes 24 bits with
//    alpha composited over white.
//  * Pages are delivered upright by their Orientation tag (all eight
//    values); for 5..8 width and height swap, in getinfo too.
//  * Above 65535 pixels a side or 1 GiB of pixels (in the DIB delivered):
//    -7, before allocation.
//  * Corrupt strips or tiles fail the page (-11) and name libtiff's reason
//    in the text; nothing partial is handed out. libtiff never prints.
//  * Errors -1 and -22 have the codec's meaning (the binding sets them).
#include "libs/codec/PvCodec.h"

extern "C" {
// Page `page` (0-based) of the file: size, bits per pixel, the file's page
// count and the page's TIFF compression code (1 none, 5 LZW, 32773 PackBits ...).
typedef int32_t (*PFN_getinfo)(const char* file, int16_t page, int32_t* width, int32_t* height,
                               int16_t* bits, int16_t* pageCount, int32_t* compression,
                               int16_t zero);
// A page as a device bitmap with palette / as a packed DIB, at the depth
// asked (0 = as stored, 1, 4, 8, 24).
typedef int32_t (*PFN_readtiffile)(const char* file, int16_t page, int32_t bits, int32_t dither,
                                   uintptr_t* bitmap, uintptr_t* palette, void* user,
                                   PVProgressCallback cb, int16_t zero);
typedef int32_t (*PFN_readtiffiledib)(const char* file, int16_t page, int32_t bits, int32_t dither,
                                      uintptr_t* dib, void* user, PVProgressCallback cb,
                                      int16_t zero);
}
