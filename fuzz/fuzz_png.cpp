// libFuzzer target: the PNG decoder (libpng from memory) over arbitrary
// bytes, building and freeing the DIB as the entry points do.
#include "FuzzStill.h"
#include "libs/codec/core/PngDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzstill::runProbed(data, size, gifcore::readPngHeader, gifcore::decodePng);
}
