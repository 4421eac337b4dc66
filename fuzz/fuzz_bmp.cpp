// libFuzzer target: the BMP decoder over arbitrary bytes, as the codec's
// entry points call it (DIB built and freed).
#include "libs/codec/core/BmpDecoder.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace {

// A smaller pixel limit than the codec's keeps each run fast; the checks
// exercised are the same.
constexpr uint64_t kMaxPixels = uint64_t(1) << 22;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zp::GlobalBlock out;
    gifcore::decodeBmpFile(data, size, kMaxPixels, gifcore::Progress(nullptr, nullptr), out);
    return 0;
}
