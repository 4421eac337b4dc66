// libFuzzer target: the BMP decoder over arbitrary bytes, as the codec's
// entry points call it (DIB built and freed).
#include "FuzzStill.h"
#include "libs/codec/core/BmpDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzstill::runLimited(data, size, gifcore::decodeBmpFile);
}
