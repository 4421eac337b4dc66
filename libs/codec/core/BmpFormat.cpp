// The BMP entry of the format registry. fileinfo values: bits per pixel as
// stored (1, 2, 4, 8, 16, 24 or 32); value1 = entries of the colour table
// (0 for true colour); value2 = 1 when the rows are stored top-down;
// description = the compression ("NONE", "RLE8", "RLE4", "BITFIELDS").
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/BmpDecoder.h"
#include "libs/codec/core/FormatRegistry.h"

namespace gifcore {

namespace {

int32_t bmpInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    BmpLayout layout;
    const int32_t rc = readBmpLayout(data, size, layout);
    if (rc != PVE_OK) return rc;
    out.width = layout.width;
    out.height = layout.height;
    out.bitsPerPixel = int16_t(layout.bits);
    out.value1 = int16_t(layout.colors.size());
    out.value2 = layout.topDown ? 1 : 0;
    out.description = bmpCompressionText(layout.compression);
    return PVE_OK;
}

} // namespace

const FormatEntry& bmpFormat() {
    static const FormatEntry entry{"BMP", "bmp;dib;rle", isBmp, bmpInfo};
    return entry;
}

} // namespace gifcore
