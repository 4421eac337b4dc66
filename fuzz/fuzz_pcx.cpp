// libFuzzer target: the PCX decoder over arbitrary bytes, as the codec's
// entry points call it.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/PcxDecoder.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace {
// A smaller picture limit than the codec's keeps each run fast; the checks
// exercised are the same.
constexpr uint64_t kMaxPixels = uint64_t(1) << 22;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gifcore::PcxHeader header;
    if (gifcore::parsePcxHeader(data, size, header) == PVE_OK &&
        uint64_t(header.width) * uint64_t(header.height) > kMaxPixels)
        return 0;
    zp::GlobalBlock out;
    gifcore::decodePcx(data, size, {}, gifcore::Progress(nullptr, nullptr), out);
    return 0;
}
