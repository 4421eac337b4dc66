// The codec's TWAIN entry points over the platform scanner: the request
// becomes a ScanRequest, and every page the scanner delivers (8-bit grey or
// 24-bit colour) is brought to the depth asked before the caller gets it.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/DibConvert.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"
#include "platform/Scanner.h"

#include <new>

namespace {

int32_t Failed(int32_t status) {
    return status < 0 ? ScanError(status) : PVE_INTERNAL;
}

bool Colour(int32_t scanType) {
    return scanType != 1 && scanType != 2;
}

// The page at `bits`, onto `palette` when one is given; the delivered block
// is freed. 0 when it cannot be converted.
HGLOBAL Converted(HGLOBAL page, int32_t bits, bool dither, HPALETTE palette) {
    zp::GlobalBlock delivered(page);
    zp::GlobalLockGuard lock(delivered.get());
    ic::DibView view;
    if (!lock || !ic::parseDib(lock.data(), 0, view)) return 0;
    if (palette && bits != 24) {
        HBITMAP bitmap = 0;
        HPALETTE own = 0;
        if (!ic::dibToDeviceBitmap(view, &bitmap, &own)) return 0;
        const HGLOBAL mapped = ic::deviceBitmapToDib(bitmap, palette, bits, dither);
        DeleteObject(bitmap);
        if (own) DeleteObject(own);
        return mapped;
    }
    if (view.bpp == bits) return ic::copyDib(view);
    return ic::convertDibDepth(view, bits, dither);
}

struct Batch {
    int32_t bits;
    PVScanPageCallback page;
    PVProgressCallback progress;
    void* user;
    // twain_nu_ddb: the first page is kept here.
    HGLOBAL* first = nullptr;
};

int16_t PageArrived(HGLOBAL dib, void* data) {
    auto* batch = static_cast<Batch*>(data);
    try {
        const HGLOBAL page = Converted(dib, batch->bits, false, 0);
        if (!page) return 0;
        if (batch->first && !*batch->first) {
            *batch->first = page;
            return 1;
        }
        if (!batch->page) {
            zp::GlobalBlock::freeFully(page);
            return 1;
        }
        return batch->page(page, batch->user);
    } catch (...) {
        return 0;
    }
}

int16_t Progress(int16_t percent, void* data) {
    auto* batch = static_cast<Batch*>(data);
    return batch->progress ? batch->progress(percent, batch->user) : 1;
}

ScanRequest Request(float left, float top, float right, float bottom, int32_t dpi,
                    int32_t brightness, int32_t contrast, int32_t pages, int32_t scanType,
                    int32_t transfer) {
    ScanRequest r{};
    r.Left = left;
    r.Top = top;
    r.Right = right;
    r.Bottom = bottom;
    r.Dpi = dpi;
    r.Color = Colour(scanType) ? 1 : 0;
    r.Brightness = brightness;
    r.Contrast = contrast;
    r.Pages = pages;
    r.Feeder = transfer == 2 ? FEEDER_IF_ANY : FEEDER_REQUIRED;
    return r;
}

bool SupportedBits(int32_t bits) {
    return bits == 4 || bits == 8 || bits == 24;
}

} // namespace

PVCODEC_API int32_t selectsource(uintptr_t window, int16_t /*zero*/) {
    const int32_t status = ScannerSelectSource(window);
    return status == SCAN_OK ? 1 : Failed(status);
}

PVCODEC_API int32_t aquiredibimage(uintptr_t window, int32_t bits, int32_t dither,
                                   uintptr_t palette, uintptr_t* dib, void* user,
                                   PVProgressCallback cb, int16_t /*zero*/) {
    try {
        if (!dib || !SupportedBits(bits)) return PVE_BAD_ARGUMENT;
        *dib = 0;
        // A letter-size page in colour unless the user asks otherwise.
        ScanRequest r = Request(0, 0, 8.5f, 11.0f, 100, 0, 0, 1, 8, 0);
        r.Feeder = FEEDER_NONE;
        const int32_t answer = ScannerDeviceDialog(window, &r);
        if (answer == 0) return 0;
        if (answer < 0) return Failed(answer);
        r.Pages = 1;
        struct Single {
            HGLOBAL page = 0;
            PVProgressCallback cb;
            void* user;
        } single{0, cb, user};
        int32_t delivered = 0;
        const int32_t status = ScannerScan(
            &r,
            [](HGLOBAL page, void* data) -> int16_t {
                static_cast<Single*>(data)->page = page;
                return 1;
            },
            [](int16_t percent, void* data) -> int16_t {
                auto* s = static_cast<Single*>(data);
                return s->cb ? s->cb(percent, s->user) : 1;
            },
            &single, &delivered);
        if (status != SCAN_OK) {
            zp::GlobalBlock::freeFully(single.page);
            return Failed(status);
        }
        *dib = Converted(single.page, bits, dither != 0, palette);
        return *dib ? 1 : PVE_NO_MEMORY;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

PVCODEC_API int32_t twain_nu_dib(uintptr_t /*window*/, float left, float top, float right,
                                 float bottom, int32_t dpi, int32_t bits, int32_t brightness,
                                 int32_t contrast, int32_t pages, int32_t scanType,
                                 int32_t transfer, PVScanPageCallback page, PVProgressCallback cb,
                                 void* user, int16_t /*zero*/) {
    try {
        if (!page || !SupportedBits(bits) || pages < 1 || pages > 32767) return PVE_BAD_ARGUMENT;
        const ScanRequest r =
            Request(left, top, right, bottom, dpi, brightness, contrast, pages, scanType, transfer);
        Batch batch{bits, page, cb, user};
        int32_t delivered = 0;
        const int32_t status = ScannerScan(&r, PageArrived, Progress, &batch, &delivered);
        return status == SCAN_OK ? delivered : Failed(status);
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

PVCODEC_API int32_t twain_nu_ddb(uintptr_t /*window*/, float left, float top, float right,
                                 float bottom, int32_t dpi, int32_t bits, int32_t brightness,
                                 int32_t contrast, int32_t pages, int32_t scanType,
                                 int32_t transfer, PVScanPageCallback /*page*/,
                                 PVProgressCallback cb, void* user, uintptr_t* bitmap,
                                 uintptr_t* palette, int16_t /*zero*/) {
    try {
        if (!bitmap || !palette || !SupportedBits(bits) || pages < 1 || pages > 32767)
            return PVE_BAD_ARGUMENT;
        *bitmap = *palette = 0;
        // A preview has no feeder to wait for: it is one flatbed page.
        ScanRequest r =
            Request(left, top, right, bottom, dpi, brightness, contrast, pages, scanType, transfer);
        if (transfer != 2) r.Feeder = FEEDER_NONE;
        HGLOBAL first = 0;
        Batch batch{bits, nullptr, cb, user, &first};
        int32_t delivered = 0;
        const int32_t status = ScannerScan(&r, PageArrived, Progress, &batch, &delivered);
        zp::GlobalBlock kept(first);
        if (status != SCAN_OK) return Failed(status);
        zp::GlobalLockGuard lock(kept.get());
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), 0, view) ||
            !ic::dibToDeviceBitmap(view, bitmap, palette))
            return PVE_NO_MEMORY;
        return delivered;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}
