#pragma once
// Pictures for the pixel-effect tests: 24-bit (and palette) DIBs made here,
// read back as 0xRRGGBB words, and the measures the tests compare.
#include "EffectsModule.h"
#include "libs/effects/PvEffects.h"
#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

namespace pixfx {

using Pixels = std::vector<uint32_t>; // 0xRRGGBB, top row first

struct Picture {
    int32_t width, height;
    Pixels px;
};

// Photo-like: two smooth waves and a hashed texture, so most pixels differ.
inline Picture photo(int32_t w = 40, int32_t h = 32) {
    Picture p{w, h, Pixels(size_t(w) * size_t(h))};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t t = (uint32_t(x) * 2654435761u ^ uint32_t(y) * 40503u) >> 7 & 31;
            const uint32_t r = uint32_t(128 + 100 * std::sin(x * 0.3 + y * 0.1));
            const uint32_t g = uint32_t(128 + 100 * std::cos(y * 0.25 - x * 0.05));
            const uint32_t b = uint32_t(40 + 4 * (x + y) % 180) + t;
            p.px[size_t(y) * size_t(w) + size_t(x)] = r << 16 | g << 8 | (b & 255);
        }
    return p;
}

inline Picture flat(int32_t w, int32_t h, uint32_t rgb) {
    return Picture{w, h, Pixels(size_t(w) * size_t(h), rgb)};
}

// A new 24-bit DIB block holding the picture (owned by the caller).
inline HGLOBAL makeDib(const Picture& p) {
    HGLOBAL h = ic::createDib(p.width, p.height, 24, nullptr);
    ic::MutableDib d(h);
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x) {
            const uint32_t c = p.px[size_t(y) * size_t(p.width) + size_t(x)];
            uint8_t* q = d.row(y) + size_t(x) * 3;
            q[0] = uint8_t(c);
            q[1] = uint8_t(c >> 8);
            q[2] = uint8_t(c >> 16);
        }
    return h;
}

inline Picture read(HGLOBAL h) {
    ic::MutableDib d(h);
    Picture p{d.view().width, d.view().height, {}};
    for (int32_t y = 0; y < p.height; ++y)
        for (int32_t x = 0; x < p.width; ++x)
            p.px.push_back(d.view().rgb(x, y));
    return p;
}

// Every byte of the block, to prove an input was left as it was.
inline std::vector<uint8_t> bytes(HGLOBAL h) {
    zp::GlobalLockGuard g(h);
    const auto* p = g.as<uint8_t>();
    return std::vector<uint8_t>(p, p + GlobalSize(h));
}

inline uint8_t channel(uint32_t rgb, int c) {
    return uint8_t(rgb >> (8 * c));
}
inline int32_t grey(uint32_t rgb) {
    return (channel(rgb, 0) * 29 + channel(rgb, 1) * 150 + channel(rgb, 2) * 77) >> 8;
}

inline double variance(const Picture& p) {
    double sum = 0, sq = 0;
    for (uint32_t c : p.px)
        for (int k = 0; k < 3; ++k) {
            sum += channel(c, k);
            sq += double(channel(c, k)) * channel(c, k);
        }
    const double n = 3.0 * double(p.px.size());
    return sq / n - (sum / n) * (sum / n);
}

inline uint32_t at(const Picture& p, int32_t x, int32_t y) {
    return p.px[size_t(y) * size_t(p.width) + size_t(x)];
}

// Progress callbacks: one that goes on, one that stops at once.
inline int16_t goOn(int16_t, void*) {
    return 1;
}
inline int16_t stopNow(int16_t, void*) {
    return 0;
}

} // namespace pixfx
