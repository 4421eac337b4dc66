#pragma once
// Palette and grey pages read as raw samples into an indexed DIB at their
// own depth (no detour through 32-bit RGBA).
#include "libs/tiff/core/TiffDecoder.h"

#include <tiffio.h>

namespace tifcore {

// The DIB depth an indexed read gives (1, 4 or 8), or 0 when the layout is
// not one for the indexed path: one unsigned sample of 1/2/4/8 bits that is
// grey or palette, or 16-bit grey (kept as its high byte).
int32_t indexedDibBits(uint16_t photometric, uint16_t bitsPerSample, uint16_t samples,
                       uint16_t sampleFormat);

// Reads the current directory strip by strip or tile by tile into a new DIB
// of dibBits. TE_UNSUPPORTED when the tile geometry does not allow a
// byte-aligned copy (the caller then uses the RGBA reader).
int32_t decodeIndexed(TIFF* tif, uint16_t photometric, uint16_t bitsPerSample, int32_t dibBits,
                      const TiffProgress& progress, zp::GlobalBlock& out);

} // namespace tifcore
