// Colour reduction entry points and the device-bitmap conversion, over the
// shared quantiser (libs/imagecore/Quantizer.h).
#include "libs/effects/core/EffectJob.h"
#include "libs/effects/core/ScaleEffects.h"
#include "libs/imagecore/DibConvert.h"
#include "libs/imagecore/Quantizer.h"

namespace fx {

uintptr_t reduceColors(uintptr_t dib, int32_t colours, int32_t dither) {
    return guarded([&]() -> uintptr_t {
        if (colours < 1 || colours > 256 || dither < 0 || dither > 3) return 0;
        EffectJob job(dib, false);
        if (!job.ok()) return 0;
        const std::vector<uint32_t> pixels = ic::toRgb(job.in());
        if (pixels.empty()) return 0;
        const ic::RgbImage image{job.in().width, job.in().height, pixels.data()};
        constexpr ic::Dither kDither[] = {ic::Dither::Bayer, ic::Dither::Burkes,
                                          ic::Dither::FloydSteinberg, ic::Dither::FloydSteinberg};
        return ic::reduceColors(image, colours, kDither[dither], dither == 3);
    });
}

uintptr_t reduceDib(uintptr_t dib, int32_t bits, ic::ProgressFn cb, void* user) {
    return guarded([&]() -> uintptr_t {
        if (bits != 1 && bits != 4 && bits != 8) return 0;
        EffectJob job(dib, false, cb, user);
        if (!job.ok() || !job.progress().report(0)) return 0;
        zp::GlobalBlock out(ic::convertDibDepth(job.in(), bits, true));
        if (!out || !job.progress().report(100)) return 0;
        return out.release();
    });
}

uintptr_t ddbToDib(HBITMAP bitmap, HPALETTE palette, int32_t bits) {
    return guarded([&]() -> uintptr_t {
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return 0;
        // Nearest colours, no dither: masks and line art must stay clean.
        return ic::deviceBitmapToDib(bitmap, palette, bits, false);
    });
}

} // namespace fx
