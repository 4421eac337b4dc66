// The PNG entry of the format registry. fileinfo values: bits per pixel =
// bit depth x channels (palette: its index depth); Value1 = 1 when the
// image is Adam7-interlaced; Value2 = the PNG colour type (0 grey, 2 RGB,
// 3 palette, 4 grey + alpha, 6 RGBA); description "DEFLATE".
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FormatRegistry.h"
#include "libs/codec/core/PngDecoder.h"

namespace gifcore {

namespace {

int32_t pngInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    PngHeader header;
    const int32_t rc = readPngHeader(data, size, header);
    if (rc != PVE_OK) return rc;
    out.width = header.width;
    out.height = header.height;
    out.bitsPerPixel = int16_t(header.bitDepth * header.channels);
    out.value1 = header.interlaced ? 1 : 0;
    out.value2 = int16_t(header.colourType);
    out.description = "DEFLATE";
    return PVE_OK;
}

} // namespace

const FormatEntry& pngFormat() {
    static const FormatEntry entry{"PNG", "png", isPng, pngInfo};
    return entry;
}

} // namespace gifcore
