#pragma once
// Truevision TGA pictures: colour-mapped (8-bit indices into a map of 15,
// 16, 24 or 32-bit entries), true colour (15, 16, 24, 32 bits), grey (8
// bits, or 16 bits grey + alpha), each plain or run-length coded, in any of
// the four origins. Alpha is dropped.
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

constexpr size_t kTgaHeaderSize = 18;

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t colorMapType = 0;
    uint8_t imageType = 0; // 1, 2, 3 plain; 9, 10, 11 run-length
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntryBits = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t pixelBits = 0;
    uint8_t descriptor = 0;
    bool rle() const { return imageType >= 9; }
    bool topDown() const { return (descriptor & 0x20) != 0; }
    bool rightToLeft() const { return (descriptor & 0x10) != 0; }
    size_t mapOffset() const { return kTgaHeaderSize + idLength; }
    size_t mapBytes() const { return size_t(mapLength) * ((mapEntryBits + 7u) / 8u); }
};

// Checks and reads the header: types, depths, the colour map's place in the
// file. Answers PVE_OK, PVE_TGA_HEADER, PVE_TGA_TYPE, PVE_TGA_COLORMAP or
// PVE_TOO_LARGE.
int32_t parseTgaHeader(const uint8_t* data, size_t size, TgaHeader& out);

// The picture as a packed DIB: 8 bits for colour-mapped and grey pictures,
// 24 bits for true colour.
int32_t decodeTga(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore
