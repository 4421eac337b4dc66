// Effects that displace pixels by a pattern rather than around a centre:
// spray (random scatter), jiggle (rows shifted by a wave) and wave (columns
// shifted by a sine).
#include "libs/effects/core/GeometryEffects.h"
#include "libs/effects/core/Sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fx {
namespace {

bool openArea(EffectJob& job, const AreaCall& call) {
    return job.ok() && job.setArea(call.left, call.top, call.right, call.bottom);
}

// A well-mixed 32-bit value per pixel: the spray pattern is the same on
// every run and does not depend on the order pixels are visited in.
uint32_t pixelHash(uint32_t x, uint32_t y) {
    uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    return h ^ (h >> 15);
}

} // namespace

uintptr_t spray(const AreaCall& call, int32_t randomness, int32_t amount) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!openArea(job, call)) return 0;
    ic::MutableDib* out = job.out();
    if (!out) return 0;
    const Rect& a = job.area();
    const Sampler sampler(job.in(), a);
    const int32_t reach = std::clamp(amount, 0, 1000);
    // The share of pixels that move, out of 65536.
    const uint32_t share = uint32_t(std::clamp(randomness, 0, 360)) * 65536u / 360u;
    const uint32_t span = uint32_t(2 * reach + 1);
    for (int32_t y = a.top; y < a.bottom; ++y) {
        if (!job.progress().row(y - a.top, a.height())) return 0;
        Bgr* row = job.outRow(y);
        if (reach == 0) continue;
        for (int32_t x = a.left; x < a.right; ++x) {
            const uint32_t h = pixelHash(uint32_t(x), uint32_t(y));
            if ((h & 0xFFFF) >= share) continue;
            const uint32_t h2 = pixelHash(h, uint32_t(x) ^ 0x5BD1E995u);
            const int32_t dx = int32_t((h2 & 0xFFFF) * span >> 16) - reach;
            const int32_t dy = int32_t((h2 >> 16) * span >> 16) - reach;
            row[x] = sampler.nearest(x + dx, y + dy);
        }
    }
    return job.progress().report(100) ? job.finish() : 0;
}

uintptr_t jiggle(const AreaCall& call, int32_t waveForm, int32_t amplitude, int32_t period) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!openArea(job, call)) return 0;
    const Rect& a = job.area();
    const float amp = float(std::clamp(amplitude, 0, 16384));
    const float waves = float(std::clamp(period, 1, 1000));
    const bool triangle = waveForm == 1;
    int32_t lastRow = -1;
    float shift = 0;
    const bool ok = remapArea(job, a, [&](int32_t x, int32_t y, float& sx, float& sy) {
        if (amp == 0) return false;
        if (y != lastRow) {
            const float t = (float(y - a.top) + 0.5f) / float(a.height()) * waves;
            const float w = triangle
                                ? 1.0f - 4.0f * std::fabs(t + 0.25f - std::floor(t + 0.25f) - 0.5f)
                                : std::sin(2.0f * std::numbers::pi_v<float> * t);
            shift = amp * w;
            lastRow = y;
        }
        sx = float(x) - shift;
        sy = float(y);
        return true;
    });
    return ok ? job.finish() : 0;
}

uintptr_t wave(const AreaCall& call, bool reflect, bool smear, double phaseTenths, int32_t length,
               double amplitudeTenths) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!openArea(job, call)) return 0;
    const Rect& a = job.area();
    if (!std::isfinite(phaseTenths)) phaseTenths = 0;
    if (!std::isfinite(amplitudeTenths)) amplitudeTenths = 0;
    const float amp = float(std::clamp(amplitudeTenths, -163840.0, 163840.0) / 10.0);
    const float phase = float(std::fmod(phaseTenths / 10.0, 360.0) * std::numbers::pi / 180.0);
    const float step = length > 0 ? 2.0f * std::numbers::pi_v<float> / float(length) : 0.0f;
    const float top = float(a.top), bottom = float(a.bottom - 1);
    // One vertical offset per column.
    std::vector<float> offset(size_t(a.width()));
    for (int32_t x = 0; x < a.width(); ++x)
        offset[size_t(x)] = length > 0 ? amp * std::sin(float(x) * step + phase) : 0.0f;
    const bool ok = remapArea(job, a, [&](int32_t x, int32_t y, float& sx, float& sy) {
        const float d = offset[size_t(x - a.left)];
        if (d == 0) return false;
        sx = float(x);
        sy = float(y) + d;
        if (sy >= top && sy <= bottom) return true;
        if (reflect) {
            sy = sy < top ? 2 * top - sy : 2 * bottom - sy; // mirrored at the edge
            return true;
        }
        return smear; // smeared edge rows, or the picture left as it was
    });
    return ok ? job.finish() : 0;
}

} // namespace fx
