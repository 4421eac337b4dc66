// Page curl: the corner of the area is lifted and rolled back over the page
// around a cylinder lying along the fold. Looking down, each point shows
// (top first) the back of the rolled page, its front on the cylinder, the
// flat page, or what lies under the lifted corner.
#include "libs/effects/core/GeometryEffects.h"
#include "libs/effects/core/Sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fx {
namespace {

Bgr toBgr(COLORREF c) {
    return Bgr{GetBValue(c), GetGValue(c), GetRValue(c)};
}

void put(uint8_t* d, const uint8_t* s, float light) {
    for (int c = 0; c < 3; ++c)
        d[c] = uint8_t(std::min(255.0f, float(s[c]) * light + 0.5f));
}

// The fold as seen from the lifted corner: u points from the corner into
// the page, the fold lies `fold` pixels in and the roll has `radius`.
struct Fold {
    float cx = 0, cy = 0, ux = 0, uy = 0, fold = 0, radius = 0;
};

Fold makeFold(const Rect& a, const CurlOptions& o) {
    Fold f;
    // The first corner asked for, in the order of the flags; none = right bottom.
    bool left = false, top = false;
    if (!o.rightBottom) {
        if (o.leftBottom)
            left = true;
        else if (o.rightTop)
            top = true;
        else if (o.leftTop)
            left = top = true;
    }
    f.cx = left ? float(a.left) : float(a.right);
    f.cy = top ? float(a.top) : float(a.bottom);
    const float sx = left ? 1.0f : -1.0f, sy = top ? 1.0f : -1.0f;
    const float w = float(a.width()), h = float(a.height());
    float span;
    if (o.overHorizontal != o.overVertical) {
        // Turned over a horizontal fold the page lifts upwards or downwards.
        f.ux = o.overVertical ? sx : 0.0f;
        f.uy = o.overHorizontal ? sy : 0.0f;
        span = o.overVertical ? w : h;
    } else {
        span = std::hypot(w, h);
        f.ux = sx * w / span;
        f.uy = sy * h / span;
    }
    f.fold = span * 0.45f;
    f.radius = std::max(f.fold / 5.0f, 1.0f);
    return f;
}

} // namespace

uintptr_t curl(const AreaCall& call, const CurlOptions& o) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!job.ok() || !job.setArea(call.left, call.top, call.right, call.bottom)) return 0;
    ic::MutableDib* out = job.out();
    if (!out) return 0;
    const Rect& a = job.area();
    const Sampler src(job.in(), a);
    const Fold f = makeFold(a, o);
    const float strength = float(std::clamp(o.shading, 0, 4)) / 4.0f * 0.6f;
    const Bgr fore = toBgr(o.fore), back = toBgr(o.back);
    const bool paintBack = o.curlUseFore || o.curlUseBack;
    const Bgr backOfPage = o.curlUseFore ? fore : back;
    const Bgr under = o.backUseFore && !o.backUseBack ? fore : back;
    const float r = f.radius, pi = std::numbers::pi_v<float>;
    auto onPage = [&](float x, float y) {
        return x >= float(a.left) - 0.5f && x <= float(a.right) - 0.5f &&
               y >= float(a.top) - 0.5f && y <= float(a.bottom) - 0.5f;
    };
    for (int32_t y = a.top; y < a.bottom; ++y) {
        if (!job.progress().row(y - a.top, a.height())) return 0;
        uint8_t* row = out->row(y);
        for (int32_t x = a.left; x < a.right; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            // t: how far past the fold towards the corner this point lies.
            const float t = f.fold - ((px - f.cx) * f.ux + (py - f.cy) * f.uy);
            if (t < -(f.fold - pi * r)) continue; // beyond the reach of the rolled page
            uint8_t* d = row + size_t(x) * 3;
            // The page point at distance tau from the fold (unrolled) that lands here.
            auto source = [&](float tau, float& sx, float& sy) {
                sx = float(x) + (t - tau) * f.ux;
                sy = float(y) + (t - tau) * f.uy;
                return onPage(sx, sy);
            };
            float sx, sy;
            const float c = t < r ? std::sqrt(std::max(0.0f, 1.0f - (t / r) * (t / r))) : 0.0f;
            const float rolled = 1.0f - strength * (1.0f - c); // darker where the roll turns away
            const float backTau = t < 0 ? pi * r - t : (t <= r ? r * (pi - std::asin(t / r)) : -1);
            if (backTau >= 0 && source(backTau, sx, sy)) {
                uint8_t s[3];
                if (paintBack)
                    s[0] = backOfPage.b, s[1] = backOfPage.g, s[2] = backOfPage.r;
                else
                    src.bilinear(sx, sy, s);
                put(d, s, t < 0 ? 1.0f - strength * 0.25f : rolled);
                continue;
            }
            if (t < 0) continue; // flat page
            if (t <= r && source(r * std::asin(t / r), sx, sy)) {
                uint8_t s[3];
                src.bilinear(sx, sy, s);
                put(d, s, rolled);
                continue;
            }
            // Uncovered: the picture or the chosen colour, in the roll's shadow.
            uint8_t s[3] = {under.b, under.g, under.r};
            if (o.keepImageUnder) {
                const uint8_t* p = src.pixel(x, y);
                s[0] = p[0], s[1] = p[1], s[2] = p[2];
            }
            const float shadow =
                o.shadeUnder && t < 2 * r ? 0.5f + 0.5f * std::max(0.0f, t - r) / r : 1.0f;
            put(d, s, shadow);
        }
    }
    return job.progress().report(100) ? job.finish() : 0;
}

} // namespace fx
