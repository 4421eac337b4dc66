// libFuzzer target: the icon and cursor decoder over arbitrary bytes (BMP
// entries with their masks; PNG entries reach the PNG reader).
#include "libs/codec/core/IcoDecoder.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr uint64_t kMaxPixels = uint64_t(1) << 22;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zp::GlobalBlock out;
    gifcore::decodeIcoFile(data, size, kMaxPixels, gifcore::Progress(nullptr, nullptr), out);
    return 0;
}
