// MergeDib and DropDib (an overlay laid on the picture at (x, y), clipped
// to the picture, its key-colour pixels left out), colour reduction and the
// device-bitmap conversion over the shared quantiser (Quantizer.h).
#include "libs/effects/core/EffectJob.h"
#include "libs/effects/core/ScaleEffects.h"
#include "libs/imagecore/DibConvert.h"
#include "libs/imagecore/Quantizer.h"

#include <algorithm>

namespace fx {

uintptr_t overlayDib(uintptr_t dib, uintptr_t overlay, int32_t x, int32_t y, int64_t key,
                     bool blend) {
    return guarded([&]() -> uintptr_t {
        EffectJob job(dib, true);
        EffectJob top(overlay, true);
        if (!job.ok() || !top.ok()) return 0;
        const ic::DibView& base = job.in();
        const ic::DibView& over = top.in();
        ic::MutableDib* out = job.out();
        if (!out) return 0;
        // The overlap, in picture coordinates (64-bit: x, y may be anything).
        const int64_t x0 = std::max<int64_t>(0, x), y0 = std::max<int64_t>(0, y);
        const int64_t x1 = std::min<int64_t>(base.width, int64_t(x) + over.width);
        const int64_t y1 = std::min<int64_t>(base.height, int64_t(y) + over.height);
        const bool keyed = key >= 0;
        const uint8_t kr = uint8_t(key), kg = uint8_t(key >> 8), kb = uint8_t(key >> 16);
        for (int64_t py = y0; py < y1; ++py) {
            const uint8_t* src = over.row(int32_t(py - y)) + size_t(x0 - x) * 3;
            uint8_t* dst = out->row(int32_t(py)) + size_t(x0) * 3;
            for (int64_t px = x0; px < x1; ++px, src += 3, dst += 3) {
                if (keyed && src[0] == kb && src[1] == kg && src[2] == kr) continue;
                for (int c = 0; c < 3; ++c)
                    dst[c] = blend ? uint8_t((dst[c] + src[c] + 1) / 2) : src[c];
            }
        }
        return job.finish();
    });
}

uintptr_t reduceColors(uintptr_t dib, int32_t colours, int32_t dither) {
    return guarded([&]() -> uintptr_t {
        if (colours < 1 || colours > 256 || dither < 0 || dither > 3) return 0;
        EffectJob job(dib, false);
        if (!job.ok()) return 0;
        const std::vector<uint32_t> pixels = ic::toRgb(job.in());
        if (pixels.empty()) return 0;
        const ic::RgbImage image{job.in().width, job.in().height, pixels.data()};
        constexpr ic::Dither kDither[] = {ic::Dither::Bayer, ic::Dither::Burkes,
                                          ic::Dither::SoftFloydSteinberg,
                                          ic::Dither::FloydSteinberg};
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
