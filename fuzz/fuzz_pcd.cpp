// libFuzzer target: the Photo CD decoder over arbitrary bytes at each of
// the three resolutions.
#include "libs/codec/core/PcdDecoder.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (int16_t mode = 0; mode < 3; ++mode) {
        gifcore::StillOptions options;
        options.pcdMode = mode;
        zp::GlobalBlock out;
        gifcore::decodePcd(data, size, options, gifcore::Progress(nullptr, nullptr), out);
    }
    return 0;
}
