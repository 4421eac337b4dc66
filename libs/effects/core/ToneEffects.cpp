// Tone effects: each output pixel depends only on the same input pixel, most
// through per-channel lookup tables.
#include "libs/effects/core/PixelEffects.h"
#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace fx {

namespace {

using Lut = std::array<uint8_t, 256>;

// Applies one table per channel (blue, green, red) over the job's area.
bool applyLuts(EffectJob& job, const Lut& b, const Lut& g, const Lut& r) {
    const Rect a = job.area();
    for (int32_t y = a.top; y < a.bottom; ++y) {
        const uint8_t* in = job.in().row(y) + size_t(a.left) * 3;
        uint8_t* out = reinterpret_cast<uint8_t*>(job.outRow(y)) + size_t(a.left) * 3;
        if (&b == &g && &g == &r) { // one table: a plain run of bytes
            for (size_t i = 0, n = size_t(a.width()) * 3; i < n; ++i)
                out[i] = b[in[i]];
        } else {
            for (int32_t x = 0; x < a.width(); ++x, in += 3, out += 3) {
                out[0] = b[in[0]];
                out[1] = g[in[1]];
                out[2] = r[in[2]];
            }
        }
        if (!job.progress().row(y - a.top, a.height())) return false;
    }
    return true;
}

// Gamma g brightens the mid-tones for g above 1: v' = 255 (v / 255)^(1 / g).
Lut gammaLut(double g) {
    Lut t;
    for (int32_t v = 0; v < 256; ++v)
        t[size_t(v)] = clamp255f(float(255.0 * std::pow(v / 255.0, 1.0 / g)));
    return t;
}

// Whole-picture effects run over the area of the whole picture.
uintptr_t wholeLut(uintptr_t dib, const Lut& t) {
    EffectJob job(dib, true);
    if (!job.setArea(0, 0, 0, 0) || !job.out() || !applyLuts(job, t, t, t)) return 0;
    return job.finish();
}

} // namespace

uintptr_t brightness(uintptr_t dib, int32_t amount) {
    if (amount < -255 || amount > 255) return 0;
    Lut t;
    for (int32_t v = 0; v < 256; ++v)
        t[size_t(v)] = clamp255(v + amount);
    return wholeLut(dib, t);
}

uintptr_t gamma(uintptr_t dib, int32_t value) {
    if (value < 1 || value > 100) return 0;
    return wholeLut(dib, gammaLut(value / 10.0));
}

uintptr_t enhance(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                  int32_t gammaBlue, int32_t gammaGreen, int32_t gammaRed, int32_t contrast,
                  int32_t brightness, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    const auto bad = [](int32_t g) { return g < 1 || g > 255; };
    if (bad(gammaBlue) || bad(gammaGreen) || bad(gammaRed) || contrast < -255 || contrast > 255 ||
        brightness < -255 || brightness > 255 || !job.setArea(left, top, right, bottom) ||
        !job.out())
        return 0;
    // Contrast scales around mid-grey: -255 flattens to grey, 255 is a hard
    // step; brightness is then added.
    const double factor = 259.0 * (contrast + 255) / (255.0 * (259 - contrast));
    auto finish = [&](Lut t) {
        for (uint8_t& v : t)
            v = clamp255(int32_t(std::lround(factor * (v - 128) + 128)) + brightness);
        return t;
    };
    const Lut b = finish(gammaLut(gammaBlue / 10.0)), g = finish(gammaLut(gammaGreen / 10.0)),
              r = finish(gammaLut(gammaRed / 10.0));
    return applyLuts(job, b, g, r) ? job.finish() : 0;
}

uintptr_t grayArea(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                   int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (!job.setArea(left, top, right, bottom) || !job.out()) return 0;
    const Rect a = job.area();
    for (int32_t y = a.top; y < a.bottom; ++y) {
        uint8_t* p = reinterpret_cast<uint8_t*>(job.outRow(y)) + size_t(a.left) * 3;
        for (int32_t x = 0; x < a.width(); ++x, p += 3)
            p[0] = p[1] = p[2] = uint8_t(luma(p));
        if (!job.progress().row(y - a.top, a.height())) return 0;
    }
    return job.finish();
}

uintptr_t autoContrast(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                       int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (!job.setArea(left, top, right, bottom) || !job.out()) return 0;
    const Rect a = job.area();
    std::array<int64_t, 256> hist{};
    for (int32_t y = a.top; y < a.bottom; ++y) {
        const uint8_t* p = job.in().row(y) + size_t(a.left) * 3;
        for (int32_t x = 0; x < a.width(); ++x, p += 3)
            ++hist[size_t(luma(p))];
    }
    // Stretch the brightness range, ignoring the darkest and lightest 0.5 %
    // (stray pixels), to 0..255; the same mapping for every channel keeps
    // the hues.
    const int64_t clip = int64_t(a.width()) * a.height() / 200;
    int32_t lo = 0, hi = 255;
    for (int64_t seen = hist[0]; lo < 255 && seen <= clip; seen += hist[size_t(++lo)]) {
    }
    for (int64_t seen = hist[255]; hi > 0 && seen <= clip; seen += hist[size_t(--hi)]) {
    }
    Lut t;
    for (int32_t v = 0; v < 256; ++v)
        t[size_t(v)] = hi > lo ? clamp255((v - lo) * 255 / (hi - lo)) : uint8_t(v);
    return applyLuts(job, t, t, t) ? job.finish() : 0;
}

uintptr_t threshold(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                    int32_t antialias, int32_t level, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (level < 0 || level > 255 || !job.setArea(left, top, right, bottom) || !job.out()) return 0;
    // Brightness at or above level is white, below black; antialiasing
    // turns the step into a ramp 16 levels wide so edges keep grey steps.
    Lut t;
    for (int32_t v = 0; v < 256; ++v)
        t[size_t(v)] = antialias ? clamp255((v - level + 8) * 255 / 16) : (v >= level ? 255 : 0);
    const Rect a = job.area();
    for (int32_t y = a.top; y < a.bottom; ++y) {
        uint8_t* p = reinterpret_cast<uint8_t*>(job.outRow(y)) + size_t(a.left) * 3;
        for (int32_t x = 0; x < a.width(); ++x, p += 3)
            p[0] = p[1] = p[2] = t[size_t(luma(p))];
        if (!job.progress().row(y - a.top, a.height())) return 0;
    }
    return job.finish();
}

} // namespace fx
