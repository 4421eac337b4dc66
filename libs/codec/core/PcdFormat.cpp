// The Photo CD entry of the format registry. fileinfo gives the base
// (768 x 512) picture as shown upright, 24 bits; value1 = quarter turns
// applied to bring it upright (0..3), value2 = how many of the three base
// resolutions the file holds whole.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FormatRegistry.h"
#include "libs/codec/core/PcdDecoder.h"

namespace gifcore {

namespace {

int32_t pcdInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    if (!isPcd(data, size)) return PVE_PCD_NOT;
    const bool sideways = pcdRotation(data, size) & 1;
    const PcdResolution& base = kPcdResolutions[2];
    out.width = sideways ? base.height : base.width;
    out.height = sideways ? base.width : base.height;
    out.bitsPerPixel = 24;
    out.value1 = int16_t(pcdRotation(data, size));
    out.value2 = int16_t(pcdHolds(size, 0) + pcdHolds(size, 1) + pcdHolds(size, 2));
    out.description = "YCC";
    return PVE_OK;
}

} // namespace

const FormatEntry& pcdFormat() {
    static const FormatEntry entry{"PCD", "pcd", isPcd, pcdInfo};
    return entry;
}

} // namespace gifcore
