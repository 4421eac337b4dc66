#pragma once
// Kodak Photo CD image packs: the three base resolutions (192 x 128,
// 384 x 256, 768 x 512), stored uncompressed as PhotoYCC with 4:2:0 chroma;
// the higher resolutions are residuals and are not read.
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

// Where each base resolution lies in the file (sector 4, 23 and 96 of 2048
// bytes) and its stored size (landscape).
struct PcdResolution {
    size_t offset;
    int32_t width;
    int32_t height;
};
constexpr PcdResolution kPcdResolutions[3] = {
    {0x2000, 192, 128}, {0xB800, 384, 256}, {0x30000, 768, 512}};

// True when the image pack header "PCD_IPI" is at 0x800.
bool isPcd(const uint8_t* data, size_t size);
// Quarter turns counter-clockwise that bring the picture upright (0..3).
int32_t pcdRotation(const uint8_t* data, size_t size);
// True when the file holds the whole of resolution mode (0..2).
bool pcdHolds(size_t size, int32_t mode);

// The resolution options.pcdMode names, upright, as a 24-bit DIB.
int32_t decodePcd(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore
