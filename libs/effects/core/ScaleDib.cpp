// ScaleDib and ScaleToGray: smooth resizing of whole pictures.
#include "libs/effects/core/PixelPlanes.h"
#include "libs/effects/core/ScaleEffects.h"
#include "libs/imagecore/DibConvert.h"
#include "libs/imagecore/Quantizer.h"

namespace fx {

namespace {

// The result is made at 24 bits before any reduction.
bool sizeAllowed(int32_t width, int32_t height) {
    return width >= 1 && height >= 1 && ic::fitsLimits(uint32_t(width), uint32_t(height), 24);
}

// ScaleToGray's modes: the shrink factor and the grey count.
struct GrayMode {
    int32_t factor;
    int32_t greys;
};
constexpr GrayMode kGrayModes[] = {{1, 256}, {2, 16},  {3, 16}, {5, 16},
                                   {6, 16},  {6, 256}, {4, 16}, {4, 256}};

} // namespace

uintptr_t scaleDib(uintptr_t dib, int32_t width, int32_t height, int32_t bits) {
    return guarded([&]() -> uintptr_t {
        if (!sizeAllowed(width, height)) return 0;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return 0;
        EffectJob job(dib, false);
        if (!job.ok()) return 0;
        const ic::DibView& in = job.in();
        zp::GlobalBlock out(ic::createDib(width, height, 24, nullptr));
        if (!out) return 0;
        {
            ic::MutableDib view(out.get());
            if (!view.ok()) return 0;
            const Rect all{0, 0, in.width, in.height};
            if (in.bpp == 24) {
                if (!resampleSmooth(dibPlane(in, all, 3), dibPlane(view, 3), 3)) return 0;
            } else {
                OwnedPlane src = bgrPlane(in, all);
                if (!resampleSmooth(src.plane, dibPlane(view, 3), 3)) return 0;
            }
            if (bits == 24) return out.release();
            return ic::convertDibDepth(view.view(), bits, true);
        }
    });
}

uintptr_t scaleToGray(uintptr_t dib, int32_t mode) {
    return guarded([&]() -> uintptr_t {
        if (mode < 0 || mode >= int32_t(std::size(kGrayModes))) return 0;
        const GrayMode m = kGrayModes[mode];
        EffectJob job(dib, false);
        if (!job.ok()) return 0;
        const ic::DibView& in = job.in();
        const int32_t width = std::max(1, in.width / m.factor);
        const int32_t height = std::max(1, in.height / m.factor);
        OwnedPlane grey = greyPlane(in, Rect{0, 0, in.width, in.height});
        OwnedPlane small(width, height, 1);
        if (!resampleSmooth(grey.plane, small.plane, 1)) return 0;
        const int bits = m.greys == 16 ? 4 : 8;
        const std::vector<RGBQUAD> palette = ic::greyPalette(m.greys);
        zp::GlobalBlock out(
            ic::createDib(width, height, bits, palette.data(), uint32_t(palette.size())));
        if (!out) return 0;
        {
            ic::MutableDib view(out.get());
            if (!view.ok()) return 0;
            // Grey value to the nearest of the evenly spaced greys.
            for (uint8_t& v : small.pixels)
                v = uint8_t((v * (m.greys - 1) + 127) / 255);
            storeIndices(small.plane, view);
        }
        return out.release();
    });
}

} // namespace fx
