// ScaleDib and ScaleToGray through the real module.
#include "libs/effects/EffectsModule.h"
#include "libs/effects/PvEffects.h"
#include "libs/imagecore/DibFixtures.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using fixtures::DibBlock;

PFN_ScaleDib scaleDib() {
    static auto fn = testsupport::effectsProc<PFN_ScaleDib>("ScaleDib");
    return fn;
}

std::vector<uint32_t> rgbOf(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    ic::DibView v;
    return ic::parseDib(lock.data(), 0, v) ? ic::toRgb(v) : std::vector<uint32_t>{};
}

double variance(const std::vector<uint32_t>& px) {
    double sum = 0, sq = 0;
    for (uint32_t c : px) {
        const double g = double((c >> 8) & 0xFF);
        sum += g;
        sq += g * g;
    }
    const double n = double(px.size());
    return sq / n - (sum / n) * (sum / n);
}

TEST(ScaleDib, SameSizeIsExactAtEveryInputDepth) {
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        zp::GlobalBlock in(fixtures::randomDib(23, 17, bits, 5));
        const std::vector<uint32_t> before = rgbOf(in.get());
        DibBlock out(scaleDib()(in.get(), 23, 17, 24));
        ASSERT_TRUE(out.valid());
        EXPECT_EQ(out.view().bpp, 24);
        EXPECT_EQ(out.rgb(), before);
        EXPECT_EQ(rgbOf(in.get()), before) << "input changed";
    }
}

TEST(ScaleDib, ResizingKeepsFlatColourAndTheMeanOfAPicture) {
    struct Case {
        int w, h;
    };
    zp::GlobalBlock flat(fixtures::makeDib(30, 20, 24, {}, [](int, int) { return 0x3C7FD2u; }));
    zp::GlobalBlock photo(fixtures::randomDib(60, 40, 24, 9));
    const std::vector<uint32_t> source = rgbOf(photo.get());
    for (const Case c : {Case{10, 7}, Case{61, 39}, Case{120, 80}, Case{1, 1}, Case{333, 3}}) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        DibBlock a(scaleDib()(flat.get(), c.w, c.h, 24));
        ASSERT_TRUE(a.valid());
        ASSERT_EQ(a.view().width, c.w);
        ASSERT_EQ(a.view().height, c.h);
        for (uint32_t px : a.rgb())
            ASSERT_EQ(px, 0x3C7FD2u);
        DibBlock b(scaleDib()(photo.get(), c.w, c.h, 24));
        auto mean = [](const std::vector<uint32_t>& px) {
            double s = 0;
            for (uint32_t c : px)
                s += double((c >> 16) & 0xFF);
            return s / double(px.size());
        };
        EXPECT_NEAR(mean(b.rgb()), mean(source), 3.0);
    }
}

TEST(ScaleDib, ShrinkingAveragesAndEnlargingInterpolates) {
    // A one-pixel checkerboard halves to flat mid grey (area averaging, not
    // point sampling), and doubling a picture and halving it again nearly
    // gives the picture back.
    zp::GlobalBlock checker(fixtures::makeDib(
        16, 16, 24, {}, [](int x, int y) { return ((x + y) & 1) ? 0xFFFFFFu : 0u; }));
    DibBlock half(scaleDib()(checker.get(), 8, 8, 24));
    for (uint32_t px : half.rgb())
        ASSERT_EQ(px, 0x808080u);
    zp::GlobalBlock photo(fixtures::randomDib(40, 30, 24, 3));
    zp::GlobalBlock big(scaleDib()(photo.get(), 80, 60, 24));
    ASSERT_TRUE(big);
    EXPECT_LT(variance(rgbOf(big.get())), variance(rgbOf(photo.get())) * 1.01);
    DibBlock back(scaleDib()(big.get(), 40, 30, 24));
    EXPECT_GT(fixtures::psnr(back.rgb(), rgbOf(photo.get())), 30.0);
}

TEST(ScaleDib, ReducedDepthsHoldTheirColours) {
    zp::GlobalBlock photo(fixtures::randomDib(40, 30, 24, 4));
    for (int bits : {1, 4, 8}) {
        DibBlock out(scaleDib()(photo.get(), 20, 15, bits));
        ASSERT_TRUE(out.valid()) << bits;
        EXPECT_EQ(out.view().bpp, bits);
        EXPECT_EQ(out.view().width, 20);
    }
}

TEST(ScaleDib, RefusesBadInput) {
    zp::GlobalBlock photo(fixtures::randomDib(8, 8, 24, 4));
    const std::vector<uint32_t> before = rgbOf(photo.get());
    zp::GlobalBlock junk(GlobalAlloc(GHND, 64));
    struct Case {
        HGLOBAL dib;
        int w, h, bits;
    };
    for (const Case c :
         {Case{photo.get(), 0, 5, 24}, Case{photo.get(), 5, -1, 24},
          Case{photo.get(), 65536, 1, 24}, Case{photo.get(), 65535, 5462, 24}, // above 1 GiB
          Case{photo.get(), 5, 5, 2}, Case{photo.get(), 5, 5, 32}, Case{junk.get(), 5, 5, 24},
          Case{0, 5, 5, 24}})
        EXPECT_EQ(scaleDib()(c.dib, c.w, c.h, c.bits), 0u) << c.w << "x" << c.h << "@" << c.bits;
    EXPECT_EQ(rgbOf(photo.get()), before);
}

TEST(ScaleToGray, EveryModeGivesItsSizeAndGreyCount) {
    auto fn = testsupport::effectsProc<PFN_ScaleToGray>("ScaleToGray");
    struct Case {
        int mode, factor, greys;
    };
    zp::GlobalBlock photo(fixtures::randomDib(60, 48, 24, 6));
    for (const Case c : {Case{0, 1, 256}, Case{1, 2, 16}, Case{2, 3, 16}, Case{3, 5, 16},
                         Case{4, 6, 16}, Case{5, 6, 256}, Case{6, 4, 16}, Case{7, 4, 256}}) {
        SCOPED_TRACE(c.mode);
        DibBlock out(fn(photo.get(), c.mode, 123, -7));
        ASSERT_TRUE(out.valid());
        EXPECT_EQ(out.view().width, 60 / c.factor);
        EXPECT_EQ(out.view().height, 48 / c.factor);
        EXPECT_EQ(out.view().bpp, c.greys == 16 ? 4 : 8);
        std::set<uint32_t> seen;
        for (uint32_t px : out.rgb()) {
            ASSERT_EQ(px & 0xFF, (px >> 8) & 0xFF) << "not grey";
            ASSERT_EQ(px & 0xFF, (px >> 16) & 0xFF) << "not grey";
            seen.insert(px);
        }
        EXPECT_LE(seen.size(), size_t(c.greys));
        EXPECT_GT(seen.size(), 3u);
    }
    EXPECT_EQ(fn(photo.get(), 8, 0, 0), 0u);
    EXPECT_EQ(fn(photo.get(), -1, 0, 0), 0u);
}

} // namespace
