// libFuzzer target: the EPS reader (DOS EPS header, TIFF preview through
// libtiff from memory) over arbitrary bytes, and its fileinfo scan.
#include "FuzzStill.h"
#include "libs/codec/core/EpsDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzstill::runProbed(data, size, gifcore::readEpsInfo, gifcore::decodeEps);
}
