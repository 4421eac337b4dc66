// MergeDib, DropDib, PVReduceColors, ReduceDib and IDDBtoDIB through the
// real module.
#include "libs/effects/EffectsModule.h"
#include "libs/effects/PvEffects.h"
#include "libs/imagecore/DibFixtures.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using fixtures::DibBlock;

std::vector<uint32_t> rgbOf(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    ic::DibView v;
    return lock && ic::parseDib(lock.data(), 0, v) ? ic::toRgb(v) : std::vector<uint32_t>{};
}

TEST(MergeDrop, OverlayLandsClippedWithItsKeyColourLeftOut) {
    const uint32_t kKey = 0x00FF00;
    zp::GlobalBlock base(fixtures::randomDib(20, 16, 24, 1));
    zp::GlobalBlock over(fixtures::makeDib(8, 6, 24, {}, [&](int x, int y) {
        return (x + y) % 3 == 0 ? kKey : uint32_t(0x101010 * (x + 1) + y);
    }));
    const std::vector<uint32_t> b = rgbOf(base.get()), o = rgbOf(over.get());
    struct Case {
        const char* name;
        int x, y;
        bool keyed;
    };
    for (const char* fnName : {"DropDib", "MergeDib"})
        for (const Case c :
             {Case{"inside", 3, 4, true}, Case{"no key", 3, 4, false},
              Case{"off top left", -5, -2, true}, Case{"off bottom right", 15, 13, true},
              Case{"outside", 40, 2, true}}) {
            SCOPED_TRACE(testing::Message() << fnName << " " << c.name);
            auto fn = testsupport::effectsProc<PFN_MergeDib>(fnName);
            const bool blend = std::string(fnName) == "MergeDib";
            DibBlock out(c.keyed ? fn(base.get(), over.get(), 0, c.x, c.y, 0, 255)
                                 : fn(base.get(), over.get(), -1, c.x, c.y, -1, -1));
            ASSERT_TRUE(out.valid());
            const std::vector<uint32_t> r = out.rgb();
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 20; ++x) {
                    const int ox = x - c.x, oy = y - c.y;
                    uint32_t want = b[size_t(y * 20 + x)];
                    if (ox >= 0 && oy >= 0 && ox < 8 && oy < 6) {
                        const uint32_t top = o[size_t(oy * 8 + ox)];
                        if (!(c.keyed && top == kKey)) {
                            want = top;
                            if (blend) {
                                want = 0;
                                for (int s = 0; s <= 16; s += 8)
                                    want |= ((((b[size_t(y * 20 + x)] >> s) & 0xFF) +
                                              ((top >> s) & 0xFF) + 1) /
                                             2)
                                            << s;
                            }
                        }
                    }
                    ASSERT_EQ(r[size_t(y * 20 + x)], want) << x << "," << y;
                }
        }
    EXPECT_EQ(rgbOf(base.get()), b) << "input changed";
}

TEST(MergeDrop, RefuseIndexedOrBrokenInputs) {
    auto fn = testsupport::effectsProc<PFN_MergeDib>("DropDib");
    zp::GlobalBlock rgb(fixtures::randomDib(8, 8, 24, 1));
    zp::GlobalBlock indexed(fixtures::randomDib(8, 8, 8, 1));
    zp::GlobalBlock junk(GlobalAlloc(GHND, 50));
    EXPECT_EQ(fn(indexed.get(), rgb.get(), -1, 0, 0, -1, -1), 0u);
    EXPECT_EQ(fn(rgb.get(), indexed.get(), -1, 0, 0, -1, -1), 0u);
    EXPECT_EQ(fn(rgb.get(), junk.get(), -1, 0, 0, -1, -1), 0u);
    EXPECT_EQ(fn(0, rgb.get(), -1, 0, 0, -1, -1), 0u);
}

TEST(PVReduceColors, EveryDitherKeepsToTheCountDepthAndAQualityFloor) {
    auto fn = testsupport::effectsProc<PFN_PVReduceColors>("PVReduceColors");
    zp::GlobalBlock photo(fixtures::randomDib(96, 64, 24, 8));
    const std::vector<uint32_t> source = rgbOf(photo.get());
    struct Case {
        int colours, bits;
        double psnrFloor; // colour dithers; the grey one is measured on luminance
    };
    for (int dither = 0; dither <= 3; ++dither)
        for (const Case c : {Case{2, 1, 9}, Case{16, 4, 19}, Case{256, 8, 29}}) {
            SCOPED_TRACE(testing::Message() << "dither " << dither << ", " << c.colours);
            DibBlock out(fn(photo.get(), c.colours, dither));
            ASSERT_TRUE(out.valid());
            EXPECT_EQ(out.view().bpp, c.bits);
            std::set<uint32_t> indices;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 96; ++x)
                    indices.insert(out.view().index(x, y));
            EXPECT_LE(indices.size(), size_t(c.colours));
            const std::vector<uint32_t> px = out.rgb();
            if (dither == 3) {
                for (uint32_t p : px)
                    ASSERT_TRUE((p & 0xFF) == ((p >> 8) & 0xFF) && (p & 0xFF) == (p >> 16));
                continue;
            }
            // An ordered dither trades some error for a stable pattern.
            EXPECT_GT(fixtures::psnr(px, source), c.psnrFloor - (dither == 0 ? 2 : 0));
        }
    EXPECT_EQ(rgbOf(photo.get()), source);
    for (auto [colours, dither] : {std::pair{0, 2}, {257, 2}, {16, 4}, {16, -1}})
        EXPECT_EQ(fn(photo.get(), colours, dither), 0u) << colours << " " << dither;
}

TEST(PVReduceColors, DitheredGradientsKeepTheirLocalMean) {
    // With few colours a dithered gradient keeps its local means (nearest
    // colour alone would err by up to half a step, about 30); the mean error
    // over 8x8 blocks between the darkest and lightest entries shows it.
    auto fn = testsupport::effectsProc<PFN_PVReduceColors>("PVReduceColors");
    zp::GlobalBlock ramp(fixtures::makeDib(128, 32, 24, {}, [](int x, int) {
        const uint32_t v = uint32_t(x * 2);
        return v << 16 | v << 8 | v;
    }));
    const std::vector<uint32_t> src = rgbOf(ramp.get());
    for (int dither : {0, 1, 2}) {
        DibBlock out(fn(ramp.get(), 4, dither));
        const std::vector<uint32_t> px = out.rgb();
        double worst = 0;
        for (int bx = 32; bx < 96; bx += 8) {
            double diff = 0;
            for (int y = 8; y < 16; ++y)
                for (int x = bx; x < bx + 8; ++x)
                    diff += double(px[size_t(y * 128 + x)] & 0xFF) -
                            double(src[size_t(y * 128 + x)] & 0xFF);
            worst = std::max(worst, std::abs(diff / 64));
        }
        EXPECT_LT(worst, 8.0) << "dither " << dither;
    }
}

int16_t stopAt50(int16_t percent, void*) {
    return percent < 50 ? 1 : 0;
}

TEST(ReduceDib, ReducesToEachDepthAndStopsWhenAsked) {
    auto fn = testsupport::effectsProc<PFN_ReduceDib>("ReduceDib");
    zp::GlobalBlock photo(fixtures::randomDib(40, 30, 24, 2));
    for (int bits : {1, 4, 8}) {
        DibBlock out(fn(photo.get(), bits, 0, nullptr, nullptr, 0));
        ASSERT_TRUE(out.valid());
        EXPECT_EQ(out.view().bpp, bits);
    }
    const uint64_t blocks = GlobalBlockCount();
    EXPECT_EQ(fn(photo.get(), 8, 0, stopAt50, nullptr, 0), 0u);
    EXPECT_EQ(GlobalBlockCount(), blocks) << "a stopped reduction leaks nothing";
    EXPECT_EQ(fn(photo.get(), 24, 0, nullptr, nullptr, 0), 0u);
    EXPECT_EQ(fn(0, 8, 0, nullptr, nullptr, 0), 0u);
}

TEST(IDDBtoDIB, DeviceBitmapComesBackAtEachDepth) {
    auto fn = testsupport::effectsProc<PFN_IDDBtoDIB>("IDDBtoDIB");
    const std::vector<RGBQUAD> table = fixtures::randomTable(16, 3);
    const HBITMAP bitmap = CreateDeviceBitmap(9, 7);
    uint32_t* bits = DeviceBitmapBits(bitmap);
    for (int i = 0; i < 63; ++i) {
        const RGBQUAD& q = table[size_t(i % 16)];
        bits[i] = uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
    }
    const HPALETTE palette = fixtures::makePalette(table);
    const std::vector<uint32_t> want = fixtures::bitmapPixels(bitmap);
    for (int depth : {4, 8, 24}) {
        DibBlock out(fn(bitmap, palette, depth));
        ASSERT_TRUE(out.valid()) << depth;
        EXPECT_EQ(out.view().bpp, depth);
        EXPECT_EQ(out.rgb(), want) << depth;
    }
    EXPECT_EQ(fn(bitmap, palette, 5), 0u);
    EXPECT_EQ(fn(palette, palette, 8), 0u);
    DeleteObject(bitmap);
    DeleteObject(palette);
}

} // namespace
