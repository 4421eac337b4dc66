#pragma once
// The information header of a BMP picture (Windows 40/52/56/108/124-byte,
// OS/2 12-byte core and 16..64-byte OS/2 2.x headers), its bit-field masks
// and colour table, read into one layout that the pixel decoder and the
// icon reader share.
#include "platform/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gifcore {

enum class BmpCompression { None, Rle8, Rle4, BitFields };

// "NONE", "RLE8", "RLE4" or "BITFIELDS" (fileinfo's description).
const char* bmpCompressionText(BmpCompression c);

struct BmpLayout {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0; // always positive
    bool topDown = false;
    int32_t bits = 0; // as stored: 1, 2, 4, 8, 16, 24 or 32
    BmpCompression compression = BmpCompression::None;
    uint32_t masks[3] = {0, 0, 0}; // red, green, blue for 16 and 32 bits
    uint32_t alphaMask = 0;        // only where the header carries one
    // For 1..8 bits: the file's table (at most 256 entries); empty otherwise.
    std::vector<RGBQUAD> colors;
    // Bytes from the start of the information header to the colour table
    // (after any masks) and to its end as the header declares it.
    uint64_t tableStart = 0;
    uint64_t tableEnd = 0;
    uint32_t dataSize = 0; // biSizeImage (0 = not given)
};

// Reads the information header at data (size bytes available up to the end
// of the file). pixelOffset is where the file header says the pixels start,
// counted from the information header (0 = unknown); a colour table that
// would run into the pixels is cut to what fits. Answers PVE_OK or one of
// PVE_BMP_HEADER, PVE_BMP_COMPRESSION, PVE_BMP_PALETTE, PVE_BMP_MASKS,
// PVE_BMP_RLE, PVE_TOO_LARGE.
int32_t parseBmpHeader(const uint8_t* data, size_t size, uint64_t pixelOffset, BmpLayout& out);

// Bytes of one stored row, padded to 4 bytes.
uint64_t bmpStride(int32_t width, int32_t bits);

inline uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
inline uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace gifcore
