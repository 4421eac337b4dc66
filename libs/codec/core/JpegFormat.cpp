// The JPEG entry of the format registry. fileinfo values: bits per pixel =
// 8 x components (8 grey, 24 colour, 32 CMYK); Value1 = number of
// components; Value2 = 1 when progressive; description "JPEG" or
// "PROGRESSIVE JPEG".
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FormatRegistry.h"
#include "libs/codec/core/JpegDecoder.h"

namespace gifcore {

namespace {

int32_t jpegInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    JpegHeader header;
    const int32_t rc = readJpegHeader(data, size, header);
    if (rc != PVE_OK) return rc;
    out.width = header.width;
    out.height = header.height;
    out.bitsPerPixel = int16_t(8 * header.components);
    out.value1 = int16_t(header.components);
    out.value2 = header.progressive ? 1 : 0;
    out.description = header.progressive ? "PROGRESSIVE JPEG" : "JPEG";
    return PVE_OK;
}

} // namespace

const FormatEntry& jpegFormat() {
    static const FormatEntry entry{"JPEG", "jpg;jpeg;jpe;jfif", isJpeg, jpegInfo};
    return entry;
}

} // namespace gifcore
