// Motion blur of three kinds: 1 zoom (toward the area's centre), 2 rotate
// (an arc around it), 3 line (a trail along an angle). Samples are nearest
// pixels of the input, clamped into the picture.
#include "libs/effects/core/PixelEffects.h"
#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace fx {

namespace {

constexpr int32_t kMaxSamples = 64;

bool lineBlur(EffectJob& job, int32_t angle, int32_t amount) {
    const double rad = angle * std::numbers::pi / 180.0;
    const int32_t n = std::min(amount, kMaxSamples) + 1;
    const double step = double(amount) / (n - 1);
    std::vector<int32_t> dx(static_cast<size_t>(n)), dy(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) { // the trail lies behind the motion
        dx[size_t(k)] = int32_t(std::lround(-k * step * std::cos(rad)));
        dy[size_t(k)] = int32_t(std::lround(k * step * std::sin(rad)));
    }
    const Rect a = job.area();
    const ic::DibView& in = job.in();
    const uint32_t inv = uint32_t(65536 / n);
    std::vector<const uint8_t*> rows(static_cast<size_t>(n));
    for (int32_t y = a.top; y < a.bottom; ++y) {
        for (int32_t k = 0; k < n; ++k)
            rows[size_t(k)] = in.row(std::clamp(y + dy[size_t(k)], 0, in.height - 1));
        uint8_t* out = reinterpret_cast<uint8_t*>(job.outRow(y));
        for (int32_t x = a.left; x < a.right; ++x) {
            uint32_t s0 = 0, s1 = 0, s2 = 0;
            for (int32_t k = 0; k < n; ++k) {
                const uint8_t* p =
                    rows[size_t(k)] + size_t(std::clamp(x + dx[size_t(k)], 0, in.width - 1)) * 3;
                s0 += p[0];
                s1 += p[1];
                s2 += p[2];
            }
            uint8_t* o = out + size_t(x) * 3;
            o[0] = uint8_t(std::min<uint32_t>(255, (s0 * inv + 32768) >> 16));
            o[1] = uint8_t(std::min<uint32_t>(255, (s1 * inv + 32768) >> 16));
            o[2] = uint8_t(std::min<uint32_t>(255, (s2 * inv + 32768) >> 16));
        }
        if (!job.progress().row(y - a.top, a.height())) return false;
    }
    return true;
}

// Zoom (rotate false): samples on the segment from the pixel toward the
// centre, amount / 1000 of the way. Rotate: samples on the arc of `sweep`
// radians around the centre.
bool radialBlur(EffectJob& job, bool rotate, double reach) {
    const Rect a = job.area();
    const ic::DibView& in = job.in();
    const double cx = (a.left + a.right - 1) / 2.0, cy = (a.top + a.bottom - 1) / 2.0;
    for (int32_t y = a.top; y < a.bottom; ++y) {
        uint8_t* out = reinterpret_cast<uint8_t*>(job.outRow(y));
        for (int32_t x = a.left; x < a.right; ++x) {
            const double vx = x - cx, vy = y - cy;
            const double path = std::hypot(vx, vy) * reach; // in pixels
            const int32_t n = std::clamp(int32_t(path), 1, kMaxSamples) + 1;
            uint32_t s[3] = {0, 0, 0};
            for (int32_t k = 0; k < n; ++k) {
                const double f = reach * k / (n - 1);
                double sx, sy;
                if (rotate) {
                    const double c = std::cos(f), sn = std::sin(f);
                    sx = cx + vx * c - vy * sn;
                    sy = cy + vx * sn + vy * c;
                } else {
                    sx = x - vx * f;
                    sy = y - vy * f;
                }
                const int32_t ix = std::clamp(int32_t(std::lround(sx)), 0, in.width - 1);
                const int32_t iy = std::clamp(int32_t(std::lround(sy)), 0, in.height - 1);
                const uint8_t* p = in.row(iy) + size_t(ix) * 3;
                s[0] += p[0];
                s[1] += p[1];
                s[2] += p[2];
            }
            uint8_t* o = out + size_t(x) * 3;
            for (int c = 0; c < 3; ++c)
                o[c] = uint8_t((s[c] + uint32_t(n) / 2) / uint32_t(n));
        }
        if (!job.progress().row(y - a.top, a.height())) return false;
    }
    return true;
}

} // namespace

uintptr_t motion(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                 int32_t kind, int32_t angle, int32_t amount, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (kind < 1 || kind > 3 || angle < 0 || angle > 360 || amount < 1 || amount > 500 ||
        !job.setArea(left, top, right, bottom) || !job.out())
        return 0;
    bool done = false;
    switch (kind) {
    case 1:
        done = radialBlur(job, false, amount / 1000.0);
        break;
    case 2:
        done = radialBlur(job, true, angle * std::numbers::pi / 180.0);
        break;
    default:
        done = lineBlur(job, angle, amount);
        break;
    }
    return done ? job.finish() : 0;
}

} // namespace fx
