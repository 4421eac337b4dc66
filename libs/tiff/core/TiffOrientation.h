#pragma once
// The Orientation tag (274): where the stored rows and columns belong on
// screen. Pages are decoded in stored order and then turned upright, as
// image viewers and browsers show them; 5..8 store the picture transposed,
// so the upright page has width and height swapped.
#include "platform/GlobalBlock.h"

#include <cstdint>
#include <tiffio.h>

namespace tifcore {

// The current directory's orientation: 1..8, 1 when absent.
uint16_t orientationOf(TIFF* tif);

inline bool swapsSides(uint16_t orientation) {
    return orientation >= ORIENTATION_LEFTTOP && orientation <= ORIENTATION_LEFTBOT;
}

// Replaces a DIB in stored order by its upright form (same depth and
// table). False when memory runs out; the DIB is then left as it was.
bool orientUpright(zp::GlobalBlock& dib, uint16_t orientation);

} // namespace tifcore
