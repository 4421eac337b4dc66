// Hue, saturation and lightness adjustment in HSL, limited to the hues of
// the chosen colour channels.
#include "libs/effects/core/PixelEffects.h"
#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <cmath>

namespace fx {

namespace {

struct Hsl {
    float h, s, l; // h in degrees [0, 360), s and l in [0, 1]
};

Hsl toHsl(float r, float g, float b) {
    const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
    Hsl o{0, 0, (mx + mn) / 2};
    const float d = mx - mn;
    if (d <= 0) return o;
    o.s = o.l > 0.5f ? d / (2 - mx - mn) : d / (mx + mn);
    if (mx == r)
        o.h = (g - b) / d + (g < b ? 6 : 0);
    else if (mx == g)
        o.h = (b - r) / d + 2;
    else
        o.h = (r - g) / d + 4;
    o.h *= 60;
    return o;
}

float hueToRgb(float p, float q, float t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.f / 6) return p + (q - p) * 6 * t;
    if (t < 0.5f) return q;
    if (t < 2.f / 3) return p + (q - p) * (2.f / 3 - t) * 6;
    return p;
}

} // namespace

int32_t hueAndSaturation(uintptr_t* dib, int32_t red, int32_t green, ic::ProgressFn cb, void* user,
                         int32_t left, int32_t top, int32_t right, int32_t bottom,
                         int32_t brightness, int32_t saturation, int32_t hue, int32_t cyan,
                         int32_t magenta, int32_t yellow, int32_t blue) {
    if (!dib || brightness < -100 || brightness > 100 || saturation < -100 || saturation > 100 ||
        hue < -180 || hue > 300)
        return 0;
    // Channels as 60-degree hue sectors centred on their colour, from red at 0.
    const bool sector[6] = {red != 0, yellow != 0, green != 0, cyan != 0, blue != 0, magenta != 0};
    const bool all = std::all_of(sector, sector + 6, [](bool b) { return b; });
    // With a channel chosen the dialog's hue arrives offset by 120.
    const float shift = float(all ? hue : hue - 120);
    const float satGain = 1 + saturation / 100.f, light = brightness / 100.f;
    uintptr_t result = 0;
    {
        EffectJob job(*dib, true, cb, user);
        if (!job.setArea(left, top, right, bottom) || !job.out()) return 0;
        const Rect a = job.area();
        for (int32_t y = a.top; y < a.bottom; ++y) {
            uint8_t* p = reinterpret_cast<uint8_t*>(job.outRow(y)) + size_t(a.left) * 3;
            // Neighbours often share a colour (flat areas, pictures from
            // palettes): the last answer is kept for the next pixel.
            uint8_t lastIn[3] = {p[0], p[1], p[2]}, lastOut[3] = {0, 0, 0};
            bool haveLast = false;
            for (int32_t x = 0; x < a.width(); ++x, p += 3) {
                if (haveLast && p[0] == lastIn[0] && p[1] == lastIn[1] && p[2] == lastIn[2]) {
                    std::copy_n(lastOut, 3, p);
                    continue;
                }
                std::copy_n(p, 3, lastIn);
                haveLast = true;
                Hsl c = toHsl(p[2] / 255.f, p[1] / 255.f, p[0] / 255.f);
                // Greys have no hue: only "all colours" touches them.
                if (!all && (c.s <= 0 || !sector[int32_t((c.h + 30) / 60) % 6])) {
                    std::copy_n(p, 3, lastOut);
                    continue;
                }
                c.h += shift;
                c.h = (c.h < 0 ? c.h + 360 : c.h >= 360 ? c.h - 360 : c.h) / 360.f;
                c.s = std::clamp(c.s * satGain, 0.f, 1.f);
                c.l = light >= 0 ? c.l + (1 - c.l) * light : c.l * (1 + light);
                float r = c.l, g = c.l, b = c.l;
                if (c.s > 0) {
                    const float q = c.l < 0.5f ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s;
                    const float pp = 2 * c.l - q;
                    r = hueToRgb(pp, q, c.h + 1.f / 3);
                    g = hueToRgb(pp, q, c.h);
                    b = hueToRgb(pp, q, c.h - 1.f / 3);
                }
                p[0] = clamp255f(b * 255);
                p[1] = clamp255f(g * 255);
                p[2] = clamp255f(r * 255);
                std::copy_n(p, 3, lastOut);
            }
            if (!job.progress().row(y - a.top, a.height())) return 0;
        }
        result = job.finish();
    }
    zp::GlobalBlock::freeFully(*dib);
    *dib = result;
    return 1;
}

} // namespace fx
