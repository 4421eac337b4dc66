// PVImageCopy: the resized area comes back in the caller's own block.
#include "libs/effects/EffectsModule.h"
#include "libs/effects/PvEffects.h"
#include "libs/imagecore/DibFixtures.h"

#include <gtest/gtest.h>
#include <set>

namespace {

PFN_PVImageCopy imageCopy() {
    static auto fn = testsupport::effectsProc<PFN_PVImageCopy>("PVImageCopy");
    return fn;
}

struct Picture {
    int width = 0, height = 0, bpp = 0;
    std::vector<uint32_t> rgb;
};

Picture read(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    ic::DibView v;
    if (!lock || !ic::parseDib(lock.data(), 0, v)) return {};
    return Picture{v.width, v.height, v.bpp, ic::toRgb(v)};
}

// mode, new size and area (left, top, right, bottom inclusive) as the caller passes them.
int32_t copy(HGLOBAL dib, int w, int h, int mode, int l = 0, int t = 0, int r = 0, int b = 0) {
    return imageCopy()(dib, w, h, mode, b, r, t, l);
}

TEST(PVImageCopy, WholeAreaAtItsSizeIsIdentityInEveryModeAndDepth) {
    for (int bits : {1, 4, 8, 24})
        for (int mode : {0, 1, 2, 10, 11, 12}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, mode " << mode);
            zp::GlobalBlock dib(fixtures::randomDib(21, 13, bits, uint32_t(bits + mode)));
            const Picture before = read(dib.get());
            ASSERT_EQ(copy(dib.get(), 0, 0, mode), 1);
            const Picture after = read(dib.get());
            EXPECT_EQ(after.bpp, bits);
            EXPECT_EQ(after.rgb, before.rgb);
            // The editor's form: the area as (0, 0, width - 1, height - 1).
            ASSERT_EQ(copy(dib.get(), 21, 13, mode, 0, 0, 20, 12), 1);
            EXPECT_EQ(read(dib.get()).rgb, before.rgb);
        }
}

TEST(PVImageCopy, CropsTheAreaIntoTheSameHandle) {
    zp::GlobalBlock dib(fixtures::randomDib(30, 20, 24, 7));
    const Picture before = read(dib.get());
    const HGLOBAL handle = dib.get();
    ASSERT_EQ(copy(handle, 0, 0, 0, 5, 3, 14, 10), 1);
    const Picture after = read(handle);
    ASSERT_EQ(after.width, 10);
    ASSERT_EQ(after.height, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(after.rgb[size_t(y * 10 + x)], before.rgb[size_t((y + 3) * 30 + x + 5)]);
    // Growing it again moves the memory but keeps the handle.
    ASSERT_EQ(copy(handle, 100, 80, 10), 1);
    EXPECT_EQ(read(handle).width, 100);
    EXPECT_EQ(GlobalSize(handle), 40u + 100u * 80u * 3u);
}

TEST(PVImageCopy, AndKeepsDarkLinesOrKeepsLightLinesWhenShrinking) {
    // One-pixel lines every 4 pixels: point sampling at a quarter size may
    // miss them all; AND keeps black lines on white, OR white lines on black.
    struct Case {
        int mode;
        uint32_t ground, line;
    };
    for (const Case c : {Case{1, 0xFFFFFF, 0}, Case{2, 0, 0xFFFFFF}}) {
        zp::GlobalBlock dib(fixtures::makeDib(
            40, 40, 24, {}, [&](int x, int) { return x % 4 == 1 ? c.line : c.ground; }));
        ASSERT_EQ(copy(dib.get(), 10, 10, c.mode), 1);
        for (uint32_t px : read(dib.get()).rgb)
            ASSERT_EQ(px, c.line) << "mode " << c.mode;
    }
    // The same on a 1-bit picture, palette indices combined.
    const std::vector<RGBQUAD> bw{{0, 0, 0, 0}, {255, 255, 255, 0}};
    zp::GlobalBlock mono(
        fixtures::makeDib(40, 8, 1, bw, [](int x, int) { return x % 4 == 1 ? 0u : 1u; }));
    ASSERT_EQ(copy(mono.get(), 10, 2, 1), 1);
    const Picture p = read(mono.get());
    EXPECT_EQ(p.bpp, 1);
    for (uint32_t px : p.rgb)
        ASSERT_EQ(px, 0u);
}

TEST(PVImageCopy, Antialias256GivesSmoothGreys) {
    for (int mode : {20, 21, 22}) {
        zp::GlobalBlock dib(fixtures::makeDib(64, 64, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}},
                                              [](int x, int y) { return uint32_t((x + y) & 1); }));
        ASSERT_EQ(copy(dib.get(), 16, 16, mode), 1) << mode;
        const Picture p = read(dib.get());
        EXPECT_EQ(p.bpp, 8);
        for (uint32_t px : p.rgb)
            ASSERT_EQ(px, 0x808080u) << mode;
    }
}

TEST(PVImageCopy, BadInputAnswersACodeAndLeavesTheBlock) {
    zp::GlobalBlock dib(fixtures::randomDib(16, 12, 8, 2));
    const Picture before = read(dib.get());
    const uint64_t size = GlobalSize(dib.get());
    struct Case {
        int w, h, mode, l, t, r, b, code;
    };
    for (const Case c : {Case{5, 5, 3, 0, 0, 0, 0, -4}, Case{5, 5, -1, 0, 0, 0, 0, -4},
                         Case{5, 5, 40, 0, 0, 0, 0, -4}, Case{5, 5, 0, -1, 0, 5, 5, -2},
                         Case{5, 5, 0, 0, 0, 17, 5, -2}, Case{5, 5, 0, 8, 0, 3, 5, -2},
                         Case{5, 5, 0, 0, 0, 5, 13, -2}, Case{-3, 5, 0, 0, 0, 0, 0, -2},
                         Case{65536, 5, 0, 0, 0, 0, 0, -2}}) {
        EXPECT_EQ(copy(dib.get(), c.w, c.h, c.mode, c.l, c.t, c.r, c.b), c.code)
            << c.w << " " << c.mode << " " << c.l << "," << c.t << "," << c.r << "," << c.b;
    }
    EXPECT_EQ(copy(0, 5, 5, 0), -1);
    zp::GlobalBlock junk(GlobalAlloc(GHND, 30));
    EXPECT_EQ(copy(junk.get(), 5, 5, 0), -1);
    // Locked by the caller: it may not grow (its address is held).
    {
        zp::GlobalLockGuard held(dib.get());
        EXPECT_EQ(copy(dib.get(), 200, 200, 0), -3);
    }
    EXPECT_EQ(GlobalSize(dib.get()), size);
    EXPECT_EQ(read(dib.get()).rgb, before.rgb);
}

} // namespace
