// Blur, sharpen/soften and bleed: smoothing effects built on running sums or
// running averages, so their cost does not grow with the amount.
#include "libs/effects/core/PixelEffects.h"
#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <cstdlib>

namespace fx {

uintptr_t blur(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
               int32_t amount, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (amount < 1 || amount > 100 || !job.setArea(left, top, right, bottom) || !job.out())
        return 0;
    const int32_t radius = amount;
    Raster r = load(job, widen(job.area(), 3 * radius, job.in().width, job.in().height));
    Ticker t(job.progress(), 3 * int64_t(r.height) * 2);
    if (!gaussLike(r, radius, t)) return 0;
    storeArea(job, r);
    return job.finish();
}

uintptr_t sharpen(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                  int32_t amount, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (amount < -9 || amount > 9 || !job.setArea(left, top, right, bottom) || !job.out()) return 0;
    if (amount == 0) return job.finish();
    Raster r = load(job, widen(job.area(), 3, job.in().width, job.in().height));
    Raster smooth = r;
    Ticker t(job.progress(), 7 * int64_t(r.height));
    if (!gaussLike(smooth, 1, t)) return 0;
    // Sharpen: unsharp mask, the difference from the smoothed picture added
    // back amount / 4 times. Soften: blend toward it, |amount| / 9 of the way.
    const int32_t gain = amount > 0 ? amount * 64 : amount * 256 / 9; // in 1/256
    for (int32_t y = 0; y < r.height; ++y) {
        uint8_t* p = r.row(y);
        const uint8_t* s = smooth.row(y);
        for (size_t i = 0, n = size_t(r.width) * 3; i < n; ++i) {
            const int32_t d = amount > 0 ? p[i] - s[i] : s[i] - p[i];
            p[i] = clamp255(p[i] + ((d * std::abs(gain) + 128) >> 8));
        }
        if (!t.tick()) return 0;
    }
    storeArea(job, r);
    return job.finish();
}

namespace {

// One running average along a line of n pixels `step` bytes apart: each pixel
// keeps keep/256 of the colour carried from its predecessor.
void smear(uint8_t* p, int32_t n, ptrdiff_t step, int32_t keep) {
    int32_t c[3] = {p[0] << 8, p[1] << 8, p[2] << 8};
    for (int32_t i = 0; i < n; ++i, p += step)
        for (int k = 0; k < 3; ++k) {
            c[k] = (c[k] * keep + (p[k] << 8) * (256 - keep)) >> 8;
            p[k] = uint8_t((c[k] + 128) >> 8);
        }
}

} // namespace

uintptr_t bleed(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                int32_t amount, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (amount < -255 || amount > 255 || !job.setArea(left, top, right, bottom) || !job.out())
        return 0;
    const Rect a = job.area();
    Raster r = load(job, a);
    const int32_t keep = std::abs(amount) * 240 / 255; // never a full copy of the predecessor
    const ptrdiff_t px = 3, line = ptrdiff_t(r.width) * 3;
    Ticker t(job.progress(), int64_t(r.height) + r.width);
    // Positive amounts run colours rightwards and downwards, negative ones
    // leftwards and upwards.
    for (int32_t y = 0; y < r.height; ++y) {
        if (amount > 0)
            smear(r.row(y), r.width, px, keep);
        else
            smear(r.row(y) + (r.width - 1) * px, r.width, -px, keep);
        if (!t.tick()) return 0;
    }
    for (int32_t x = 0; x < r.width; ++x) {
        if (amount > 0)
            smear(r.row(0) + x * px, r.height, line, keep);
        else
            smear(r.row(r.height - 1) + x * px, r.height, -line, keep);
        if (!t.tick()) return 0;
    }
    storeArea(job, r);
    return job.finish();
}

} // namespace fx
