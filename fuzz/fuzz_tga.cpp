// libFuzzer target: the TGA decoder over arbitrary bytes, as the codec's
// entry points call it.
#include "FuzzStill.h"
#include "libs/codec/core/TgaDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzstill::runProbed(data, size, gifcore::parseTgaHeader, gifcore::decodeTga);
}
