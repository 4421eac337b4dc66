// rdgiffiledib and readgiffile: the first image of a GIF file as a still
// picture on its logical screen.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/FileBytes.h"
#include "libs/codec/core/GifCanvas.h"
#include "libs/codec/core/GifDecoder.h"
#include "libs/imagecore/DibConvert.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

class FirstImageSink final : public gifcore::GifSink {
  public:
    FirstImageSink(PVProgressCallback cb, void* user) : cb_(cb), user_(user) {}

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
    bool onProgress(int32_t percent) override { return progress(percent); }
    bool progress(int32_t percent) { return !cb_ || cb_(int16_t(percent), user_) != 0; }

  private:
    PVProgressCallback cb_;
    void* user_;
};

bool validDepth(int32_t bits) {
    return bits == 0 || bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

// Decodes the first image and brings it to the depth asked for.
int32_t readFirstImage(const char* file, int32_t bits, int32_t dither, PVProgressCallback cb,
                       void* user, zp::GlobalBlock& out, int32_t& imageCount) {
    if (!file) return PVE_BAD_ARGUMENT;
    if (!validDepth(bits)) return PVE_BAD_DEPTH;
    std::vector<uint8_t> bytes;
    const int32_t rc = gifcore::readFileBytes(file, bytes);
    if (rc != PVE_OK) return rc;
    FirstImageSink sink(cb, user);
    gifcore::GifDecoder decoder;
    const int32_t result = decoder.decode(bytes.data(), bytes.size(), sink);
    if (sink.error != PVE_OK) return sink.error;
    if (!sink.picture) return result == PVE_OK ? PVE_NO_IMAGE : result;
    imageCount = sink.imageCount;

    zp::GlobalLockGuard lock(sink.picture.get());
    ic::DibView view;
    if (!lock || !ic::parseDib(lock.data(), sink.picture.size(), view)) return PVE_INTERNAL;
    if (bits != 0 && bits != view.bpp) {
        out.adopt(ic::convertDibDepth(view, bits, dither != 0));
        if (!out) return PVE_NO_MEMORY;
    } else {
        out = std::move(sink.picture);
    }
    if (!sink.progress(100)) return PVE_CANCELLED;
    return PVE_OK;
}

// A GDI palette of the DIB's table; 0 for a true-colour DIB.
HPALETTE paletteOf(const ic::DibView& view) {
    if (!view.colors || view.colorCount == 0) return 0;
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + view.colorCount * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = uint16_t(view.colorCount);
    for (uint32_t i = 0; i < view.colorCount; ++i) {
        const RGBQUAD& c = view.colors[i];
        log->palPalEntry[i] = PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
    }
    return CreatePalette(log);
}

} // namespace

PVCODEC_API int32_t rdgiffiledib(const char* file, int32_t bits, int32_t dither, uintptr_t* dib,
                                 uintptr_t* palette, void* user, PVProgressCallback cb,
                                 int16_t /*zero*/) {
    if (!dib) return PVE_BAD_ARGUMENT;
    try {
        zp::GlobalBlock picture;
        int32_t count = 0;
        const int32_t rc = readFirstImage(file, bits, dither, cb, user, picture, count);
        if (rc != PVE_OK) return rc;
        if (palette) {
            zp::GlobalLockGuard lock(picture.get());
            ic::DibView view;
            if (!lock || !ic::parseDib(lock.data(), picture.size(), view)) return PVE_INTERNAL;
            *palette = paletteOf(view);
            if (view.colorCount && !*palette) return PVE_NO_MEMORY;
        }
        *dib = picture.release();
        return PVE_OK;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

PVCODEC_API int32_t readgiffile(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                uintptr_t* palette, void* user, PVProgressCallback cb,
                                int16_t /*zero*/, int16_t* imageCount) {
    if (!bitmap || !palette) return PVE_BAD_ARGUMENT;
    try {
        zp::GlobalBlock picture;
        int32_t count = 0;
        const int32_t rc = readFirstImage(file, bits, dither, cb, user, picture, count);
        if (rc != PVE_OK) return rc;
        zp::GlobalLockGuard lock(picture.get());
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), picture.size(), view)) return PVE_INTERNAL;
        HBITMAP made = 0;
        HPALETTE madePalette = 0;
        if (!ic::dibToDeviceBitmap(view, &made, &madePalette)) return PVE_NO_MEMORY;
        *bitmap = made;
        *palette = madePalette;
        if (imageCount) *imageCount = int16_t(std::min<int32_t>(count, INT16_MAX));
        return PVE_OK;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}
