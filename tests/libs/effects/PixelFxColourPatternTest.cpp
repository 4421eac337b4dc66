// Invert and mirror (in place, every depth), hue and saturation, and the
// pattern effects: halftone, extrude, tile.
#include "PixelFxFixtures.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace pixfx;
using testsupport::effectsProc;

// An indexed picture whose every pixel index is (x * 3 + y) mod colours.
HGLOBAL indexed(int32_t bits, int32_t w, int32_t h) {
    HGLOBAL d = ic::createDib(w, h, bits, nullptr);
    ic::MutableDib m(d);
    const uint32_t n = m.view().colorCount;
    for (uint32_t i = 0; i < n; ++i)
        m.colors()[i] = RGBQUAD{uint8_t(i * 7), uint8_t(i * 13), uint8_t(255 - i), 0};
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            m.setIndex(x, y, uint8_t(uint32_t(x * 3 + y) % n));
    return d;
}

TEST(PixelFxInPlace, MirrorTwiceIsIdentityAndOnceMovesPixels) {
    const int32_t bits[] = {1, 4, 8, 24};
    const int32_t flips[][2] = {{-1, 0}, {0, -1}, {-1, -1}};
    for (int32_t b : bits)
        for (const auto& f : flips) {
            zp::GlobalBlock d(b == 24 ? makeDib(photo(13, 7)) : indexed(b, 13, 7));
            const Picture before = read(d.get());
            ASSERT_EQ(effectsProc<PFN_PVMirror>("PVMirror")(d.get(), f[0], f[1]), 1);
            const Picture once = read(d.get());
            for (int32_t y = 0; y < 7; ++y)
                for (int32_t x = 0; x < 13; ++x)
                    ASSERT_EQ(at(once, x, y), at(before, f[1] ? 12 - x : x, f[0] ? 6 - y : y))
                        << b << " bits " << x << "," << y;
            ASSERT_EQ(effectsProc<PFN_PVMirror>("PVMirror")(d.get(), f[0], f[1]), 1);
            EXPECT_EQ(read(d.get()).px, before.px) << b << " bits";
        }
}

TEST(PixelFxInPlace, InvertIsExactAtEveryDepth) {
    for (int32_t b : {1, 4, 8, 24}) {
        zp::GlobalBlock d(b == 24 ? makeDib(photo(11, 5)) : indexed(b, 11, 5));
        const Picture before = read(d.get());
        ASSERT_EQ(effectsProc<PFN_PVInvert>("PVInvert")(d.get()), 1);
        const Picture once = read(d.get());
        for (size_t i = 0; i < before.px.size(); ++i)
            ASSERT_EQ(once.px[i], before.px[i] ^ 0xFFFFFFu) << b << " bits";
    }
    zp::GlobalBlock broken(makeDib(photo(4, 4)));
    {
        zp::GlobalLockGuard g(broken.get());
        g.as<BITMAPINFOHEADER>()->biBitCount = 13;
    }
    const std::vector<uint8_t> before = bytes(broken.get());
    EXPECT_EQ(effectsProc<PFN_PVInvert>("PVInvert")(broken.get()), 0);
    EXPECT_EQ(effectsProc<PFN_PVMirror>("PVMirror")(broken.get(), 1, 1), 0);
    EXPECT_EQ(bytes(broken.get()), before);
}

int32_t hueSat(uintptr_t* d, int32_t bright, int32_t sat, int32_t hue, bool red, bool green,
               bool blue, int32_t left = 0, int32_t top = 0, int32_t right = 0,
               int32_t bottom = 0) {
    const bool all = red && green && blue;
    return effectsProc<PFN_pvHueAndSaturation>("pvHueAndSaturation")(
        d, red, green, goOn, nullptr, left, top, right, bottom, bright, sat, hue, all, all, all,
        blue);
}

TEST(PixelFxHueSaturation, ShiftsDesaturatesAndKeepsToChannels) {
    Picture in = flat(8, 4, 0xFF0000);
    for (int32_t x = 4; x < 8; ++x)
        for (int32_t y = 0; y < 4; ++y)
            in.px[size_t(y) * 8 + size_t(x)] = 0x0000FF;
    uintptr_t d = makeDib(in);
    ASSERT_EQ(hueSat(&d, 0, 0, 120, true, true, true), 1); // all colours: +120 degrees
    Picture got = read(d);
    EXPECT_EQ(at(got, 0, 0), 0x00FF00u); // red turned green
    EXPECT_EQ(at(got, 7, 0), 0xFF0000u); // blue turned red
    zp::GlobalBlock::freeFully(d);

    d = makeDib(in);
    ASSERT_EQ(hueSat(&d, 0, -100, 120, true, false, false), 1); // red only, no shift
    got = read(d);
    EXPECT_EQ(at(got, 0, 0), 0x808080u); // red lost its colour
    EXPECT_EQ(at(got, 7, 0), 0x0000FFu); // blue is no red: untouched
    zp::GlobalBlock::freeFully(d);

    d = makeDib(in);
    ASSERT_EQ(hueSat(&d, 100, 0, 0, true, true, true, 0, 0, 2, 4), 1);
    got = read(d);
    EXPECT_EQ(at(got, 0, 0), 0xFFFFFFu); // full lightness inside the area
    EXPECT_EQ(at(got, 2, 0), 0xFF0000u); // outside the area
    zp::GlobalBlock::freeFully(d);

    // Refusals keep the caller's block.
    d = makeDib(in);
    const uintptr_t original = d;
    EXPECT_EQ(hueSat(&d, 0, 0, 0, true, true, true, 0, 0, 9, 4), 0);
    EXPECT_EQ(hueSat(&d, 101, 0, 0, true, true, true), 0);
    EXPECT_EQ(effectsProc<PFN_pvHueAndSaturation>("pvHueAndSaturation")(
                  &d, 1, 1, stopNow, nullptr, 0, 0, 0, 0, 0, 50, 0, 1, 1, 1, 1),
              0);
    EXPECT_EQ(d, original);
    EXPECT_EQ(read(d).px, in.px);
    zp::GlobalBlock::freeFully(d);
}

double inkShare(const Picture& p) {
    return double(std::count(p.px.begin(), p.px.end(), 0u)) / double(p.px.size());
}

TEST(PixelFxPattern, HalftoneInkFollowsTheToneForEveryShape) {
    for (int32_t shape = 0; shape <= 5; ++shape)
        for (uint32_t level : {0x40u, 0xA0u}) {
            zp::GlobalBlock d(makeDib(flat(48, 48, level << 16 | level << 8 | level)));
            zp::GlobalBlock out(
                effectsProc<PFN_HToneImage>("HToneImage")(d.get(), 8, shape, goOn, nullptr, 30.0));
            ASSERT_TRUE(out);
            const Picture got = read(out.get());
            for (uint32_t c : got.px)
                ASSERT_TRUE(c == 0 || c == 0xFFFFFF);
            const double darkness = 1.0 - level / 255.0;
            // Ink share grows with darkness, near the tone for most shapes.
            EXPECT_NEAR(inkShare(got), darkness, 0.25) << "shape " << shape << " level " << level;
        }
}

TEST(PixelFxPattern, ExtrudeMakesFlatBlockFaces) {
    zp::GlobalBlock d(makeDib(photo(40, 40)));
    zp::GlobalBlock out(effectsProc<PFN_ExtrudeDib>("ExtrudeDib")(d.get(), 0, 8, goOn, nullptr));
    ASSERT_TRUE(out);
    const Picture got = read(out.get());
    // Blocks of 20: the face of the first block is one colour, bevels differ.
    const uint32_t face = at(got, 10, 10);
    for (int32_t y = 6; y < 14; ++y)
        for (int32_t x = 6; x < 14; ++x)
            ASSERT_EQ(at(got, x, y), face);
    EXPECT_GT(grey(at(got, 10, 1)), grey(at(got, 10, 18))); // lit top, shaded bottom
}

TEST(PixelFxPattern, TileWrapsWithoutASeam) {
    // A horizontal ramp: its left and right edges differ by almost 255.
    Picture ramp = flat(40, 30, 0);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x) {
            const uint32_t v = uint32_t(x * 255 / 39), w = uint32_t(y * 255 / 29);
            ramp.px[size_t(y) * 40 + size_t(x)] = v << 16 | w << 8 | 0x40;
        }
    zp::GlobalBlock d(makeDib(ramp));
    zp::GlobalBlock out(effectsProc<PFN_TileDib>("TileDib")(d.get(), nullptr, goOn));
    ASSERT_TRUE(out);
    const Picture got = read(out.get());
    int worstJump = 0;
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x)
            for (int c = 0; c < 3; ++c) {
                // Neighbours across the wrap as well as inside the picture.
                const int right = channel(at(got, (x + 1) % 40, y), c);
                const int down = channel(at(got, x, (y + 1) % 30), c);
                const int here = channel(at(got, x, y), c);
                worstJump = std::max({worstJump, std::abs(right - here), std::abs(down - here)});
            }
    EXPECT_LT(worstJump, 40);
}

} // namespace
