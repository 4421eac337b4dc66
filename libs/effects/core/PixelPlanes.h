#pragma once
// Pixel areas of a DIB of any depth copied out as planes the resampler
// works on (top row first, tightly packed): BGR bytes, greys, or palette
// indices, and 24-bit DIB rows viewed in place.
#include "libs/effects/core/EffectJob.h"
#include "libs/effects/core/Resample.h"

#include <vector>

namespace fx {

// A plane that owns its pixels.
struct OwnedPlane {
    std::vector<uint8_t> pixels;
    Plane plane;
    OwnedPlane(int32_t width, int32_t height, int channels);
};

// The area's pixels as B, G, R bytes.
OwnedPlane bgrPlane(const ic::DibView& dib, const Rect& area);
// The area's luminance (Rec. 601) as one byte a pixel.
OwnedPlane greyPlane(const ic::DibView& dib, const Rect& area);
// The area's palette indices (1, 4 or 8 bits) as one byte a pixel.
OwnedPlane indexPlane(const ic::DibView& dib, const Rect& area);

// The rows of a DIB (any byte-aligned depth) as a plane, top row first,
// starting at pixel x0 of each row; bytesPerPixel 3 or 1.
Plane dibPlane(const ic::MutableDib& dib, int bytesPerPixel);
Plane dibPlane(const ic::DibView& dib, const Rect& area, int bytesPerPixel);

// Writes one-byte-a-pixel indices into a 1, 4 or 8-bit DIB.
void storeIndices(const Plane& indices, ic::MutableDib& dib);

} // namespace fx
