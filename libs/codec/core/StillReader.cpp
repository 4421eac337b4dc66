#include "libs/codec/core/StillReader.h"

#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/FileBytes.h"
#include "libs/imagecore/DibConvert.h"
#include "platform/Gdi.h"

#include <new>
#include <vector>

namespace gifcore {

namespace {

bool validDepth(int32_t bits) {
    return bits == 0 || bits == 1 || bits == 4 || bits == 8 || bits == 24;
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

int32_t readStill(StillDecodeFn decode, const StillOptions& options, const char* file, int32_t bits,
                  int32_t dither, const Progress& progress, zp::GlobalBlock& out) {
    if (!file) return PVE_BAD_ARGUMENT;
    if (!validDepth(bits)) return PVE_BAD_DEPTH;
    std::vector<uint8_t> bytes;
    int32_t rc = readFileBytes(file, bytes);
    if (rc != PVE_OK) return rc;
    if (!progress.report(0)) return PVE_CANCELLED;
    zp::GlobalBlock decoded;
    rc = decode(bytes.data(), bytes.size(), options, progress, decoded);
    if (rc != PVE_OK) return rc;
    if (!decoded) return PVE_NO_IMAGE;

    zp::GlobalLockGuard lock(decoded.get());
    ic::DibView view;
    if (!lock || !ic::parseDib(lock.data(), decoded.size(), view)) return PVE_INTERNAL;
    if (bits != 0 && bits != view.bpp) {
        out.adopt(ic::convertDibDepth(view, bits, dither != 0));
        if (!out) return PVE_NO_MEMORY;
    } else {
        out = std::move(decoded);
    }
    if (!progress.report(100)) {
        out.reset();
        return PVE_CANCELLED;
    }
    return PVE_OK;
}

int32_t readStillToDib(StillDecodeFn decode, const StillOptions& options, const char* file,
                       int32_t bits, int32_t dither, uintptr_t* dib, uintptr_t* palette, void* user,
                       PVProgressCallback cb) {
    if (!dib) return PVE_BAD_ARGUMENT;
    return guarded([&]() -> int32_t {
        zp::GlobalBlock picture;
        const int32_t rc =
            readStill(decode, options, file, bits, dither, Progress(cb, user), picture);
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
    });
}

int32_t readStillToBitmap(StillDecodeFn decode, const StillOptions& options, const char* file,
                          int32_t bits, int32_t dither, uintptr_t* bitmap, uintptr_t* palette,
                          void* user, PVProgressCallback cb) {
    if (!bitmap || !palette) return PVE_BAD_ARGUMENT;
    return guarded([&]() -> int32_t {
        zp::GlobalBlock picture;
        const int32_t rc =
            readStill(decode, options, file, bits, dither, Progress(cb, user), picture);
        if (rc != PVE_OK) return rc;
        zp::GlobalLockGuard lock(picture.get());
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), picture.size(), view)) return PVE_INTERNAL;
        HBITMAP made = 0;
        HPALETTE madePalette = 0;
        if (!ic::dibToDeviceBitmap(view, &made, &madePalette)) return PVE_NO_MEMORY;
        *bitmap = made;
        *palette = madePalette;
        return PVE_OK;
    });
}

} // namespace gifcore
