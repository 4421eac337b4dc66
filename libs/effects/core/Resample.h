#pragma once
// Resizing of 24-bit (and 8-bit single-channel) pixel rows: area averaging
// along an axis that shrinks, bilinear interpolation along one that grows,
// done as two separable passes in fixed point. Used by ScaleDib,
// PVImageCopy's smoothing modes and ScaleToGray.
#include "libs/imagecore/Progress.h"

#include <cstddef>
#include <cstdint>

namespace fx {

// A block of pixel rows: `channels` bytes a pixel (1 or 3), rows `stride`
// bytes apart, row 0 at the top.
struct Plane {
    uint8_t* data = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    ptrdiff_t stride = 0;
    uint8_t* row(int32_t y) const { return data + stride * y; }
};

// Resizes src into dst (both of `channels` channels, sizes taken from the
// planes). False when memory runs out or the progress callback said stop.
bool resampleSmooth(const Plane& src, const Plane& dst, int channels,
                    const ic::Progress* progress = nullptr);

// How the pixels that one output pixel covers are combined without smoothing:
// the nearest one, or the bitwise AND / OR of all of them (keeps thin dark
// lines on light ground, or light lines on dark ground, when shrinking).
enum class ScanMode { Nearest, And, Or };

// Resizes without smoothing, channel bytes treated as raw values (works on
// palette indices of 8-bit rows, too).
bool resampleScans(const Plane& src, const Plane& dst, int channels, ScanMode mode,
                   const ic::Progress* progress = nullptr);

} // namespace fx
