#pragma once
// One page of a TIFF file (in memory) to a packed DIB. Palette and grey pages
// of 1, 2, 4 and 8 bits stay indexed (2 bits become a 4-bit DIB with four
// entries; 16-bit grey keeps its high byte as 8-bit grey); every other layout
// libtiff knows (RGB 8/16, RGBA, CMYK, YCbCr, LogLuv, ...) goes through
// libtiff's RGBA interface and becomes 24 bits, alpha composited over white.
#include "libs/codec/PvCodec.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>

namespace tifcore {

struct TiffPageInfo {
    int32_t width = 0;
    int32_t height = 0;
    int16_t bits = 0;        // stored bits per pixel: bits per sample x samples per pixel
    int16_t pageCount = 0;   // directories in the file
    int32_t compression = 0; // the TIFF compression code (1 none, 5 LZW, 7 JPEG ...)
};

// Progress through the caller's callback; report() answers false on stop.
class TiffProgress {
  public:
    TiffProgress(PVProgressCallback cb, void* user) : cb_(cb), user_(user) {}
    bool report(int32_t percent) const { return !cb_ || cb_(int16_t(percent), user_) != 0; }

  private:
    PVProgressCallback cb_;
    void* user_;
};

// Answers TE_OK or a negative TiffError.
int32_t readTiffInfo(const uint8_t* data, size_t size, int32_t page, TiffPageInfo& info);

// Decodes page `page` at its own depth (1, 4, 8 or 24 bits). maxPixels lets
// the fuzz target use a smaller limit than the library's 1 GiB.
int32_t decodeTiffPage(const uint8_t* data, size_t size, int32_t page, const TiffProgress& progress,
                       zp::GlobalBlock& out, uint64_t maxPixelBytes = 0);

} // namespace tifcore
