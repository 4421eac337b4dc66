#pragma once
// The TIFF library's C boundary (libq3tif32.so), the same rules as the
// codec's (PvCodec.h): int32_t results, > 0 success, a negative code whose
// text is string (uint16_t)code of the module's table (PVLoadString).
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
