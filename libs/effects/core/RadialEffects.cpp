// Effects that move pixels around the centre of the area: pinch/bulge,
// whirl and the rectangular/polar mappings. All sample the input inside the
// area only, so the area is a picture of its own.
#include "libs/effects/core/GeometryEffects.h"
#include "libs/effects/core/Sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace fx {
namespace {

// The area's centre and half sizes; the effects work in coordinates where
// the ellipse inscribed in the area is the unit circle.
struct Frame {
    float cx, cy, rx, ry;
    explicit Frame(const Rect& a)
        : cx(float(a.left + a.right - 1) * 0.5f), cy(float(a.top + a.bottom - 1) * 0.5f),
          rx(std::max(float(a.width()) * 0.5f, 0.5f)),
          ry(std::max(float(a.height()) * 0.5f, 0.5f)) {}
};

// A function of the normalised radius d in [0, 1], tabulated: the per-pixel
// sin/pow/cos of pinch and whirl cost more than the sampling itself.
class RadialTable {
  public:
    template <class F> explicit RadialTable(F f) : values_(kSteps + 2) {
        for (int i = 0; i <= kSteps + 1; ++i)
            values_[size_t(i)] = f(std::min(1.0, double(i) / kSteps));
    }
    float operator()(float d) const {
        const float t = std::min(d, 1.0f) * float(kSteps);
        const int i = int(t);
        const float a = values_[size_t(i)];
        return a + (values_[size_t(i) + 1] - a) * (t - float(i));
    }

  private:
    static constexpr int kSteps = 4096;
    std::vector<float> values_;
};

bool openArea(EffectJob& job, const AreaCall& call) {
    return job.ok() && job.setArea(call.left, call.top, call.right, call.bottom);
}

} // namespace

uintptr_t pinchHole(const AreaCall& call, double amount) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!openArea(job, call)) return 0;
    if (!std::isfinite(amount)) amount = 0;
    // -20 pulls the middle into a hole; positive values bulge it out.
    const float power = float(-std::clamp(amount, -20.0, 20.0) / 20.0);
    const Frame f(job.area());
    // How far out (normalised) the pixel at radius d reads: d / sin(pi d / 2)^power.
    const RadialTable reach([&](double d) {
        return d == 0 ? (power >= 1 ? 2 / std::numbers::pi : 0.0)
                      : d * std::pow(std::sin(std::numbers::pi * 0.5 * d), -double(power));
    });
    const bool ok = remapArea(job, job.area(), [&](int32_t x, int32_t y, float& sx, float& sy) {
        if (power == 0) return false;
        const float dx = (float(x) - f.cx) / f.rx, dy = (float(y) - f.cy) / f.ry;
        const float d2 = dx * dx + dy * dy;
        if (d2 >= 1.0f) return false;
        const float d = std::sqrt(d2);
        const float factor = d < 1e-6f ? 1.0f : reach(d) / d;
        sx = f.cx + dx * f.rx * factor;
        sy = f.cy + dy * f.ry * factor;
        return true;
    });
    return ok ? job.finish() : 0;
}

uintptr_t whirl(const AreaCall& call, double angleTenths) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!openArea(job, call)) return 0;
    if (!std::isfinite(angleTenths)) angleTenths = 0;
    const float turn = float(std::fmod(angleTenths / 10.0, 36000.0) * std::numbers::pi / 180.0);
    const Frame f(job.area());
    // Full angle at the centre, fading to none at the rim.
    const auto angle = [&](double d) { return double(turn) * (1 - d) * (1 - d); };
    const RadialTable cosine([&](double d) { return std::cos(angle(d)); });
    const RadialTable sine([&](double d) { return std::sin(angle(d)); });
    const bool ok = remapArea(job, job.area(), [&](int32_t x, int32_t y, float& sx, float& sy) {
        if (turn == 0) return false;
        const float dx = (float(x) - f.cx) / f.rx, dy = (float(y) - f.cy) / f.ry;
        const float d2 = dx * dx + dy * dy;
        if (d2 >= 1.0f) return false;
        const float d = std::sqrt(d2);
        const float c = cosine(d), s = sine(d);
        sx = f.cx + (c * dx - s * dy) * f.rx;
        sy = f.cy + (s * dx + c * dy) * f.ry;
        return true;
    });
    return ok ? job.finish() : 0;
}

uintptr_t recToPolar(const AreaCall& call, bool backwards, bool inverse, int32_t angle,
                     int32_t repeats) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!openArea(job, call)) return 0;
    const Rect& a = job.area();
    const Frame f(a);
    constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
    const float start = float(angle % 360) * kTwoPi / 360.0f;
    const float n = float(std::clamp(repeats, 1, 500));
    const float w = float(a.width()), h = float(a.height());
    bool ok;
    if (!inverse) {
        // The area's rows become rings (top row at the centre) and its
        // columns the angle round it.
        ok = remapArea(job, a, [&](int32_t x, int32_t y, float& sx, float& sy) {
            const float dx = (float(x) - f.cx) / f.rx, dy = (float(y) - f.cy) / f.ry;
            float r = std::sqrt(dx * dx + dy * dy);
            if (backwards) r = 1.0f - r;
            float t = (std::atan2(dy, dx) + start) / kTwoPi * n;
            t -= std::floor(t);
            sx = float(a.left) + t * w - 0.5f;
            sy = float(a.top) + r * h - 0.5f;
            return true;
        });
    } else {
        // The disc unrolled: angle along the rows, radius down the columns.
        ok = remapArea(job, a, [&](int32_t x, int32_t y, float& sx, float& sy) {
            const float t = (float(x - a.left) + 0.5f) / w;
            float r = (float(y - a.top) + 0.5f) / h;
            if (backwards) r = 1.0f - r;
            const float theta = t * kTwoPi / n - start;
            sx = f.cx + r * std::cos(theta) * f.rx;
            sy = f.cy + r * std::sin(theta) * f.ry;
            return true;
        });
    }
    return ok ? job.finish() : 0;
}

} // namespace fx
