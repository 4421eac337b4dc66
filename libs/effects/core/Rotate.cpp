// Rotation by any angle. Quarter turns move pixels exactly (any depth);
// other angles sample bilinearly at 24 bits, the fill colour standing in for
// everything outside the area so the rotated edges come out smooth. Indexed
// pictures are sampled nearest so the result keeps their palette.
#include "libs/effects/core/GeometryEffects.h"
#include "libs/effects/core/Sampler.h"
#include "libs/imagecore/DibConvert.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace fx {
namespace {

uint8_t nearestIndex(const ic::DibView& v, COLORREF c) {
    int32_t best = 0, bestDistance = INT32_MAX;
    for (uint32_t i = 0; i < v.colorCount; ++i) {
        const int32_t dr = v.colors[i].rgbRed - GetRValue(c),
                      dg = v.colors[i].rgbGreen - GetGValue(c),
                      db = v.colors[i].rgbBlue - GetBValue(c);
        const int32_t d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) bestDistance = d, best = int32_t(i);
    }
    return uint8_t(best);
}

void quarterTurn(const ic::DibView& in, const Rect& a, int turns, ic::MutableDib& out) {
    const int32_t w = a.width(), h = a.height();
    const int32_t ow = out.view().width, oh = out.view().height;
    for (int32_t y = 0; y < oh; ++y) {
        uint8_t* row = out.row(y);
        for (int32_t x = 0; x < ow; ++x) {
            int32_t sx = x, sy = y;
            if (turns == 1) sx = w - 1 - y, sy = x;
            if (turns == 2) sx = w - 1 - x, sy = h - 1 - y;
            if (turns == 3) sx = y, sy = h - 1 - x;
            sx += a.left;
            sy += a.top;
            if (in.bpp == 24) {
                const uint8_t* p = in.row(sy) + size_t(sx) * 3;
                row[x * 3] = p[0], row[x * 3 + 1] = p[1], row[x * 3 + 2] = p[2];
            } else {
                out.setIndex(x, y, in.index(sx, sy));
            }
        }
    }
}

// Output pixel (x, y) samples the input at origin + x * ux + y * uy.
struct Mapping {
    double ox, oy, uxx, uxy, uyx, uyy;
};

void turnBilinear(const ic::DibView& in, const Rect& a, const Mapping& m, COLORREF fill,
                  ic::MutableDib& out) {
    const Sampler src(in, a);
    const uint8_t fillBgr[3] = {GetBValue(fill), GetGValue(fill), GetRValue(fill)};
    auto tap = [&](int32_t x, int32_t y) {
        return x >= a.left && x < a.right && y >= a.top && y < a.bottom ? src.pixel(x, y) : fillBgr;
    };
    for (int32_t y = 0; y < out.view().height; ++y) {
        uint8_t* row = out.row(y);
        for (int32_t x = 0; x < out.view().width; ++x) {
            const double sx = m.ox + x * m.uxx + y * m.uyx, sy = m.oy + x * m.uxy + y * m.uyy;
            const double fx0 = std::floor(sx), fy0 = std::floor(sy);
            uint8_t* d = row + size_t(x) * 3;
            if (fx0 < a.left - 1 || fx0 >= a.right || fy0 < a.top - 1 || fy0 >= a.bottom) {
                d[0] = fillBgr[0], d[1] = fillBgr[1], d[2] = fillBgr[2];
                continue;
            }
            const int32_t x0 = int32_t(fx0), y0 = int32_t(fy0);
            const uint32_t wx = uint32_t((sx - fx0) * 256), wy = uint32_t((sy - fy0) * 256);
            const uint8_t *p00, *p01, *p10, *p11;
            if (x0 >= a.left && x0 + 1 < a.right && y0 >= a.top && y0 + 1 < a.bottom) {
                p00 = src.pixel(x0, y0), p01 = p00 + 3;
                p10 = src.pixel(x0, y0 + 1), p11 = p10 + 3;
            } else { // at the edge: the fill stands in for the missing taps
                p00 = tap(x0, y0), p01 = tap(x0 + 1, y0);
                p10 = tap(x0, y0 + 1), p11 = tap(x0 + 1, y0 + 1);
            }
            for (int c = 0; c < 3; ++c) {
                const uint32_t t = p00[c] * (256 - wx) + p01[c] * wx;
                const uint32_t b = p10[c] * (256 - wx) + p11[c] * wx;
                d[c] = uint8_t((t * (256 - wy) + b * wy + 32768) >> 16);
            }
        }
    }
}

void turnNearest(const ic::DibView& in, const Rect& a, const Mapping& m, COLORREF fill,
                 ic::MutableDib& out) {
    const uint8_t fillIndex = nearestIndex(in, fill);
    for (int32_t y = 0; y < out.view().height; ++y)
        for (int32_t x = 0; x < out.view().width; ++x) {
            const double sx = std::floor(m.ox + x * m.uxx + y * m.uyx + 0.5);
            const double sy = std::floor(m.oy + x * m.uxy + y * m.uyy + 0.5);
            const bool inside = sx >= a.left && sx < a.right && sy >= a.top && sy < a.bottom;
            out.setIndex(x, y, inside ? in.index(int32_t(sx), int32_t(sy)) : fillIndex);
        }
}

} // namespace

uintptr_t rotate(uintptr_t dib, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 COLORREF fill, double angle) {
    EffectJob job(dib, false);
    if (!job.setArea(left, top, right, bottom) || !std::isfinite(angle)) return 0;
    const ic::DibView& in = job.in();
    const Rect& a = job.area();
    double degrees = std::fmod(angle, 360.0);
    if (degrees < 0) degrees += 360.0;
    const double quarters = std::round(degrees / 90.0);
    const bool exact = std::fabs(degrees - quarters * 90.0) < 1e-9;
    const int turns = int(quarters) % 4;
    const double rad = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(rad), s = std::sin(rad);
    int32_t ow, oh;
    if (exact) {
        ow = turns % 2 ? a.height() : a.width();
        oh = turns % 2 ? a.width() : a.height();
    } else {
        const double w = a.width(), h = a.height();
        ow = int32_t(std::ceil(std::fabs(w * c) + std::fabs(h * s) - 1e-6));
        oh = int32_t(std::ceil(std::fabs(w * s) + std::fabs(h * c) - 1e-6));
        if (ow > ic::kMaxSide || oh > ic::kMaxSide) return 0;
        ow = std::max(ow, 1), oh = std::max(oh, 1);
    }
    zp::GlobalBlock block(ic::createDib(ow, oh, in.bpp, in.colors, in.colorCount));
    if (!block) return 0;
    {
        ic::MutableDib out(block.get());
        if (!out.ok()) return 0;
        if (exact) {
            quarterTurn(in, a, turns, out);
        } else {
            // Counter-clockwise on screen (y down): output offset (X, Y) from
            // the output centre reads input offset (X c - Y s, X s + Y c).
            const double cx = a.left + a.width() * 0.5 - 0.5, cy = a.top + a.height() * 0.5 - 0.5;
            const double X0 = 0.5 - ow * 0.5, Y0 = 0.5 - oh * 0.5;
            const Mapping m{cx + X0 * c - Y0 * s, cy + X0 * s + Y0 * c, c, s, -s, c};
            if (in.bpp == 24)
                turnBilinear(in, a, m, fill, out);
            else
                turnNearest(in, a, m, fill, out);
        }
    }
    return block.release();
}

bool rotateBitmap(uintptr_t* bitmap, uintptr_t* palette, int32_t left, int32_t top, int32_t right,
                  int32_t bottom, COLORREF fill, double angle) {
    if (!bitmap || !palette || !*bitmap) return false;
    int32_t w = 0, h = 0;
    if (!GetDeviceBitmapSize(*bitmap, &w, &h)) return false;
    // A palette keeps the picture indexed (its colours mapped exactly).
    zp::GlobalBlock dib(ic::deviceBitmapToDib(*bitmap, *palette, *palette ? 8 : 24, false));
    if (!dib) return false;
    zp::GlobalBlock turned(rotate(dib.get(), left, top, right, bottom, fill, angle));
    if (!turned) return false;
    HBITMAP newBitmap = 0;
    HPALETTE newPalette = 0;
    {
        zp::GlobalLockGuard lock(turned.get());
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), turned.size(), view) ||
            !ic::dibToDeviceBitmap(view, &newBitmap, &newPalette))
            return false;
    }
    DeleteObject(*bitmap);
    if (*palette) DeleteObject(*palette);
    *bitmap = newBitmap;
    *palette = newPalette;
    return true;
}

} // namespace fx
