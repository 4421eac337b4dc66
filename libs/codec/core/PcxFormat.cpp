// The PCX entry of the format registry. fileinfo values: value1 = number of
// colour planes, value2 = header version (0, 2, 3, 4 or 5); bits per pixel
// is bits per plane times planes as stored (1 to 32).
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FormatRegistry.h"
#include "libs/codec/core/PcxDecoder.h"

namespace gifcore {

namespace {

// PCX has a one-byte signature; the version, encoding, depth and window
// checks of the header make it a usable sniff.
bool sniffPcx(const uint8_t* data, size_t size) {
    PcxHeader h;
    const int32_t rc = parsePcxHeader(data, size, h);
    return rc == PVE_OK || rc == PVE_TOO_LARGE;
}

int32_t pcxInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    PcxHeader h;
    const int32_t rc = parsePcxHeader(data, size, h);
    if (rc != PVE_OK) return rc;
    out.width = h.width;
    out.height = h.height;
    out.bitsPerPixel = int16_t(h.bitsPerPixel * h.planes);
    out.value1 = h.planes;
    out.value2 = h.version;
    out.description = h.encoding ? "RLE" : "NONE";
    return PVE_OK;
}

} // namespace

const FormatEntry& pcxFormat() {
    static const FormatEntry entry{"PCX", "pcx", sniffPcx, pcxInfo};
    return entry;
}

} // namespace gifcore
