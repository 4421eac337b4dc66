// The GIF entry of the format registry.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FormatRegistry.h"
#include "libs/codec/core/GifDecoder.h"

#include <algorithm>
#include <cstring>

namespace gifcore {

namespace {

bool sniffGif(const uint8_t* data, size_t size) {
    return size >= 6 && std::memcmp(data, "GIF8", 4) == 0 && (data[4] == '7' || data[4] == '9') &&
           data[5] == 'a';
}

// Bits per pixel of a table size: log2, 1 for 2 entries up to 8 for 256.
int16_t tableBits(uint16_t count) {
    int16_t bits = 1;
    while ((1u << bits) < count)
        ++bits;
    return bits;
}

int32_t gifInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    GifScreen screen;
    GifSummary summary;
    const int32_t rc = scanGif(data, size, screen, summary);
    if (rc != PVE_OK) return rc;
    out.width = screen.width;
    out.height = screen.height;
    const uint16_t colours = screen.global.count ? screen.global.count : summary.firstLocalColors;
    out.bitsPerPixel = colours ? tableBits(colours) : 8;
    out.value1 = int16_t(std::min<int32_t>(summary.imageCount, INT16_MAX));
    out.value2 = summary.firstInterlaced ? 1 : 0;
    out.description = "LZW";
    return PVE_OK;
}

} // namespace

const FormatEntry& gifFormat() {
    static const FormatEntry entry{"GIF", "gif", sniffGif, gifInfo};
    return entry;
}

} // namespace gifcore
