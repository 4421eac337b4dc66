// libFuzzer target: the EPS reader (DOS EPS header, TIFF preview through
// libtiff from memory) over arbitrary bytes, and its fileinfo scan.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/EpsDecoder.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace {

// A smaller pixel limit than the codec's keeps each run fast.
constexpr uint64_t kMaxPixels = uint64_t(1) << 22;

int16_t keepGoing(int16_t, void*) {
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gifcore::EpsInfo info;
    if (gifcore::readEpsInfo(data, size, info) == PVE_OK &&
        uint64_t(info.width) * uint64_t(info.height) > kMaxPixels)
        return 0;
    zp::GlobalBlock out;
    gifcore::decodeEps(data, size, {}, gifcore::Progress(keepGoing, nullptr), out);
    return 0;
}
