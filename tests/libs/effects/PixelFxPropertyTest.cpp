// What each pixel effect does to a picture, checked by properties: identity
// settings, exact inverses, variance, known shapes.
#include "PixelFxFixtures.h"

#include <algorithm>
#include <set>

namespace {

using namespace pixfx;
using testsupport::effectsProc;

// Runs an area effect over the whole picture and reads the result.
template <class Fn, class... Args> Picture whole(const Picture& in, const char* name, Args... a) {
    zp::GlobalBlock dib(makeDib(in));
    zp::GlobalBlock out(effectsProc<Fn>(name)(dib.get(), 0, 0, goOn, nullptr, a..., 0, 0));
    EXPECT_TRUE(out) << name;
    return out ? read(out.get()) : Picture{0, 0, {}};
}

TEST(PixelFxProperty, IdentitySettingsLeaveThePicture) {
    const Picture in = photo();
    EXPECT_EQ(whole<PFN_Area1>(in, "Better", 0).px, in.px);
    EXPECT_EQ(whole<PFN_Area1>(in, "Bled", 0).px, in.px);
    EXPECT_EQ(whole<PFN_Area1>(in, "OilPainting", 0).px, in.px);
    EXPECT_EQ(whole<PFN_Area5>(in, "Noise", 0, 0, 0, 0, 1).px, in.px);
    EXPECT_EQ(whole<PFN_Area5>(in, "Enhance", 10, 10, 10, 0, 0).px, in.px);
    zp::GlobalBlock dib(makeDib(in));
    zp::GlobalBlock bright(effectsProc<PFN_PVBrightness>("PVBrightness")(dib.get(), 0));
    zp::GlobalBlock gamma(effectsProc<PFN_PVGamma>("PVGamma")(dib.get(), 10));
    ASSERT_TRUE(bright && gamma);
    EXPECT_EQ(read(bright.get()).px, in.px);
    EXPECT_EQ(read(gamma.get()).px, in.px);
    uintptr_t handle = makeDib(in);
    ASSERT_EQ(effectsProc<PFN_pvHueAndSaturation>("pvHueAndSaturation")(
                  &handle, 1, 1, goOn, nullptr, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1),
              1);
    EXPECT_EQ(read(handle).px, in.px);
    zp::GlobalBlock::freeFully(handle);
}

TEST(PixelFxProperty, SmoothingLowersVarianceAndSharpeningRaisesIt) {
    const Picture in = photo(48, 40);
    const double v = variance(in);
    const double blur1 = variance(whole<PFN_Area1>(in, "Blur", 1));
    const double blur4 = variance(whole<PFN_Area1>(in, "Blur", 4));
    EXPECT_LT(blur1, v);
    EXPECT_LT(blur4, blur1);
    EXPECT_LT(variance(whole<PFN_Area1>(in, "Better", -9)), v);
    EXPECT_GT(variance(whole<PFN_Area1>(in, "Better", 9)), v);
    EXPECT_LT(variance(whole<PFN_Area3>(in, "Motion", 3, 0, 12)), v);
    // A flat picture stays flat under every smoothing.
    const Picture f = flat(20, 16, 0x3366CC);
    EXPECT_EQ(whole<PFN_Area1>(f, "Blur", 7).px, f.px);
    EXPECT_EQ(whole<PFN_Area3>(f, "Motion", 1, 1, 300).px, f.px);
    EXPECT_EQ(whole<PFN_Area3>(f, "Motion", 2, 90, 1).px, f.px);
    EXPECT_EQ(whole<PFN_Area1>(f, "OilPainting", 5).px, f.px);
}

TEST(PixelFxProperty, LineMotionLeavesATrailBehindTheAngle) {
    Picture dot = flat(30, 30, 0);
    dot.px[15 * 30 + 15] = 0xFFFFFF;
    // Angle 0 moves right: the trail lies to the left of the dot.
    const Picture got = whole<PFN_Area3>(dot, "Motion", 3, 0, 6);
    EXPECT_GT(channel(at(got, 15 + 6, 15), 0), 0); // pixel 6 to the right samples the dot
    EXPECT_EQ(at(got, 15 - 1, 15), 0u);
    EXPECT_EQ(at(got, 15 + 7, 15), 0u);
    EXPECT_EQ(at(got, 15 + 3, 16), 0u);
}

TEST(PixelFxProperty, EdgesAreBrightOnlyAtSteps) {
    Picture step = flat(20, 10, 0x202020);
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 10; x < 20; ++x)
            step.px[size_t(y) * 20 + size_t(x)] = 0xE0E0E0;
    const Picture e = whole<PFN_Area1>(step, "Edge", 1);
    for (int32_t y = 0; y < 10; ++y) {
        EXPECT_EQ(at(e, 3, y), 0u);
        EXPECT_EQ(at(e, 16, y), 0u);
        EXPECT_GT(grey(at(e, 9, y)), 150);
        EXPECT_GT(grey(at(e, 10, y)), 150);
    }
    const Picture g = whole<PFN_Area1>(step, "Engrave", 2);
    EXPECT_EQ(at(g, 3, 5), 0x808080u); // flat: the plain surface
    EXPECT_NE(at(g, 10, 5), 0x808080u);
}

TEST(PixelFxProperty, ToneMapsAreExactWhereTheyCanBe) {
    const Picture in = photo();
    const Picture g = whole<PFN_Area0>(in, "GrayArea");
    for (size_t i = 0; i < in.px.size(); ++i) {
        EXPECT_EQ(channel(g.px[i], 0), channel(g.px[i], 1));
        EXPECT_EQ(channel(g.px[i], 1), channel(g.px[i], 2));
        EXPECT_NEAR(channel(g.px[i], 0), grey(in.px[i]), 1);
    }
    const Picture t = whole<PFN_Area2>(in, "ThresholdDib", 0, 120);
    for (size_t i = 0; i < in.px.size(); ++i)
        EXPECT_EQ(t.px[i], grey(in.px[i]) >= 120 ? 0xFFFFFFu : 0u);
    zp::GlobalBlock dib(makeDib(in));
    zp::GlobalBlock b(effectsProc<PFN_PVBrightness>("PVBrightness")(dib.get(), 50));
    zp::GlobalBlock d(effectsProc<PFN_PVBrightness>("PVBrightness")(dib.get(), -50));
    zp::GlobalBlock gm(effectsProc<PFN_PVGamma>("PVGamma")(dib.get(), 20));
    ASSERT_TRUE(b && d && gm);
    const Picture bp = read(b.get()), dp = read(d.get()), gp = read(gm.get());
    for (size_t i = 0; i < in.px.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            const int v = channel(in.px[i], c);
            EXPECT_EQ(channel(bp.px[i], c), std::min(255, v + 50));
            EXPECT_EQ(channel(dp.px[i], c), std::max(0, v - 50));
            if (v > 0 && v < 255) { // gamma 2 lifts mid-tones
                EXPECT_GT(channel(gp.px[i], c), v);
            }
        }
}

TEST(PixelFxProperty, AutoContrastStretchesAFlatRange) {
    Picture dull = photo();
    for (uint32_t& c : dull.px) {
        const uint32_t v = 100 + uint32_t(grey(c)) / 5; // 100..151
        c = v << 16 | v << 8 | v;
    }
    const Picture got = whole<PFN_Area0>(dull, "AutoContrast");
    int lo = 255, hi = 0;
    for (uint32_t c : got.px) {
        lo = std::min(lo, grey(c));
        hi = std::max(hi, grey(c));
    }
    EXPECT_LT(lo, 20);
    EXPECT_GT(hi, 235);
}

TEST(PixelFxProperty, NoiseIsRepeatableAndBounded) {
    const Picture in = flat(32, 32, 0x808080);
    const Picture a = whole<PFN_Area5>(in, "Noise", 10, 0, 40, 0, 0);
    EXPECT_EQ(whole<PFN_Area5>(in, "Noise", 10, 0, 40, 0, 0).px, a.px);
    double mean = 0;
    for (uint32_t c : a.px) {
        EXPECT_LE(std::abs(channel(c, 0) - 128), 10);
        EXPECT_EQ(channel(c, 1), 128);
        EXPECT_LE(std::abs(channel(c, 2) - 128), 40);
        mean += channel(c, 2) - 128;
    }
    EXPECT_LT(std::abs(mean / double(a.px.size())), 4.0);
    EXPECT_GT(variance(a), 50.0);
    // Grey noise moves every channel the same way.
    for (uint32_t c : whole<PFN_Area5>(in, "Noise", 30, 30, 30, 1, 1).px) {
        EXPECT_EQ(channel(c, 0), channel(c, 1));
        EXPECT_EQ(channel(c, 1), channel(c, 2));
    }
}

TEST(PixelFxProperty, DespeckleRemovesSpecksAndBleedRunsColours) {
    Picture specks = flat(16, 16, 0x404040);
    specks.px[5 * 16 + 5] = 0xFFFFFF;
    specks.px[10 * 16 + 12] = 0x000000;
    EXPECT_EQ(whole<PFN_Area1>(specks, "PixelFix", 0).px, flat(16, 16, 0x404040).px);
    // A tolerance above a speck's contrast keeps it.
    specks.px[5 * 16 + 5] = 0x909090;
    specks.px[10 * 16 + 12] = 0xFFFFFF;
    const Picture kept = whole<PFN_Area1>(specks, "PixelFix", 90);
    EXPECT_EQ(kept.px[5 * 16 + 5], 0x909090u);
    EXPECT_EQ(kept.px[10 * 16 + 12], 0x404040u);
    Picture column = flat(16, 4, 0);
    for (int32_t y = 0; y < 4; ++y)
        column.px[size_t(y) * 16 + 8] = 0xFFFFFF;
    const Picture right = whole<PFN_Area1>(column, "Bled", 200);
    const Picture left = whole<PFN_Area1>(column, "Bled", -200);
    EXPECT_GT(grey(at(right, 10, 2)), 0);
    EXPECT_EQ(at(right, 6, 2), 0u);
    EXPECT_GT(grey(at(left, 6, 2)), 0);
    EXPECT_EQ(at(left, 10, 2), 0u);
}

TEST(PixelFxProperty, FadeReachesTheColourAtTheBorder) {
    const Picture in = flat(20, 20, 0xFFFFFF);
    zp::GlobalBlock dib(makeDib(in));
    zp::GlobalBlock out(
        effectsProc<PFN_Area4>("FadeDib")(dib.get(), 2, 2, goOn, nullptr, 0, 0, 255, 4, 18, 18));
    ASSERT_TRUE(out);
    const Picture got = read(out.get());
    EXPECT_EQ(at(got, 2, 10), 0xFF0000u);  // outermost ring of the area: the colour
    EXPECT_EQ(at(got, 10, 17), 0xFF0000u); // bottom ring
    EXPECT_EQ(at(got, 10, 10), 0xFFFFFFu); // further in than the width: unchanged
    const int g1 = channel(at(got, 3, 10), 1), g2 = channel(at(got, 4, 10), 1);
    EXPECT_GT(g1, 0);
    EXPECT_GT(g2, g1);
    EXPECT_LT(g2, 255);
}

} // namespace
