// Noise and border fade: area effects that add to or blend each pixel by its
// position (a hash of it for noise, its distance from the border for fade).
#include "libs/effects/core/PixelEffects.h"
#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace fx {

namespace {

// Position hash: the same picture and area always get the same noise.
inline uint32_t hash(uint32_t x, uint32_t y, uint32_t c) {
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 1) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    return h ^ (h >> 15);
}

// 4096 quantiles of the standard normal distribution, for Gaussian noise
// without a transcendental per pixel.
const std::array<float, 4096>& normalTable() {
    static const std::array<float, 4096> table = [] {
        std::array<float, 4096> t{};
        for (size_t i = 0; i < t.size(); ++i) {
            const double p = (double(i) + 0.5) / double(t.size());
            // Inverted by bisection: slow, but it runs once per process.
            double lo = -6, hi = 6;
            for (int k = 0; k < 50; ++k) {
                const double mid = (lo + hi) / 2;
                (0.5 * std::erfc(-mid / std::sqrt(2.0)) < p ? lo : hi) = mid;
            }
            t[i] = float((lo + hi) / 2);
        }
        return t;
    }();
    return table;
}

} // namespace

uintptr_t noise(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                int32_t blue, int32_t green, int32_t red, int32_t useGrey, int32_t gauss,
                int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    const auto bad = [](int32_t v) { return v < 0 || v > 255; };
    if (bad(blue) || bad(green) || bad(red) || !job.setArea(left, top, right, bottom) || !job.out())
        return 0;
    const std::array<float, 4096>& normal = normalTable();
    const int32_t amounts[3] = {blue, green, red};
    const Rect a = job.area();
    for (int32_t y = a.top; y < a.bottom; ++y) {
        uint8_t* p = reinterpret_cast<uint8_t*>(job.outRow(y)) + size_t(a.left) * 3;
        for (int32_t x = a.left; x < a.right; ++x, p += 3)
            for (uint32_t c = 0; c < 3; ++c) {
                // Grey noise: one draw per pixel moves all channels together.
                const uint32_t h = hash(uint32_t(x), uint32_t(y), useGrey ? 0 : c);
                const int32_t amount = amounts[c];
                if (amount == 0) continue;
                // Uniform in [-amount, amount]; Gaussian with sigma amount / 2.
                const float d = gauss ? normal[h & 4095] * float(amount) * 0.5f
                                      : float(int32_t(h % uint32_t(2 * amount + 1)) - amount);
                p[c] = clamp255f(float(p[c]) + d);
            }
        if (!job.progress().row(y - a.top, a.height())) return 0;
    }
    return job.finish();
}

uintptr_t fade(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
               int32_t blue, int32_t green, int32_t red, int32_t edgeWidth, int32_t bottom,
               int32_t right) {
    EffectJob job(dib, true, cb, user);
    const auto bad = [](int32_t v) { return v < 0 || v > 255; };
    if (bad(blue) || bad(green) || bad(red) || edgeWidth < 1 || edgeWidth > 1000 ||
        !job.setArea(left, top, right, bottom) || !job.out())
        return 0;
    const int32_t colour[3] = {blue, green, red};
    const Rect a = job.area();
    // A pixel d pixels inside the area's border keeps d / edgeWidth of its
    // colour: the outermost ring is the fade colour, edgeWidth in is untouched.
    for (int32_t y = a.top; y < a.bottom; ++y) {
        uint8_t* p = reinterpret_cast<uint8_t*>(job.outRow(y)) + size_t(a.left) * 3;
        const int32_t dy = std::min(y - a.top, a.bottom - 1 - y);
        for (int32_t x = a.left; x < a.right; ++x, p += 3) {
            const int32_t d = std::min({dy, x - a.left, a.right - 1 - x});
            if (d >= edgeWidth) continue;
            for (int c = 0; c < 3; ++c)
                p[c] =
                    uint8_t((p[c] * d + colour[c] * (edgeWidth - d) + edgeWidth / 2) / edgeWidth);
        }
        if (!job.progress().row(y - a.top, a.height())) return 0;
    }
    return job.finish();
}

} // namespace fx
