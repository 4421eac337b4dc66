// libFuzzer target: the icon and cursor decoder over arbitrary bytes (BMP
// entries with their masks; PNG entries reach the PNG reader).
#include "FuzzStill.h"
#include "libs/codec/core/IcoDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzstill::runLimited(data, size, gifcore::decodeIcoFile);
}
