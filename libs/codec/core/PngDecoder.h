#pragma once
// PNG through libpng, from memory. Every colour type and depth: palette and
// grey stay indexed (2-bit becomes a 4-bit DIB, grey gets a grey table,
// grey + alpha an 8-bit grey DIB), 16-bit samples are scaled to 8, RGB and
// RGBA become 24 bits. Alpha (channel or tRNS) is composited over white,
// since a DIB has no transparency and the viewer shows pictures on white.
// Gamma and colour-profile chunks are not applied. A truncated PNG is
// refused (PVE_TRUNCATED): its rows could be shown, but the checksums that
// vouch for them were never read.
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

// True when data starts with the PNG signature.
bool isPng(const uint8_t* data, size_t size);

// Decodes the PNG in data into out (packed DIB of 1, 4, 8 or 24 bits).
// Answers PVE_OK or a negative CodecError; reports progress 0..99 per row
// chunk and answers PVE_CANCELLED when told to stop. Usable by other
// readers on a buffer inside their own file (PNG icon entries).
int32_t decodePng(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out);

struct PngHeader {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitDepth = 0;   // per sample, 1..16
    int32_t channels = 0;   // 1 for palette and grey
    int32_t colourType = 0; // PNG_COLOR_TYPE_*
    bool interlaced = false;
};

// Reads the header chunk only (fileinfo). PVE_OK or a negative CodecError.
int32_t readPngHeader(const uint8_t* data, size_t size, PngHeader& out);

} // namespace gifcore
