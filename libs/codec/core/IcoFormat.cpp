// The ICO entry of the format registry (icons and cursors). fileinfo values:
// width, height and bits per pixel of the image the reader shows (the
// largest, then deepest); value1 = number of images in the directory;
// value2 = 1 for a cursor (CUR), 0 for an icon; description = how that
// image is stored, "BMP" or "PNG".
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FormatRegistry.h"
#include "libs/codec/core/IcoDecoder.h"

#include <algorithm>

namespace gifcore {

namespace {

int32_t icoInfo(const uint8_t* data, size_t size, FormatInfo& out) {
    IcoDirectory dir;
    const int32_t rc = readIcoDirectory(data, size, dir);
    if (rc != PVE_OK) return rc;
    const IcoEntry& e = dir.entries[dir.chosen];
    out.width = e.width;
    out.height = e.height;
    out.bitsPerPixel = int16_t(std::clamp(e.bits, 0, 64));
    out.value1 = int16_t(dir.entries.size());
    out.value2 = dir.cursor ? 1 : 0;
    out.description = e.png ? "PNG" : "BMP";
    return PVE_OK;
}

} // namespace

const FormatEntry& icoFormat() {
    static const FormatEntry entry{"ICO", "ico;cur", isIco, icoInfo};
    return entry;
}

} // namespace gifcore
