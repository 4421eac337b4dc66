// libFuzzer target: the JPEG decoder (libjpeg-turbo from memory) over
// arbitrary bytes, building and freeing the DIB as the entry points do.
#include "FuzzStill.h"
#include "libs/codec/core/JpegDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzstill::runProbed(data, size, gifcore::readJpegHeader, gifcore::decodeJpeg);
}
