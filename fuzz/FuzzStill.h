#pragma once
// What the still-image fuzz targets share: run one decoder over the input
// as the codec's entry points do (DIB built and freed), under a smaller
// pixel limit than the codec's so each run stays fast; the checks
// exercised are the same.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace fuzzstill {

constexpr uint64_t kMaxPixels = uint64_t(1) << 22;

inline int16_t keepGoing(int16_t, void*) {
    return 1;
}

// For a decoder without a pixel limit of its own: its header is read first
// and a picture above kMaxPixels is skipped (libjpeg, for one, decodes every
// row of a declared size even when the data is missing).
template <class Header>
int runProbed(const uint8_t* data, size_t size,
              int32_t (*readHeader)(const uint8_t*, size_t, Header&),
              gifcore::StillDecodeFn decode) {
    Header header;
    if (readHeader(data, size, header) == PVE_OK &&
        uint64_t(header.width) * uint64_t(header.height) > kMaxPixels)
        return 0;
    zp::GlobalBlock out;
    decode(data, size, {}, gifcore::Progress(keepGoing, nullptr), out);
    return 0;
}

// For a decoder that takes the pixel limit itself.
using LimitedDecodeFn = int32_t (*)(const uint8_t* data, size_t size, uint64_t maxPixels,
                                    const gifcore::Progress& progress, zp::GlobalBlock& out);

inline int runLimited(const uint8_t* data, size_t size, LimitedDecodeFn decode) {
    zp::GlobalBlock out;
    decode(data, size, kMaxPixels, gifcore::Progress(nullptr, nullptr), out);
    return 0;
}

} // namespace fuzzstill
