// libFuzzer target: the DXF library's parser and rasteriser over arbitrary
// bytes (measure, then render to the 1-bit DIB).
#include "libs/dxf/core/DxfRender.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Lower caps than the library's keep each run fast; the checks are the same.
    const dxfcore::DxfLimits limits{20000, 200000, 2000000};
    int32_t width = 0, height = 0;
    dxfcore::measureDxf(data, size, width, height, limits);
    zp::GlobalBlock out;
    dxfcore::renderDxf(data, size, {}, out, limits);
    return 0;
}
