#include "libs/codec/core/BmpHeader.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/Dib.h"

#include <algorithm>
#include <cstring>

namespace gifcore {

namespace {

enum class HeaderKind { Core, Os2, Windows };

bool headerKind(uint32_t size, HeaderKind& kind) {
    if (size == 12) {
        kind = HeaderKind::Core;
    } else if (size == 40 || size == 52 || size == 56 || size == 108 || size == 124) {
        kind = HeaderKind::Windows;
    } else if (size >= 16 && size <= 64) {
        kind = HeaderKind::Os2; // OS/2 2.x writers may cut the 64-byte header short
    } else if (size > 124 && size <= 4096) {
        kind = HeaderKind::Windows; // a later revision: the fields we read keep their places
    } else {
        return false;
    }
    return true;
}

bool validDepth(int32_t bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
           bits == 32;
}

// Maps the stored compression code; returns an error code or PVE_OK.
int32_t compressionOf(HeaderKind kind, uint32_t code, int32_t bits, BmpLayout& out) {
    switch (code) {
    case 0:
        out.compression = BmpCompression::None;
        return PVE_OK;
    case 1:
        out.compression = BmpCompression::Rle8;
        return bits == 8 ? PVE_OK : PVE_BMP_HEADER;
    case 2:
        out.compression = BmpCompression::Rle4;
        return bits == 4 ? PVE_OK : PVE_BMP_HEADER;
    case 3:
    case 6:                                                          // BI_ALPHABITFIELDS
        if (kind != HeaderKind::Windows) return PVE_BMP_COMPRESSION; // OS/2: Huffman 1D, RLE24
        out.compression = BmpCompression::BitFields;
        return bits == 16 || bits == 32 ? PVE_OK : PVE_BMP_MASKS;
    default: // 4, 5: embedded JPEG / PNG; OS/2 4: RLE24; the rest unknown
        return PVE_BMP_COMPRESSION;
    }
}

} // namespace

const char* bmpCompressionText(BmpCompression c) {
    switch (c) {
    case BmpCompression::Rle8:
        return "RLE8";
    case BmpCompression::Rle4:
        return "RLE4";
    case BmpCompression::BitFields:
        return "BITFIELDS";
    case BmpCompression::None:
        break;
    }
    return "NONE";
}

uint64_t bmpStride(int32_t width, int32_t bits) {
    return (uint64_t(width) * uint64_t(bits) + 31) / 32 * 4;
}

int32_t parseBmpHeader(const uint8_t* data, size_t size, uint64_t pixelOffset, BmpLayout& out) {
    out = BmpLayout{};
    if (size < 12) return PVE_BMP_HEADER;
    const uint32_t headerSize = le32(data);
    HeaderKind kind;
    if (!headerKind(headerSize, kind) || headerSize > size) return PVE_BMP_HEADER;
    out.headerSize = headerSize;

    // Short OS/2 headers leave the later fields zero.
    uint8_t h[64] = {};
    std::memcpy(h, data, std::min<size_t>(headerSize, sizeof h));
    int64_t height = 0;
    uint16_t planes = 0;
    if (kind == HeaderKind::Core) {
        out.width = le16(h + 4);
        height = le16(h + 6);
        planes = le16(h + 8);
        out.bits = le16(h + 10);
    } else {
        out.width = int32_t(le32(h + 4));
        height = int32_t(le32(h + 8));
        planes = le16(h + 12);
        out.bits = le16(h + 14);
    }
    if (planes != 1 || !validDepth(out.bits)) {
        // 64 bits per pixel and embedded JPEG/PNG (bit count 0) are real, if
        // rare, forms; say so rather than "corrupt".
        const uint32_t code = kind == HeaderKind::Windows ? le32(h + 16) : 0;
        const bool embedded = out.bits == 0 && (code == 4 || code == 5);
        return planes == 1 && (out.bits == 64 || embedded) ? PVE_BMP_COMPRESSION : PVE_BMP_HEADER;
    }
    if (out.width <= 0 || height == 0 || height == INT32_MIN) return PVE_BMP_HEADER;
    out.topDown = height < 0;
    height = height < 0 ? -height : height;
    if (out.width > ic::kMaxSide || height > ic::kMaxSide) return PVE_TOO_LARGE;
    out.height = int32_t(height);
    const int32_t outBits = out.bits > 8 ? 24 : (out.bits == 2 ? 4 : out.bits);
    if (uint64_t(ic::dibStride(out.width, outBits)) * uint64_t(out.height) > ic::kMaxPixelBytes)
        return PVE_TOO_LARGE;

    uint64_t tableStart = headerSize;
    uint32_t colorsUsed = 0;
    if (kind != HeaderKind::Core) {
        const int32_t rc = compressionOf(kind, le32(h + 16), out.bits, out);
        if (rc != PVE_OK) return rc;
        out.dataSize = le32(h + 20);
        colorsUsed = le32(h + 32);
    }
    if (out.topDown && out.compression != BmpCompression::None &&
        out.compression != BmpCompression::BitFields)
        return PVE_BMP_RLE;

    if (out.compression == BmpCompression::BitFields) {
        const uint8_t* m = data + headerSize;
        uint64_t maskBytes = 0;
        if (headerSize >= 52) {
            m = data + 40;
        } else {
            maskBytes = le32(h + 16) == 6 ? 16 : 12;
            if (headerSize + maskBytes > size) return PVE_BMP_MASKS;
        }
        for (int i = 0; i < 3; ++i)
            out.masks[i] = le32(m + 4 * i);
        if (headerSize >= 56 || maskBytes == 16) out.alphaMask = le32(m + 12);
        tableStart += maskBytes;
        if (!out.masks[0] && !out.masks[1] && !out.masks[2]) return PVE_BMP_MASKS;
    } else if (out.bits == 16) {
        out.masks[0] = 0x7C00, out.masks[1] = 0x03E0, out.masks[2] = 0x001F;
    } else if (out.bits == 32) {
        out.masks[0] = 0xFF0000, out.masks[1] = 0xFF00, out.masks[2] = 0xFF;
    }

    out.tableStart = tableStart;
    const uint64_t entry = kind == HeaderKind::Core ? 3 : 4;
    uint64_t declared = colorsUsed;
    if (out.bits <= 8) {
        const uint64_t full = uint64_t(1) << out.bits;
        if (declared == 0 || declared > full) declared = full;
    }
    out.tableEnd = tableStart + declared * entry;
    if (out.bits > 8) return PVE_OK; // a table beside true colour is only a display hint

    uint64_t count = declared;
    // Writers disagree on the table length of OS/2 files; the pixel offset decides.
    if (pixelOffset >= tableStart + entry)
        count = std::min(count, (pixelOffset - tableStart) / entry);
    if (tableStart < size)
        count = std::min<uint64_t>(count, (size - tableStart) / entry);
    else
        count = 0;
    if (count == 0) return PVE_BMP_PALETTE;
    out.colors.resize(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* c = data + tableStart + i * entry;
        out.colors[size_t(i)] = RGBQUAD{c[0], c[1], c[2], 0};
    }
    return PVE_OK;
}

} // namespace gifcore
