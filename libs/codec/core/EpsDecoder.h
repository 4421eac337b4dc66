#pragma once
// EPS: the TIFF preview of a DOS EPS binary file (header C5 D0 D3 C6 with
// the offsets and lengths of its PostScript, WMF and TIFF sections),
// decoded by libtiff from memory into a 24-bit DIB (alpha composited over
// white). PostScript itself is not rendered: a file without a TIFF preview
// is refused with PVE_EPS_NO_PREVIEW.
#include "libs/codec/core/StillReader.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace gifcore {

struct EpsSections {
    uint32_t postScriptOffset = 0, postScriptLength = 0;
    uint32_t wmfOffset = 0, wmfLength = 0;
    uint32_t tiffOffset = 0, tiffLength = 0;
};

// True for a DOS EPS binary header or a PostScript file saying EPSF.
bool isEps(const uint8_t* data, size_t size);

// Reads and checks the binary header: every section inside the file.
// PVE_EPS_NOT when data has no binary header, PVE_EPS_BAD_HEADER when a
// section lies outside it.
int32_t readEpsSections(const uint8_t* data, size_t size, EpsSections& out);

struct EpsInfo {
    int32_t width = 0; // TIFF preview pixels, else the bounding box in points
    int32_t height = 0;
    int32_t bitsPerPixel = 0; // of the preview; 0 without one
    bool hasTiff = false;
    bool hasWmf = false;
};

int32_t readEpsInfo(const uint8_t* data, size_t size, EpsInfo& out);

int32_t decodeEps(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore
