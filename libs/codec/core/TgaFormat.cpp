// The TGA entry of the format registry. fileinfo values: value1 = image
// type (1, 2, 3 plain; 9, 10, 11 run-length), value2 = origin bits of the
// descriptor (1 = right to left, 2 = top down); bits per pixel as stored.
//
// TGA has no signature. The sniffer accepts a file only when the footer
// "TRUEVISION-XFILE." is there or every header field is one a writer
// would produce (zeroed map fields without a map, a known type and depth,
// reserved descriptor bits clear); other TGA files are found by extension.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FormatRegistry.h"
#include "libs/codec/core/TgaDecoder.h"

#include <cstring>

namespace gifcore {

namespace {

bool hasFooter(const uint8_t* data, size_t size) {
    static constexpr char kFooter[] = "TRUEVISION-XFILE.";
    return size >= kTgaHeaderSize + 26 && std::memcmp(data + size - 18, kFooter, 18) == 0;
}

bool sniffTga(const uint8_t* data, size_t size) {
    TgaHeader h;
    if (parseTgaHeader(data, size, h) != PVE_OK) return false;
    if (hasFooter(data, size)) return true;
    if (h.descriptor & 0xC0) return false;
    if (h.colorMapType == 0 && (h.mapFirst || h.mapLength || h.mapEntryBits)) return false;
    const uint8_t alpha = h.descriptor & 0x0F;
    return alpha <= 8 && (h.pixelBits == 32 || h.pixelBits == 16 || alpha == 0);
}

int32_t tgaInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    TgaHeader h;
    const int32_t rc = parseTgaHeader(data, size, h);
    if (rc != PVE_OK) return rc;
    out.width = h.width;
    out.height = h.height;
    out.bitsPerPixel = h.pixelBits;
    out.value1 = h.imageType;
    out.value2 = int16_t((h.descriptor >> 4) & 3);
    out.description = h.rle() ? "RLE" : "NONE";
    return PVE_OK;
}

} // namespace

const FormatEntry& tgaFormat() {
    static const FormatEntry entry{"TGA", "tga;vda;icb;vst", sniffTga, tgaInfo};
    return entry;
}

} // namespace gifcore
