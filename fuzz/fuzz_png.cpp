// libFuzzer target: the PNG decoder (libpng from memory) over arbitrary
// bytes, building and freeing the DIB as the entry points do.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/PngDecoder.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace {

// A smaller pixel limit than the codec's keeps each run fast; the checks
// exercised are the same.
constexpr uint64_t kMaxPixels = uint64_t(1) << 22;

int16_t keepGoing(int16_t, void*) {
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gifcore::PngHeader header;
    if (gifcore::readPngHeader(data, size, header) == PVE_OK &&
        uint64_t(header.width) * uint64_t(header.height) > kMaxPixels)
        return 0;
    zp::GlobalBlock out;
    gifcore::decodePng(data, size, {}, gifcore::Progress(keepGoing, nullptr), out);
    return 0;
}
