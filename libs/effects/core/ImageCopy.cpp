// PVImageCopy: an area of the picture resized and left in the caller's own
// block, which GlobalReAlloc resizes so the caller's handle stays valid.
#include "libs/effects/core/PixelPlanes.h"
#include "libs/effects/core/ScaleEffects.h"
#include "libs/imagecore/Quantizer.h"

#include <cstring>

namespace fx {

namespace {

// right and bottom inclusive; a value equal to the size is taken as the edge
// too, so callers counting exclusively are served as well.
bool copyArea(const ic::DibView& in, int32_t left, int32_t top, int32_t right, int32_t bottom,
              Rect& out) {
    if (left == 0 && top == 0 && right == 0 && bottom == 0) {
        out = Rect{0, 0, in.width, in.height};
        return true;
    }
    if (right == 0 || right == in.width) right = in.width - 1;
    if (bottom == 0 || bottom == in.height) bottom = in.height - 1;
    if (left < 0 || top < 0 || left > right || top > bottom || right >= in.width ||
        bottom >= in.height)
        return false;
    out = Rect{left, top, right + 1, bottom + 1};
    return true;
}

// The resized area as a new block (not the caller's yet).
HGLOBAL resizedArea(const ic::DibView& in, const Rect& area, int32_t width, int32_t height,
                    int32_t mode) {
    if (mode >= 20) {
        // Smoothed luminance on 256 greys: soft edges for line art.
        const std::vector<RGBQUAD> greys = ic::greyPalette(256);
        zp::GlobalBlock out(ic::createDib(width, height, 8, greys.data(), 256));
        if (!out) return 0;
        ic::MutableDib view(out.get());
        OwnedPlane grey = greyPlane(in, area);
        if (!view.ok() || !resampleSmooth(grey.plane, dibPlane(view, 1), 1)) return 0;
        return out.release();
    }
    if (mode >= 10) {
        zp::GlobalBlock rgb(ic::createDib(width, height, 24, nullptr));
        if (!rgb) return 0;
        ic::MutableDib view(rgb.get());
        if (!view.ok()) return 0;
        if (in.bpp == 24) {
            if (!resampleSmooth(dibPlane(in, area, 3), dibPlane(view, 3), 3)) return 0;
            return rgb.release();
        }
        OwnedPlane src = bgrPlane(in, area);
        if (!resampleSmooth(src.plane, dibPlane(view, 3), 3)) return 0;
        // An indexed picture keeps its depth and palette (no dither: frames
        // of an animation must not shimmer).
        const std::vector<uint32_t> pixels = ic::toRgb(view.view());
        const std::vector<RGBQUAD> palette(
            in.colors, in.colors + std::min<uint32_t>(in.colorCount, 1u << in.bpp));
        return ic::mapToPalette(ic::RgbImage{width, height, pixels.data()}, palette, in.bpp,
                                ic::Dither::None);
    }
    const ScanMode scan = mode == 1 ? ScanMode::And : mode == 2 ? ScanMode::Or : ScanMode::Nearest;
    zp::GlobalBlock out(ic::createDib(width, height, in.bpp, in.colors, in.colorCount));
    if (!out) return 0;
    ic::MutableDib view(out.get());
    if (!view.ok()) return 0;
    if (in.bpp == 24 || in.bpp == 8) {
        const int bytes = in.bpp / 8;
        if (!resampleScans(dibPlane(in, area, bytes), dibPlane(view, bytes), bytes, scan)) return 0;
    } else {
        OwnedPlane src = indexPlane(in, area);
        OwnedPlane dst(width, height, 1);
        if (!resampleScans(src.plane, dst.plane, 1, scan)) return 0;
        storeIndices(dst.plane, view);
    }
    return out.release();
}

} // namespace

int32_t imageCopy(uintptr_t dib, int32_t newWidth, int32_t newHeight, int32_t mode, int32_t left,
                  int32_t top, int32_t right, int32_t bottom) {
    try {
        if (mode < 0 || mode > 32 || mode % 10 > 2) return kCopyBadMode;
        zp::GlobalBlock result;
        {
            EffectJob job(dib, false);
            if (!job.ok()) return kCopyBadDib;
            Rect area;
            if (!copyArea(job.in(), left, top, right, bottom, area)) return kCopyBadArea;
            const int32_t width = newWidth == 0 ? area.width() : newWidth;
            const int32_t height = newHeight == 0 ? area.height() : newHeight;
            if (width < 1 || height < 1 || width > ic::kMaxSide || height > ic::kMaxSide)
                return kCopyBadArea;
            result.adopt(resizedArea(job.in(), area, width, height, mode));
            if (!result) return kCopyNoMemory;
        } // our lock on the caller's block ends here
        const uint64_t size = result.size();
        if (!GlobalReAlloc(dib, size, GMEM_MOVEABLE)) return kCopyNoMemory;
        zp::GlobalLockGuard to(dib);
        zp::GlobalLockGuard from(result.get());
        if (!to || !from) return kCopyNoMemory;
        std::memcpy(to.data(), from.data(), size);
        return kCopyDone;
    } catch (const std::bad_alloc&) {
        return kCopyNoMemory;
    }
}

} // namespace fx
