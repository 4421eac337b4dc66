// libFuzzer target: the TIFF library's page decoder and page information
// over arbitrary bytes (libtiff reading from memory), first and second page.
#include "libs/tiff/core/TiffDecoder.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace {

// A smaller limit than the library's keeps each run fast; the checks
// exercised are the same.
constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 24;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tifcore::TiffPageInfo info;
    const int32_t rc = tifcore::readTiffInfo(data, size, 0, info);
    const int32_t pages = rc == 1 && info.pageCount > 1 ? 2 : 1;
    for (int32_t page = 0; page < pages; ++page) {
        zp::GlobalBlock out;
        tifcore::decodeTiffPage(data, size, page, tifcore::TiffProgress(nullptr, nullptr), out,
                                kMaxPixelBytes);
    }
    return 0;
}
