#pragma once
// What every still-image reader of the codec shares: read the file, decode
// it to a packed DIB at its stored depth, bring it to the depth asked for
// (0 = as stored, 1, 4, 8, 24; dithered when asked), and hand it out as a
// DIB or as a device bitmap with its palette. A format supplies only its
// decode function.
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/Progress.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

// Progress of the readers: the imagecore one (1 = go on, 0 = stop).
using Progress = ic::Progress;

// Format-specific choices passed through from the entry points.
struct StillOptions {
    int16_t pcdMode = 2;           // Photo CD: 0 = 192 x 128, 1 = 384 x 256, 2 = 768 x 512
    int32_t* imageCount = nullptr; // when set, receives the number of images in the file
};

// Decodes the whole file in data into out (a packed DIB of 1, 4, 8 or 24
// bits). Answers PVE_OK or a negative CodecError; reports progress 0..99
// and stops with PVE_CANCELLED when told to.
using StillDecodeFn = int32_t (*)(const uint8_t* data, size_t size, const StillOptions& options,
                                  const Progress& progress, zp::GlobalBlock& out);

// Bodies of the two entry-point forms. Both validate their arguments, catch
// every exception and report progress 100 at the end.
int32_t readStillToDib(StillDecodeFn decode, const StillOptions& options, const char* file,
                       int32_t bits, int32_t dither, uintptr_t* dib, uintptr_t* palette, void* user,
                       PVProgressCallback cb);
int32_t readStillToBitmap(StillDecodeFn decode, const StillOptions& options, const char* file,
                          int32_t bits, int32_t dither, uintptr_t* bitmap, uintptr_t* palette,
                          void* user, PVProgressCallback cb);

// Decode + depth conversion into a DIB block (used by the two above).
int32_t readStill(StillDecodeFn decode, const StillOptions& options, const char* file, int32_t bits,
                  int32_t dither, const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore
