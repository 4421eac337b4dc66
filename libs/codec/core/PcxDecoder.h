#pragma once
// ZSoft PCX pictures: 1, 2, 4 or 8 bits in one plane, 1 bit in 2 to 4
// planes (EGA) and 8 bits in 3 or 4 planes (true colour, a fourth alpha
// plane dropped), run-length coded or plain.
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

constexpr size_t kPcxHeaderSize = 128;

struct PcxHeader {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t version = 0;
    uint8_t encoding = 0; // 1 = run-length, 0 = plain
    uint8_t bitsPerPixel = 0;
    uint8_t planes = 0;
    uint16_t bytesPerLine = 0;
    const uint8_t* egaPalette = nullptr; // 16 RGB triples inside the header
};

// Checks and reads the 128-byte header. Answers PVE_OK, PVE_PCX_HEADER,
// PVE_PCX_LAYOUT or PVE_TOO_LARGE.
int32_t parsePcxHeader(const uint8_t* data, size_t size, PcxHeader& out);

// The picture as a packed DIB: 1 bit (1 x 1), 4 bits (2 x 1, 4 x 1 and the
// planar 1-bit layouts), 8 bits (8 x 1) or 24 bits (8 x 3, 8 x 4).
int32_t decodePcx(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore
