// rdgiffiledib and readgiffile: the first image of a GIF file as a still
// picture on its logical screen.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/GifCanvas.h"
#include "libs/codec/core/GifDecoder.h"
#include "libs/codec/core/StillReader.h"

#include <algorithm>

namespace {

class FirstImageSink final : public gifcore::GifSink {
  public:
    explicit FirstImageSink(const gifcore::Progress& progress) : progress_(progress) {}

    zp::GlobalBlock picture;
    int32_t imageCount = 0;
    int32_t error = PVE_OK;

    bool onStart(const gifcore::GifScreen&, const gifcore::GifSummary& summary) override {
        imageCount = summary.imageCount;
        return true;
    }
    bool onImage(const gifcore::GifScreen& screen, const gifcore::GifImage& image) override {
        picture.adopt(gifcore::composeOnScreen(screen, image));
        if (!picture) error = PVE_NO_MEMORY;
        return false; // the rest of the file is not needed
    }
    bool onProgress(int32_t percent) override { return progress_.report(std::min(percent, 99)); }

  private:
    const gifcore::Progress& progress_;
};

int32_t decodeFirstImage(const uint8_t* data, size_t size, const gifcore::StillOptions& options,
                         const gifcore::Progress& progress, zp::GlobalBlock& out) {
    FirstImageSink sink(progress);
    gifcore::GifDecoder decoder;
    const int32_t result = decoder.decode(data, size, sink);
    if (sink.error != PVE_OK) return sink.error;
    if (!sink.picture) return result == PVE_OK ? PVE_NO_IMAGE : result;
    if (options.imageCount) *options.imageCount = sink.imageCount;
    out = std::move(sink.picture);
    return PVE_OK;
}

} // namespace

PVCODEC_API int32_t rdgiffiledib(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                 uintptr_t* palette, void* user, PVProgressCallback cb,
                                 int16_t /*zero*/) {
    return gifcore::readStillToDib(&decodeFirstImage, {}, file, bits, dither, dib, palette, user,
                                   cb);
}

PVCODEC_API int32_t readgiffile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/, int16_t* imageCount) {
    int32_t count = 0;
    gifcore::StillOptions options;
    options.imageCount = &count;
    const int32_t rc = gifcore::readStillToBitmap(&decodeFirstImage, options, file, bits, dither,
                                                  bitmap, palette, user, cb);
    if (rc == PVE_OK && imageCount) *imageCount = int16_t(std::min<int32_t>(count, INT16_MAX));
    return rc;
}
