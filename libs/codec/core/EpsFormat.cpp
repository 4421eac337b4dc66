// The EPS entry of the format registry. fileinfo values: width, height and
// bits per pixel of the TIFF preview (without one: the bounding box in
// points and 0 bits); Value1 = 1 when a TIFF preview is present, Value2 =
// 1 when a WMF preview is; description "TIFF PREVIEW" or "POSTSCRIPT".
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/EpsDecoder.h"
#include "libs/codec/core/FormatRegistry.h"

namespace gifcore {

namespace {

int32_t epsInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    EpsInfo info;
    const int32_t rc = readEpsInfo(data, size, info);
    if (rc != PVE_OK) return rc;
    out.width = info.width;
    out.height = info.height;
    out.bitsPerPixel = int16_t(info.bitsPerPixel);
    out.value1 = info.hasTiff ? 1 : 0;
    out.value2 = info.hasWmf ? 1 : 0;
    out.description = info.hasTiff ? "TIFF PREVIEW" : "POSTSCRIPT";
    return PVE_OK;
}

} // namespace

const FormatEntry& epsFormat() {
    static const FormatEntry entry{"EPS", "eps;epsf;epi;ept", isEps, epsInfo};
    return entry;
}

} // namespace gifcore
