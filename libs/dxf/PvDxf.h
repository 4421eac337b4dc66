#pragma once
// The DXF library's C boundary (libq3dxf32.so), the same rules as the
// codec's (PvCodec.h).
#include "libs/codec/PvCodec.h"

extern "C" {
// The size the drawing is rendered at (its aspect ratio, longest side
// fixed by the library) and its bits per pixel.
typedef int32_t (*PFN_getdxfinfo)(const char* file, int32_t* width, int32_t* height, int16_t* bits,
                                  int16_t zero);
// The drawing rendered black on white into a device bitmap with palette,
// at the depth asked (0 = as rendered, 1, 4, 8, 24).
typedef int32_t (*PFN_readdxftoddb)(const char* file, int32_t bits, int32_t dither,
                                    uintptr_t* bitmap, uintptr_t* palette, void* user,
                                    PVProgressCallback cb, int16_t zero);
}
